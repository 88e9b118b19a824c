// The graph window's chart as a description in the window's own pixels: the frame,
// the grid, the 0 dB line, the labels and the curves' points, and the one walk over
// it that hands them to a painter. The window paints with GDI, and a picture made
// elsewhere with a painter of its own shows the same chart.
#pragma once

struct ChartColour {
    unsigned char red;
    unsigned char green;
    unsigned char blue;
};

struct ChartPoint {
    int x;
    int y;
};

// A text whose top-left corner is at (x, y), in the system font.
struct ChartLabel {
    const char* text;
    int x;
    int y;
};

constexpr int CHART_HORIZONTAL_LINES = 26;  // -48 to +27 dB in steps of 3 dB
constexpr int CHART_LABELS = 10;
// The frame's bottom-left corner, then 1 to 149 Hz: as much as a frame of the
// default width holds.
constexpr int CHART_CURVE_POINTS = 150;
constexpr int CHART_CURVE_WIDTH = 2;
// A picture of the chart made outside the graph window has no Enclosures button: it
// names each design on a title line of its own, above the chart.
constexpr int CHART_TITLE_LINE = 16;
constexpr int CHART_DEFAULT_WIDTH = 328;  // a new graph window's client area
constexpr int CHART_DEFAULT_HEIGHT = 227;

extern const ChartColour CHART_CURVE_COLOURS[3];  // graphs 1, 2, 3: red, green, blue
extern const ChartColour CHART_ZERO_DB_COLOUR;    // blue, 1 pixel wide
// Frame and grid take the painter's own line (GDI's default pen: black, 1 pixel).

// Everything but the curves, for a client area of `width` × `height` pixels. Lines
// run from the first point to the second; the grid lines span the frame.
struct ChartTable {
    int left, top, right, bottom;  // the frame
    int zeroDbY;
    int gridY[CHART_HORIZONTAL_LINES];  // bottom up
    // Vertical grid lines at firstGridX + gridStepX · i for i below gridLinesX: every
    // 10 Hz that lies strictly inside the frame, the left edge being 0 Hz.
    int firstGridX, gridStepX, gridLinesX;
    ChartLabel labels[CHART_LABELS];
};

ChartTable LayOutChart(int width, int height);

// One graph's curve from its levels (elements 1 to 149 are read): 2 pixels per hertz
// and per decibel, levels below -51 dB on the bottom edge, nothing cut above or to
// the right.
void ChartCurve(const ChartTable& table, const int* levels,
                ChartPoint (&points)[CHART_CURVE_POINTS]);

// What the chart is painted with: the graph window's DC, or a picture being written.
// Its lines are horizontal or vertical, 1 pixel wide, and run rightwards or down.
struct ChartPainter {
    // The lines up to EndLines share one pen: of `colour`, or the painter's own
    // (black) when there is none.
    virtual void BeginLines(const ChartColour* colour) = 0;
    virtual void EndLines() = 0;
    // Every pixel of the rectangle's edges, corners included.
    virtual void Frame(int left, int top, int right, int bottom) = 0;
    // From `from` up to `to`, leaving out the last pixel as GDI's LineTo does.
    virtual void Line(ChartPoint from, ChartPoint to) = 0;
    virtual void Text(const ChartLabel& label) = 0;
    // CHART_CURVE_WIDTH pixels wide, round where segments meet and at the ends.
    virtual void Curve(const ChartPoint (&points)[CHART_CURVE_POINTS],
                       const ChartColour& colour) = 0;

protected:
    ~ChartPainter() = default;  // never deleted through the interface
};

// Frame, grid, 0 dB line and labels.
void PaintChartTable(const ChartTable& table, ChartPainter& painter);
// The curves of `count` graphs (at most three), later ones over earlier ones; a graph
// without levels (the window could not allocate them) is left out.
void PaintChartCurves(const ChartTable& table, const int* const* levels, int count,
                      ChartPainter& painter);
