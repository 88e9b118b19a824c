#include "acoustics/Response.h"
#include "chart/Chart.h"
#include "win/GraphWindow.h"

namespace {

ChartTable LayOutFor(HWND hwnd)
{
    RECT r;
    GetClientRect(hwnd, &r);
    return LayOutChart(r.right, r.bottom);
}

COLORREF Colour(const ChartColour& c)
{
    return RGB(c.red, c.green, c.blue);
}

void Line(HDC hdc, int x0, int y0, int x1, int y1)
{
    MoveToEx(hdc, x0, y0, nullptr);
    LineTo(hdc, x1, y1);
}

// A pen is made for one line or curve. Selecting it returns the pen it displaced.
HGDIOBJ SelectNewPen(HDC hdc, int width, const ChartColour& colour)
{
    return SelectObject(hdc, CreatePen(PS_SOLID, width, Colour(colour)));
}

// The pen must leave the DC before it is deleted, or the DC keeps a dead pen and the
// GDI object leaks.
void ReleasePen(HDC hdc, HGDIOBJ previous)
{
    DeleteObject(SelectObject(hdc, previous));
}

void DrawGrid(HDC hdc, const ChartTable& t)
{
    for (int y : t.gridY)
        Line(hdc, t.left, y, t.right, y);
    for (int i = 0; i < t.gridLinesX; ++i) {
        int leftpos = t.firstGridX + t.gridStepX * i;
        Line(hdc, leftpos, t.top, leftpos, t.bottom);
    }
}

// One Polyline draws the same segments as a LineTo for each point, with round joins
// where LineTo has round caps, at a fraction of the cost of 149 wide-pen calls.
void DrawCurve(HDC hdc, const ChartTable& t, const int* levels, const ChartColour& colour)
{
    if (!levels)  // the window could not allocate it
        return;
    ChartPoint curve[CHART_CURVE_POINTS];
    ChartCurve(t, levels, curve);
    POINT points[CHART_CURVE_POINTS];
    for (int i = 0; i < CHART_CURVE_POINTS; ++i)
        points[i] = {curve[i].x, curve[i].y};
    HGDIOBJ previous = SelectNewPen(hdc, CHART_CURVE_WIDTH, colour);
    Polyline(hdc, points, CHART_CURVE_POINTS);
    ReleasePen(hdc, previous);
}

}  // namespace

// Frame and grid with the DC's own pen; the labels in its own font and colours.
void DrawTable(HDC hdc, HWND hwnd)
{
    const ChartTable t = LayOutFor(hwnd);
    MoveToEx(hdc, t.left, t.top, nullptr);
    LineTo(hdc, t.right, t.top);
    LineTo(hdc, t.right, t.bottom);
    LineTo(hdc, t.left, t.bottom);
    LineTo(hdc, t.left, t.top);
    DrawGrid(hdc, t);
    MoveToEx(hdc, t.left, t.zeroDbY, nullptr);
    HGDIOBJ previous = SelectNewPen(hdc, 1, CHART_ZERO_DB_COLOUR);
    LineTo(hdc, t.right, t.zeroDbY);
    ReleasePen(hdc, previous);
    for (const ChartLabel& label : t.labels)
        TextOutA(hdc, label.x, label.y, label.text, lstrlenA(label.text));
}

// Later graphs are drawn over earlier ones: blue over green over red.
void DrawGraph(HDC hdc, HWND hwnd)
{
    const ChartTable t = LayOutFor(hwnd);
    const int* const curves[] = {dBMag, dBMag2, dBMag3};
    for (int k = 1; k <= 3 && graphNumber >= k; ++k)
        DrawCurve(hdc, t, curves[k - 1], CHART_CURVE_COLOURS[k - 1]);
}
