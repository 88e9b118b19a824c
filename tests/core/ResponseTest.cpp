#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "acoustics/Figures.h"
#include "acoustics/Response.h"
#include "numbers/Elementary.h"

namespace {

struct RoundCase {
    double x;
    int expected;
};

class RoundTest : public testing::TestWithParam<RoundCase> {};

// Catches rounding negative levels down, or half-even rounding of positive ones.
TEST_P(RoundTest, TruncatesThenRoundsHalfUp)
{
    EXPECT_EQ(Round(GetParam().x), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, RoundTest,
                         testing::Values(RoundCase{0.5, 1}, RoundCase{-0.5, 0}, RoundCase{3.0, 3},
                                         RoundCase{-3.0, -3}, RoundCase{2.49, 2},
                                         RoundCase{2.5, 3}, RoundCase{-2.7, -2},
                                         RoundCase{-27.97, -27}, RoundCase{-0.4, 0}));

// A record and two response arrays, fresh for every test.
class ResponseTest : public testing::Test {
protected:
    // A driver and its ported box: Qts 0.4, Vas 50 l, Fs 30 Hz in 40 l tuned to 35 Hz
    // unless told otherwise.
    void UsePorted(double qts = 0.4, double vas = 50, double fs = 30, double Vb = 40,
                   double fb = 35)
    {
        d.qts = qts;
        d.vas = vas;
        d.fs = fs;
        d.ported = {Vb, fb};
    }
    void CalcSealed() { SealedResponse(d.sealed, red.data()); }
    void CalcPorted() { PortedResponse(d, d.ported, green.data()); }

    Speaker d = {};
    std::vector<int> red = std::vector<int>(RESPONSE_SIZE, 12345);
    std::vector<int> green = std::vector<int>(RESPONSE_SIZE, 12345);
};

struct Level {
    int hz;
    int dB;
};

// Catches a wrong high-pass formula, grid offset or rounding in the sealed curve.
TEST_F(ResponseTest, SealedTableForFb50Q0707)
{
    d.sealed = {20, 50, 0.707};
    CalcSealed();
    for (Level l : {Level{1, -67}, {10, -27}, {25, -12}, {40, -5}, {50, -3}, {60, -1},
                    {100, 0}, {149, 0}, {299, 0}})
        EXPECT_EQ(red[l.hz], l.dB) << l.hz << " Hz";
    EXPECT_EQ(red[0], 12345) << "element 0 is never computed";
}

// Catches a wrong coefficient of the vented-box polynomial or of the box loss.
TEST_F(ResponseTest, PortedTableForQts04In40LitresAt35Hz)
{
    UsePorted();
    CalcPorted();
    for (Level l : {Level{1, -120}, {10, -41}, {20, -18}, {30, -5}, {35, -1}, {40, 0},
                    {50, 1}, {100, 0}, {149, 0}, {299, 0}})
        EXPECT_EQ(green[l.hz], l.dB) << l.hz << " Hz";
}

// Catches the imaginary part multiplied by Fn2 before it is squared: that rounds
// differently and this design's level at 60 Hz, exactly -12 dB, would come out -11.
TEST_F(ResponseTest, PortedSquaresTheImaginaryPartFirst)
{
    UsePorted(0.20629722719378532, 14.149396726434222, 61.850377427859051, 5.8544209263920051,
              42.423452686399472);
    CalcPorted();
    EXPECT_EQ(green[60], -12);
}

// Catches arithmetic done in more than double precision (the x87 unit): in doubles
// q^2 of a Q of 0.1 gives exactly -20 dB at Fb, and an Fb of 1e-80 overflows to NaN.
TEST_F(ResponseTest, SealedLevelsAreThoseOfDoubleArithmetic)
{
    d.sealed = {20, 10, 0.1};
    CalcSealed();
    EXPECT_EQ(red[10], -20);
    d.sealed = {20, 1e-80, 0.707};
    CalcSealed();
    for (int f : {1, 100, 299})
        EXPECT_EQ(red[f], LEVEL_FLOOR) << f << " Hz";
}

// Catches a curve that does not pass through q^2 at the box resonance.
TEST_F(ResponseTest, SealedLevelAtFbIsTwentyLogQ)
{
    for (double q : {0.5, 0.707, 1.2, 2.0}) {
        d.sealed = {10, 40, q};
        CalcSealed();
        EXPECT_EQ(red[40], StoredLevel(20 * Log10(q))) << "q " << q;
    }
}

// The plain formulas, with the logarithm taken for every frequency.
int PlainSealed(const Speaker& speaker, int f)
{
    double Fr = (f / speaker.sealed.fb) * (f / speaker.sealed.fb);
    double q = speaker.sealed.q;
    return StoredLevel(10 * Log10(Fr * Fr / (Fr / (q * q) + (Fr - 1) * (Fr - 1))));
}

int PlainPorted(const Speaker& speaker, int f)
{
    const double fb = speaker.ported.fb, fs = speaker.fs, qts = speaker.qts;
    const double A = (fb / fs) * (fb / fs);
    const double B = fb / (7 * fs) + A / qts;
    const double C = 1 + A + speaker.vas / speaker.ported.volume + fb / (7 * fs * qts);
    const double D = fb / (7 * fs) + 1 / qts;
    double Fn2 = (f / fs) * (f / fs), Fn4 = Fn2 * Fn2;
    double real = Fn4 - C * Fn2 + A, imaginary = D * Fn2 - B;
    return StoredLevel(10 * Log10(Fn4 * Fn4 / (real * real + Fn2 * (imaginary * imaginary))));
}

// Catches the passband shortcut storing a level other than the logarithm would give,
// over many drivers and boxes, near-edge levels included.
TEST_F(ResponseTest, PassbandShortcutChangesNoLevel)
{
    std::mt19937 random(1998);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int checked = 0;
    for (int design = 0; design < 3000; ++design) {
        d.qts = 0.15 + 1.5 * unit(random);
        d.vas = 5 + 300 * unit(random);
        d.fs = 12 + 100 * unit(random);
        d.ported = {5 + 400 * unit(random), 15 + 80 * unit(random)};
        d.sealed = {10, 20 + 120 * unit(random), 0.4 + 1.6 * unit(random)};
        CalcSealed();
        CalcPorted();
        for (int f = 1; f < RESPONSE_SIZE; ++f, ++checked) {
            ASSERT_EQ(red[f], PlainSealed(d, f)) << "design " << design << ", " << f << " Hz";
            ASSERT_EQ(green[f], PlainPorted(d, f)) << "design " << design << ", " << f << " Hz";
        }
    }
    EXPECT_EQ(checked, 3000 * 299);
}

// The textbook responses in their own form, of u = s T with s = j 2 pi f. The closed
// box: H = u^2 / (u^2 + u/Qtc + 1), T = 1/(2 pi fc). The vented box with leakage losses
// QL (A. N. Thiele, "Loudspeakers in Vented Boxes", JAES 19, 1971; R. H. Small,
// "Vented-Box Loudspeaker Systems, Part I: Small-Signal Analysis", JAES 21(5), 1973):
// G = u^4 / (u^4 + a1 u^3 + a2 u^2 + a3 u + 1), T = 1/(2 pi sqrt(fs fb)), h = fb/fs,
// alpha = Vas/Vb, Qt = Qts, a1 = (QL + h Qt)/(sqrt(h) QL Qt), a2 = (h + (alpha + 1 +
// h^2) Qt QL)/(h Qt QL), a3 = (h QL + Qt)/(sqrt(h) QL Qt).
double TextbookLevel(const Speaker& d, bool vented, int f)
{
    const double QL = 7, Qt = d.qts, h = d.ported.fb / d.fs, alpha = d.vas / d.ported.volume;
    const double T = 1 / (2 * std::numbers::pi * (vented ? std::sqrt(d.fs * d.ported.fb)
                                                          : d.sealed.fb));
    const std::complex<double> u = std::complex<double>(0, 2 * std::numbers::pi * f) * T;
    std::complex<double> H = u * u / (u * u + u / d.sealed.q + 1.0);
    if (vented) {
        const double a1 = (QL + h * Qt) / (std::sqrt(h) * QL * Qt);
        const double a2 = (h + (alpha + 1 + h * h) * Qt * QL) / (h * Qt * QL);
        const double a3 = (h * QL + Qt) / (std::sqrt(h) * QL * Qt);
        H = std::pow(u, 4) / (std::pow(u, 4) + a1 * std::pow(u, 3) + a2 * u * u + a3 * u + 1.0);
    }
    return 10 * std::log10(std::norm(H));
}

// Catches a slipped coefficient or sign in either response polynomial, which a test
// that restates the program's own coefficients would repeat.
TEST(TransferFunctionTest, LevelsAreThoseOfTheTextbookCircuits)
{
    std::mt19937 random(1971);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    double largest = 0;
    for (int design = 0; design < 300; ++design) {
        Speaker d = {};
        d.qts = 0.15 + 1.35 * unit(random);
        d.vas = 5 + 395 * unit(random);
        d.fs = 15 + 105 * unit(random);
        d.ported = {5 + 395 * unit(random), 15 + 75 * unit(random)};
        d.sealed = {10, 20 + 130 * unit(random), 0.4 + 1.1 * unit(random)};
        for (int f = 1; f < RESPONSE_SIZE; ++f) {
            const double sealed = SealedLevel(d.sealed, f), ported = PortedLevel(d, d.ported, f);
            largest = std::max(largest, std::fabs(sealed - TextbookLevel(d, false, f)));
            largest = std::max(largest, std::fabs(ported - TextbookLevel(d, true, f)));
        }
    }
    EXPECT_LT(largest, 1e-9) << "dB";
}

struct Degenerate {
    const char* name;
    Speaker record;
};

class DegenerateInputTest : public ResponseTest,
                            public testing::WithParamInterface<Degenerate> {};

// Catches undefined float-to-int conversions of NaN and infinite levels (the
// sanitizers abort on them) and levels outside the stored range.
TEST_P(DegenerateInputTest, GiveDefinedLevels)
{
    d = GetParam().record;
    CalcSealed();
    CalcPorted();
    for (int f = 1; f < RESPONSE_SIZE; ++f) {
        EXPECT_GE(red[f], LEVEL_FLOOR);
        EXPECT_LE(red[f], LEVEL_CEILING);
        EXPECT_GE(green[f], LEVEL_FLOOR);
        EXPECT_LE(green[f], LEVEL_CEILING);
    }
}

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Inputs, DegenerateInputTest,
    testing::Values(Degenerate{"all_zero", {}},
                    Degenerate{"nan", {"", nan, nan, nan, "", {nan, nan}, {nan, nan, nan}}},
                    Degenerate{"inf", {"", inf, -inf, inf, "", {inf, -inf}, {-inf, inf, inf}}},
                    Degenerate{"huge", {"", 1e300, 1e-300, 1e300, "", {1e-300, 1e300},
                                        {1, 1e-300, 1e300}}},
                    Degenerate{"negative", {"", -0.4, -50, -30, "", {-40, -35}, {-1, -50, -0.7}}}),
    [](const testing::TestParamInfo<Degenerate>& info) { return info.param.name; });

// Catches the mapping of the non-finite and out-of-range levels.
TEST(StoredLevelTest, ClampsToTheStoredRange)
{
    EXPECT_EQ(StoredLevel(nan), LEVEL_FLOOR);
    EXPECT_EQ(StoredLevel(-inf), LEVEL_FLOOR);
    EXPECT_EQ(StoredLevel(-1e9), LEVEL_FLOOR);
    EXPECT_EQ(StoredLevel(inf), LEVEL_CEILING);
    EXPECT_EQ(StoredLevel(1000.2), LEVEL_CEILING);
    EXPECT_EQ(StoredLevel(-999), -999);
    EXPECT_EQ(StoredLevel(998.6), 999);
    EXPECT_EQ(StoredLevel(-1.76), -1);
}

struct FiguresCase {
    const char* name;
    double (*level)(int f);
    Crossing f3, f6, f10;
    int peakHz;
};

class FiguresTest : public testing::TestWithParam<FiguresCase> {};

// Catches an F3, F6 or F10 taken at the wrong grid point, interpolated the wrong way or
// not at all, a missing edge case, a peak that is not the lowest of equal levels, and a
// peak claimed where the curve only reaches its passband or the end of the range.
TEST_P(FiguresTest, CrossingsAndPeak)
{
    double levels[RESPONSE_SIZE] = {};
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f)
        levels[f] = GetParam().level(f);
    const ResponseFigures figures = FiguresOf(levels);
    const Crossing* got[] = {&figures.f3, &figures.f6, &figures.f10};
    const Crossing* expected[] = {&GetParam().f3, &GetParam().f6, &GetParam().f10};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(got[i]->where, expected[i]->where) << i;
        EXPECT_NEAR(got[i]->hz, expected[i]->hz, 1e-12) << i;
    }
    EXPECT_EQ(figures.peakHz, GetParam().peakHz);
}

constexpr Crossing At(double hz)
{
    return {Crossing::AT, hz};
}
constexpr Crossing BELOW = {Crossing::BELOW, 0}, ABOVE = {Crossing::ABOVE, 0};

INSTANTIATE_TEST_SUITE_P(
    Table, FiguresTest,
    testing::Values(
        // Two decibels per hertz: -3 dB lies half way from 28 to 29 Hz.
        FiguresCase{"rising", [](int f) { return f < 30 ? 2.0 * f - 60 : 0.0; }, At(28.5), At(27),
                    At(25), NO_PEAK},
        FiguresCase{"flat", [](int) { return -1.0; }, BELOW, BELOW, BELOW, NO_PEAK},
        FiguresCase{"low", [](int) { return -8.0; }, ABOVE, ABOVE, BELOW, NO_PEAK},
        FiguresCase{"silent_then_flat", [](int f) { return f < 40 ? -inf : 0.0; }, At(40),
                    At(40), At(40), NO_PEAK},
        FiguresCase{"peak_then_dip",
                    [](int f) { return f == 60 || f == 80 ? 2.0 : f < 50 ? -20.0 : 0.0; },
                    At(49.85), At(49.7), At(49.5), 60},
        // A rise that shows as +0.00 dB is none; one that shows as +0.01 dB is a peak.
        FiguresCase{"under_a_hundredth", [](int f) { return f == 100 ? 0.0049 : 0.0; }, BELOW,
                    BELOW, BELOW, NO_PEAK},
        FiguresCase{"a_hundredth", [](int f) { return f == 100 ? 0.005 : 0.0; }, BELOW, BELOW,
                    BELOW, 100},
        // Still rising at 299 Hz, above 0 dB and below it: the top is the range's end.
        FiguresCase{"rising_over_0_dB", [](int f) { return f / 299.0; }, BELOW, BELOW, BELOW,
                    NO_PEAK},
        FiguresCase{"rising_under_0_dB", [](int f) { return f / 299.0 - 1.2; }, BELOW, BELOW,
                    BELOW, NO_PEAK},
        // Settling from above: the top counts from where the curve is at 299 Hz.
        FiguresCase{"settling_from_above", [](int f) { return f < 200 ? 0.6 : 0.5; }, BELOW,
                    BELOW, BELOW, 1},
        FiguresCase{"settled_from_above", [](int f) { return f == 250 ? 0.504 : 0.5; }, BELOW,
                    BELOW, BELOW, NO_PEAK}),
    [](const testing::TestParamInfo<FiguresCase>& info) { return info.param.name; });

// Catches figures taken from the wrong curve: a second-order Butterworth high-pass
// (Q 0.707) is 3.01 dB down at its corner, so F3 lies just above it, and its level
// rises 40 dB per decade below it.
TEST(FiguresTest, ButterworthCornerIsItsF3)
{
    Speaker d = {};
    d.sealed = {20, 50, 1 / std::numbers::sqrt2};
    double levels[RESPONSE_SIZE];
    DesignLevels(d, false, levels);
    const ResponseFigures figures = FiguresOf(levels);
    EXPECT_NEAR(figures.f3.hz, 50.06, 0.01);
    EXPECT_NEAR(levels[5], -40, 0.01);
    EXPECT_EQ(figures.peakHz, NO_PEAK);  // the level only approaches 0 dB
}

}  // namespace
