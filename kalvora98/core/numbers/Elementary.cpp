// Log10 and Pow, correctly rounded to nearest, from IEEE double operations and
// integers alone, so that every build gives the same bits and every exact reference
// agrees with them.
//
// How. Both are computed in double-double arithmetic: pairs hi + lo of doubles that
// carry about 106 bits. ln x = k ln 2 + ln c + 2 atanh((m - c)/(m + c)) for x = 2^k m,
// m in [sqrt(1/2), sqrt(2)), c = i/128 the nearest to m; Log10 multiplies that by
// 1/ln 10. Pow takes e^(y ln x) = 2^k 2^(i/64) e^r, |r| <= ln 2 / 128. The series of
// atanh and of e^r - 1 are summed until their terms fall below 2^-106; the tables of
// ln c and 2^(i/64) come from the same series with more terms. Each double-double
// operation errs by a few u^2 relative, u = 2^-53 (under 3u^2 for a sum, 7u^2 for a
// product: Joldes, Muller and Popescu, "Tight and rigorous error bounds for basic
// building blocks of double-word arithmetic", ACM TOMS 44(2), 2017), and sums whose
// smaller term comes second lose no more. Log10 takes about 25 of them, whose errors the
// series damps and the reduction to [sqrt(1/2), sqrt(2)) amplifies at most threefold:
// under 2^-98 relative in all. Pow's error is that of ln x times |y ln x|, plus the
// exponential's: under 2^-98 (1 + |y ln x|). Against MPFR the largest errors found are
// 2^-103.9 and 2^-103.9 (1 + |y ln x|); the bounds used below are 64 times 2^-98.
//
// Why the result is exact. The true value lies within the bound of the double-double
// result. When no rounding boundary (the midpoint between two neighbouring doubles)
// lies within the bound, rounding the double-double gives the correctly rounded value.
// When one does, about once in 2^38 arguments, SignOfLogSum compares the true value
// with that boundary b exactly: ln x with b ln 10 for Log10, y ln x with ln b for Pow.
// That comparison takes more bits until it is decided, and it is always decided:
// log10 of a double is irrational unless the double is 10^0..10^22, and a midpoint is
// rational; x^y is a midpoint or a double only in the exact cases that ExactPower
// finds and compares in integers first. The comparison stops at 2048 bits: the
// hardest natural logarithm of a double needs 118 (Lefevre and Muller, "Worst cases
// for correct rounding of the elementary functions in double precision", 2001), and
// among the 2^126 pairs x, y chance leaves no power within 2^-200 of a boundary to
// expect. Results in the subnormal range round to their coarser grid the same way.
#include "numbers/Elementary.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "numbers/LogSum.h"

namespace {

constexpr double INF = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Relative error bounds of the double-double results (see above). The rounding test
// builds this file once more with a far larger bound, so that many of its arguments
// reach the exact comparison, which random arguments hardly ever reach.
#ifndef ELEMENTARY_BOUND
#define ELEMENTARY_BOUND 0x1p-92
#endif
constexpr double LOG10_BOUND = ELEMENTARY_BOUND;
constexpr double POW_BOUND = ELEMENTARY_BOUND;  // times 1 + |y ln x|

std::uint64_t Bits(double x)
{
    return std::bit_cast<std::uint64_t>(x);
}

double PowerOfTwo(int e)  // e in -1022..1023
{
    return std::bit_cast<double>(static_cast<std::uint64_t>(e + 1023) << 52);
}

// The binary exponent of a positive normal x: 2^e <= x < 2^(e+1).
int Exponent(double x)
{
    return static_cast<int>(Bits(x) >> 52) - 1023;
}

// A positive finite x as a whole number times a power of two, x = value * 2^exponent.
std::uint64_t Integer(double x, int& exponent)
{
    const std::uint64_t bits = Bits(x);
    const int field = static_cast<int>(bits >> 52);
    exponent = (field == 0 ? 1 : field) - 1075;
    return (bits & 0x000FFFFFFFFFFFFF) | (field == 0 ? 0 : std::uint64_t{1} << 52);
}

// Double-double numbers: hi + lo with |lo| at most half an ulp of hi.
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

// a + b where |a| >= |b| or a is 0, so that no bits cancel: cheaper than Add.
DD AddSmaller(DD a, DD b)
{
    DD s = FastTwoSum(a.hi, b.hi);
    return FastTwoSum(s.hi, s.lo + (a.lo + b.lo));
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

constexpr DD LN2 = {0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};
constexpr DD INV_LN10 = {0x1.bcb7b1526e50ep-2, 0x1.95355baaafad3p-57};
constexpr double SQRT2 = 0x1.6a09e667f3bcdp+0;  // above the true root by 2^-53.5

// sum c[n] z^n for n < terms by Horner's rule: the terms from `exact` (< terms) on,
// whose rounding errors stay below 2^-106 of the sum, in doubles, the others in
// double-double.
DD Polynomial(const DD* c, int terms, int exact, DD z)
{
    double tail = c[terms - 1].hi;
    for (int n = terms - 2; n >= exact; --n)
        tail = tail * z.hi + c[n].hi;
    DD sum = {tail, 0};
    for (int n = exact - 1; n >= 0; --n)
        sum = AddSmaller(c[n], Multiply(sum, z));
    return sum;
}

// The series' coefficients and the tables that shorten them, computed once: the
// tables by the same series with more terms.
struct Tables {
    static constexpr int FIRST_C = 90, LAST_C = 182;  // c = i/128 around [sqrt(1/2), sqrt(2))
    DD oddReciprocal[21];                             // 1/(2n + 1)
    DD factorialReciprocal[15];                       // 1/(n + 1)!
    DD lnC[LAST_C - FIRST_C + 1];                     // ln(i/128)
    DD twoPower[64];                                  // 2^(i/64)

    // 2 atanh(f) = 2f (1 + f^2/3 + f^4/5 + ...) = ln((1 + f)/(1 - f)).
    DD TwiceAtanh(DD f, int terms, int exact) const
    {
        return Multiply({2 * f.hi, 2 * f.lo}, Polynomial(oddReciprocal, terms, exact,
                                                         Multiply(f, f)));
    }

    // e^r - 1 = r (1 + r/2! + r^2/3! + ...).
    DD ExpMinusOne(DD r, int terms, int exact) const
    {
        return Multiply(Polynomial(factorialReciprocal, terms, exact, r), r);
    }

    Tables()
    {
        double factorial = 1;
        for (int n = 0; n < 21; ++n)
            oddReciprocal[n] = Divide({1, 0}, {2.0 * n + 1, 0});
        for (int n = 0; n < 15; ++n) {
            factorial *= n + 1;
            factorialReciprocal[n] = Divide({1, 0}, {factorial, 0});
        }
        // |f| <= 0.175: f^42/43 < 2^-111.
        for (int i = FIRST_C; i <= LAST_C; ++i) {
            const double c = i / 128.0;
            lnC[i - FIRST_C] = TwiceAtanh(Divide({c - 1, 0}, TwoSum(c, 1)), 21, 10);
        }
        // 2^(i/64) = (e^r)^16 with r = i ln 2 / 1024 < 2^-4.5: r^15/16! < 2^-112.
        for (int i = 0; i < 64; ++i) {
            DD e = ExpMinusOne(Multiply(LN2, {i / 1024.0, 0}), 15, 8);
            for (int squaring = 0; squaring < 4; ++squaring)
                e = Multiply(e, Add(e, {2, 0}));
            twoPower[i] = Add(e, {1, 0});
        }
    }
};

const Tables& Table()
{
    static const Tables tables;
    return tables;
}

// ln x for a positive finite x: x = 2^k m, m in [sqrt(1/2), sqrt(2)), c = i/128 the
// nearest to m, f = (m - c)/(m + c), |f| < 2^-8.5: f^14/15 < 2^-115.
DD Ln(double x)
{
    int k = 0;
    if (x < 0x1p-1022) {  // subnormal: bring it into the normal range first
        x *= 0x1p54;
        k = -54;
    }
    k += Exponent(x);
    double m = std::bit_cast<double>((Bits(x) & 0x000FFFFFFFFFFFFF) | 0x3FF0000000000000);
    if (m >= SQRT2) {
        m *= 0.5;
        ++k;
    }
    const Tables& table = Table();
    const int i = static_cast<int>(m * 128 + 0.5);
    const double c = i / 128.0;
    DD f = Divide({m - c, 0}, TwoSum(m, c));  // m - c is exact
    // |ln c| > |2 atanh f| unless c is 1, and |k ln 2| > |ln m| unless k is 0.
    DD lnM = AddSmaller(table.lnC[i - Tables::FIRST_C], table.TwiceAtanh(f, 7, 3));
    DD kLn2 = AddSmaller(TwoProduct(k, LN2.hi), {k * LN2.lo, 0});  // k LN2.lo loses 2^-109 k
    return AddSmaller(kLn2, lnM);
}

// e^t = w 2^k for a double-double |t| < 746, w in [0.99, 2.01]: t = (64 k + i) ln 2 / 64
// + r, |r| <= ln 2 / 128 < 2^-7.5, so r^11/12! < 2^-111.
DD Exp(DD t, int& k)
{
    const double quotient = t.hi * (64 / LN2.hi);
    const int n = static_cast<int>(quotient < 0 ? quotient - 0.5 : quotient + 0.5);
    k = n >> 6;
    DD r = Add(t, Add(TwoProduct(-n, LN2.hi / 64), {-n * (LN2.lo / 64), 0}));
    const Tables& table = Table();
    const DD power = table.twoPower[n & 63];
    return AddSmaller(power, Multiply(power, table.ExpMinusOne(r, 11, 6)));
}

// The correctly rounded double of v, known as v = (a.hi + a.lo) 2^scale within
// bound 2^scale, a.hi > 0. Works in units of the result's last place, where the
// doubles around v are whole numbers n and the boundaries lie halfway between.
// side.Of(b, e) tells where v lies against the boundary b 2^e: -1 below, +1 above,
// 0 on it or undecided.
template <class Side>
double RoundToNearest(DD a, int scale, double bound, const Side& side)
{
    int e = Exponent(a.hi) + scale - 52;
    if (e < -1074)  // subnormal: the grid of the smallest subnormal
        e = -1074;
    const double toUnits = PowerOfTwo(scale - e);  // scale - e is in -53..1074+
    const double hi = a.hi * toUnits, lo = a.lo * toUnits;
    double n = hi < 0x1p52 ? (hi + 0x1p52) - 0x1p52 : hi;  // nearest whole number
    double d = (hi - n) + lo;
    if (d > 0.5) {
        n += 1;
        d -= 1;
    } else if (d < -0.5) {
        n -= 1;
        d += 1;
    }
    if (n == 0x1p53) {  // rounded up into the next binade
        n = 0x1p52;
        d *= 0.5;
        ++e;
    }
    // Below 2^52 units the doubles lie twice as close (but not among subnormals).
    const bool binadeBottom = n == 0x1p52 && e > -1074;
    if (binadeBottom && d < -0.25) {
        n = 0x1p53 - 1;
        d = 2 * d + 1;
        --e;
    }
    const double below = binadeBottom && n == 0x1p52 ? 0.25 : 0.5;
    const double margin = bound * toUnits + 0x1p-50;  // d itself rounded once
    if (d + margin < 0.5 && d - margin > -below)
        return ScaleBinary(n, e);

    // Too close to a boundary to round: the exact comparison decides.
    const auto whole = static_cast<std::uint64_t>(n);
    int s;
    double other;
    if (d > 0) {
        s = side.Of(2 * whole + 1, e - 1);
        other = n + 1;
    } else if (below == 0.25) {
        s = -side.Of(4 * whole - 1, e - 2);
        other = n - 0.5;
    } else {
        s = -side.Of(2 * whole - 1, e - 1);
        other = n - 1;
    }
    if (s == 0)  // exactly on the boundary: to the even neighbour
        s = whole % 2 == 0 ? -1 : 1;
    return ScaleBinary(s > 0 ? other : n, e);
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

// x^y exactly, as value * 2^exponent with value < 2^54, when it is a double or a
// midpoint between two. With x = X 2^a, X odd, and y = Y/2^j, Y odd: X = 1 gives
// 2^(a y), exact when a y is whole. Otherwise X^Y = value^(2^j) makes X = Z^(2^j) and
// value = Z^Y for a whole Z >= 3, so 2^j <= 53 / log2(3) and 0 < y <= 54 / log2(3).
bool ExactPower(double x, double y, std::uint64_t& value, int& exponent)
{
    int a;
    std::uint64_t X = Integer(x, a);
    const int zeros = std::countr_zero(X);
    X >>= zeros;
    a += zeros;
    if (X == 1) {
        if (!(std::fabs(y) < 0x1p20))
            return false;
        DD product = TwoProduct(a, y);  // exact
        if (!(std::fabs(product.hi) < 2000) || product.lo != 0 || !IsInteger(product.hi))
            return false;
        value = 1;
        exponent = static_cast<int>(product.hi);
        return true;
    }
    if (!(y > 0 && y <= 34))
        return false;
    int j = 0;
    double Y = y;
    while (Y != static_cast<double>(static_cast<long long>(Y))) {
        if (++j > 5)
            return false;
        Y *= 2;
    }
    std::uint64_t Z = X;
    for (int i = 0; i < j; ++i) {  // the 2^j-th root, if it is whole
        const auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(Z)));
        if (root * root != Z)
            return false;
        Z = root;
    }
    const int power = static_cast<int>(Y);
    if ((a * power) % (1 << j) != 0)  // 2^(a y) not whole: x^y is irrational
        return false;
    value = 1;
    for (int i = 0; i < power; ++i) {
        if (value >= ((std::uint64_t{1} << 54) - 1) / Z)
            return false;
        value *= Z;
    }
    exponent = a * power / (1 << j);
    return true;
}

// Where a * 2^ea lies against b * 2^eb, both positive: -1, 0 or +1.
int Compare(std::uint64_t a, int ea, std::uint64_t b, int eb)
{
    const int topA = 63 - std::countl_zero(a) + ea, topB = 63 - std::countl_zero(b) + eb;
    if (topA != topB)
        return topA < topB ? -1 : 1;
    if (ea > eb)
        a <<= ea - eb;
    else
        b <<= eb - ea;
    return a < b ? -1 : a > b ? 1 : 0;
}

// The sides of a boundary b for |log10 x|: ln x against +-b ln 10.
struct Log10Side {
    double x;
    bool negative;
    int Of(std::uint64_t boundary, int exponent) const
    {
        LogTerm terms[2] = {{1, 0, 0, 0}, {0, exponent, 10, 0}};
        terms[0].value = Integer(x, terms[0].valueExponent);
        const auto b = static_cast<std::int64_t>(boundary);
        terms[1].coefficient = negative ? b : -b;
        const int s = SignOfLogSum(terms, 2);
        return negative ? -s : s;
    }
};

// The sides of a boundary b for x^y: in integers where x^y is exact, else y ln x
// against ln b.
struct PowSide {
    double x, y;
    int Of(std::uint64_t boundary, int exponent) const
    {
        std::uint64_t value;
        int valueExponent;
        if (ExactPower(x, y, value, valueExponent))
            return Compare(value, valueExponent, boundary, exponent);
        LogTerm terms[2] = {{0, 0, 0, 0}, {-1, 0, boundary, exponent}};
        terms[0].value = Integer(x, terms[0].valueExponent);
        int yExponent;
        const auto Y = static_cast<std::int64_t>(Integer(std::fabs(y), yExponent));
        terms[0].coefficient = y < 0 ? -Y : Y;
        terms[0].coefficientExponent = yExponent;
        return SignOfLogSum(terms, 2);
    }
};

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
    if (std::isnan(x) || x < 0)
        return NaN;
    if (x == 0)
        return -INF;
    if (std::isinf(x) || x == 1)
        return x == 1 ? 0 : x;
    DD L = Multiply(Ln(x), INV_LN10);
    Log10Side side;
    side.x = x;
    side.negative = L.hi < 0;
    if (side.negative)
        L = {-L.hi, -L.lo};
    double magnitude = RoundToNearest(L, 0, L.hi * LOG10_BOUND, side);
    return side.negative ? -magnitude : magnitude;
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
    int k;
    DD w = Exp(t, k);
    PowSide side;
    side.x = x;
    side.y = y;
    return RoundToNearest(w, k, w.hi * (1 + std::fabs(t.hi)) * POW_BOUND, side);
}
