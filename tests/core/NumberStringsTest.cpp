#include "numbers/NumberStrings.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {

struct Texts {
    double value;
    const char* plain;
    const char* brief;
};

class NumberStringsTest : public testing::TestWithParam<Texts> {};

// Catches trailing zeros or a bare point left in, "-0", a huge number written in 300
// digits or with its fifth digit rounded twice (1.0065e15 is an exact tie; DBL_MAX's
// digits are 17976931348623157...), and a tie rounded to even.
TEST_P(NumberStringsTest, ShortestAndBrief)
{
    const Texts& t = GetParam();
    EXPECT_EQ(Plain(t.value), t.plain) << t.value;
    EXPECT_EQ(Brief(t.value), t.brief) << t.value;
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumberStringsTest,
    testing::Values(Texts{0.35, "0.35", "0.35"}, Texts{30, "30", "30"},
                    Texts{24.502500505, "24.50250051", "24.50250051"},
                    Texts{-1e-9, "0", "0"}, Texts{-2.5, "-2.5", "-2.5"},
                    Texts{1e15, "1000000000000000", "1e15"},
                    Texts{1.0065e15, "1006500000000000", "1.007e15"},
                    Texts{-2.5e16, "-25000000000000000", "-2.5e16"},
                    Texts{9.9995e15, "9999500000000000", "1e16"},
                    Texts{999949999999999.9, "999949999999999.875", "999949999999999.875"},
                    Texts{std::numeric_limits<double>::infinity(), "inf", "inf"},
                    Texts{std::nan(""), "nan", "nan"}));

// Catches the 1.235e300 form losing its digits or exponent for the largest doubles.
TEST(NumberStringsTest, HugeNumbersAreBrief)
{
    EXPECT_EQ(Brief(std::numeric_limits<double>::max()), "1.798e308");
    EXPECT_EQ(Brief(-1.23456e300), "-1.235e300");
    EXPECT_EQ(Fixed(37.25, 1), "37.3");
}

}  // namespace
