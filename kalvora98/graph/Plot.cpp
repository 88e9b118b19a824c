#include "acoustics/Response.h"
#include "graph/GraphWindow.h"

namespace {

// Fixed scales whatever the window size: 2 pixels per hertz, 2 pixels per decibel.
// The 0 dB line sits `center` pixels above the frame's bottom edge, so -51 dB lands
// exactly on that edge.
constexpr int center = 102;
constexpr int PIXELS_PER_DB = 2;
constexpr int PIXELS_PER_HZ = 2;
constexpr int GRID_DB_STEP = 3;
constexpr int GRID_HZ_STEP = 10;
// The lowest and highest horizontal grid lines, in grid steps from 0 dB: -48 to +27 dB.
constexpr int GRID_LOWEST_STEP = -16;
constexpr int GRID_HIGHEST_STEP = 9;
// Up to 149 Hz the curves fit a frame of the default width.
constexpr int LAST_HZ_DRAWN = 149;
constexpr int CURVE_WIDTH = 2;

struct Frame {
    int left;
    int top;
    int right;
    int bottom;
};

// The frame keeps a margin on the left and top, and room for the level labels on the
// right and for the frequency labels and the buttons below.
Frame ChartFrame(HWND hwnd)
{
    RECT r;
    GetClientRect(hwnd, &r);
    return {r.left + 5, r.top + 5, r.right - 25, r.bottom - 60};
}

void Line(HDC hdc, int x0, int y0, int x1, int y1)
{
    MoveToEx(hdc, x0, y0, nullptr);
    LineTo(hdc, x1, y1);
}

// A pen is made for one line or curve. Selecting it returns the pen it displaced.
HGDIOBJ SelectNewPen(HDC hdc, int width, COLORREF colour)
{
    return SelectObject(hdc, CreatePen(PS_SOLID, width, colour));
}

// The pen must leave the DC before it is deleted, or the DC keeps a dead pen and the
// GDI object leaks.
void ReleasePen(HDC hdc, HGDIOBJ previous)
{
    DeleteObject(SelectObject(hdc, previous));
}

void DrawGrid(HDC hdc, const Frame& f)
{
    for (int i = GRID_LOWEST_STEP; i <= GRID_HIGHEST_STEP; ++i) {
        int y = f.bottom - center - PIXELS_PER_DB * GRID_DB_STEP * i;
        Line(hdc, f.left, y, f.right, y);
    }
    // The left frame edge doubles as the 0 Hz line, so the grid starts at 10 Hz.
    const int step = PIXELS_PER_HZ * GRID_HZ_STEP;
    for (int i = 1; step * i < f.right - f.left; ++i) {
        int leftpos = f.left + step * i;
        Line(hdc, leftpos, f.top, leftpos, f.bottom);
    }
}

// The frequency labels stay at fixed client positions, a few pixels left of the
// frequency they name; the others follow the frame's right and bottom edges.
void DrawLabels(HDC hdc, const Frame& f)
{
    const struct {
        const char* text;
        int x;
        int y;
    } labels[] = {
        {"20", 38, f.bottom + 1},
        {"40", 78, f.bottom + 1},
        {"60", 118, f.bottom + 1},
        {"80", 158, f.bottom + 1},
        {"100", 194, f.bottom + 1},
        {"Hz", f.right - 15, f.bottom + 1},
        {"  0", f.right + 1, f.bottom - 110},
        {" +9", f.right + 1, f.bottom - 128},
        {" -9", f.right + 1, f.bottom - 92},
        {" dB", f.right + 1, f.bottom - 14},
    };
    for (const auto& label : labels)
        TextOutA(hdc, label.x, label.y, label.text, lstrlenA(label.text));
}

// Levels below -51 dB rest on the bottom edge; nothing limits a curve upwards or to
// the right, where only the window's edges cut it. Every curve starts at the frame's
// bottom-left corner. One Polyline draws the same segments as a LineTo for each
// point, with round joins where LineTo has round caps, at a fraction of the cost of
// 149 wide-pen calls.
void DrawCurve(HDC hdc, const Frame& f, const int* levels, COLORREF colour)
{
    if (!levels)  // the window could not allocate it
        return;
    POINT points[LAST_HZ_DRAWN + 1] = {{f.left, f.bottom}};
    int x = 1;
    for (int y = 1; y <= LAST_HZ_DRAWN; ++y) {
        int Mag = f.bottom - (PIXELS_PER_DB * levels[y] + center);
        if (Mag > f.bottom)
            Mag = f.bottom;
        x += PIXELS_PER_HZ;
        points[y] = {f.left + x, Mag};
    }
    HGDIOBJ previous = SelectNewPen(hdc, CURVE_WIDTH, colour);
    Polyline(hdc, points, LAST_HZ_DRAWN + 1);
    ReleasePen(hdc, previous);
}

}  // namespace

void DrawTable(HDC hdc, HWND hwnd)
{
    const Frame f = ChartFrame(hwnd);
    MoveToEx(hdc, f.left, f.top, nullptr);
    LineTo(hdc, f.right, f.top);
    LineTo(hdc, f.right, f.bottom);
    LineTo(hdc, f.left, f.bottom);
    LineTo(hdc, f.left, f.top);
    DrawGrid(hdc, f);
    MoveToEx(hdc, f.left, f.bottom - center, nullptr);
    HGDIOBJ previous = SelectNewPen(hdc, 1, RGB(0, 0, 255));
    LineTo(hdc, f.right, f.bottom - center);
    ReleasePen(hdc, previous);
    DrawLabels(hdc, f);
}

// Later graphs are drawn over earlier ones: blue over green over red.
void DrawGraph(HDC hdc, HWND hwnd)
{
    const Frame f = ChartFrame(hwnd);
    const struct {
        const int* levels;
        COLORREF colour;
    } curves[] = {
        {dBMag, RGB(255, 0, 0)},
        {dBMag2, RGB(0, 255, 0)},
        {dBMag3, RGB(0, 0, 255)},
    };
    for (int k = 1; k <= 3 && graphNumber >= k; ++k)
        DrawCurve(hdc, f, curves[k - 1].levels, curves[k - 1].colour);
}
