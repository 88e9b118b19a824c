#include "numbers/Series.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();

// Values to 17 digits from glibc's libm (within an ulp of the exact ones); the series
// must reach them within 4 units in the last place.
struct Known {
    const char* what;
    double (*function)(double);
    double argument;
    double value;
};

double Sine(double degrees) { return SinCosDegrees(degrees).sine; }
double Cosine(double degrees) { return SinCosDegrees(degrees).cosine; }
double AtanOfOne(double x) { return Atan2Degrees(1, x); }

class SeriesKnown : public testing::TestWithParam<Known> {};

// Catches a wrong coefficient, too few terms or a reduction that loses bits.
TEST_P(SeriesKnown, WithinFourUlps)
{
    const Known& k = GetParam();
    const double got = k.function(k.argument);
    const double ulp = std::nextafter(std::fabs(k.value), INF) - std::fabs(k.value);
    EXPECT_NEAR(got, k.value, 4 * ulp)
        << k.what << "(" << k.argument << ")";
}

INSTANTIATE_TEST_SUITE_P(Table, SeriesKnown, testing::Values(
    Known{"Exp", Exp, 1, 2.7182818284590452},
    Known{"Exp", Exp, -1, 0.36787944117144233},
    Known{"Exp", Exp, 0.5, 1.6487212707001282},
    Known{"Exp", Exp, 100, 2.6881171418161356e43},
    Known{"Exp", Exp, -700, 9.85967654375977e-305},
    Known{"Ln", Ln, 10, 2.3025850929940457},
    Known{"Ln", Ln, 0.5, -0.69314718055994531},
    Known{"Ln", Ln, 1.4142, 0.3465640001880033},
    Known{"Ln", Ln, 1e-300, -690.77552789821371},
    Known{"Ln", Ln, 3e-320, -735.7286286023058},
    Known{"sin", Sine, 30, 0.5},
    Known{"sin", Sine, 1, 0.017452406437283513},
    Known{"sin", Sine, -135, -0.70710678118654752},
    Known{"sin", Sine, 390 + 360 * 1e6, 0.5},
    Known{"cos", Cosine, 60, 0.5},
    Known{"cos", Cosine, 200, -0.93969262078590838},
    Known{"atan2(1, x)", AtanOfOne, 1, 45},
    Known{"atan2(1, x)", AtanOfOne, -1, 135},
    Known{"atan2(1, x)", AtanOfOne, 1.7320508075688773, 30},
    Known{"atan2(1, x)", AtanOfOne, 0.1, 84.289406862500343}));

// Catches edges that must not reach the series: overflow, zero, signs, a huge angle.
TEST(Series, Edges)
{
    EXPECT_EQ(Exp(710), INF);
    EXPECT_EQ(Exp(-746), 0);
    EXPECT_TRUE(std::isnan(Exp(NAN)));
    EXPECT_EQ(Ln(0), -INF);
    EXPECT_TRUE(std::isnan(Ln(-1)));
    EXPECT_EQ(Ln(1), 0);
    EXPECT_EQ(Atan2Degrees(-1, -1), -135);
    EXPECT_EQ(Atan2Degrees(0, -1), 180);
    EXPECT_EQ(Atan2Degrees(-INF, 0), -90);
    EXPECT_TRUE(std::isnan(SinCosDegrees(INF).sine));
    const SineCosine huge = SinCosDegrees(-0x1p60 * 3);  // a whole number of degrees
    EXPECT_NEAR(huge.sine * huge.sine + huge.cosine * huge.cosine, 1, 1e-15);
}

}  // namespace
