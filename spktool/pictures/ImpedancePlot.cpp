#include "pictures/ImpedancePlot.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "chart/Plot.h"
#include "numbers/Elementary.h"
#include "numbers/NumberStrings.h"
#include "numbers/Series.h"
#include "pictures/Pictures.h"

namespace {

constexpr int WIDTH = 480, HEIGHT = 300;
// Room for the ohm labels on the left, the degrees on the right and the hertz below.
constexpr int LEFT = 44, RIGHT = WIDTH - 52, TOP = 22, BOTTOM = HEIGHT - 22;
// The phase of a driver stays within a quarter turn either way.
constexpr double PHASE_LOW = -90, PHASE_HIGH = 90;
// The phases in paler shades of their magnitudes' colours. The fitted magnitude is
// dotted (SvgPicture's dashes for blue), so that the measured one shows beneath it.
constexpr ChartColour MEASURED_PHASE = {240, 150, 150};
constexpr ChartColour FITTED_PHASE = {150, 150, 240};

// The curves at CHART_CURVE_POINTS frequencies evenly spread on the axis.
struct Sampled {
    double logLow, logHigh;
    double hz[CHART_CURVE_POINTS];
    double measuredOhm[CHART_CURVE_POINTS], measuredDeg[CHART_CURVE_POINTS];
    double fittedOhm[CHART_CURVE_POINTS], fittedDeg[CHART_CURVE_POINTS];
};

// The measured point at `hz`, straight between its neighbours on the logarithmic axis.
ImpedancePoint MeasuredAt(const std::vector<ImpedancePoint>& points, double hz)
{
    const auto above = std::lower_bound(points.begin(), points.end(), hz,
                                        [](const ImpedancePoint& p, double f) { return p.hz < f; });
    if (above == points.begin()) return points.front();
    if (above == points.end()) return points.back();
    const ImpedancePoint& a = *(above - 1);
    const ImpedancePoint& b = *above;
    const double t = Log10(hz / a.hz) / Log10(b.hz / a.hz);
    return {hz, a.ohm + t * (b.ohm - a.ohm), a.deg + t * (b.deg - a.deg)};
}

Sampled Sample(const ImpedanceCurve& curve, const DriverImpedance& fitted)
{
    Sampled s{};
    s.logLow = Log10(curve.points.front().hz);
    s.logHigh = Log10(curve.points.back().hz);
    for (int i = 0; i < CHART_CURVE_POINTS; ++i) {
        const double at = s.logLow + (s.logHigh - s.logLow) * i / (CHART_CURVE_POINTS - 1);
        s.hz[i] = std::clamp(Pow(10, at), curve.points.front().hz, curve.points.back().hz);
        const ImpedancePoint measured = MeasuredAt(curve.points, s.hz[i]);
        const std::complex<double> z = ImpedanceAt(fitted, s.hz[i]);
        s.measuredOhm[i] = measured.ohm;
        s.measuredDeg[i] = measured.deg;
        s.fittedOhm[i] = std::sqrt(z.real() * z.real() + z.imag() * z.imag());
        s.fittedDeg[i] = Atan2Degrees(z.imag(), z.real());
    }
    return s;
}

int X(const Sampled& s, double logHz)
{
    return LEFT + static_cast<int>((RIGHT - LEFT) * (logHz - s.logLow) / (s.logHigh - s.logLow) + 0.5);
}

// Values outside the scale lie on the frame's edge.
int Y(double value, double low, double high)
{
    const double y = BOTTOM - (BOTTOM - TOP) * (value - low) / (high - low);
    return static_cast<int>(std::clamp(y, double{TOP}, double{BOTTOM}) + 0.5);
}

std::string HertzText(double hz)
{
    return hz >= 1000 ? Plain(hz / 1000) + "k" : Plain(hz);
}

// The grid and its labels: 1 to 9 times each power of ten inside the curve's range,
// labelled at 1, 2 and 5; the ohm scale's steps on the left, the degrees on the right.
void PaintGrid(const Sampled& s, const PlotScale& ohm, bool phase, ChartPainter& painter)
{
    struct Label {
        std::string text;
        int x, y;
    };
    std::vector<Label> labels;
    const auto label = [&labels](std::string text, int x, int y) {
        labels.push_back({std::move(text), x, y});
    };
    painter.BeginLines(nullptr);
    painter.Frame(LEFT, TOP, RIGHT, BOTTOM);
    for (int decade = static_cast<int>(s.logLow) - 1; decade <= static_cast<int>(s.logHigh); ++decade)
        for (int m = 1; m <= 9; ++m) {
            const double hz = m * Pow(10, decade), at = Log10(hz);
            if (!(at > s.logLow && at < s.logHigh)) continue;
            painter.Line({X(s, at), TOP + 1}, {X(s, at), BOTTOM});
            if (m == 1 || m == 2 || m == 5) label(HertzText(hz), X(s, at) - 8, BOTTOM + 4);
        }
    for (double v = ohm.low; v <= ohm.high + ohm.step / 2; v += ohm.step) {
        const int y = Y(v, ohm.low, ohm.high);
        if (y > TOP && y < BOTTOM) painter.Line({LEFT + 1, y}, {RIGHT, y});
        label(Fixed(v, ohm.decimals), 4, y - 7);
    }
    painter.EndLines();
    label("ohm", 4, 4);
    if (phase) {
        for (double deg = PHASE_LOW; deg <= PHASE_HIGH; deg += 45)
            label(Fixed(deg, 0), RIGHT + 6, Y(deg, PHASE_LOW, PHASE_HIGH) - 7);
        label("degrees", RIGHT - 10, 4);
    }
    for (const Label& l : labels) painter.Text({l.text.c_str(), l.x, l.y});
}

void PaintCurve(const Sampled& s, const double* values, double low, double high,
                const ChartColour& colour, ChartPainter& painter)
{
    ChartPoint points[CHART_CURVE_POINTS];
    for (int i = 0; i < CHART_CURVE_POINTS; ++i)
        points[i] = {X(s, Log10(s.hz[i])), Y(values[i], low, high)};
    painter.Curve(points, colour);
}

}  // namespace

std::string ImpedanceSvg(const ImpedanceCurve& curve, const DriverImpedance& fitted,
                         const std::string& measuredTitle, const std::string& fittedTitle)
{
    const Sampled s = Sample(curve, fitted);
    double highest = 0;
    for (int i = 0; i < CHART_CURVE_POINTS; ++i)
        highest = std::fmax(highest, std::fmax(s.measuredOhm[i], s.fittedOhm[i]));
    const PlotScale ohm = ScaleFor(0, highest, (BOTTOM - TOP) / 20);
    const bool phase = curve.hasPhase;
    const Paint paint = [&](ChartPainter& painter) {
        PaintGrid(s, ohm, phase, painter);
        if (phase) {
            PaintCurve(s, s.measuredDeg, PHASE_LOW, PHASE_HIGH, MEASURED_PHASE, painter);
            PaintCurve(s, s.fittedDeg, PHASE_LOW, PHASE_HIGH, FITTED_PHASE, painter);
        }
        PaintCurve(s, s.measuredOhm, ohm.low, ohm.high, CHART_CURVE_COLOURS[0], painter);
        PaintCurve(s, s.fittedOhm, ohm.low, ohm.high, CHART_CURVE_COLOURS[2], painter);
    };
    const std::vector<PictureTitle> titles = {
        {measuredTitle + (phase ? " (pale: phase, degrees on the right)" : ""),
         CHART_CURVE_COLOURS[0]},
        {fittedTitle, CHART_CURVE_COLOURS[2]}};
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" +
           SvgPicture(titles, WIDTH, HEIGHT, paint, true);
}
