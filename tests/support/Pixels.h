// Pictures for the tests: memory DCs to paint into, windows of a given client size,
// and the colours read back.
#pragma once
#include <windows.h>

constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF RED = RGB(255, 0, 0);
constexpr COLORREF GREEN = RGB(0, 255, 0);
constexpr COLORREF BLUE = RGB(0, 0, 255);

// A white 32-bit memory DC in its default state (black pen, system font, opaque white
// text background). `originY` moves the logical origin down, so that points above
// y = 0 can be painted and read too.
class Canvas {
public:
    Canvas(int width, int height, int originY = 0);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc; }
    // In logical coordinates; CLR_INVALID outside the bitmap.
    COLORREF Pixel(int x, int y) const { return GetPixel(dc, x, y); }
    // Pixels of exactly this colour, over the whole bitmap.
    int Count(COLORREF colour) const;
    // Pixels of exactly this colour outside the logical row y.
    int CountOffRow(COLORREF colour, int y) const;

private:
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    const unsigned* bits;
    int width;
    int height;
    int originY;
};

// A hidden borderless window whose client area is exactly width x height, for
// drawing code that lays itself out from GetClientRect.
class SizedWindow {
public:
    SizedWindow(int width, int height);
    ~SizedWindow();
    SizedWindow(const SizedWindow&) = delete;
    SizedWindow& operator=(const SizedWindow&) = delete;
    HWND Handle() const { return hwnd; }

private:
    HWND hwnd;
};

// What `window` shows in its client area now, copied from the screen.
void CopyClient(HWND window, Canvas& canvas);
