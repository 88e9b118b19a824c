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

}  // namespace

LimitsDriver LimitsDriverOf(double qts, const DriverSheet& sheet)
{
    const double* v = sheet.value;
    return {v[SHEET_RE], SheetQes(qts, sheet), v[SHEET_SD], v[SHEET_XMAX]};
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

bool ComputeLimits(const Speaker& s, bool ported, const LimitsDriver& d, double power,
                   double diameter, int ports, Limits& out)
{
    const double volume = ported ? s.ported.volume : s.sealed.volume;
    if (!(s.qts > 0 && s.vas > 0 && s.fs > 0 && volume > 0 && d.re > 0 && d.sd > 0 &&
          d.xmax > 0 && d.qes > s.qts && power > 0))
        return false;
    if (ported && !(s.ported.fb > 0 && diameter > 0 && ports > 0))
        return false;
    const DriverConstants k = ConstantsOf(s, d);
    const double alpha = s.vas / volume, omegaS = 2 * PI * s.fs, sd = d.sd * 1e-4;
    const double h = s.ported.fb / s.fs;
    const double portArea = ports * PI * diameter * diameter / 4 * 1e-4;  // m²
    // The cone's displacement at 0 Hz without the box: Cms times the peak force Bl V/Re,
    // for the peak voltage sqrt(2 P Re) of a sine of the nominal power.
    const double still = k.cms * std::sqrt(2 * power * k.bl2 / d.re);

    out.sensitivity = Sensitivity(k.efficiency);
    out.qtc = out.fc = NOT_A_NUMBER;
    if (!ported) {
        ClosedBox(s.qts, s.vas, s.fs, volume, out.qtc, out.fc);
        ClosedBoxLevels(s, out.level);
    }
    // The cone's displacement is still * N(p) / P(p), with P the response's denominator
    // and N the box's part; the port's volume velocity is the cone's times h² / N(p),
    // and the impedance Re (1 + p N(p) / (Qes P_Qms(p))).
    const Polynomial response = ported ? Vented(h, alpha, s.qts) : Closed(alpha, s.qts);
    const Polynomial mechanical = ported ? Vented(h, alpha, k.qms) : Closed(alpha, k.qms);
    const Polynomial box = ported ? Polynomial{{h * h, h / BOX_LOSS_Q, 1, 0, 0}}
                                  : Polynomial{{1, 0, 0, 0, 0}};
    const double gain = out.sensitivity + 10 * Log10(power);
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
        const double x = f / s.fs;
        const double denominator = Magnitude(At(response, x));
        const Complex n = At(box, x);
        const double excursion = still * Magnitude(n) / denominator;  // m
        if (ported)
            out.level[f] = PortedLevel(s, s.ported, f);
        out.spl[f] = gain + out.level[f];
        out.excursion[f] = excursion * 1e3;
        out.portSpeed[f] = ported ? sd * 2 * PI * f * still * h * h / (denominator * portArea)
                                  : NOT_A_NUMBER;
        out.groupDelay[f] = GroupDelay(response, x, omegaS) * 1e3;
        const Complex motion = Divided({-x * n.im, x * n.re}, At(mechanical, x));
        out.impedance[f] = d.re * Magnitude({1 + motion.re / d.qes, motion.im / d.qes});
        const double ratio = d.xmax / out.excursion[f];
        out.maxPower[f] = power * ratio * ratio;
    }
    return true;
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
        const bool xmax = limits.maxPower[f] < most;
        const double allowed = xmax ? limits.maxPower[f] : most;
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

int QuietPortDiameter(const Speaker& s, const LimitsDriver& d, double power, int ports,
                      int largest)
{
    // The tuning fixes the air the ports move, so its speed falls as their area grows:
    // halve the range of diameters until the smallest quiet one is left. Each step is a
    // whole limits run of some 0.1 ms.
    const auto quiet = [&](int diameter, bool& ok) {
        Limits l;
        ok = ComputeLimits(s, true, d, power, diameter, ports, l);
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
