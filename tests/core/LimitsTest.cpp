#include "acoustics/Limits.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>

namespace {

using Cx = std::complex<double>;
constexpr double RHO = 1.204, C = 343.2, PI = std::numbers::pi;

struct Design { Speaker s; LimitsDriver d; double power, diameter; int ports; };

struct Solved { double spl, excursion, portSpeed, impedance; Cx pressure; double phase, input; };

// Butterworth's poles, evenly on the left half of the unit circle, as products: the
// low-pass prod(-p_k / (q - p_k)), the high-pass prod(q / (q - p_k)), q = jf/fc.
Cx Butterworth(const Filter& filter, bool high, double f)
{
    Cx h = 1;
    for (int k = 1; filter.hz > 0 && k <= filter.order; ++k) {
        const Cx pole = std::polar(1.0, PI * (2 * k + filter.order - 1) / (2 * filter.order));
        const Cx q(0, f / filter.hz);
        h *= (high ? q : -pole) / (q - pole);
    }
    return h;
}

// The driver and box as one electro-mechano-acoustic circuit at f Hz, solved as the
// textbook draws it: the amplifier's voltage (`drive`: V, or W into the set's Re)
// through the filters and Rs into the coils, each Re and Le (and L2 with R2 across it,
// W. M. Leach's lossy inductance, when the driver has them) with a motor Bl; n units
// (one driver, or a compound pair moving as one with two coils) of mass, suspension and
// its loss, sharing the box air: a compliance (behind QA's resistance), for the vented
// box in parallel with the port's air mass (behind QP's) and a leakage (QL) seen through
// Sd²; the pressure at 1 m in the solid angle from the volume velocity the cones, port
// and leak radiate.
Solved Circuit(const Design& g, bool ported, double f, double drive, const System& sys = {})
{
    const Speaker& s = g.s;
    const double vas = s.vas / 1000, sd = g.d.sd / 1e4, ws = 2 * PI * s.fs, w = 2 * PI * f;
    const double cms = vas / (RHO * C * C * sd * sd), mms = 1 / (ws * ws * cms);
    const double bl = std::sqrt(ws * mms * g.d.re / g.d.qes);
    const double rms = ws * mms * (1 / s.qts - 1 / g.d.qes);
    const double m = sys.isobaric ? 2 : 1, n = sys.drivers;
    const bool pairSeries = sys.pair == Wiring::SERIES, setSeries = sys.wiring == Wiring::SERIES;
    const double a = (pairSeries ? m : 1) * (setSeries ? n : 1);  // V of set / V of a coil
    const double b = (pairSeries ? 1 : m) * (setSeries ? 1 : n);  // I of set / I of a coil
    const double cab = (ported ? s.ported.volume : s.sealed.volume) / 1000 / (RHO * C * C);
    const Cx jw(0, w);
    const double wb = 2 * PI * s.ported.fb, map = 1 / (wb * wb * cab);
    const double ral = sys.ql / (wb * cab), rab = 1 / (wb * cab * sys.qa), rap = 1 / (wb * cab * sys.qp);
    const Cx boxAdmittance = ported ? jw * cab / (1.0 + jw * cab * rab) + 1.0 / (jw * map + rap) + 1 / ral
                                    : jw * cab;
    const double setRe = g.d.re * a / b;
    const Cx volts = (sys.volts > 0 ? drive : std::sqrt(drive * setRe)) *
                     Butterworth(sys.highpass, true, f) * Butterworth(sys.lowpass, false, f);
    const double l2 = g.d.l2 / 1e3, r2 = g.d.r2;
    const Cx lossy = sys.useLe && l2 > 0 && r2 > 0 ? 1.0 / (1.0 / (jw * l2) + 1.0 / r2) : 0.0;
    const Cx coil = g.d.re + (sys.useLe ? jw * g.d.le / 1e3 : 0.0) + lossy;
    const Cx mechanical = m * (jw * mms + rms + 1.0 / (jw * cms)) + n * sd * sd / boxAdmittance;
    const Cx perCoil = a * (coil + m * bl * bl / mechanical);  // set's V over a coil's I
    const Cx current = volts / (sys.sourceOhms * b + perCoil);  // each coil's
    const Cx u = m * bl * current / mechanical;
    const Cx boxPressure = -n * sd * u / boxAdmittance;
    const Cx port = ported ? boxPressure / (jw * map + rap) : Cx(0);
    const Cx radiated = n * sd * u + port + (ported ? boxPressure / ral : Cx(0));
    const Cx pressure = jw * RHO * radiated / (2 * PI);
    const double solid[] = {0.5, 1, 2, 4}, cabin = sys.cabinHz / f;
    const double gain = solid[static_cast<int>(sys.space)] * std::sqrt(1 + std::pow(cabin, 4));
    const double area = g.ports * PI * g.diameter * g.diameter / 4 / 1e4;
    const Cx z = perCoil / b;
    return {20 * std::log10(std::abs(pressure) * gain / 20e-6), std::sqrt(2) * std::abs(u / jw) * 1e3,
            std::sqrt(2) * std::abs(port) / area, std::abs(z), pressure,
            std::arg(z) * 180 / PI, std::norm(b * current) * z.real()};
}

double Relative(double a, double b) { return std::fabs(a - b) / std::fabs(b); }

Design Random(std::mt19937& random)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const double qts = 0.2 + 0.6 * u(random);
    return {{"", qts, 5 + 295 * u(random), 15 + 85 * u(random), "",
             {10 + 290 * u(random), 15 + 65 * u(random)}, {5 + 195 * u(random), 0, 0}},
            {2 + 6 * u(random), qts * (1.02 + u(random)), 50 + 850 * u(random),
             2 + 13 * u(random)},
            1 + 499 * u(random), 3 + 12 * u(random), 1 + static_cast<int>(4 * u(random))};
}

// Catches a wrong constant, unit, sign or term anywhere between the driver's sheet and
// the six curves, which a test restating the program's polynomials would repeat.
TEST(LimitsTest, CurvesAreThoseOfTheCircuit)
{
    std::mt19937 random(1973);
    double worst[6] = {};
    for (int design = 0; design < 200; ++design) {
        const Design g = Random(random);
        for (const bool ported : {false, true}) {
            Limits l;
            ASSERT_TRUE(ComputeLimits(g.s, ported, g.d, g.power, g.diameter, g.ports, l));
            for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
                const Solved c = Circuit(g, ported, f, g.power);
                const double delay = -std::arg(Circuit(g, ported, f * (1 + 1e-6), g.power).pressure /
                                               Circuit(g, ported, f * (1 - 1e-6), g.power).pressure) /
                                     (4 * PI * f * 1e-6) * 1e3;  // ms
                const double atXmax = Circuit(g, ported, f, l.maxPower[f]).excursion;
                const double errors[6] = {
                    std::fabs(l.spl[f] - c.spl), Relative(l.excursion[f], c.excursion),
                    ported ? Relative(l.portSpeed[f], c.portSpeed) : 0,
                    Relative(l.impedance[f], c.impedance),
                    std::fabs(l.groupDelay[f] - delay) / (std::fabs(delay) + 1e-3),
                    Relative(atXmax, g.d.xmax)};
                for (int i = 0; i < 6; ++i)
                    worst[i] = std::max(worst[i], errors[i]);
            }
            EXPECT_TRUE(ported || std::isnan(l.portSpeed[HIGHEST_HZ]));
        }
    }
    // SPL (dB), excursion, port speed, impedance, group delay, excursion at max power
    const double tolerance[6] = {1e-9, 1e-9, 1e-9, 1e-9, 1e-5, 1e-9};
    for (int i = 0; i < 6; ++i)
        EXPECT_LT(worst[i], tolerance[i]) << i;
}

System RandomSystem(std::mt19937& random, Design& g)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const auto maybe = [&](double low, double high, double otherwise) {
        return u(random) < 0.5 ? otherwise : low + (high - low) * u(random);
    };
    System sys;
    sys.power = g.power;
    sys.drivers = 1 + static_cast<int>(16 * u(random));
    sys.wiring = u(random) < 0.5 ? Wiring::PARALLEL : Wiring::SERIES;
    sys.isobaric = u(random) < 0.4;
    sys.pair = u(random) < 0.5 ? Wiring::PARALLEL : Wiring::SERIES;
    sys.volts = maybe(1, 100, 0);
    sys.sourceOhms = maybe(0.01, 2, 0);
    sys.useLe = u(random) < 0.7;
    g.d.le = 0.05 + 4 * u(random);
    sys.highpass = {maybe(5, 100, 0), 1 + static_cast<int>(4 * u(random))};
    sys.lowpass = {maybe(40, 299, 0), 1 + static_cast<int>(4 * u(random))};
    sys.ql = maybe(2, 50, 7);
    sys.qa = maybe(2, 100, INFINITY);
    sys.qp = maybe(5, 200, INFINITY);
    sys.space = static_cast<Space>(static_cast<int>(4 * u(random)));
    sys.cabinHz = maybe(15, 120, 0);
    return sys;
}

// The worst misfits of both designs of `g` in `sys` against the circuit: SPL (dB),
// excursion, port speed, impedance, group delay, excursion at max power, level dB,
// phase degrees, input power.
void CompareWithCircuit(const Design& g, const System& sys, double (&worst)[9])
{
    const double drive = sys.volts > 0 ? sys.volts : g.power;
    System plain = sys;  // the passband: no Le, no filters
    plain.useLe = false;
    plain.highpass.hz = plain.lowpass.hz = 0;
    for (const bool ported : {false, true}) {
        Limits l;
        ASSERT_TRUE(ComputeSystemLimits(g.s, ported, g.d, sys, g.diameter, g.ports, l));
        const Cx top = Circuit(g, ported, 1e12 * g.s.fs, drive, plain).pressure;
        for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
            const Solved c = Circuit(g, ported, f, drive, sys);
            const double delay = -std::arg(Circuit(g, ported, f * (1 + 1e-6), drive, sys).pressure /
                                           Circuit(g, ported, f * (1 - 1e-6), drive, sys).pressure) /
                                 (4 * PI * f * 1e-6) * 1e3;
            const double reach = sys.volts > 0 ? l.maxVolts[f] : l.maxPower[f];
            const double errors[9] = {
                std::fabs(l.spl[f] - c.spl), Relative(l.excursion[f], c.excursion),
                ported ? Relative(l.portSpeed[f], c.portSpeed) : 0,
                Relative(l.impedance[f], c.impedance),
                // far down, the circuit's nearly cancelling flows lose the phase's digits
                l.level[f] < -150 ? 0 : std::fabs(l.groupDelay[f] - delay) / (std::fabs(delay) + 1e-3),
                Relative(Circuit(g, ported, f, reach, sys).excursion, g.d.xmax),
                std::fabs(l.level[f] - 20 * std::log10(std::abs(c.pressure / top))),
                std::fabs(l.phase[f] - c.phase), Relative(l.inputPower[f], c.input)};
            for (int i = 0; i < 9; ++i)
                worst[i] = std::max(worst[i], errors[i]);
        }
    }
}

// as CurvesAreThoseOfTheCircuit, then level dB, phase degrees, input power
constexpr double SYSTEM_TOLERANCE[9] = {1e-9, 1e-9, 1e-9, 1e-9, 1e-5, 1e-9, 1e-9, 1e-9, 1e-9};

// Catches a wrong factor of the wired set, Le, Rs, a filter, a box loss or the placement
// in any curve: the circuit solves each coil and cone, not the equivalent driver.
TEST(LimitsTest, SystemCurvesAreThoseOfTheCircuit)
{
    std::mt19937 random(1972);
    double worst[9] = {};
    for (int design = 0; design < 150; ++design) {
        Design g = Random(random);
        const System sys = RandomSystem(random, g);
        CompareWithCircuit(g, sys, worst);
    }
    for (int i = 0; i < 9; ++i)
        EXPECT_LT(worst[i], SYSTEM_TOLERANCE[i]) << i;
}

// Catches L2 or R2 left out of a curve, misplaced in the coil, scaled wrongly in a
// wired set, or used without Le: the circuit puts them in each unit's own coil.
TEST(LimitsTest, LossyCoilCurvesAreThoseOfTheCircuit)
{
    std::mt19937 random(2002);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    double worst[9] = {};
    for (int design = 0; design < 150; ++design) {
        Design g = Random(random);
        System sys = RandomSystem(random, g);
        g.d.l2 = 0.05 + 5 * u(random);
        g.d.r2 = 0.5 + 50 * u(random);
        CompareWithCircuit(g, sys, worst);
    }
    for (int i = 0; i < 9; ++i)
        EXPECT_LT(worst[i], SYSTEM_TOLERANCE[i]) << i;
}

// The warnings' design: 20 l sealed, 40 l ported to 30 Hz, at 100 W.
Design Example(double diameter)
{
    return {{"", 0.4, 50, 30, "", {40, 30}, {20, 0, 0}}, {6, 0.45, 200, 4}, 100, diameter, 1};
}

// Catches the lossy coil's terms in a wrong place of the closed box's impedance:
// Small's published Z = Re + Res / (1 + j Qmc (f/fc - fc/f)), Res = Re Qms/Qes, Qmc =
// Qms sqrt(1 + α), fc = Fs sqrt(1 + α) (R. H. Small, "Closed-Box Loudspeaker Systems",
// J. Audio Eng. Soc. 20, 1972), with the coil's jωLe + jωL2 R2 / (R2 + jωL2) added
// (W. M. Leach, "Loudspeaker Voice-Coil Inductance Losses", J. Audio Eng. Soc. 50, 2002).
TEST(LimitsTest, LossyCoilImpedanceIsThePublishedOne)
{
    Design g = Example(10);
    g.d.le = 0.3, g.d.l2 = 1.2, g.d.r2 = 9;
    const System sys{.useLe = true};
    Limits l;
    ASSERT_TRUE(ComputeSystemLimits(g.s, false, g.d, sys, g.diameter, g.ports, l));
    const double alpha = g.s.vas / g.s.sealed.volume, qms = 1 / (1 / g.s.qts - 1 / g.d.qes);
    const double fc = g.s.fs * std::sqrt(1 + alpha), qmc = qms * std::sqrt(1 + alpha);
    for (const int f : {10, 40, 73, 150, 299}) {
        const Cx jw(0, 2 * PI * f);
        const Cx z = g.d.re + jw * 0.3e-3 + jw * 1.2e-3 * 9.0 / (9.0 + jw * 1.2e-3) +
                     g.d.re * qms / g.d.qes / Cx(1, qmc * (f / fc - fc / f));
        EXPECT_NEAR(l.impedance[f], std::abs(z), 1e-9 * std::abs(z)) << f;
        EXPECT_NEAR(l.phase[f], std::arg(z) * 180 / PI, 1e-7) << f;
    }
}

// The set's Re, Bl, Sd, Mms, Cms and Vas over one driver's, as published for multiple
// and compound drivers (V. Dickason, "Loudspeaker Design Cookbook": n in series or in
// parallel, the compound pair with its coils in parallel or in series).
struct SetCase { const char* name; int n; Wiring wiring; bool isobaric; Wiring pair; double factors[6]; };
class EquivalentDriverTest : public testing::TestWithParam<SetCase> {};

// Catches a factor of the equivalent driver wrong, or one wiring taken for the other.
TEST_P(EquivalentDriverTest, FactorsAreThePublishedOnes)
{
    const SetCase& c = GetParam();
    const Design g = Example(10);
    const System sys{.drivers = c.n, .wiring = c.wiring, .isobaric = c.isobaric, .pair = c.pair};
    const DriverSet set = EquivalentDriver(g.s, g.d, sys);
    const DriverConstants one = ConstantsOf(g.s, g.d), all = ConstantsOf(set.s, set.d);
    const double got[6] = {set.d.re / g.d.re, std::sqrt(all.bl2 / one.bl2), set.d.sd / g.d.sd,
                           all.mms / one.mms, all.cms / one.cms, set.s.vas / g.s.vas};
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(got[i], c.factors[i], 1e-12 * c.factors[i]) << i;
    EXPECT_EQ(all.qms, one.qms);
}

constexpr Wiring PAR = Wiring::PARALLEL, SER = Wiring::SERIES;
INSTANTIATE_TEST_SUITE_P(
    Limits, EquivalentDriverTest,
    testing::Values(SetCase{"one", 1, SER, false, PAR, {1, 1, 1, 1, 1, 1}},
                    SetCase{"four_parallel", 4, PAR, false, PAR, {0.25, 1, 4, 4, 0.25, 4}},
                    SetCase{"three_series", 3, SER, false, PAR, {3, 3, 3, 3, 1.0 / 3, 3}},
                    SetCase{"pair_parallel", 1, PAR, true, PAR, {0.5, 1, 1, 2, 0.5, 0.5}},
                    SetCase{"pair_series", 1, PAR, true, SER, {2, 2, 1, 2, 0.5, 0.5}},
                    SetCase{"two_pairs_series", 2, SER, true, PAR, {1, 2, 2, 4, 0.25, 1}}),
    [](const testing::TestParamInfo<SetCase>& info) { return info.param.name; });

// Catches a filter's order or corner misplaced (-3.01 dB at its corner, 6n dB an octave
// far below a high-pass and far above a low-pass) or the cabin gain's corner (3.01 dB).
TEST(LimitsTest, FiltersAndCabinMeetTheirCorners)
{
    const auto db = [](const System& s, double f) { return 10 * std::log10(FiltersAt(s, f).ratio); };
    for (int n = 1; n <= MOST_FILTER_ORDER; ++n) {
        const System high{.highpass = {40, n}}, low{.lowpass = {40, n}};
        EXPECT_NEAR(db(high, 40), -3.0103, 1e-4);
        EXPECT_NEAR(db(low, 40), -3.0103, 1e-4);
        EXPECT_NEAR(db(high, 0.4) - db(high, 0.2), 6.0206 * n, 1e-3);
        EXPECT_NEAR(db(low, 4000) - db(low, 8000), 6.0206 * n, 1e-3);
    }
    EXPECT_NEAR(PlacementDb(System{.space = Space::QUARTER, .cabinHz = 70}, 70), 9.0309, 1e-4);
}

// Catches the set's power, Sd or Vas not scaled: two drivers in parallel at twice the
// power in twice the box play 6.02 dB louder with each cone moving as the one's.
TEST(LimitsTest, TwoDriversAtTwiceThePowerPlaySixDecibelsLouder)
{
    for (const bool ported : {false, true}) {
        const Design g = Example(10);
        Speaker twice = g.s;
        twice.sealed.volume *= 2, twice.ported.volume *= 2;
        Limits one, both;
        ASSERT_TRUE(ComputeLimits(g.s, ported, g.d, g.power, g.diameter, g.ports, one));
        ASSERT_TRUE(ComputeSystemLimits(twice, ported, g.d, {.drivers = 2, .power = 2 * g.power},
                                        g.diameter, g.ports, both));
        for (const int f : {10, 40, 200}) {
            EXPECT_NEAR(both.spl[f] - one.spl[f], 6.0206, 1e-4) << f;
            EXPECT_NEAR(both.excursion[f] / one.excursion[f], 1, 1e-12) << f;
        }
    }
}

// Catches Pe taken at the amplifier instead of at the voice coil: a low-pass lowers
// what reaches the set, and with it the level, by as much as it lets the amplifier give,
// so the most the design plays at each hertz is the same with the filter as without.
TEST(LimitsTest, LowPassLeavesTheLoudestLevelsAlone)
{
    const Design g = Example(10);
    Limits plain, filtered;
    ASSERT_TRUE(ComputeSystemLimits(g.s, true, g.d, {.power = g.power}, g.diameter, g.ports,
                                    plain));
    ASSERT_TRUE(ComputeSystemLimits(g.s, true, g.d, {.power = g.power, .lowpass = {80, 4}},
                                    g.diameter, g.ports, filtered));
    MaxLevelCurve without, with;
    MaxLevels(plain, g.power, 30, without);
    MaxLevels(filtered, g.power, 30, with);
    for (const int f : {20, 80, 299}) {
        EXPECT_NEAR(with.spl[f], without.spl[f], 1e-9) << f;
        EXPECT_EQ(with.cause[f], without.cause[f]) << f;
    }
}

// Catches the program's own arctangent in a wrong quadrant or off near the axes.
TEST(LimitsTest, PhaseDegreesInEveryQuadrant)
{
    for (const double re : {3.0, -0.5, 1e-300, 0.0, -7e20})
        for (const double im : {2.0, -1e-9, 0.0, -4e5})
            EXPECT_NEAR(PhaseDegrees(re, im), std::atan2(im, re) * 180 / PI, 1e-12) << re << " " << im;
}

// Xmax is the circuit's excursion at xmaxAtHz, or 1000 mm for 0.
struct WarningCase {
    const char* name;
    bool ported;
    double xmaxAtHz, diameter, pe;
    std::vector<LimitsWarning::Code> codes;
};

// The runs of whole hertz at which the circuit's excursion or port speed is above
// `limit`, as {first, last} pairs.
std::vector<std::pair<int, int>> CircuitPassing(const Design& g, bool ported, bool speed,
                                                double limit)
{
    std::vector<std::pair<int, int>> ranges;
    bool passing = false;
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
        const Solved c = Circuit(g, ported, f, g.power);
        const bool above = (speed ? c.portSpeed : c.excursion) > limit;
        if (above && !passing)
            ranges.push_back({f, f});
        if (above)
            ranges.back().second = f;
        passing = above;
    }
    return ranges;
}

class LimitsWarningTest : public testing::TestWithParam<WarningCase> {};

// Catches a warning missing, given when nothing passes its limit, naming the wrong runs
// of frequencies, or carrying the wrong limit or power for its words.
TEST_P(LimitsWarningTest, OnePerLimitPassed)
{
    const WarningCase& w = GetParam();
    Design g = {{"", 0.4, 50, 30, "", {40, 30}, {20, 0, 0}}, {6, 0.45, 200, 1000}, 100,
                w.diameter, 1};
    if (w.xmaxAtHz > 0)
        g.d.xmax = Circuit(g, w.ported, w.xmaxAtHz, g.power).excursion;
    Limits l;
    ASSERT_TRUE(ComputeLimits(g.s, w.ported, g.d, g.power, g.diameter, g.ports, l));
    const std::vector<LimitsWarning> got = LimitsWarnings(l, g.d.xmax, w.pe, g.power);
    ASSERT_EQ(got.size(), w.codes.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].code, w.codes[i]) << i;
        const double limit = got[i].code == LimitsWarning::EXCURSION_OVER_XMAX ? g.d.xmax
                             : got[i].code == LimitsWarning::PORT_AUDIBLE      ? 17
                                                                                : w.pe;
        EXPECT_EQ(got[i].limit, limit) << i;
        if (got[i].code == LimitsWarning::POWER_OVER_PE) {
            EXPECT_EQ(got[i].largest.value, g.power);
            continue;
        }
        EXPECT_GT(got[i].largest.value, limit) << i;
        const bool speed = got[i].code == LimitsWarning::PORT_AUDIBLE;
        std::vector<std::pair<int, int>> ranges;
        for (const HzRange& r : got[i].ranges)
            ranges.push_back({r.from, r.to});
        EXPECT_EQ(ranges, CircuitPassing(g, w.ported, speed, limit)) << i;
    }
}

using Code = LimitsWarning::Code;
constexpr Code XMAX = LimitsWarning::EXCURSION_OVER_XMAX, PORT = LimitsWarning::PORT_AUDIBLE,
               PE = LimitsWarning::POWER_OVER_PE;

INSTANTIATE_TEST_SUITE_P(
    Limits, LimitsWarningTest,
    testing::Values(
        WarningCase{"no_pe", false, 0, 10, std::numeric_limits<double>::quiet_NaN(), {}},
        WarningCase{"power", false, 0, 10, 99.9, {PE}},
        WarningCase{"sealed_excursion", false, 50.5, 10, 200, {XMAX}},
        WarningCase{"ported_excursion", true, 20.5, 20, 200, {XMAX}},
        WarningCase{"wide_port", true, 0, 20, 200, {}},
        WarningCase{"narrow_port", true, 0, 2, 50, {PORT, PE}}),
    [](const testing::TestParamInfo<WarningCase>& info) { return info.param.name; });

double LargestPortSpeed(const Design& g, const System& sys = {})
{
    double largest = 0;
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f)
        largest = std::max(largest, Circuit(g, true, f, g.power, sys).portSpeed);
    return largest;
}

// Catches a port one centimetre too small or too large, a speed limit other than
// 17 m/s (AUDIBLE_PORT_SPEED), or a high-pass at the tuning left out of the port's air,
// judged by the circuit's own air speed.
TEST(LimitsTest, QuietPortIsTheSmallestUnder17MetresASecond)
{
    const Design g = Example(0);
    System highpass;
    highpass.highpass = {30, 4};
    for (System drive : {System(), highpass}) {
        drive.power = g.power;
        const int d = QuietPortDiameter(g.s, g.d, drive, 1, 50);
        ASSERT_GT(d, 1);
        EXPECT_LT(LargestPortSpeed(Example(d), drive), 17);
        EXPECT_GE(LargestPortSpeed(Example(d - 1), drive), 17);
        EXPECT_EQ(QuietPortDiameter(g.s, g.d, drive, 1, d - 1), 0);
    }
}

// Catches the loudest level taken at the wrong power (not the lesser of Pe and the
// power that reaches Xmax), from below F3, or as the largest instead of the least.
TEST(LimitsTest, PassbandMaxSplIsTheLeastLevelWithinXmaxAndPe)
{
    for (const bool ported : {false, true}) {
        for (const double most : {10.0, 1000.0}) {
            const Design g = Example(10);
            Limits l;
            ASSERT_TRUE(ComputeLimits(g.s, ported, g.d, g.power, g.diameter, g.ports, l));
            const Crossing f3 = RisesThrough(l.level, -3);
            double expected = 1e300;
            bool byXmax = false;
            for (int f = static_cast<int>(std::ceil(f3.hz)); f <= HIGHEST_HZ; ++f) {
                const double excursion = Circuit(g, ported, f, g.power).excursion;
                const double toXmax = g.power * std::pow(g.d.xmax / excursion, 2);
                const double level = Circuit(g, ported, f, std::min(most, toXmax)).spl;
                if (level < expected)
                    byXmax = toXmax < most;
                expected = std::min(expected, level);
            }
            const LoudestLevel loudest = PassbandMaxSpl(l, g.power, most);
            EXPECT_NEAR(loudest.level.value, expected, 1e-9) << ported << " " << most;
            EXPECT_EQ(loudest.cause == LevelLimit::XMAX, byXmax) << ported << " " << most;
        }
    }
}

// Catches a port sized at the asked power when the cone reaches Xmax first near the
// tuning, at a power above Pe, or over a band that is not where the port is busy: at
// the power found the cone just reaches Xmax at one busy hertz from F3 up.
TEST(LimitsTest, PortSizingPowerIsWhatTheConeTakesWhereThePortIsBusy)
{
    const Design g = Example(10);
    Limits l;
    ASSERT_TRUE(ComputeLimits(g.s, true, g.d, g.power, g.diameter, g.ports, l));
    const PortPower sized = PortSizingPower(l, 1000, 1e6);
    ASSERT_EQ(sized.cause, LevelLimit::XMAX);
    const int from = static_cast<int>(std::ceil(RisesThrough(l.level, -3).hz));
    double fastest = 0, most = 0;
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f)
        fastest = std::max(fastest, Circuit(g, true, f, g.power).portSpeed);
    for (int f = from; f <= HIGHEST_HZ; ++f) {
        const Solved c = Circuit(g, true, f, sized.watts);
        if (Circuit(g, true, f, g.power).portSpeed >= fastest / 2)
            most = std::max(most, c.excursion);
    }
    EXPECT_NEAR(most, g.d.xmax, 1e-6);
    EXPECT_EQ(PortSizingPower(l, sized.watts / 2, 1e6).cause, LevelLimit::POWER);
    EXPECT_DOUBLE_EQ(PortSizingPower(l, 1000, sized.watts / 3).watts, sized.watts / 3);
}

// Catches the quiet area taken at the wrong speed or scaled the wrong way: ports of the
// area found move their fastest air at 17 m/s.
TEST(LimitsTest, QuietPortAreaMovesTheAirAtTheAudibleSpeed)
{
    const Design g = Example(10);
    Limits l;
    ASSERT_TRUE(ComputeLimits(g.s, true, g.d, g.power, g.diameter, g.ports, l));
    const double area = QuietPortArea(l, g.ports * PI * g.diameter * g.diameter / 4);
    EXPECT_NEAR(LargestPortSpeed(Example(std::sqrt(4 * area / PI))), 17, 1e-9);
}

// A curve at 2 over the `high` runs and 0 elsewhere, 1 (the limit) at `at` and NaN at
// `nan`, and the runs that pass 1.
using Runs = std::vector<std::pair<int, int>>;
struct RangesCase { const char* name; Runs high; int at, nan; Runs expected; };
using Figures = std::vector<std::pair<double, int>>;
class PassingRangesTest : public testing::TestWithParam<RangesCase> {};

// Catches a gap bridged (first and last hertz only), a run lost at either end of the
// grid, a value equal to the limit or NaN taken as passing.
TEST_P(PassingRangesTest, EveryRunAboveTheLimit)
{
    const RangesCase& c = GetParam();
    double curve[RESPONSE_SIZE] = {};
    for (const auto& [from, to] : c.high)
        std::fill(curve + from, curve + to + 1, 2.0);
    curve[c.at] = 1;
    curve[c.nan] = std::numeric_limits<double>::quiet_NaN();
    Runs got;
    for (const HzRange& r : PassingRanges(curve, 1))
        got.push_back({r.from, r.to});
    EXPECT_EQ(got, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, PassingRangesTest,
    testing::Values(RangesCase{"none", {}, 0, 0, {}},
                    RangesCase{"all", {{1, 299}}, 0, 0, {{1, 299}}},
                    RangesCase{"gapped", {{1, 19}, {25, 43}}, 0, 0, {{1, 19}, {25, 43}}},
                    RangesCase{"ends", {{1, 1}, {299, 299}}, 0, 0, {{1, 1}, {299, 299}}},
                    RangesCase{"touching", {{10, 20}, {21, 30}}, 0, 0, {{10, 30}}},
                    RangesCase{"at_limit", {{10, 30}}, 20, 0, {{10, 19}, {21, 30}}},
                    RangesCase{"nan", {{10, 30}}, 0, 15, {{10, 14}, {16, 30}}}),
    [](const testing::TestParamInfo<RangesCase>& info) { return info.param.name; });

// Catches the headline figures taken below F3, F3's own hertz left out of the band, or
// the whole grid not used when F3 is not on it.
TEST(LimitsTest, SummaryBandStartsAtF3)
{
    Limits l = {};
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
        l.level[f] = f < 30 ? -20 : f == 30 ? -3 : 0;  // F3 exactly 30 Hz
        l.excursion[f] = f == 1 ? 40 : f == 30 ? 6 : 1;
        l.maxPower[f] = f == 1 ? 14 : f == 30 ? 50 : 100;
        l.portSpeed[f] = f == 28 ? 20 : f == 31 ? 12 : 5;
    }
    const LimitsSummary s = Summarize(l);
    const auto at = [](const Extreme& e) { return std::make_pair(e.value, e.hz); };
    EXPECT_EQ(s.usefulFrom, 30);
    EXPECT_EQ(Figures({at(s.band.largestExcursion), at(s.band.lowestMaxPower),
                       at(s.band.largestPortSpeed), at(s.belowBand.largestExcursion),
                       at(s.belowBand.largestPortSpeed), at(s.whole.lowestMaxPower)}),
              Figures({{6, 30}, {50, 30}, {12, 31}, {40, 1}, {20, 28}, {14, 1}}));
    std::fill(l.level, l.level + RESPONSE_SIZE, 0.0);  // F3 below 1 Hz
    EXPECT_EQ(Summarize(l).usefulFrom, 0);
    EXPECT_EQ(Summarize(l).band.largestExcursion.value, 40);
}

}  // namespace
