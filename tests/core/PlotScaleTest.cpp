#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "acoustics/Response.h"
#include "chart/Plot.h"

namespace {

// Ranges worked by hand: a step of 1, 2 or 5 times a power of ten that gives at most
// the intervals asked for, ends on its multiples, and decimals that tell labels apart.
// Catches a step one size too fine or too coarse, and 0.3 / 0.1 flooring to 2.
TEST(PlotScale, RoundStepsEncloseTheData)
{
    struct Case {
        double low, high;
        int most;
        double step, first, last;
        int decimals;
    } const cases[] = {
        {0, 30.48, 8, 5, 0, 35, 0},      {0, 22.4, 9, 5, 0, 25, 0},
        {0, 10, 5, 2, 0, 10, 0},         {0, 10.01, 5, 5, 0, 15, 0},
        {0.3, 0.7, 4, 0.1, 0.3, 0.7, 1}, {33.3, 112.9, 8, 10, 30, 120, 0},
        {-3.2, 4, 3, 5, -5, 5, 0},       {0, 0.012, 6, 0.002, 0, 0.012, 3},
        {5, 5, 4, 2, 4, 6, 0},           {0, 0, 4, 0.5, -0.5, 0.5, 1},
    };
    for (const Case& c : cases) {
        const PlotScale s = ScaleFor(c.low, c.high, c.most);
        EXPECT_DOUBLE_EQ(s.step, c.step) << c.low << ".." << c.high;
        EXPECT_DOUBLE_EQ(s.low, c.first) << c.low << ".." << c.high;
        EXPECT_DOUBLE_EQ(s.high, c.last) << c.low << ".." << c.high;
        EXPECT_EQ(s.decimals, c.decimals) << c.low << ".." << c.high;
    }
}

// The top `span` rounded up to a step, in whole steps, worked by hand. Catches the top
// left unrounded, a span grown by rounding both ends, or a bottom off the grid.
TEST(PlotScale, TopScaleKeepsTheSpanUnderTheRoundedTop)
{
    struct Case {
        double high, span;
        int most;
        double low, top, step;
    } const cases[] = {
        {111.4, 60, 12, 55, 115, 5},  {111.4, 60, 6, 60, 120, 10},
        {120, 60, 12, 60, 120, 5},    {-3.2, 60, 12, -60, 0, 5},
        {7, 0.3, 3, 6.7, 7, 0.1},     {0, -1, 4, -1, 0, 0.5},
    };
    for (const Case& c : cases) {
        const PlotScale s = TopScale(c.high, c.span, c.most);
        EXPECT_DOUBLE_EQ(s.high, c.top) << c.high << " " << c.span;
        EXPECT_DOUBLE_EQ(s.low, c.low) << c.high << " " << c.span;
        EXPECT_DOUBLE_EQ(s.step, c.step) << c.high << " " << c.span;
    }
}

// A flat curve at the top of the frame and a limit at 10 of 0..40: the name leaves the
// top-right place the curve crosses for the one below its line, and the unit follows
// the last frequency label. Catches a name left over a curve, or "Hz" where 1 Hz is.
TEST(PlotScale, LimitNameAvoidsTheCurveAndHzFollowsTheLastLabel)
{
    double loud[HIGHEST_HZ + 1], quiet[HIGHEST_HZ + 1];
    for (int f = 0; f <= HIGHEST_HZ; ++f)
        loud[f] = f < 100 ? 40 : 12, quiet[f] = 0;
    const double limit = 10;
    const char* const name = "Xmax 10.0 mm";
    PlotTable t = LayOutPlot(480, 300, "mm", 0, 40, &limit, &name, 1);
    const double* const values[] = {loud, nullptr, quiet};
    KeepNamesOffCurves(t, values, 3);
    const PlotText& placed = t.texts[t.limitText[0]];
    EXPECT_GT(placed.x, (t.left + t.right) / 2);
    EXPECT_EQ(placed.y, t.limitY[0] + 2);
    std::vector<std::string> units;
    for (int i = 0; i < t.textCount; ++i)
        if (std::string(t.texts[i].text).find("Hz") != std::string::npos)
            units.push_back(t.texts[i].text);
    EXPECT_EQ(units, std::vector<std::string>{"200 Hz"});
}

// A curve at 20 of 0..40 named over 10 to 100 Hz, a second name at the same place, and
// one over 150 to 160 Hz. Catches a name away from its stretch or the curve, names written
// over each other, or one wider than its stretch.
TEST(PlotScale, StretchNamedAboveItsMiddleOnce)
{
    double flat[HIGHEST_HZ + 1];
    for (double& v : flat)
        v = 20;
    PlotTable t = LayOutPlot(480, 300, "dB", 0, 40, nullptr, nullptr, 0);
    const int before = t.textCount;
    NameStretch(t, flat, 10, 100, "Pe");
    NameStretch(t, flat, 10, 100, "Pe");
    NameStretch(t, flat, 150, 160, "Xmax");
    ASSERT_EQ(t.textCount, before + 1);
    const PlotText& name = t.texts[before];
    const int x10 = t.left + (t.right - t.left) * 1 / 2.4757, width = 16;  // log10(299)
    EXPECT_NEAR(name.x + width / 2, (x10 + t.left + (t.right - t.left) * 2 / 2.4757) / 2, 2);
    EXPECT_LT(name.y, (t.top + t.bottom) / 2);
    EXPECT_GT(name.y, (t.top + t.bottom) / 2 - 20);
}

}  // namespace
