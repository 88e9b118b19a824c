#include "chart/Chart.h"

namespace {

// Fixed scales whatever the window size: 2 pixels per hertz, 2 pixels per decibel.
// The 0 dB line sits `center` pixels above the frame's bottom edge, so -51 dB lands
// exactly on that edge.
constexpr int center = 102;
constexpr int PIXELS_PER_DB = 2;
constexpr int PIXELS_PER_HZ = 2;
constexpr int GRID_DB_STEP = 3;
constexpr int GRID_HZ_STEP = 10;
constexpr int GRID_LOWEST_STEP = -16;  // -48 dB, in grid steps from 0 dB

}  // namespace

const ChartColour CHART_CURVE_COLOURS[3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
const ChartColour CHART_ZERO_DB_COLOUR = {0, 0, 255};

// The frame keeps a margin on the left and top, and room for the level labels on the
// right and for the frequency labels and the buttons below. The frequency labels stay
// at fixed positions, a few pixels left of the frequency they name; the others follow
// the frame's right and bottom edges.
ChartTable LayOutChart(int width, int height)
{
    ChartTable t = {};
    t.left = 5;
    t.top = 5;
    t.right = width - 25;
    t.bottom = height - 60;
    t.zeroDbY = t.bottom - center;
    for (int i = 0; i < CHART_HORIZONTAL_LINES; ++i)
        t.gridY[i] = t.zeroDbY - PIXELS_PER_DB * GRID_DB_STEP * (GRID_LOWEST_STEP + i);
    t.gridStepX = PIXELS_PER_HZ * GRID_HZ_STEP;
    t.firstGridX = t.left + t.gridStepX;
    int span = t.right - t.left;
    t.gridLinesX = span > 0 ? (span - 1) / t.gridStepX : 0;
    const ChartLabel labels[CHART_LABELS] = {
        {"20", 38, t.bottom + 1},
        {"40", 78, t.bottom + 1},
        {"60", 118, t.bottom + 1},
        {"80", 158, t.bottom + 1},
        {"100", 194, t.bottom + 1},
        {"Hz", t.right - 15, t.bottom + 1},
        {"  0", t.right + 1, t.bottom - 110},
        {" +9", t.right + 1, t.bottom - 128},
        {" -9", t.right + 1, t.bottom - 92},
        {" dB", t.right + 1, t.bottom - 14},
    };
    for (int i = 0; i < CHART_LABELS; ++i)
        t.labels[i] = labels[i];
    return t;
}

void ChartCurve(const ChartTable& table, const int* levels,
                ChartPoint (&points)[CHART_CURVE_POINTS])
{
    points[0] = {table.left, table.bottom};
    int x = 1;
    for (int y = 1; y < CHART_CURVE_POINTS; ++y) {
        int Mag = table.bottom - (PIXELS_PER_DB * levels[y] + center);
        if (Mag > table.bottom)
            Mag = table.bottom;
        x += PIXELS_PER_HZ;
        points[y] = {table.left + x, Mag};
    }
}

void PaintChartTable(const ChartTable& t, ChartPainter& painter)
{
    painter.BeginLines(nullptr);
    painter.Frame(t.left, t.top, t.right, t.bottom);
    for (int y : t.gridY)
        painter.Line({t.left, y}, {t.right, y});
    for (int i = 0; i < t.gridLinesX; ++i) {
        const int x = t.firstGridX + t.gridStepX * i;
        painter.Line({x, t.top}, {x, t.bottom});
    }
    painter.EndLines();
    painter.BeginLines(&CHART_ZERO_DB_COLOUR);
    painter.Line({t.left, t.zeroDbY}, {t.right, t.zeroDbY});
    painter.EndLines();
    for (const ChartLabel& label : t.labels)
        painter.Text(label);
}

void PaintChartCurves(const ChartTable& t, const int* const* levels, int count,
                      ChartPainter& painter)
{
    for (int k = 0; k < count; ++k) {
        if (!levels[k])
            continue;
        ChartPoint points[CHART_CURVE_POINTS];
        ChartCurve(t, levels[k], points);
        painter.Curve(points, CHART_CURVE_COLOURS[k]);
    }
}
