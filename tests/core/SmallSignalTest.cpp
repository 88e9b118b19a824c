#include "acoustics/SmallSignal.h"

#include <gtest/gtest.h>
#include <cmath>
#include <numbers>

namespace {

// A driver's datasheet values and what Small's relations give for them, worked out to
// six digits with Python's decimal module at 40 digits, not with this code.
struct Derived {
    double fs, vas, sd, re, qts, qms;  // Hz, l, cm², ohm
    double qes, cms, mms, bl2, efficiency;  // -, m/N, kg, (T·m)², -
};

class SmallSignalTest : public testing::TestWithParam<Derived> {};

// Catches a relation with a slipped unit, power or constant (c² for c³, ρ0 missing, Qes
// for Qts).
TEST_P(SmallSignalTest, DerivedValuesAreSmalls)
{
    const Derived& d = GetParam();
    const double vas = d.vas * 1e-3, sd = d.sd * 1e-4;
    const double qes = OtherQ(d.qts, d.qms), cms = Compliance(vas, sd);
    const double mms = MovingMass(d.fs, cms), bl2 = ForceFactorSquared(d.fs, mms, d.re, qes);
    const double efficiency = ReferenceEfficiency(d.fs, vas, qes);
    EXPECT_NEAR(qes, d.qes, 1e-5 * d.qes);
    EXPECT_NEAR(cms, d.cms, 1e-5 * d.cms);
    EXPECT_NEAR(mms, d.mms, 1e-5 * d.mms);
    EXPECT_NEAR(bl2, d.bl2, 1e-5 * d.bl2);
    EXPECT_NEAR(efficiency, d.efficiency, 1e-5 * d.efficiency);
    // The same by other roads: Qms back from Qts and Qes, Fs back from Mms and Cms, and
    // η0 = ρ0 Bl² Sd² / (2π c Re Mms²), Small's form from the motor and the mass.
    EXPECT_NEAR(OtherQ(d.qts, qes), d.qms, 1e-12 * d.qms);
    EXPECT_NEAR(Resonance(mms, cms), d.fs, 1e-12 * d.fs);
    const double motor = AIR_DENSITY * bl2 * sd * sd /
                         (2 * std::numbers::pi * SOUND_SPEED * d.re * mms * mms);
    EXPECT_NEAR(motor, efficiency, 1e-12 * efficiency);
}

INSTANTIATE_TEST_SUITE_P(
    Drivers, SmallSignalTest,
    testing::Values(Derived{30, 86.1, 330, 6, 0.508, 5,  //
                            0.56545, 0.000557512, 0.0504828, 100.972, 0.00401505},
                    Derived{55, 20, 130, 3.2, 0.35, 4,  //
                            0.383562, 0.000834492, 0.0100344, 28.9301, 0.00847229},
                    Derived{20, 200, 800, 5.5, 0.3, 8,  //
                            0.311688, 0.000220358, 0.287377, 637.24, 0.00501323}));

}  // namespace
