#include "acoustics/ImpedanceFit.h"
#include "acoustics/SmallSignal.h"

#include <gtest/gtest.h>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>
#include <random>
#include <string>

namespace {

constexpr double TWO_PI = 2 * std::numbers::pi;

// A driver by its physical elements, measured on a circuit built here from them and not
// from the fit's own Q form: the motor's Bl² over the mechanical impedance.
struct Driver {
    double re, le, l2, r2;     // ohm, H, H, ohm (l2 = 0: a plain Le)
    double bl, mms, cms, rms;  // T·m, kg, m/N, kg/s
    double fs() const { return 1 / (TWO_PI * std::sqrt(mms * cms)); }
    double qms() const { return TWO_PI * fs() * mms / rms; }
    double qes() const { return TWO_PI * fs() * mms * re / (bl * bl); }
};

std::complex<double> Measure(const Driver& d, double hz)
{
    const std::complex<double> jw(0, TWO_PI * hz);
    std::complex<double> z = d.re + jw * d.le + d.bl * d.bl / (d.rms + jw * d.mms + 1.0 / (jw * d.cms));
    if (d.l2 > 0) z += 1.0 / (1.0 / (jw * d.l2) + 1 / d.r2);
    return z;
}

// 400 points from 10 Hz to 20 kHz with 1 % noise on the magnitude and 0.01 rad on the
// phase, from a seeded generator through Box–Muller so that every build draws the same.
std::string Curve(const Driver& d, bool phase, unsigned seed)
{
    std::mt19937 random(seed);
    const auto normal = [&] {
        const double u = (random() + 1.0) / 4294967297.0, v = random() / 4294967296.0;
        return std::sqrt(-2 * std::log(u)) * std::cos(TWO_PI * v);
    };
    std::string text = "* made by the test\n";
    for (int i = 0; i < 400; ++i) {
        const double hz = 10 * std::pow(2000.0, i / 399.0);
        const std::complex<double> z = Measure(d, hz);
        const double ohm = std::abs(z) * (1 + 0.01 * normal());
        const double deg = (std::arg(z) + 0.01 * normal()) * 180 / std::numbers::pi;
        char line[100];
        std::snprintf(line, sizeof line, phase ? "%.6g %.6g %.4f\n" : "%.6g\t%.6g\n", hz, ohm, deg);
        text += line;
    }
    return text;
}

ImpedanceFit Fit(const Driver& d, bool phase)
{
    const ImpedanceRead read = ReadImpedance(Curve(d, phase, 98));
    EXPECT_EQ(read.refusal, ImpedanceRefusal::None);
    return FitImpedance(read.curve);
}

// A woofer with a plain inductance, and a midrange whose inductance loses to eddy currents.
const Driver WOOFER{6.2, 0.9e-3, 0, 0, 7.5, 0.025, 0.9e-3, 1.5};
const Driver MIDRANGE{3.4, 0.25e-3, 0.4e-3, 5, 4.2, 0.006, 0.6e-3, 0.8};

struct FitCase {
    Driver driver;
    bool phase;
};

class FitTest : public testing::TestWithParam<FitCase> {};

// Catches a start or a refinement that settles beside the true values: the goals are
// Re and Fs within 0.5 %, Qms, Qes and Le within 2 % under 1 % noise.
TEST_P(FitTest, FindsTheCircuitsValues)
{
    const Driver& d = GetParam().driver;
    const ImpedanceFit fit = Fit(d, GetParam().phase);
    EXPECT_NEAR(fit.driver.re, d.re, 0.005 * d.re);
    EXPECT_NEAR(fit.driver.fs, d.fs(), 0.005 * d.fs());
    EXPECT_NEAR(fit.driver.qms, d.qms(), 0.02 * d.qms());
    EXPECT_NEAR(fit.driver.qes, d.qes(), 0.02 * d.qes());
    const double le = d.l2 > 0 ? fit.driver.le : fit.simpleLe;
    EXPECT_NEAR(le, d.le, 0.02 * d.le);
    EXPECT_LT(fit.errorPercent, 1.5);
    EXPECT_EQ(fit.warnings, 0u);
}

INSTANTIATE_TEST_SUITE_P(Drivers, FitTest,
                         testing::Values(FitCase{WOOFER, true}, FitCase{WOOFER, false},
                                         FitCase{MIDRANGE, true}, FitCase{MIDRANGE, false}));

// Catches a held Re that the fit moves anyway, or one that throws the rest off: held at
// the circuit's Re, Fs, Qms and Qes meet the free fit's goals; held 5 % high, it stays.
TEST(HeldReTest, StaysWhereTheOhmmeterPutsIt)
{
    const ImpedanceRead read = ReadImpedance(Curve(WOOFER, true, 98));
    for (const double held : {WOOFER.re, 1.05 * WOOFER.re}) {
        const ImpedanceFit fit = FitImpedance(read.curve, held);
        EXPECT_NEAR(fit.driver.re, held, 1e-12 * held);
        EXPECT_NEAR(fit.driver.fs, WOOFER.fs(), 0.005 * WOOFER.fs());
        if (held != WOOFER.re) continue;
        EXPECT_NEAR(fit.driver.qms, WOOFER.qms(), 0.02 * WOOFER.qms());
        EXPECT_NEAR(fit.driver.qes, WOOFER.qes(), 0.02 * WOOFER.qes());
    }
}

// Catches a wrong mass or compliance relation: Mms within 2 % by 10 g added and within
// 3 % by a 20 litre box, for a cone of 220 cm².
TEST(SecondMeasurementTest, GivesTheMovingMass)
{
    const double sd = 0.022;
    const ImpedanceFit free = Fit(WOOFER, true);
    Driver loaded = WOOFER;
    loaded.mms += 0.010;
    const DriverMechanics byMass = ByAddedMass(free, Fit(loaded, true), 0.010, sd);
    EXPECT_NEAR(byMass.mms, WOOFER.mms, 0.02 * WOOFER.mms);
    EXPECT_NEAR(byMass.bl, WOOFER.bl, 0.02 * WOOFER.bl);
    EXPECT_NEAR(byMass.rms, WOOFER.rms, 0.03 * WOOFER.rms);
    const double vb = 0.020;
    const double cmb = vb / (AIR_DENSITY * SOUND_SPEED * SOUND_SPEED * sd * sd);
    Driver boxed = WOOFER;
    boxed.cms = WOOFER.cms * cmb / (WOOFER.cms + cmb);
    const DriverMechanics byVolume = ByKnownVolume(free, Fit(boxed, true), vb, sd);
    EXPECT_NEAR(byVolume.mms, WOOFER.mms, 0.03 * WOOFER.mms);
    EXPECT_NEAR(byVolume.vas, byMass.vas, 0.05 * byMass.vas);
}

// A 30-point peaked curve, "hz ohm deg" a line, to be spoiled one line at a time.
std::string Peaked(const char* format, int count = 30)
{
    std::string text;
    for (int i = 1; i <= count; ++i) {
        char line[80];
        const double ohm = 6 + 30.0 / (1 + (i - 12) * (i - 12));
        std::snprintf(line, sizeof line, format, 10.0 * i, ohm, 0.5);
        text += line;
    }
    return text;
}

struct ReadCase {
    std::string text;
    ImpedanceRefusal refusal;
    int line;
    int points;
};

class ReadTest : public testing::TestWithParam<ReadCase> {};

// Catches a separator, decimal comma or header read wrongly, and a refusal on the
// wrong line or not at all.
TEST_P(ReadTest, ReadsOrRefusesOnItsLine)
{
    const ImpedanceRead read = ReadImpedance(GetParam().text);
    EXPECT_EQ(read.refusal, GetParam().refusal);
    if (read.refusal != ImpedanceRefusal::None) EXPECT_EQ(read.line, GetParam().line);
    else EXPECT_EQ(static_cast<int>(read.curve.points.size()), GetParam().points);
}

const std::string TABS = Peaked("%g\t%g\t%g\r\n");
INSTANTIATE_TEST_SUITE_P(Texts, ReadTest, testing::Values(
    ReadCase{"* a\n*b\n" + Peaked("%g %g %g\n"), ImpedanceRefusal::None, 0, 30},
    ReadCase{"Freq;Ohm;Deg\n" + Peaked("%g;%.0f,25;%g\n"), ImpedanceRefusal::None, 0, 30},
    ReadCase{Peaked("%g,%g,%g\n"), ImpedanceRefusal::None, 0, 30},
    ReadCase{Peaked("%.3e  %g\n"), ImpedanceRefusal::None, 0, 30},
    ReadCase{TABS, ImpedanceRefusal::None, 0, 30},
    ReadCase{"Hz Ohm\nDeg\n" + TABS, ImpedanceRefusal::NotANumber, 2, 0},
    ReadCase{TABS + "x 1 2\n", ImpedanceRefusal::NotANumber, 31, 0},
    ReadCase{TABS + "400 8\n", ImpedanceRefusal::ColumnsChange, 31, 0},
    ReadCase{TABS + "400 inf 2\n", ImpedanceRefusal::NotFinite, 31, 0},
    ReadCase{TABS + "400 0 2\n", ImpedanceRefusal::NotPositive, 31, 0},
    ReadCase{TABS + "300 8 2\n", ImpedanceRefusal::NotIncreasing, 31, 0},
    ReadCase{Peaked("%g %g %g\n", 19), ImpedanceRefusal::TooFewPoints, 19, 0},
    ReadCase{Peaked("%g 6 %g\n"), ImpedanceRefusal::NoPeak, 30, 0},
    ReadCase{std::string(MAX_IMPEDANCE_TEXT + 1, ' '), ImpedanceRefusal::TooLarge, 0, 0}));

}  // namespace
