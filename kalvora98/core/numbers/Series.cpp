// Each function first brings its argument into a short interval where a few terms of a
// Taylor series reach the last bit, then sums them by Horner's rule; see the note at
// each. The reductions are those of Cody and Waite ("Software Manual for the
// Elementary Functions", 1980): a multiple of ln 2 split into a head whose products
// are exact and a small rest, quarter turns taken out of an angle, and the arc tangent's
// argument halved by atan t = 2 atan(t / (1 + sqrt(1 + t²))).
#include "numbers/Series.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "numbers/Elementary.h"

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double PI = 3.14159265358979323846;
// ln 2 as a head of 32 bits, whose products with integers below 2^20 are exact, and
// the rest (fdlibm's split).
constexpr double LN2_HI = 0x1.62e42feep-1;
constexpr double LN2_LO = 0x1.a39ef35793c76p-33;
constexpr double SQRT2 = 0x1.6a09e667f3bcdp+0;
// Adding and taking away 1.5 · 2^52 rounds a double below 2^51 to the nearest whole.
constexpr double ROUNDER = 0x1.8p52;

double Nearest(double x)  // |x| < 2^51
{
    return (x + ROUNDER) - ROUNDER;
}

// 1 + t + t²/2! + ... + t^14/14!: for |t| <= ln 2 / 2 the next term is below 2^-60.
double ExpOfSmall(double t)
{
    double sum = 1;
    for (int k = 14; k >= 1; --k) sum = 1 + t * sum / k;
    return sum;
}

// 2 atanh f = 2f (1 + f²/3 + f⁴/5 + ...): for |f| <= 0.172 (m within sqrt 2 of 1)
// f^24/25 is below 2^-66.
double TwiceAtanh(double f)
{
    const double s = f * f;
    double sum = 1.0 / 25;
    for (int n = 11; n >= 0; --n) sum = 1.0 / (2 * n + 1) + s * sum;
    return 2 * f * sum;
}

// sin x and cos x for |x| <= pi/4: the terms after x^17/17! and x^18/18! are below 2^-60.
SineCosine OfSmall(double x)
{
    const double s = x * x;
    double sine = 1, cosine = 1;
    for (int k = 8; k >= 1; --k) sine = 1 - s * sine / ((2 * k) * (2 * k + 1));
    for (int k = 9; k >= 1; --k) cosine = 1 - s * cosine / ((2 * k - 1) * (2 * k));
    return {x * sine, cosine};
}

// A whole |degrees| of 2^52 or more, less whole turns: the remainder by 360 of its
// integer mantissa times 2^e, in integers, so that even such an angle has one value.
double WholeTurnsOff(double degrees)
{
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(std::fabs(degrees));
    std::uint64_t rest = ((bits & 0x000FFFFFFFFFFFFF) | std::uint64_t{1} << 52) % 360;
    for (int e = static_cast<int>(bits >> 52) - 1075; e > 0; --e) rest = rest * 2 % 360;
    return degrees < 0 ? -static_cast<double>(rest) : static_cast<double>(rest);
}

// atan t for 0 <= t <= 1, in radians: t halved twice lies below tan(pi/16) < 0.2,
// where the series t - t³/3 + t^5/5 - ... reaches t^25/25 < 2^-63 t.
double AtanOfRatio(double t)
{
    for (int halving = 0; halving < 2; ++halving) t = t / (1 + std::sqrt(1 + t * t));
    const double s = t * t;
    double sum = 1.0 / 25;
    for (int n = 11; n >= 0; --n) sum = 1.0 / (2 * n + 1) - s * sum;
    return 4 * t * sum;
}

}  // namespace

// x = n ln 2 + r, |r| <= ln 2 / 2: e^x = 2^n e^r.
double Exp(double x)
{
    if (std::isnan(x)) return NaN;
    if (x > 709.782712893384) return INF;
    if (x < -745.2) return 0;
    const double n = Nearest(x * (1 / (LN2_HI + LN2_LO)));
    const double r = (x - n * LN2_HI) - n * LN2_LO;
    return ScaleBinary(ExpOfSmall(r), static_cast<int>(n));
}

// x = 2^k m, m within sqrt 2 of 1: ln x = k ln 2 + 2 atanh((m - 1)/(m + 1)).
double Ln(double x)
{
    if (std::isnan(x) || x < 0) return NaN;
    if (x == 0) return -INF;
    if (std::isinf(x)) return x;
    int k = 0;
    if (x < 0x1p-1022) {  // subnormal: into the normal range first
        x *= 0x1p54;
        k = -54;
    }
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    k += static_cast<int>(bits >> 52) - 1023;
    double m = std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFF) | 0x3FF0000000000000);
    if (m > SQRT2) {
        m *= 0.5;
        ++k;
    }
    const double lnM = TwiceAtanh((m - 1) / (m + 1));  // m - 1 is exact
    return k * LN2_HI + (k * LN2_LO + lnM);
}

// degrees = 90 q + r, |r| <= 45: the quarter turns q swap and turn the signs of sin r
// and cos r.
SineCosine SinCosDegrees(double degrees)
{
    if (!std::isfinite(degrees)) return {NaN, NaN};
    if (std::fabs(degrees) >= 0x1p52) degrees = WholeTurnsOff(degrees);
    const double q = Nearest(degrees / 90);
    const SineCosine small = OfSmall((degrees - 90 * q) * (PI / 180));
    switch (static_cast<long long>(q) & 3) {
    case 0: return small;
    case 1: return {small.cosine, -small.sine};
    case 2: return {-small.sine, -small.cosine};
    default: return {-small.cosine, small.sine};
    }
}

double Atan2Degrees(double y, double x)
{
    if (std::isnan(x) || std::isnan(y)) return NaN;
    if (std::isinf(x) || std::isinf(y)) {  // only the directions count
        x = std::isinf(x) ? std::copysign(1.0, x) : std::copysign(0.0, x);
        y = std::isinf(y) ? std::copysign(1.0, y) : std::copysign(0.0, y);
    }
    const double ax = std::fabs(x), ay = std::fabs(y);
    if (ax == 0 && ay == 0) return std::signbit(x) ? std::copysign(180.0, y) : y;
    double angle = ay <= ax ? AtanOfRatio(ay / ax) * (180 / PI)
                            : 90 - AtanOfRatio(ax / ay) * (180 / PI);
    if (std::signbit(x)) angle = 180 - angle;
    return std::signbit(y) ? -angle : angle;
}
