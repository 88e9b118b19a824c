// Log10 and Pow against MPFR: every result must be the double nearest to the exact
// value, which MPFR gives to 200 bits and more. Seeded arguments, shared by two threads.
#include <mpfr.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "numbers/Elementary.h"
#include "numbers/LogSum.h"

namespace {

// Built with a widened error bound, most arguments take the slow exact comparison:
// that build tries a twentieth of them.
#ifdef ELEMENTARY_BOUND
constexpr long SHARE = 20;
#else
constexpr long SHARE = 1;
#endif

struct Random {  // splitmix64
    std::uint64_t state;
    std::uint64_t Next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
        return z ^ (z >> 31);
    }
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1p-53; }
};

double FromBits(std::uint64_t bits)
{
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

// A positive double with a uniform binary exponent: log-uniform over the whole range.
double AnyPositive(Random& r)
{
    return FromBits((r.Next() % 2047) << 52 | (r.Next() >> 12 | 1));
}

struct Tally {
    long tried = 0, misrounded = 0;
    std::string first;
};

// At 256 bits a value from a few roundings, or from 50 squarings, is good to 200.
// `exact` when MPFR's value is the true one, which may then lie on a boundary.
struct Exact {
    mpfr_t v, w, a, b, log10Of2;
    bool exact = false;
    Exact()
    {
        mpfr_inits2(256, v, w, a, b, log10Of2, static_cast<mpfr_ptr>(nullptr));
        mpfr_set_ui(log10Of2, 2, MPFR_RNDN);
        mpfr_log10(log10Of2, log10Of2, MPFR_RNDN);
    }
    ~Exact() { mpfr_clears(v, w, a, b, log10Of2, static_cast<mpfr_ptr>(nullptr)); }
    void Pow(double x, double y)
    {
        mpfr_set_d(a, x, MPFR_RNDN);
        mpfr_set_d(b, y, MPFR_RNDN);
        exact = mpfr_pow(v, a, b, MPFR_RNDN) == 0;
    }
};

// Misrounded unless `got` is the nearest double to v; where v is not exact, it must
// also lie clearly off the boundary between two doubles, far more than 2^-200.
void Check(Tally& t, Exact& e, double got, double x, double y)
{
    ++t.tried;
    const double want = mpfr_get_d(e.v, MPFR_RNDN);
    bool nearest = std::memcmp(&want, &got, sizeof got) == 0;
    if (!e.exact) {  // how far from want towards the next double, in units of the gap
        mpfr_sub_d(e.w, e.v, want, MPFR_RNDN);
        const double toward = mpfr_sgn(e.w) < 0 ? -HUGE_VAL : HUGE_VAL;
        mpfr_div_d(e.w, e.w, std::nextafter(want, toward) - want, MPFR_RNDN);
        nearest = nearest && mpfr_get_d(e.w, MPFR_RNDN) < 0.5 - 0x1p-40;
    }
    if (!nearest && t.misrounded++ == 0) {
        char text[128];
        std::snprintf(text, sizeof text, "x %a, y %a: got %a", x, y, got);
        t.first = text;
    }
}

void Log10Of(double x, Tally& t, Exact& e)
{
    mpfr_set_d(e.v, x, MPFR_RNDN);
    e.exact = mpfr_log10(e.v, e.v, MPFR_RNDN) == 0;
    Check(t, e, Log10(x), x, 0);
}

// 32 normal arguments to a random mantissa M, so that one MPFR logarithm serves them
// all: log10(M 2^k) = log10 M + k log10 2.
void Log10LogUniform(long unit, double, Tally& t, Exact& e)
{
    Random r{static_cast<std::uint64_t>(unit)};
    const double M = static_cast<double>(r.Next() >> 11 | std::uint64_t{1} << 52);
    mpfr_set_d(e.a, M, MPFR_RNDN);
    mpfr_log10(e.a, e.a, MPFR_RNDN);
    for (int i = 0; i < 32; ++i) {
        const int k = static_cast<int>(r.Next() % 2046) - 1074;
        mpfr_mul_si(e.v, e.log10Of2, k, MPFR_RNDN);
        mpfr_add(e.v, e.v, e.a, MPFR_RNDN);
        Check(t, e, Log10(std::ldexp(M, k)), std::ldexp(M, k), 0);
    }
}

// The 1000 doubles nearest to 1 on either side, then random ones within 2^-1..2^-60.
void Log10NearOne(long unit, double, Tally& t, Exact& e)
{
    Random r{static_cast<std::uint64_t>(unit)};
    const double step = static_cast<double>(unit / 2 + 1);
    if (unit < 2000)
        Log10Of(unit % 2 ? 1 + step * 0x1p-52 : 1 - step * 0x1p-53, t, e);
    else
        Log10Of(1 + (r.Unit() - 0.5) * std::ldexp(1, -static_cast<int>(r.Next() % 60)), t, e);
}

// 1e-300 to 1e300 and the 16 doubles on either side of each.
void Log10PowersOfTen(long unit, double, Tally& t, Exact& e)
{
    double x = std::stod("1e" + std::to_string(unit / 33 - 300));
    const int steps = static_cast<int>(unit % 33) - 16;
    for (int i = 0; i < std::abs(steps); ++i)
        x = std::nextafter(x, steps < 0 ? 0.0 : HUGE_VAL);
    Log10Of(x, t, e);
}

void Log10Subnormal(long unit, double, Tally& t, Exact& e)
{
    Random r{static_cast<std::uint64_t>(unit)};
    Log10Of(FromBits(r.Next() >> 12 | 1), t, e);
}

void Log10Largest(long unit, double, Tally& t, Exact& e)
{
    Random r{static_cast<std::uint64_t>(unit)};
    Log10Of(FromBits(0x7FEFFFFFFFFFFFFF - (r.Next() >> 24)), t, e);
}

// A log-uniform base and exponents y = +-Y 2^j for every j from |y ln x| near 2^-40
// until the power would leave the normal range: MPFR computes the first power and
// squares it for each next one (the error doubles each time: under 2^-200 after 50).
void PowChain(long unit, double, Tally& t, Exact& e)
{
    Random r{static_cast<std::uint64_t>(unit)};
    const double x = AnyPositive(r), lnX = std::log(x);
    double y = (r.Next() % 2 ? -1 : 1) * (1 + r.Unit());
    y = std::ldexp(y, -40 - std::ilogb(y * lnX));
    e.Pow(x, y);
    for (int step = 0; step < 50 && std::fabs(y * lnX) < 708; ++step, y *= 2) {
        Check(t, e, Pow(x, y), x, y);
        e.exact = mpfr_sqr(e.v, e.v, MPFR_RNDN) == 0 && e.exact;
    }
}

// x^y for a given y, or for a random one when y is 0, with y ln x uniform in
// [low, high] and, for a given y, |ln x| below 708.
void PowOf(Random& r, double y, double low, double high, Tally& t, Exact& e)
{
    double x = AnyPositive(r);
    const double ln = low + (high - low) * r.Unit();
    if (y == 0)
        y = ln / std::log(x);
    else
        x = std::exp(ln / y);
    e.Pow(x, y);
    Check(t, e, Pow(x, y), x, y);
}

void PowFixedExponent(long unit, double y, Tally& t, Exact& e)
{
    Random r{static_cast<std::uint64_t>(unit)};
    const double span = std::min(708.0, 708 * std::fabs(y));
    PowOf(r, y, -span, span, t, e);
}

void PowSubnormal(long unit, double, Tally& t, Exact& e)
{
    Random r{static_cast<std::uint64_t>(unit)};
    PowOf(r, 0, -745.2, -708, t, e);
}

// Exact powers and midpoints between doubles: x = Z^(2^j) 2^(2^j b) and y = Y/2^j give
// Z^Y 2^(bY); and powers of two down to and below half the smallest subnormal.
void PowExact(long unit, double, Tally& t, Exact& e)
{
    Random r{static_cast<std::uint64_t>(unit)};
    double x, y;
    if (unit % 5 == 0) {
        x = std::ldexp(1, -1 - static_cast<int>(r.Next() % 1074));
        y = std::round(1075 / -std::log2(x)) + static_cast<double>(r.Next() % 3) - 1;
    } else {
        const int j = static_cast<int>(unit % 6);
        std::uint64_t X = 3 + 2 * (r.Next() % 50);
        for (int i = 0; i < j; ++i) {
            if (X >= std::uint64_t{1} << 26)
                return;
            X *= X;
        }
        const auto Y = static_cast<double>(j ? 1 + 2 * (r.Next() % 17) : 1 + r.Next() % 34);
        x = std::ldexp(static_cast<double>(X), (1 << j) * (static_cast<int>(r.Next() % 41) - 20));
        y = std::ldexp(Y, -j);
    }
    if (!(std::fabs(y * std::log(x)) < 745))
        return;
    e.Pow(x, y);
    Check(t, e, Pow(x, y), x, y);
}

struct Region {
    const char* name;
    long units;
    void (*run)(long unit, double y, Tally& t, Exact& e);
    double y;
};

class RoundingTest : public testing::TestWithParam<Region> {};

// Catches any result that is not the nearest double to the exact value.
TEST_P(RoundingTest, EveryResultIsTheNearestDouble)
{
    const Region& region = GetParam();
    Tally tallies[2];
    auto work = [&](int first) {
        Exact e;
        for (long unit = first; unit < region.units / SHARE; unit += 2)
            region.run(unit, region.y, tallies[first], e);
    };
    std::thread other(work, 1);
    work(0);
    other.join();
    std::printf("%-24s %9ld arguments, %ld misrounded\n", region.name,
                tallies[0].tried + tallies[1].tried, tallies[0].misrounded + tallies[1].misrounded);
    EXPECT_GT(tallies[0].tried + tallies[1].tried, 0);
    for (const Tally& t : tallies)
        EXPECT_EQ(t.misrounded, 0) << "first " << t.first;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RoundingTest,
    testing::Values(Region{"Log10_log_uniform", 312'500, Log10LogUniform, 0},
                    Region{"Log10_near_one", 50'000, Log10NearOne, 0},
                    Region{"Log10_powers_of_ten", 601 * 33, Log10PowersOfTen, 0},
                    Region{"Log10_subnormal", 50'000, Log10Subnormal, 0},
                    Region{"Log10_largest", 50'000, Log10Largest, 0},
                    Region{"Pow_log_uniform", 210'000, PowChain, 0},
                    Region{"Pow_square", 50'000, PowFixedExponent, 2},
                    Region{"Pow_root", 50'000, PowFixedExponent, 0.5},
                    Region{"Pow_ported_volume", 50'000, PowFixedExponent, 2.87},
                    Region{"Pow_ported_tuning", 50'000, PowFixedExponent, -0.9},
                    Region{"Pow_subnormal", 50'000, PowSubnormal, 0},
                    Region{"Pow_exact", 50'000, PowExact, 0}),
    [](const testing::TestParamInfo<Region>& info) { return info.param.name; });

// Catches the exact comparison stopping short of its precision or misjudging a sign:
// 2 ln 3 - ln 9 is 0, so 2 ln 3 - ln 9 + c 2^-k ln 2 has c's sign, seen only at k bits.
TEST(SignOfLogSumTest, SeesATinyTermBesideAnExactZero)
{
    for (int k : {60, 300, 1000, 1900})
        for (int c : {-1, 1}) {
            const LogTerm terms[] = {{2, 0, 3, 0}, {-1, 0, 9, 0}, {c, -k, 2, 0}};
            EXPECT_EQ(SignOfLogSum(terms, 3), c) << "2^-" << k;
        }
    const LogTerm zero[] = {{2, 0, 3, 0}, {-1, 0, 9, 0}};
    EXPECT_EQ(SignOfLogSum(zero, 2), 0);
}

}  // namespace
