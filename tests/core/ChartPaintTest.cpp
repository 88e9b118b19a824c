#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/Chart.h"

namespace {

constexpr int OWN_PEN = -1, NO_PEN = -2;

int Rgb(const ChartColour& c) { return c.red << 16 | c.green << 8 | c.blue; }

// Keeps what is painted; a line outside BeginLines and EndLines misses the SVG's paths.
struct Recorder final : ChartPainter {
    void BeginLines(const ChartColour* colour) override { pen = colour ? Rgb(*colour) : OWN_PEN; }
    void EndLines() override { pen = NO_PEN; }
    void Frame(int, int top, int, int) override { rows.push_back({top, pen}); }
    void Line(ChartPoint from, ChartPoint to) override
    {
        EXPECT_NE(pen, NO_PEN);
        if (from.y == to.y)
            rows.push_back({from.y, pen});
        else
            columns.push_back(from.x);
    }
    void Text(const ChartLabel& label) override { texts.insert(label.text); }
    void Curve(const ChartPoint (&points)[CHART_CURVE_POINTS], const ChartColour& c) override
    {
        curves.push_back({points[CHART_CURVE_POINTS - 1].y, Rgb(c)});
    }

    int pen = NO_PEN;
    std::vector<int> columns;
    std::vector<std::pair<int, int>> rows, curves;  // y, and the pen or colour
    std::set<std::string> texts;
};

// Catches the frame or a grid line left out or painted twice, a label left out, or
// the 0 dB line drawn with the frame's pen (the SVG's blue path would be lost).
TEST(ChartPaintTest, TablePaintsEachLineOnceWithItsPenAndEveryLabel)
{
    const ChartTable t = LayOutChart(CHART_DEFAULT_WIDTH, CHART_DEFAULT_HEIGHT);
    Recorder r;
    PaintChartTable(t, r);
    std::vector<std::pair<int, int>> rows = {{t.top, OWN_PEN}};  // the frame first
    for (int y : t.gridY)
        rows.push_back({y, OWN_PEN});
    rows.push_back({t.zeroDbY, 0x0000ff});
    EXPECT_EQ(r.rows, rows);
    EXPECT_EQ(static_cast<int>(r.columns.size()), t.gridLinesX);
    EXPECT_EQ(std::set<int>(r.columns.begin(), r.columns.end()).size(), r.columns.size());
    EXPECT_EQ(r.texts.size(), std::size_t{CHART_LABELS});
}

// Catches a missing graph stopping the ones after it, or a graph taking the colour of
// its place among those painted instead of its own.
TEST(ChartPaintTest, CurvesKeepTheirColoursWhenOneIsMissing)
{
    const ChartTable t = LayOutChart(CHART_DEFAULT_WIDTH, CHART_DEFAULT_HEIGHT);
    Recorder r;
    const std::vector<int> loud(CHART_CURVE_POINTS, 6), quiet(CHART_CURVE_POINTS, -6);
    const int* const levels[] = {loud.data(), nullptr, quiet.data()};
    PaintChartCurves(t, levels, 3, r);
    EXPECT_EQ(r.curves, (std::vector<std::pair<int, int>>{{t.zeroDbY - 12, 0xff0000},
                                                          {t.zeroDbY + 12, 0x0000ff}}));
}

}  // namespace
