#include "acoustics/System.h"

#include <cmath>

#include "numbers/Elementary.h"
#include "numbers/Units.h"

namespace {

bool IsValidFilter(const Filter& filter)
{
    return filter.hz == 0 ||
           (filter.hz > 0 && std::isfinite(filter.hz) && filter.order >= 1 &&
            filter.order <= MOST_FILTER_ORDER);
}

// Loss Q values may be infinite (no such loss) but must be above 0.
bool IsValidLoss(double q)
{
    return q > 0;
}

// The Butterworth polynomial of `order` in s/ωc, lowest power first: its roots lie
// evenly on the left half of the unit circle. Written with square roots, which IEEE
// rounds the same on every build, not with the cosines they are:
// 2 sin(π/8) = sqrt(2 - √2), 2 cos(π/8) = sqrt(2 + √2), their sum sqrt(4 + 2√2).
struct Butterworth {
    double c[MOST_FILTER_ORDER + 1];
};

Butterworth ButterworthOf(int order)
{
    const double root2 = std::sqrt(2.0), outer = std::sqrt(4 + 2 * root2);
    switch (order) {
    case 1: return {{1, 1, 0, 0, 0}};
    case 2: return {{1, root2, 1, 0, 0}};
    case 3: return {{1, 2, 2, 1, 0}};
    default: return {{1, outer, 2 + root2, outer, 1}};
    }
}

// d arg B(jy) / dy, which is Re(B'(jy) / B(jy)): the filter's group delay in units of
// 1/ωc, for the low-pass 1/B and the high-pass (s/ωc)^n / B alike.
double PhaseSlope(const Butterworth& b, double y)
{
    static const double turns[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};  // j^k
    double re = 0, im = 0, dre = 0, dim = 0;
    double power = 1, below = 0;  // y^k and y^(k-1)
    for (int k = 0; k <= MOST_FILTER_ORDER; ++k) {
        const double term = b.c[k] * power, slope = k * b.c[k] * below;
        re += term * turns[k % 4][0];
        im += term * turns[k % 4][1];
        // B'(jy): its k-th term is k c_k (jy)^(k-1).
        dre += slope * turns[(k + 3) % 4][0];
        dim += slope * turns[(k + 3) % 4][1];
        below = power;
        power *= y;
    }
    return (dre * re + dim * im) / (re * re + im * im);
}

// One filter's |H|² and delay at f Hz.
FilterEffect OneFilter(const Filter& filter, bool high, double f)
{
    if (filter.hz == 0)
        return {1, 0};
    const double y = f / filter.hz;
    double y2n = 1;
    for (int k = 0; k < filter.order; ++k)
        y2n *= y * y;
    const double ratio = (high ? y2n : 1) / (1 + y2n);
    return {ratio, PhaseSlope(ButterworthOf(filter.order), y) / (2 * PI * filter.hz)};
}

// The arctangent of t from 0 to 1: two halvings of the angle, tan(a/2) = t/(1 +
// sqrt(1 + t²)), bring it under π/16, where 13 terms of the series leave an error far
// below a double's last bit.
double ArctangentToOne(double t)
{
    for (int i = 0; i < 2; ++i)
        t = t / (1 + std::sqrt(1 + t * t));
    const double t2 = t * t;
    double sum = 0;
    for (int k = 25; k >= 1; k -= 2)
        sum = 1.0 / k - t2 * sum;
    return 4 * t * sum;
}

}  // namespace

bool IsValidSystem(const System& s)
{
    const bool drive = s.volts == 0 ? s.power > 0 && std::isfinite(s.power)
                                    : s.volts > 0 && std::isfinite(s.volts);
    return s.drivers >= 1 && s.drivers <= MOST_DRIVERS && drive && s.sourceOhms >= 0 &&
           std::isfinite(s.sourceOhms) && IsValidFilter(s.highpass) &&
           IsValidFilter(s.lowpass) && IsValidLoss(s.ql) && IsValidLoss(s.qa) &&
           IsValidLoss(s.qp) && s.cabinHz >= 0 && std::isfinite(s.cabinHz);
}

double DrivePower(const System& system, double setRe)
{
    return system.volts == 0 ? system.power : system.volts * system.volts / setRe;
}

FilterEffect FiltersAt(const System& system, double f)
{
    const FilterEffect high = OneFilter(system.highpass, true, f);
    const FilterEffect low = OneFilter(system.lowpass, false, f);
    return {high.ratio * low.ratio, high.delay + low.delay};
}

double PlacementDb(const System& system, double f)
{
    const int halvings = static_cast<int>(system.space) - static_cast<int>(Space::HALF);
    double db = halvings == 0 ? 0 : halvings * 20 * Log10(2);
    if (system.cabinHz > 0) {
        const double r = system.cabinHz / f;
        db += 10 * Log10(1 + r * r * r * r);
    }
    return db;
}

double PhaseDegrees(double re, double im)
{
    if (!(re == re && im == im))
        return re + im;  // NaN
    const double a = std::fabs(re), b = std::fabs(im);
    if (a == 0 && b == 0)
        return 0;
    // The angle of the first quadrant, from the smaller over the larger part.
    double angle = b <= a ? ArctangentToOne(b / a) : PI / 2 - ArctangentToOne(a / b);
    if (re < 0)
        angle = PI - angle;
    return (im < 0 ? -angle : angle) * 180 / PI;
}
