// A chart of one quantity against frequency, for pictures made outside the graph
// window (spktool's limits charts): the value axis scaled to the data in round steps,
// a logarithmic frequency axis from 1 to 299 Hz, up to three curves and the limits the
// curves should stay under. Painted by the same painters as the level chart, whose
// fixed scales suit levels only. The window program does not link it.
#pragma once
#include "chart/Chart.h"

constexpr int PLOT_TEXT_SIZE = 64;
constexpr int PLOT_MOST_GRID_Y = 32;
constexpr int PLOT_GRID_X = 19;  // 2 to 9, 10 to 90, 100 and 200 Hz
constexpr int PLOT_MOST_STRETCHES = 8;  // names of stretches of curves
constexpr int PLOT_MOST_TEXTS = PLOT_MOST_GRID_Y + 12 + 3 + PLOT_MOST_STRETCHES;
constexpr int PLOT_MOST_LIMITS = 3;
extern const ChartColour PLOT_LIMIT_COLOUR;

// A step of 1, 2 or 5 times a power of ten, at least (high - low) / mostIntervals, and
// the multiples of it that enclose low and high. A range of one value is widened to
// one step around it.
struct PlotScale {
    double low, high, step;
    int decimals;  // enough to tell the labels apart
};
PlotScale ScaleFor(double low, double high, int mostIntervals);
// The `span` below `high` rounded up to a step of ScaleFor's, in whole steps: the top of
// a range whose depths matter little (a level 60 dB down is not heard).
PlotScale TopScale(double high, double span, int mostIntervals);

struct PlotText {
    char text[PLOT_TEXT_SIZE];
    int x, y;
};

struct PlotTable {
    int left, top, right, bottom;  // the frame
    PlotScale scale;
    int gridY[PLOT_MOST_GRID_Y];   // bottom up, inside the frame
    int gridLinesY;
    int gridX[PLOT_GRID_X];
    int limitY[PLOT_MOST_LIMITS];
    int limits;
    int limitText[PLOT_MOST_LIMITS];  // each limit's name among the texts
    PlotText texts[PLOT_MOST_TEXTS];
    int textCount;
};

// `title` names the quantity and its unit, on a line above the frame; the curves'
// values run from `low` to `high`, the limits (at most three, as `limitNames` say them)
// widen that range so that they show. With a `span` above 0 the axis shows only that
// much below the top (TopScale), lower values lying on the frame's bottom edge.
PlotTable LayOutPlot(int width, int height, const char* title, double low, double high,
                     const double* limits, const char* const* limitNames, int limitCount,
                     double span = 0);

// Moves each limit's name to the side of its line, right or left, above or below,
// where it covers the fewest points of the curves (`values` as PaintPlot takes them).
void KeepNamesOffCurves(PlotTable& table, const double* const* values, int count);

// Names the stretch of a curve from `fromHz` to `toHz` with `text`, just above the curve
// at the stretch's middle on the frequency axis; left out where the stretch is narrower
// than its name or the table has no room for more texts.
void NameStretch(PlotTable& table, const double* values, int fromHz, int toHz,
                 const char* text);

// One curve from values per whole hertz (elements 1 to 299 are read), at frequencies
// evenly spread on the logarithmic axis, each between its two whole hertz.
void PlotCurve(const PlotTable& table, const double* values,
               ChartPoint (&points)[CHART_CURVE_POINTS]);

// Frame, grid, limit lines, texts, then the curves of `count` designs in red, green
// and blue; a design without values keeps its colour from the next one.
void PaintPlot(const PlotTable& table, const double* const* values, int count,
               ChartPainter& painter);
