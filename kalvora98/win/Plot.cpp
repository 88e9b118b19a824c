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

// The graph window's DC: frame and grid with its own pen, the labels in its own font
// and colours.
class GdiPainter final : public ChartPainter {
public:
    explicit GdiPainter(HDC hdc) : hdc_(hdc) {}

    void BeginLines(const ChartColour* colour) override
    {
        previous_ = colour ? SelectNewPen(hdc_, 1, *colour) : nullptr;
    }
    void EndLines() override
    {
        if (previous_)
            ReleasePen(hdc_, previous_);
    }
    void Frame(int left, int top, int right, int bottom) override
    {
        MoveToEx(hdc_, left, top, nullptr);
        LineTo(hdc_, right, top);
        LineTo(hdc_, right, bottom);
        LineTo(hdc_, left, bottom);
        LineTo(hdc_, left, top);
    }
    void Line(ChartPoint from, ChartPoint to) override
    {
        MoveToEx(hdc_, from.x, from.y, nullptr);
        LineTo(hdc_, to.x, to.y);
    }
    void Text(const ChartLabel& label) override
    {
        TextOutA(hdc_, label.x, label.y, label.text, lstrlenA(label.text));
    }
    // One Polyline draws the same segments as a LineTo for each point, with round
    // joins where LineTo has round caps, at a fraction of the cost of 149 wide-pen
    // calls.
    void Curve(const ChartPoint (&curve)[CHART_CURVE_POINTS], const ChartColour& colour) override
    {
        POINT points[CHART_CURVE_POINTS];
        for (int i = 0; i < CHART_CURVE_POINTS; ++i)
            points[i] = {curve[i].x, curve[i].y};
        HGDIOBJ previous = SelectNewPen(hdc_, CHART_CURVE_WIDTH, colour);
        Polyline(hdc_, points, CHART_CURVE_POINTS);
        ReleasePen(hdc_, previous);
    }

private:
    HDC hdc_;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace

void DrawTable(HDC hdc, HWND hwnd)
{
    GdiPainter painter(hdc);
    PaintChartTable(LayOutFor(hwnd), painter);
}

void DrawGraph(HDC hdc, HWND hwnd)
{
    GdiPainter painter(hdc);
    const int* const curves[] = {dBMag, dBMag2, dBMag3};
    PaintChartCurves(LayOutFor(hwnd), curves, graphNumber < 3 ? graphNumber : 3, painter);
}
