#include "support/Pixels.h"

Canvas::Canvas(int w, int h, int y0) : width(w), height(h), originY(y0)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, so row r is bits + r * width
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bits = static_cast<const unsigned*>(pixels);
    previous = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, width, height, WHITENESS);
    SetViewportOrgEx(dc, 0, originY, nullptr);
}

Canvas::~Canvas()
{
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// The DIB holds 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
int Canvas::CountOffRow(COLORREF colour, int y) const
{
    GdiFlush();
    const unsigned wanted = GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
    int n = 0;
    for (int row = 0; row < height; ++row) {
        if (row - originY == y)
            continue;
        for (int x = 0; x < width; ++x)
            n += (bits[row * width + x] & 0xFFFFFF) == wanted;
    }
    return n;
}

int Canvas::Count(COLORREF colour) const
{
    return CountOffRow(colour, -originY - 1);  // a row above the bitmap
}

namespace {

const char SIZED_CLASS[] = "KalvoraTestSizedWindow";

}  // namespace

SizedWindow::SizedWindow(int width, int height)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = SIZED_CLASS;
    RegisterClassA(&wc);  // fails harmlessly once registered
    hwnd = CreateWindowExA(0, SIZED_CLASS, "", WS_POPUP, 0, 0, width, height, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

SizedWindow::~SizedWindow()
{
    DestroyWindow(hwnd);
}

void CopyClient(HWND window, Canvas& canvas)
{
    RECT client;
    GetClientRect(window, &client);
    HDC screen = GetDC(window);
    BitBlt(canvas.Dc(), 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
    ReleaseDC(window, screen);
}
