#include "numbers/LogSum.h"

#include <bit>

namespace {

// Fixed-point numbers of 32-bit limbs, least significant first: with n fraction limbs,
// limb i weighs 2^(32 (i - n)). Sums are two's complement over n + WHOLE_LIMBS limbs.
using Limb = std::uint32_t;
constexpr int FIRST_FRACTION_LIMBS = 4;  // 128 bits after the point
constexpr int MOST_FRACTION_LIMBS = 64;  // 2048
constexpr int WHOLE_LIMBS = 3;           // 96 bits before the point, the top one the sign
constexpr int SIZE = MOST_FRACTION_LIMBS + WHOLE_LIMBS;

// How far a logarithm from TwiceAtanh may be off, in units of its last limb.
constexpr double LOG_ERROR_UNITS = 4096;

void Clear(Limb* x, int limbs)
{
    for (int i = 0; i < limbs; ++i)
        x[i] = 0;
}

bool IsZero(const Limb* x, int limbs)
{
    for (int i = 0; i < limbs; ++i)
        if (x[i])
            return false;
    return true;
}

// num/den for num < den < 2^63, truncated to n fraction limbs, one bit at a time.
void Quotient(std::uint64_t num, std::uint64_t den, Limb* q, int n)
{
    for (int i = n - 1; i >= 0; --i) {
        q[i] = 0;
        for (int bit = 31; bit >= 0; --bit) {
            num <<= 1;
            if (num >= den) {
                num -= den;
                q[i] |= Limb{1} << bit;
            }
        }
    }
}

// acc += x * m * 2^(32 offset), carried through all of acc's limbs.
void MultiplyAdd(Limb* acc, int accLimbs, const Limb* x, int xLimbs, Limb m, int offset)
{
    std::uint64_t carry = 0;
    for (int i = 0; i < xLimbs; ++i) {
        std::uint64_t t = acc[i + offset] + std::uint64_t{x[i]} * m + carry;
        acc[i + offset] = static_cast<Limb>(t);
        carry = t >> 32;
    }
    for (int i = xLimbs + offset; carry && i < accLimbs; ++i) {
        std::uint64_t t = acc[i] + carry;
        acc[i] = static_cast<Limb>(t);
        carry = t >> 32;
    }
}

// The product of two fractions of n limbs, truncated; `product` may be `a` or `b`.
void MultiplyFractions(const Limb* a, const Limb* b, Limb* product, int n)
{
    Limb full[2 * MOST_FRACTION_LIMBS];
    Clear(full, 2 * n);
    for (int i = 0; i < n; ++i)
        MultiplyAdd(full, 2 * n, b, n, a[i], i);
    for (int i = 0; i < n; ++i)
        product[i] = full[i + n];
}

// x / d in place, truncated.
void DivideBy(Limb* x, int limbs, Limb d)
{
    std::uint64_t rest = 0;
    for (int i = limbs - 1; i >= 0; --i) {
        std::uint64_t current = rest << 32 | x[i];
        x[i] = static_cast<Limb>(current / d);
        rest = current % d;
    }
}

// sum += x, or sum -= x, modulo 2^(32 limbs).
void AddTo(Limb* sum, const Limb* x, int limbs, bool subtract)
{
    std::uint64_t carry = subtract ? 1 : 0;
    for (int i = 0; i < limbs; ++i) {
        std::uint64_t t = std::uint64_t{sum[i]} + (subtract ? ~x[i] : x[i]) + carry;
        sum[i] = static_cast<Limb>(t);
        carry = t >> 32;
    }
}

// The 32 bits of a two's complement number that start at bit `bit` (negative: below
// its last limb, where it has zeros).
Limb BitsAt(const Limb* x, int limbs, int bit)
{
    const Limb fill = x[limbs - 1] >> 31 ? ~Limb{0} : 0;
    auto limb = [&](int i) { return i < 0 ? 0 : i >= limbs ? fill : x[i]; };
    const int i = bit >= 0 ? bit / 32 : -((31 - bit) / 32);
    const int shift = bit - 32 * i;
    if (shift == 0)
        return limb(i);
    return limb(i) >> shift | limb(i + 1) << (32 - shift);
}

// x * 2^e in two's complement, rounded toward minus infinity when e < 0.
void Scale(Limb* x, int limbs, int e)
{
    Limb scaled[SIZE];
    for (int i = 0; i < limbs; ++i)
        scaled[i] = BitsAt(x, limbs, 32 * i - e);
    for (int i = 0; i < limbs; ++i)
        x[i] = scaled[i];
}

// 2 atanh(num/den) = ln((den + num)/(den - num)) for num/den <= 1/3, to n fraction
// limbs: 2 (s + s^3/3 + s^5/5 + ...), summed until the truncated power vanishes.
// Each power is off by at most 1.75 units (the error shrinks ninefold per step and
// each truncation adds at most 1.56), each term by 1.58, and the rest of the series
// after the last by 0.66; with at most 10.1 n + 2 terms, the result is off by at
// most 2 (1.66 + 1.58 (10.1 n + 2)) < 4096 units for n <= 64.
void TwiceAtanh(std::uint64_t num, std::uint64_t den, Limb* sum, int n)
{
    Limb power[MOST_FRACTION_LIMBS] = {}, square[MOST_FRACTION_LIMBS], term[MOST_FRACTION_LIMBS];
    Quotient(num, den, power, n);
    MultiplyFractions(power, power, square, n);
    for (int i = 0; i < n; ++i)
        sum[i] = power[i];
    for (Limb odd = 3; !IsZero(power, n); odd += 2) {
        MultiplyFractions(power, square, power, n);
        for (int i = 0; i < n; ++i)
            term[i] = power[i];
        DivideBy(term, n, odd);
        AddTo(sum, term, n, false);
    }
    Scale(sum, n, 1);  // below ln 2 < 1: no bit leaves the fraction
}

double PowerOfTwo(int e)  // e in -1022..1023
{
    return std::bit_cast<double>(static_cast<std::uint64_t>(e + 1023) << 52);
}

// Adds c ln(v) to the sum and returns the bound of its error in units of the last limb.
// With v = W 2^p, W in [3/4, 3/2): c ln v = c ln W + c p ln 2.
double AddTerm(const LogTerm& t, const Limb* ln2, Limb* sum, int n)
{
    const int limbs = n + WHOLE_LIMBS;
    const int j = 63 - std::countl_zero(t.value);
    const int J = j > 0 && (t.value >> (j - 1) & 1) ? j + 1 : j;
    const std::uint64_t unit = std::uint64_t{1} << J;
    const bool belowOne = t.value < unit;
    const int p = J + t.valueExponent;
    const bool negative = t.coefficient < 0;
    const std::uint64_t c = negative ? 0 - static_cast<std::uint64_t>(t.coefficient)
                                     : static_cast<std::uint64_t>(t.coefficient);

    Limb lnW[MOST_FRACTION_LIMBS], term[SIZE], part[SIZE];
    TwiceAtanh(belowOne ? unit - t.value : t.value - unit, t.value + unit, lnW, n);
    Clear(term, limbs);
    Clear(part, limbs);
    MultiplyAdd(part, limbs, lnW, n, static_cast<Limb>(c), 0);
    MultiplyAdd(part, limbs, lnW, n, static_cast<Limb>(c >> 32), 1);
    AddTo(term, part, limbs, negative != belowOne);
    if (p != 0) {
        Limb scaled[SIZE];
        Clear(scaled, limbs);
        Clear(part, limbs);
        MultiplyAdd(scaled, limbs, ln2, n, static_cast<Limb>(c), 0);
        MultiplyAdd(scaled, limbs, ln2, n, static_cast<Limb>(c >> 32), 1);
        MultiplyAdd(part, limbs, scaled, limbs - 1, static_cast<Limb>(p < 0 ? -p : p), 0);
        AddTo(term, part, limbs, negative != (p < 0));
    }
    Scale(term, limbs, t.coefficientExponent);
    AddTo(sum, term, limbs, false);

    // Error bound: the coefficient times the logarithms' errors, plus the scaling's
    // truncation; the doubles' own rounding is covered by the caller's margin.
    const int e = t.coefficientExponent < -1000 ? -1000 : t.coefficientExponent;
    return static_cast<double>(c) * PowerOfTwo(e) * (1 + (p < 0 ? -p : p)) * LOG_ERROR_UNITS +
           1;
}

}  // namespace

int SignOfLogSum(const LogTerm* terms, int count)
{
    for (int n = FIRST_FRACTION_LIMBS; n <= MOST_FRACTION_LIMBS; n *= 2) {
        const int limbs = n + WHOLE_LIMBS;
        Limb ln2[MOST_FRACTION_LIMBS], sum[SIZE];
        TwiceAtanh(1, 3, ln2, n);
        Clear(sum, limbs);
        double error = 0;
        for (int i = 0; i < count; ++i)
            error += AddTerm(terms[i], ln2, sum, n);

        const bool negative = sum[limbs - 1] >> 31;
        if (negative) {
            Limb zero[SIZE];
            Clear(zero, limbs);
            AddTo(zero, sum, limbs, true);
            for (int i = 0; i < limbs; ++i)
                sum[i] = zero[i];
        }
        int top = limbs - 1;
        while (top >= 0 && sum[top] == 0)
            --top;
        if (top < 0)
            continue;
        // |sum| >= 2^bit units; decided once that exceeds the error bound.
        const int bit = 32 * top + 31 - std::countl_zero(sum[top]);
        if (bit > 200 || PowerOfTwo(bit) > error * (1 + 0x1p-40))
            return negative ? -1 : 1;
    }
    return 0;
}
