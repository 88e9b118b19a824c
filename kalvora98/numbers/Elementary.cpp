#include "numbers/Elementary.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

std::uint64_t Bits(double x)
{
    return std::bit_cast<std::uint64_t>(x);
}

double PowerOfTwo(int e)  // e in -1022..1023
{
    return std::bit_cast<double>(static_cast<std::uint64_t>(e + 1023) << 52);
}

// x = m * 2^k with m in [sqrt(1/2), sqrt(2)), for a positive finite x.
double Reduce(double x, int& k)
{
    k = 0;
    if (x < 0x1p-1022) {  // subnormal: bring it into the normal range first
        x *= 0x1p54;
        k = -54;
    }
    std::uint64_t bits = Bits(x);
    k += static_cast<int>(bits >> 52) - 1023;
    double m = std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFF) | 0x3FF0000000000000);
    // The test looks at the top 20 bits of the fraction only, as fdlibm does.
    if (((bits >> 32) & 0xFFFFF) + 0x95F64 >= 0x100000) {
        m *= 0.5;
        ++k;
    }
    return m;
}

// Log10 after the classic fdlibm scheme: log(1+f) by a minimax polynomial in
// s = f/(2+f), then the parts multiplied by 1/ln(10) split in two so that the
// product keeps its low bits.
double Log1pKernel(double f)
{
    const double Lg1 = 6.666666666666735130e-01, Lg2 = 3.999999999940941908e-01,
                 Lg3 = 2.857142874366239149e-01, Lg4 = 2.222219843214978396e-01,
                 Lg5 = 1.818357216161805012e-01, Lg6 = 1.531383769920937332e-01,
                 Lg7 = 1.479819860511658591e-01;
    double s = f / (2.0 + f);
    double z = s * s;
    double w = z * z;
    double t1 = w * (Lg2 + w * (Lg4 + w * Lg6));
    double t2 = z * (Lg1 + w * (Lg3 + w * (Lg5 + w * Lg7)));
    double hfsq = 0.5 * f * f;
    return s * (hfsq + t2 + t1);
}

// Double-double numbers: hi + lo with |lo| at most half an ulp of hi, about 106 bits.
struct DD {
    double hi;
    double lo;
};

DD TwoSum(double a, double b)
{
    double s = a + b;
    double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

DD FastTwoSum(double a, double b)  // |a| >= |b|
{
    double s = a + b;
    return {s, b - (s - a)};
}

DD TwoProduct(double a, double b)
{
    auto split = [](double x, double& hi, double& lo) {
        double c = 134217729.0 * x;  // 2^27 + 1
        hi = c - (c - x);
        lo = x - hi;
    };
    double ah, al, bh, bl;
    split(a, ah, al);
    split(b, bh, bl);
    double p = a * b;
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

DD Add(DD a, DD b)
{
    DD s = TwoSum(a.hi, b.hi);
    DD t = TwoSum(a.lo, b.lo);
    s = FastTwoSum(s.hi, s.lo + t.hi);
    return FastTwoSum(s.hi, s.lo + t.lo);
}

DD Multiply(DD a, DD b)
{
    DD p = TwoProduct(a.hi, b.hi);
    return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

DD Divide(DD a, DD b)
{
    double q1 = a.hi / b.hi;
    DD r = Add(a, Multiply(b, {-q1, 0}));
    double q2 = r.hi / b.hi;
    r = Add(r, Multiply(b, {-q2, 0}));
    double q3 = r.hi / b.hi;
    return Add(FastTwoSum(q1, q2), {q3, 0});
}

DD Reciprocal(double n)  // n a whole number below 2^53
{
    return Divide({1, 0}, {n, 0});
}

constexpr DD LN2 = {0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};

// ln(x) for a positive finite x: ln(m) = 2 atanh(f), f = (m - 1)/(m + 1), |f| < 0.172,
// summed in double-double until the terms fall below 2^-106 of the first.
DD Ln(double x)
{
    int k;
    double m = Reduce(x, k);
    DD f = Divide({m - 1, 0}, TwoSum(m, 1));
    DD s = Multiply(f, f);
    DD series = Reciprocal(45);  // 1/(2n + 1) for n = 22 down to 0
    for (int n = 21; n >= 0; --n)
        series = Add(Multiply(series, s), Reciprocal(2 * n + 1));
    DD lnM = Multiply({2 * f.hi, 2 * f.lo}, series);
    DD kLn2 = Add(TwoProduct(k, LN2.hi), TwoProduct(k, LN2.lo));
    return Add(kLn2, lnM);
}

// e^t for a double-double t that does not overflow: t = k ln2 + r, |r| <= ln2/2;
// e^(r/256) - 1 by its Taylor series, squared up eight times as (E + 1)^2 - 1.
double Exp(DD t)
{
    double quotient = t.hi / LN2.hi;
    double k = static_cast<int>(quotient < 0 ? quotient - 0.5 : quotient + 0.5);
    DD r = Add(t, Add(TwoProduct(-k, LN2.hi), TwoProduct(-k, LN2.lo)));
    r = {r.hi / 256, r.lo / 256};
    DD series = Reciprocal(39916800);  // 1/n! for n = 11 down to 1
    double factorial = 39916800;
    for (int n = 11; n > 1; --n) {
        factorial /= n;
        series = Add(Multiply(series, r), Reciprocal(factorial));
    }
    DD e = Multiply(series, r);
    for (int i = 0; i < 8; ++i)
        e = Multiply(e, Add(e, {2, 0}));
    DD whole = Add(e, {1, 0});
    return ScaleBinary(whole.hi + whole.lo, static_cast<int>(k));
}

// Every double of 2^52 or more is a whole even number.
bool IsInteger(double y)
{
    return std::fabs(y) >= 0x1p52 || static_cast<double>(static_cast<long long>(y)) == y;
}

bool IsOddInteger(double y)
{
    return std::fabs(y) < 0x1p53 && IsInteger(y) && static_cast<long long>(y) % 2 != 0;
}

// The values C's pow defines for zero and infinite arguments; x and y are not NaN.
double PowOfZeroOrInfinity(double x, double y)
{
    if (std::isinf(y)) {
        if (std::fabs(x) == 1)
            return 1;
        return (std::fabs(x) < 1) == (y > 0) ? 0 : INF;
    }
    double magnitude = (x == 0) == (y < 0) ? INF : 0;
    return IsOddInteger(y) && std::signbit(x) ? -magnitude : magnitude;
}

}  // namespace

double ScaleBinary(double x, int e)
{
    while (e > 1000 && std::isfinite(x) && x != 0) {
        x *= 0x1p1000;
        e -= 1000;
    }
    while (e < -1000 && x != 0) {
        x *= 0x1p-1000;
        e += 1000;
    }
    if (e > 1000 || e < -1000)  // x is 0 or not finite
        return x;
    return x * PowerOfTwo(e);
}

double Log10(double x)
{
    const double ivln10hi = 4.34294481878168880939e-01, ivln10lo = 2.50829467116452752298e-11,
                 log10_2hi = 3.01029995663611771306e-01, log10_2lo = 3.69423907715893078616e-13;
    if (std::isnan(x) || x < 0)
        return NaN;
    if (x == 0)
        return -INF;
    if (std::isinf(x))
        return x;
    if (x == 1)
        return 0;
    int k;
    double f = Reduce(x, k) - 1;
    double hfsq = 0.5 * f * f;
    double r = Log1pKernel(f);
    // hi keeps the top 21 bits only, so that hi * ivln10hi is exact.
    double hi = std::bit_cast<double>(Bits(f - hfsq) & 0xFFFFFFFF00000000);
    double lo = (f - hi) - hfsq + r;
    double y = k;
    double valHi = hi * ivln10hi;
    double y2 = y * log10_2hi;
    double valLo = y * log10_2lo + (lo + hi) * ivln10lo + lo * ivln10hi;
    double w = y2 + valHi;
    valLo += (y2 - w) + valHi;
    return valLo + w;
}

double Pow(double x, double y)
{
    if (y == 0 || x == 1)
        return 1;
    if (std::isnan(x) || std::isnan(y))
        return NaN;
    if (x == 0 || std::isinf(x) || std::isinf(y))
        return PowOfZeroOrInfinity(x, y);
    if (y == 1)
        return x;
    if (y == 2)  // a single rounding: the correctly rounded square
        return x * x;
    if (x < 0) {
        if (!IsInteger(y))
            return NaN;
        double magnitude = Pow(-x, y);
        return IsOddInteger(y) ? -magnitude : magnitude;
    }
    if (y == 0.5)
        return std::sqrt(x);
    DD t = Multiply(Ln(x), {y, 0});
    if (t.hi > 710)
        return INF;
    if (t.hi < -746)
        return 0;
    return Exp(t);
}
