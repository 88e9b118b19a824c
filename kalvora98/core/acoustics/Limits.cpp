#include "acoustics/Limits.h"

#include <cmath>
#include <limits>

#include "numbers/Elementary.h"
#include "numbers/Units.h"

namespace {

// The vented box's loss, as the program's ported curve takes it (Response.cpp).
constexpr double BOX_LOSS_Q = 7;

constexpr double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();

struct Complex {
    double re, im;
};

// A real polynomial c[0] + c[1] p + ... + c[4] p^4 in p = s/ωs. Evaluated at p = jx
// with real arithmetic only, so the figures are the same bits on every build (a
// library's complex division is not).
struct Polynomial {
    double c[5];
};

Complex At(const Polynomial& poly, double x)
{
    Complex sum = {0, 0};
    double power = 1;  // x^k; j^k cycles through 1, j, -1, -j
    for (int k = 0; k < 5; ++k) {
        const double term = poly.c[k] * power;
        switch (k % 4) {
        case 0: sum.re += term; break;
        case 1: sum.im += term; break;
        case 2: sum.re -= term; break;
        default: sum.im -= term; break;
        }
        power *= x;
    }
    return sum;
}

Complex DerivativeAt(const Polynomial& poly, double x)
{
    Polynomial derivative = {{poly.c[1], 2 * poly.c[2], 3 * poly.c[3], 4 * poly.c[4], 0}};
    return At(derivative, x);
}

double Magnitude(Complex z)
{
    return std::sqrt(z.re * z.re + z.im * z.im);
}

Complex Divided(Complex a, Complex b)
{
    const double norm = b.re * b.re + b.im * b.im;
    return {(a.re * b.re + a.im * b.im) / norm, (a.im * b.re - a.re * b.im) / norm};
}

double Norm(Complex z)
{
    return z.re * z.re + z.im * z.im;
}

Complex operator+(Complex a, Complex b)
{
    return {a.re + b.re, a.im + b.im};
}
Complex operator-(Complex a, Complex b)
{
    return {a.re - b.re, a.im - b.im};
}
Complex operator*(Complex a, Complex b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}
Complex operator/(Complex a, Complex b)
{
    return Divided(a, b);
}

// A complex function of x and its derivative in x, carried through the arithmetic.
struct Dual {
    Complex v, d;
};

Dual Real(double value)
{
    return {{value, 0}, {0, 0}};
}
Dual operator+(Dual a, Dual b)
{
    return {a.v + b.v, a.d + b.d};
}
Dual operator*(Dual a, Dual b)
{
    return {a.v * b.v, a.d * b.v + a.v * b.d};
}
Dual operator/(Dual a, Dual b)
{
    const Complex q = a.v / b.v;
    return {q, (a.d - q * b.d) / b.v};
}

// The group delay, in seconds, of p^n / P(p) at p = jx: the numerator's phase is
// constant, and d arg P(jx) / dx = Re(P'(jx) / P(jx)) since dP/dx = j P'. No arctangent,
// whose library versions differ between builds.
double GroupDelay(const Polynomial& denominator, double x, double omegaS)
{
    const Complex value = At(denominator, x), slope = DerivativeAt(denominator, x);
    return (slope.re * value.re + slope.im * value.im) /
           ((value.re * value.re + value.im * value.im) * omegaS);
}

// The vented box as one circuit (R. H. Small, "Vented-Box Loudspeaker Systems, Part I",
// J. Audio Eng. Soc. 21, 1973): the cone's mechanical impedance (p² + p/q + 1)/p in
// units of Mms ωs, loaded through Sd² by the box compliance in parallel with the port
// mass and the leakage that makes the box loss QL. Over the box's N(p) = p² + p h/QL + h²
// it gives (p² + p/q + 1) N(p) + α p², h = fb/fs, α = Vas/Vb. With q = Qts (the cone
// damped through Re as well) it is the denominator of the program's ported curve; with
// q = Qms, the cone alone that the impedance sees.
Polynomial Vented(double h, double alpha, double q)
{
    return {{h * h, h / BOX_LOSS_Q + h * h / q, 1 + h * h + alpha + h / (BOX_LOSS_Q * q),
             h / BOX_LOSS_Q + 1 / q, 1}};
}

// The closed box the same way (R. H. Small, "Closed-Box Loudspeaker Systems, Part I",
// J. Audio Eng. Soc. 20, 1972): the air adds its stiffness α to the suspension's, so
// the resonance is Fs sqrt(1 + α) and the damping unchanged, Qtc = Qts sqrt(1 + α).
Polynomial Closed(double alpha, double q)
{
    return {{1 + alpha, 1 / q, 1, 0, 0}};
}

// The extremes over the whole hertz from..to; the lowest frequency of equals.
Extremes ExtremesOver(const Limits& limits, int from, int to)
{
    Extremes e = {{limits.excursion[from], from},
                  {limits.maxPower[from], from},
                  {limits.portSpeed[from], from}};
    for (int f = from; f <= to; ++f) {
        if (limits.excursion[f] > e.largestExcursion.value)
            e.largestExcursion = {limits.excursion[f], f};
        if (limits.maxPower[f] < e.lowestMaxPower.value)
            e.lowestMaxPower = {limits.maxPower[f], f};
        if (limits.portSpeed[f] > e.largestPortSpeed.value)
            e.largestPortSpeed = {limits.portSpeed[f], f};
    }
    return e;
}

// What a frequency's figures need of the design and the system, in the circuit's
// units: frequencies over Fs, impedances over the set's Re.
struct Setup {
    bool ported;
    double fs, omegaS, alpha, h, qes, qms;
    double power, volts;    // the drive
    double still;           // m: the cone's peak displacement at 0 Hz without the box
    double sd, portArea;    // m²
    double re, xmax;        // the set's ohm, one cone's mm
    double rs, le;          // Rs / Re and ωs Le / Re
    double l2, r2;          // ωs L2 / Re and R2 / Re; 0 without the lossy coil
    double passband;        // the passband's pressure over the circuit's there
    double passbandDb;      // what Rs and the losses take from the passband, dB
    double iql, iqa, iqp;   // the box's losses as 1/Q
};

bool IsPlainBox(const System& system)
{
    return system.ql == BOX_LOSS_Q && std::isinf(system.qa) && std::isinf(system.qp);
}

Setup SetupOf(const Speaker& s, bool ported, const LimitsDriver& d, const System& system,
              double diameter, int ports)
{
    const DriverConstants c = ConstantsOf(s, d);
    Setup k;
    k.ported = ported;
    k.fs = s.fs;
    k.omegaS = 2 * PI * s.fs;
    k.alpha = s.vas / (ported ? s.ported.volume : s.sealed.volume);
    k.h = s.ported.fb / s.fs;
    k.qes = d.qes;
    k.qms = c.qms;
    k.power = DrivePower(system, d.re);
    k.volts = system.volts == 0 ? std::sqrt(k.power * d.re) : system.volts;
    // Cms times the peak force Bl V/Re, for the peak voltage sqrt(2 P Re) of the sine.
    k.still = c.cms * std::sqrt(2 * k.power * c.bl2 / d.re);
    k.sd = d.sd * 1e-4;
    k.portArea = ports * PI * diameter * diameter / 4 * 1e-4;
    k.re = d.re;
    k.xmax = d.xmax;
    k.rs = system.sourceOhms / d.re;
    k.le = system.useLe ? k.omegaS * d.le * 1e-3 / d.re : 0;
    const bool lossy = system.useLe && HasLossyCoil(d);
    k.l2 = lossy ? k.omegaS * d.l2 * 1e-3 / d.re : 0;
    k.r2 = lossy ? d.r2 / d.re : 0;
    k.iql = 1 / system.ql;
    k.iqa = 1 / system.qa;
    k.iqp = 1 / system.qp;
    // High up the box is the absorption's resistance beside the leak's, and the leak
    // lets out 1/(QA QL) of what the cone's back pushes into the box, in antiphase.
    k.passband = (1 + k.rs) * (ported ? 1 + k.iqa * k.iql : 1);
    k.passbandDb = k.passband == 1 ? 0 : -20 * Log10(k.passband);
    return k;
}

// A frequency's figures before the filters and the placement.
struct Point {
    double level;      // dB
    double excursion;  // m
    double portSpeed;  // m/s
    double delay;      // s
    Complex z;         // the set's impedance over its Re
};

// The design as it always was: the set driven straight from the amplifier, without Le,
// in a box whose only loss is QL 7. The cone's displacement is still * N(p) / P(p), with
// P the response's denominator and N the box's part; the port's volume velocity is the
// cone's times h² / N(p), and the impedance Re (1 + p N(p) / (Qes P_Qms(p))). The
// level is the program's own curve's, filled in by the caller.
Point PlainPoint(const Setup& k, const Polynomial& response, const Polynomial& mechanical,
                 int f)
{
    const Polynomial box = k.ported ? Polynomial{{k.h * k.h, k.h / BOX_LOSS_Q, 1, 0, 0}}
                                    : Polynomial{{1, 0, 0, 0, 0}};
    const double x = f / k.fs;
    const double denominator = Magnitude(At(response, x));
    const Complex n = At(box, x);
    Point point;
    point.level = 0;
    point.excursion = k.still * Magnitude(n) / denominator;
    point.portSpeed = k.ported ? k.sd * 2 * PI * f * k.still * k.h * k.h /
                                     (denominator * k.portArea)
                               : NOT_A_NUMBER;
    point.delay = GroupDelay(response, x, k.omegaS);
    const Complex motion = Divided({-x * n.im, x * n.re}, At(mechanical, x));
    point.z = {1 + motion.re / k.qes, motion.im / k.qes};
    return point;
}

// The eddy currents' part of the coil, p ωs L2 ∥ R2 over Re: p l2 r2 / (r2 + p l2).
Dual LossyPart(const Setup& k, Dual p)
{
    return p * Real(k.l2 * k.r2) / (Real(k.r2) + p * Real(k.l2));
}

// The whole circuit at p = jx, carried with its derivative in x for the group delay.
// The vented box's air (Small's vented box, with all three losses) is its compliance
// behind the absorption's resistance, in parallel with the leak and with the port's
// mass behind its resistance; over the compliance's own admittance at p they are
// 1/(1 + p/(h QA)), h/(p QL) and h²/(p (p + h/QP)), y in all. The cone's mechanical
// impedance is Mms ωs Z(p) with p Z = p² + p/Qms + 1 + α/y; the coil's Re g(p), g = 1 +
// Rs/Re + p ωs Le/Re, plus LossyPart when the driver gives L2 and R2. The cone moves as
// still / E, E = g p Z + p/Qes; the cone's front and the port and leak radiate the
// cone's volume velocity times the compliance's share of y, so the pressure goes as
// H = p² share / E.
Point CircuitPoint(const Setup& k, int f)
{
    const double x = f / k.fs;
    const Dual p = {{0, x}, {0, 1}}, one = Real(1);
    Dual y = one, share = one, port = Real(0);
    if (k.ported) {
        const Dual compliance = one / (one + p * Real(k.iqa / k.h));
        port = Real(k.h * k.h) / (p * (p + Real(k.h * k.iqp)));
        y = compliance + Real(k.h * k.iql) / p + port;
        share = compliance / y;
        port = port / y;
    }
    const Dual pz = p * p + p * Real(1 / k.qms) + one + Real(k.alpha) / y;
    const Dual lossy = k.r2 > 0 ? LossyPart(k, p) : Real(0);
    const Dual coil = Real(1 + k.rs) + p * Real(k.le);
    const Dual e = (k.r2 > 0 ? coil + lossy : coil) * pz + p * Real(1 / k.qes);
    const Dual h = p * p * share * Real(k.passband) / e;
    Point point;
    point.level = 10 * Log10(Norm(h.v));
    point.excursion = k.still / Magnitude(e.v);
    point.portSpeed = k.ported ? k.sd * 2 * PI * f * point.excursion * Magnitude(port.v) /
                                     k.portArea
                               : NOT_A_NUMBER;
    point.delay = -(h.d / h.v).im / k.omegaS;
    point.z = Complex{1, x * k.le} + Complex{0, x / k.qes} / pz.v;
    if (k.r2 > 0)
        point.z = point.z + lossy.v;
    return point;
}

// A frequency's figures into the curves, through the filters and to where the system
// stands.
void Store(const Setup& k, const System& system, const Point& point, double gain, int f,
           Limits& out)
{
    const bool filtered = system.highpass.hz > 0 || system.lowpass.hz > 0;
    const FilterEffect filters = filtered ? FiltersAt(system, f) : FilterEffect{1, 0};
    const double reach = filtered ? std::sqrt(filters.ratio) : 1;
    out.level[f] = filtered ? point.level + 10 * Log10(filters.ratio) : point.level;
    out.spl[f] = gain + out.level[f];
    if (k.passbandDb != 0)
        out.spl[f] += k.passbandDb;
    const double placement = PlacementDb(system, f);
    if (placement != 0)
        out.spl[f] += placement;
    out.excursion[f] = filtered ? point.excursion * reach * 1e3 : point.excursion * 1e3;
    out.portSpeed[f] = filtered ? point.portSpeed * reach : point.portSpeed;
    out.groupDelay[f] = filtered ? (point.delay + filters.delay) * 1e3 : point.delay * 1e3;
    out.impedance[f] = k.re * Magnitude(point.z);
    out.phase[f] = PhaseDegrees(point.z.re, point.z.im);
    const Complex loop = {k.rs + point.z.re, point.z.im};
    out.inputPower[f] = k.power * filters.ratio * point.z.re / Norm(loop);
    const double ratio = k.xmax / out.excursion[f];
    out.maxPower[f] = k.power * ratio * ratio;
    out.maxVolts[f] = k.volts * ratio;
    out.filterGain[f] = filters.ratio;
}

}  // namespace

LimitsDriver LimitsDriverOf(double qts, const DriverSheet& sheet)
{
    const double* v = sheet.value;
    return {v[SHEET_RE], SheetQes(qts, sheet), v[SHEET_SD], v[SHEET_XMAX], v[SHEET_LE],
            v[SHEET_L2], v[SHEET_R2]};
}

bool HasLossyCoil(const LimitsDriver& d)
{
    return d.l2 > 0 && d.r2 > 0 && std::isfinite(d.l2) && std::isfinite(d.r2);
}

DriverConstants ConstantsOf(const Speaker& s, const LimitsDriver& d)
{
    DriverConstants k;
    k.efficiency = ReferenceEfficiency(s.fs, s.vas * 1e-3, d.qes);
    k.cms = Compliance(s.vas * 1e-3, d.sd * 1e-4);
    k.mms = MovingMass(s.fs, k.cms);
    k.bl2 = ForceFactorSquared(s.fs, k.mms, d.re, d.qes);
    k.qms = OtherQ(s.qts, d.qes);
    return k;
}

DriverSet EquivalentDriver(const Speaker& s, const LimitsDriver& d, const System& system)
{
    DriverSet set = {s, d};
    double coil = 1;  // the unit's Re and Le over one driver's
    if (system.isobaric) {
        coil = system.pair == Wiring::SERIES ? 2 : 0.5;
        set.s.vas = s.vas / 2;
    }
    const double n = system.drivers;
    coil = system.wiring == Wiring::SERIES ? coil * n : coil / n;
    set.s.vas = set.s.vas * n;
    set.d.re = d.re * coil;
    set.d.le = d.le * coil;
    set.d.l2 = d.l2 * coil;
    set.d.r2 = d.r2 * coil;
    set.d.sd = d.sd * n;
    return set;
}

bool ComputeSystemLimits(const Speaker& single, bool ported, const LimitsDriver& one,
                         const System& system, double diameter, int ports, Limits& out)
{
    if (!IsValidSystem(system) || (system.useLe && !(one.le >= 0 && std::isfinite(one.le))))
        return false;
    const DriverSet set = EquivalentDriver(single, one, system);
    const Speaker& s = set.s;
    const LimitsDriver& d = set.d;
    const double volume = ported ? s.ported.volume : s.sealed.volume;
    if (!(s.qts > 0 && s.vas > 0 && s.fs > 0 && volume > 0 && d.re > 0 && d.sd > 0 &&
          d.xmax > 0 && d.qes > s.qts))
        return false;
    if (ported && !(s.ported.fb > 0 && diameter > 0 && ports > 0))
        return false;
    const Setup k = SetupOf(s, ported, d, system, diameter, ports);
    out.sensitivity = Sensitivity(ConstantsOf(s, d).efficiency);
    out.power = k.power;
    out.volts = k.volts;
    out.qtc = out.fc = NOT_A_NUMBER;
    if (!ported) {
        ClosedBox(s.qts, s.vas, s.fs, volume, out.qtc, out.fc);
        ClosedBoxLevels(s, out.level);
    }
    const bool plain = k.rs == 0 && k.le == 0 && k.r2 == 0 && (!ported || IsPlainBox(system));
    const Polynomial response = ported ? Vented(k.h, k.alpha, s.qts) : Closed(k.alpha, s.qts);
    const Polynomial mechanical = ported ? Vented(k.h, k.alpha, k.qms) : Closed(k.alpha, k.qms);
    const double gain = out.sensitivity + 10 * Log10(k.power);
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
        Point point = plain ? PlainPoint(k, response, mechanical, f) : CircuitPoint(k, f);
        if (plain && ported)
            point.level = PortedLevel(s, s.ported, f);
        else if (plain)
            point.level = out.level[f];
        Store(k, system, point, gain, f, out);
    }
    return true;
}

bool ComputeLimits(const Speaker& s, bool ported, const LimitsDriver& d, double power,
                   double diameter, int ports, Limits& out)
{
    System system;
    system.power = power;
    return ComputeSystemLimits(s, ported, d, system, diameter, ports, out);
}

LimitsSummary Summarize(const Limits& limits)
{
    LimitsSummary summary;
    summary.f3 = RisesThrough(limits.level, -3);
    summary.whole = ExtremesOver(limits, LOWEST_HZ, HIGHEST_HZ);
    summary.band = summary.belowBand = summary.whole;
    summary.usefulFrom = 0;
    if (summary.f3.where != Crossing::AT)
        return summary;
    summary.usefulFrom = static_cast<int>(std::ceil(summary.f3.hz));
    summary.band = ExtremesOver(limits, summary.usefulFrom, HIGHEST_HZ);
    if (summary.usefulFrom > LOWEST_HZ)
        summary.belowBand = ExtremesOver(limits, LOWEST_HZ, summary.usefulFrom - 1);
    return summary;
}

std::vector<HzRange> PassingRanges(const double* curve, double limit)
{
    std::vector<HzRange> ranges;
    bool passing = false;
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
        const bool above = curve[f] > limit;
        if (above && passing)
            ranges.back().to = f;
        else if (above)
            ranges.push_back({f, f});
        passing = above;
    }
    return ranges;
}

std::vector<LimitsWarning> LimitsWarnings(const Limits& limits, double xmax, double pe,
                                          double power)
{
    const Extremes whole = Summarize(limits).whole;
    std::vector<LimitsWarning> warnings;
    std::vector<HzRange> ranges = PassingRanges(limits.excursion, xmax);
    if (!ranges.empty())
        warnings.push_back({LimitsWarning::EXCURSION_OVER_XMAX, xmax, ranges,
                            whole.largestExcursion});
    ranges = PassingRanges(limits.portSpeed, AUDIBLE_PORT_SPEED);
    if (!ranges.empty())
        warnings.push_back({LimitsWarning::PORT_AUDIBLE, AUDIBLE_PORT_SPEED, ranges,
                            whole.largestPortSpeed});
    if (power > pe)
        warnings.push_back({LimitsWarning::POWER_OVER_PE, pe, {}, {power, 0}});
    return warnings;
}

void MaxLevels(const Limits& limits, double power, double most, MaxLevelCurve& out)
{
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
        // Pe is reached at the set's terminals, after the filters: in a filter's stop
        // band the amplifier may give more before the voice coil takes Pe.
        const double heat = limits.filterGain[f] == 1 ? most : most / limits.filterGain[f];
        const bool xmax = limits.maxPower[f] < heat;
        const double allowed = xmax ? limits.maxPower[f] : heat;
        out.spl[f] = limits.spl[f] + 10 * Log10(allowed / power);
        out.cause[f] = xmax ? LevelLimit::XMAX : LevelLimit::POWER;
    }
}

LoudestLevel PassbandMaxSpl(const Limits& limits, double power, double most)
{
    LoudestLevel loudest = {{0, 0}, LevelLimit::POWER};
    const int from = Summarize(limits).usefulFrom;
    if (from == 0)
        return loudest;
    MaxLevelCurve curve;
    MaxLevels(limits, power, most, curve);
    for (int f = from; f <= HIGHEST_HZ; ++f)
        if (loudest.level.hz == 0 || curve.spl[f] < loudest.level.value)
            loudest = {{curve.spl[f], f}, curve.cause[f]};
    return loudest;
}

Extreme LeastImpedance(const Limits& l)
{
    const int useful = Summarize(l).usefulFrom;
    const int from = useful > 0 ? useful : LOWEST_HZ;
    Extreme least = {l.impedance[from], from};
    for (int f = from + 1; f <= HIGHEST_HZ; ++f)
        if (l.impedance[f] < least.value)
            least = {l.impedance[f], f};
    return least;
}

PortPower PortSizingPower(const Limits& ported, double power, double most)
{
    PortPower sized = {power < most ? power : most, LevelLimit::POWER, 0};
    const int from = Summarize(ported).usefulFrom;
    double fastest = 0;
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f)
        fastest = ported.portSpeed[f] > fastest ? ported.portSpeed[f] : fastest;
    for (int f = from > LOWEST_HZ ? from : LOWEST_HZ; f <= HIGHEST_HZ; ++f)
        if (ported.portSpeed[f] >= fastest / 2 && ported.maxPower[f] < sized.watts)
            sized = {ported.maxPower[f], LevelLimit::XMAX, f};
    return sized;
}

double QuietPortArea(const Limits& ported, double area)
{
    return area * Summarize(ported).whole.largestPortSpeed.value / AUDIBLE_PORT_SPEED;
}

int QuietPortDiameter(const Speaker& s, const LimitsDriver& d, const System& system,
                      int ports, int largest)
{
    // The tuning fixes the air the ports move, so its speed falls as their area grows:
    // halve the range of diameters until the smallest quiet one is left. Each step is a
    // whole limits run of some 0.1 ms.
    const auto quiet = [&](int diameter, bool& ok) {
        Limits l;
        ok = ComputeSystemLimits(s, true, d, system, diameter, ports, l);
        return ok && Summarize(l).whole.largestPortSpeed.value < AUDIBLE_PORT_SPEED;
    };
    bool ok;
    if (largest < 1 || !quiet(largest, ok))
        return 0;
    int low = 1, high = largest;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (quiet(middle, ok))
            high = middle;
        else if (!ok)
            return 0;
        else
            low = middle + 1;
    }
    return high;
}
