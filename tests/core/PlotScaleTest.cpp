#include <gtest/gtest.h>

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

}  // namespace
