#include "chart/Plot.h"

#include <cmath>
#include <initializer_list>

#include "acoustics/Response.h"
#include "numbers/Elementary.h"
#include "numbers/NumberText.h"

namespace {

constexpr int MARGIN = 5;
constexpr int CHAR_WIDTH = 7;        // the widest digit of either font, with its gap
constexpr int LINE_PIXELS = 20;      // at least this far between value grid lines
constexpr int MOST_INTERVALS = 24;   // leaves room for the labels of outward rounding
constexpr int BELOW_FRAME = 20;      // the frequency labels
// A limit's name is measured wider than the labels: it lies inside the frame, where
// a reader's wider font would run it into the curves or past the edge.
constexpr int NAME_CHAR_WIDTH = 8;
constexpr int NAME_HEIGHT = 14;
// Divisions a hair off a whole number, as 0.3 / 0.1, count as that number.
constexpr double SLACK = 1e-9;

// Grid lines every 1, 10 and 100 Hz up to the axis' end; labels where they fit.
const int GRID_HZ[PLOT_GRID_X] = {2,  3,  4,  5,  6,  7,  8,  9,   10, 20,
                                  30, 40, 50, 60, 70, 80, 90, 100, 200};
const int LABEL_HZ[] = {2, 5, 10, 20, 50, 100, 200};

int Length(const char* text)
{
    int n = 0;
    while (text[n])
        ++n;
    return n;
}

void Copy(char (&to)[PLOT_TEXT_SIZE], const char* from)
{
    int i = 0;
    for (; from[i] && i < PLOT_TEXT_SIZE - 1; ++i)
        to[i] = from[i];
    to[i] = '\0';
}

// Pixels as GDI would place them: half a pixel rounds away from the frame's origin,
// and nothing beyond an int's reach is converted.
int Pixel(double v)
{
    if (!(v > -1e6))
        return -1000000;
    if (v > 1e6)
        return 1000000;
    return static_cast<int>(std::floor(v + 0.5));
}

int ValueY(const PlotTable& t, double v)
{
    if (v != v)
        return t.bottom;
    const int y = t.bottom - Pixel((v - t.scale.low) / (t.scale.high - t.scale.low) *
                                   (t.bottom - t.top));
    return y < t.top ? t.top : y > t.bottom ? t.bottom : y;
}

int FrequencyX(const PlotTable& t, double hz)
{
    return t.left + Pixel((t.right - t.left) * Log10(hz) / Log10(HIGHEST_HZ));
}

void AddText(PlotTable& t, const char* text, int x, int y)
{
    if (t.textCount == PLOT_MOST_TEXTS)
        return;
    PlotText& added = t.texts[t.textCount++];
    Copy(added.text, text);
    added.x = x;
    added.y = y;
}

// The value axis in round steps over the curves and the limits, no closer than
// LINE_PIXELS a step; with a `span`, that much below the top step alone.
void ScaleValues(PlotTable& t, double low, double high, const double* limits, double span)
{
    for (int k = 0; k < t.limits; ++k) {
        low = limits[k] < low ? limits[k] : low;
        high = limits[k] > high ? limits[k] : high;
    }
    const int room = (t.bottom - t.top) / LINE_PIXELS;
    const int most = room < MOST_INTERVALS ? room : MOST_INTERVALS;
    t.scale = span > 0 && span < 1e300 ? TopScale(high, span, most) : ScaleFor(low, high, most);
}

// The title, and the values' grid lines with their labels right of the frame, whose
// widest label sets where the frame ends.
void LabelValues(PlotTable& t, int width, const char* title)
{
    const int intervals = Pixel((t.scale.high - t.scale.low) / t.scale.step);
    char labels[PLOT_MOST_GRID_Y + 1][NUMBER_TEXT_SIZE];
    int widest = 0;
    for (int i = 0; i <= intervals && i <= PLOT_MOST_GRID_Y; ++i) {
        FormatNumber(labels[i], t.scale.low + i * t.scale.step, t.scale.decimals);
        if (Length(labels[i]) > widest)
            widest = Length(labels[i]);
    }
    widest = widest < PLOT_TEXT_SIZE - 1 ? widest : PLOT_TEXT_SIZE - 1;
    t.right = width - MARGIN - 3 - CHAR_WIDTH * widest;
    if (t.right <= t.left)
        t.right = t.left + 1;

    AddText(t, title, t.left, MARGIN - 2);
    for (int i = 0; i <= intervals && i <= PLOT_MOST_GRID_Y; ++i) {
        const int y = ValueY(t, t.scale.low + i * t.scale.step);
        if (i > 0 && i < intervals)
            t.gridY[t.gridLinesY++] = y;
        AddText(t, labels[i], t.right + 3, y - 7);
    }
}

// The unit after the last label that leaves room for it ("200 Hz"): under 1 Hz, where
// there is no line's label, it was read as one.
void AddUnit(PlotTable& t, int first)
{
    for (int i = t.textCount - 1; i >= first; --i) {
        PlotText& label = t.texts[i];
        if (label.x + CHAR_WIDTH * (Length(label.text) + 3) <= t.right + CHAR_WIDTH) {
            int n = Length(label.text);
            for (const char* unit = " Hz"; *unit && n < PLOT_TEXT_SIZE - 1;)
                label.text[n++] = *unit++;
            label.text[n] = '\0';
            t.textCount = i + 1;
            return;
        }
    }
    t.textCount = first;
    AddText(t, "Hz", t.left, t.bottom + 3);
}

// The frequencies' labels centred under their lines, each left out where it would run
// into the one before or past the frame.
void LabelFrequencies(PlotTable& t)
{
    for (int i = 0; i < PLOT_GRID_X; ++i)
        t.gridX[i] = FrequencyX(t, GRID_HZ[i]);
    const int first = t.textCount;
    int free = t.left;
    for (int hz : LABEL_HZ) {
        char text[NUMBER_TEXT_SIZE];
        FormatNumber(text, hz, 0);
        const int n = Length(text), x = FrequencyX(t, hz) - CHAR_WIDTH * n / 2;
        if (x < free || x + CHAR_WIDTH * n > t.right + CHAR_WIDTH)
            continue;
        AddText(t, text, x, t.bottom + 3);
        free = x + CHAR_WIDTH * n + CHAR_WIDTH / 2;
    }
    AddUnit(t, first);
}

// Each limit's name above its line, at the right, where the curves of a box's limits
// have usually fallen away; KeepNamesOffCurves moves it where they have not.
void LabelLimits(PlotTable& t, const double* limits, const char* const* names)
{
    for (int k = 0; k < t.limits; ++k) {
        t.limitY[k] = ValueY(t, limits[k]);
        const int above = t.limitY[k] - NAME_HEIGHT;
        const int x = t.right - 3 - NAME_CHAR_WIDTH * Length(names[k]);
        t.limitText[k] = t.textCount;
        AddText(t, names[k], x > t.left ? x : t.left + 1,
                above > t.top ? above : t.limitY[k] + 2);
    }
}

// The curves' points under a name at (x, y), a pixel of margin around it.
int Covered(const PlotTable& t, const double* const* values, int count, int x, int y,
            int width)
{
    int covered = 0;
    for (int k = 0; k < count; ++k) {
        if (!values[k])
            continue;
        ChartPoint points[CHART_CURVE_POINTS];
        PlotCurve(t, values[k], points);
        for (const ChartPoint& p : points)
            covered += p.x >= x - 2 && p.x <= x + width + 2 && p.y >= y - 1 &&
                       p.y <= y + NAME_HEIGHT + 1;
    }
    return covered;
}

}  // namespace

const ChartColour PLOT_LIMIT_COLOUR = {255, 128, 0};  // orange: none of the curves'

PlotScale ScaleFor(double low, double high, int mostIntervals)
{
    if (!(low == low && high == high && low > -1e300 && high < 1e300))
        low = 0, high = 1;
    if (mostIntervals < 1)
        mostIntervals = 1;
    double span = high - low;
    if (!(span > 0))
        span = low != 0 ? std::fabs(low) : 1;
    const double least = span / mostIntervals;
    int exponent = static_cast<int>(std::floor(Log10(least)));
    double power = Pow(10, exponent);
    if (power * 10 <= least)
        power = Pow(10, ++exponent);
    double step = 10 * power;
    for (double multiple : {1.0, 2.0, 5.0})
        if (multiple * power >= least * (1 - SLACK)) {
            step = multiple * power;
            break;
        }
    if (step == 10 * power)
        ++exponent;
    double first = std::floor(low / step + SLACK), last = std::ceil(high / step - SLACK);
    if (first == last)
        first -= 1, last += 1;
    return {first * step, last * step, step, exponent < 0 ? -exponent : 0};
}

PlotScale TopScale(double high, double span, int mostIntervals)
{
    if (!(high == high && high > -1e300 && high < 1e300))
        high = 0;
    if (!(span > 0 && span < 1e300))
        span = 1;
    PlotScale scale = ScaleFor(high - span, high, mostIntervals);
    scale.high = std::ceil(high / scale.step - SLACK) * scale.step;
    scale.low = scale.high - std::ceil(span / scale.step - SLACK) * scale.step;
    return scale;
}

PlotTable LayOutPlot(int width, int height, const char* title, double low, double high,
                     const double* limits, const char* const* limitNames, int limitCount,
                     double span)
{
    PlotTable t = {};
    t.left = MARGIN;
    t.top = MARGIN + CHART_TITLE_LINE;
    t.bottom = height - BELOW_FRAME;
    if (t.bottom <= t.top)
        t.bottom = t.top + 1;
    t.limits = limitCount < PLOT_MOST_LIMITS ? limitCount : PLOT_MOST_LIMITS;
    ScaleValues(t, low, high, limits, span);
    LabelValues(t, width, title);
    LabelFrequencies(t);
    LabelLimits(t, limits, limitNames);
    return t;
}

void PlotCurve(const PlotTable& t, const double* values, ChartPoint (&points)[CHART_CURVE_POINTS])
{
    constexpr int LAST = CHART_CURVE_POINTS - 1;
    for (int i = 0; i <= LAST; ++i) {
        double hz = Pow(HIGHEST_HZ, static_cast<double>(i) / LAST);
        hz = hz < LOWEST_HZ ? LOWEST_HZ : hz > HIGHEST_HZ ? HIGHEST_HZ : hz;
        const int below = static_cast<int>(hz), above = below < HIGHEST_HZ ? below + 1 : below;
        const double value = values[below] + (values[above] - values[below]) * (hz - below);
        points[i] = {t.left + Pixel(static_cast<double>(t.right - t.left) * i / LAST),
                     ValueY(t, value)};
    }
}

void NameStretch(PlotTable& t, const double* values, int fromHz, int toHz, const char* text)
{
    const int left = FrequencyX(t, fromHz), right = FrequencyX(t, toHz);
    const int width = NAME_CHAR_WIDTH * Length(text);
    if (right - left < width)
        return;
    const int middle = Pixel(std::sqrt(static_cast<double>(fromHz) * toHz));
    int y = ValueY(t, values[middle]) - NAME_HEIGHT;
    y = y > t.top ? y : t.top + 2;
    const int x = (left + right - width) / 2;
    // Another curve's stretch named at the same place: one name serves both, or neither
    // could be read.
    for (int k = 0; k < t.textCount; ++k) {
        const PlotText& other = t.texts[k];
        if (other.x < x + width && x < other.x + NAME_CHAR_WIDTH * Length(other.text) &&
            other.y < y + NAME_HEIGHT && y < other.y + NAME_HEIGHT)
            return;
    }
    AddText(t, text, x, y);
}

void KeepNamesOffCurves(PlotTable& t, const double* const* values, int count)
{
    for (int k = 0; k < t.limits; ++k) {
        PlotText& name = t.texts[t.limitText[k]];
        const int width = NAME_CHAR_WIDTH * Length(name.text);
        const int right = t.right - 3 - width > t.left ? t.right - 3 - width : t.left + 1;
        const int above = t.limitY[k] - NAME_HEIGHT, below = t.limitY[k] + 2;
        // Right before left, above before below: the first place with the fewest points.
        const ChartPoint places[] = {{right, above}, {right, below}, {t.left + 3, above},
                                     {t.left + 3, below}};
        int fewest = -1;
        for (const ChartPoint& p : places) {
            if (p.y <= t.top || p.y + NAME_HEIGHT >= t.bottom)
                continue;
            const int covered = Covered(t, values, count, p.x, p.y, width);
            if (fewest < 0 || covered < fewest)
                fewest = covered, name.x = p.x, name.y = p.y;
        }
    }
}

void PaintPlot(const PlotTable& t, const double* const* values, int count, ChartPainter& painter)
{
    painter.BeginLines(nullptr);
    painter.Frame(t.left, t.top, t.right, t.bottom);
    for (int i = 0; i < t.gridLinesY; ++i)
        painter.Line({t.left, t.gridY[i]}, {t.right, t.gridY[i]});
    for (int x : t.gridX)
        if (x > t.left && x < t.right)
            painter.Line({x, t.top}, {x, t.bottom});
    painter.EndLines();
    if (t.limits > 0) {
        painter.BeginLines(&PLOT_LIMIT_COLOUR);
        for (int k = 0; k < t.limits; ++k)
            painter.Line({t.left, t.limitY[k]}, {t.right, t.limitY[k]});
        painter.EndLines();
    }
    for (int i = 0; i < t.textCount; ++i)
        painter.Text({t.texts[i].text, t.texts[i].x, t.texts[i].y});
    for (int k = 0; k < count && k < 3; ++k) {
        if (!values[k])
            continue;
        ChartPoint points[CHART_CURVE_POINTS];
        PlotCurve(t, values[k], points);
        painter.Curve(points, CHART_CURVE_COLOURS[k]);
    }
}
