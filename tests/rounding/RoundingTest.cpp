// Log10 and Pow against MPFR: every result must be the double nearest to the exact
// value, which MPFR gives to 200 bits and more. Seeded arguments, shared by two threads.
#include <mpfr.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "numbers/Elementary.h"
#include "numbers/LogSum.h"

namespace {

// Built with a widened error bound, many arguments take the slow exact comparison:
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
    int Below(int n) { return static_cast<int>(Next() % static_cast<unsigned>(n)); }
    // A positive double with a uniform binary exponent: log-uniform over the range.
    double AnyPositive()
    {
        return std::bit_cast<double>(Next() % 2047 << 52 | (Next() >> 12 | 1));
    }
};

struct Tally {
    long tried = 0, misrounded = 0;
    double x = 0, y = 0, got = 0;  // the first misrounded
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
};

// Misrounded unless `got` is the nearest double to v; where v is not exact, it must
// also lie clearly off the boundary between two doubles, far more than 2^-200.
void Check(Tally& t, Exact& e, double got, double x, double y)
{
    ++t.tried;
    const double want = mpfr_get_d(e.v, MPFR_RNDN);
    bool nearest = std::bit_cast<std::uint64_t>(want) == std::bit_cast<std::uint64_t>(got);
    if (!e.exact) {  // how far from want towards the next double, in units of the gap
        mpfr_sub_d(e.w, e.v, want, MPFR_RNDN);
        const double toward = mpfr_sgn(e.w) < 0 ? -HUGE_VAL : HUGE_VAL;
        mpfr_div_d(e.w, e.w, std::nextafter(want, toward) - want, MPFR_RNDN);
        nearest = nearest && mpfr_get_d(e.w, MPFR_RNDN) < 0.5 - 0x1p-40;
    }
    if (!nearest && t.misrounded++ == 0)
        t.x = x, t.y = y, t.got = got;
}

void CheckLog10(Tally& t, Exact& e, double x)
{
    mpfr_set_d(e.v, x, MPFR_RNDN);
    e.exact = mpfr_log10(e.v, e.v, MPFR_RNDN) == 0;
    Check(t, e, Log10(x), x, 0);
}

void CheckPow(Tally& t, Exact& e, double x, double y)
{
    mpfr_set_d(e.a, x, MPFR_RNDN);
    mpfr_set_d(e.b, y, MPFR_RNDN);
    e.exact = mpfr_pow(e.v, e.a, e.b, MPFR_RNDN) == 0;
    Check(t, e, Pow(x, y), x, y);
}

// The program's exponents, with |y ln x| and |ln x| below 708.
void FixedExponent(long, double y, Random& r, Tally& t, Exact& e)
{
    const double span = std::min(708.0, 708 * std::fabs(y));
    CheckPow(t, e, std::exp(span * (2 * r.Unit() - 1) / y), y);
}

struct Region {
    const char* name;
    long units;
    void (*run)(long unit, double y, Random& r, Tally& t, Exact& e);
    double y;
};

const Region REGIONS[] = {
    // 32 normal arguments to each random mantissa M: log10(M 2^k) = log10 M + k log10 2,
    // so that one MPFR logarithm serves them all.
    {"Log10_log_uniform", 312'500, [](long, double, Random& r, Tally& t, Exact& e) {
         const double M = static_cast<double>(r.Next() >> 11 | std::uint64_t{1} << 52);
         mpfr_set_d(e.a, M, MPFR_RNDN);
         mpfr_log10(e.a, e.a, MPFR_RNDN);
         for (int i = 0; i < 32; ++i) {
             const int k = r.Below(2046) - 1074;
             mpfr_mul_si(e.v, e.log10Of2, k, MPFR_RNDN);
             mpfr_add(e.v, e.v, e.a, MPFR_RNDN);
             Check(t, e, Log10(std::ldexp(M, k)), std::ldexp(M, k), 0);
         }
     }},
    // The 1000 doubles nearest to 1 on either side, then random ones within 2^-1..2^-60.
    {"Log10_near_one", 50'000, [](long unit, double, Random& r, Tally& t, Exact& e) {
         const double step = static_cast<double>(unit / 2 + 1);
         CheckLog10(t, e, unit >= 2000 ? 1 + (r.Unit() - 0.5) * std::ldexp(1, -r.Below(60))
                          : unit % 2   ? 1 + step * 0x1p-52
                                       : 1 - step * 0x1p-53);
     }},
    // 1e-300 to 1e300 and the 16 doubles on either side of each.
    {"Log10_powers_of_ten", 601 * 33, [](long unit, double, Random&, Tally& t, Exact& e) {
         double x = std::stod("1e" + std::to_string(unit / 33 - 300));
         for (long i = unit % 33 - 16; i != 0; i += i < 0 ? 1 : -1)
             x = std::nextafter(x, i < 0 ? 0.0 : HUGE_VAL);
         CheckLog10(t, e, x);
     }},
    {"Log10_subnormal", 50'000, [](long, double, Random& r, Tally& t, Exact& e) {
         CheckLog10(t, e, std::bit_cast<double>(r.Next() >> 12 | 1));
     }},
    {"Log10_largest", 50'000, [](long, double, Random& r, Tally& t, Exact& e) {
         CheckLog10(t, e, std::bit_cast<double>(0x7FEFFFFFFFFFFFFF - (r.Next() >> 24)));
     }},
    // A log-uniform base and y = +-Y 2^j for every j from |y ln x| near 2^-40 until the
    // power would leave the normal range: MPFR computes the first power and squares it
    // for each next one (the error doubles each time: under 2^-200 after 50).
    {"Pow_log_uniform", 210'000, [](long, double, Random& r, Tally& t, Exact& e) {
         const double x = r.AnyPositive(), lnX = std::log(x);
         double y = (r.Next() % 2 ? -1 : 1) * (1 + r.Unit());
         y = std::ldexp(y, -40 - std::ilogb(y * lnX));
         CheckPow(t, e, x, y);
         for (int step = 1; step < 50 && std::fabs(2 * y * lnX) < 708; ++step) {
             y *= 2;
             e.exact = mpfr_sqr(e.v, e.v, MPFR_RNDN) == 0 && e.exact;
             Check(t, e, Pow(x, y), x, y);
         }
     }},
    {"Pow_square", 50'000, FixedExponent, 2},
    {"Pow_root", 50'000, FixedExponent, 0.5},
    {"Pow_ported_volume", 50'000, FixedExponent, 2.87},
    {"Pow_ported_tuning", 50'000, FixedExponent, -0.9},
    // Powers in the subnormal range and below: y ln x from -745.2 to -708.
    {"Pow_subnormal", 50'000, [](long, double, Random& r, Tally& t, Exact& e) {
         const double x = r.AnyPositive();
         CheckPow(t, e, x, (-708 - 37.2 * r.Unit()) / std::log(x));
     }},
    // Exact powers and midpoints between doubles: x = Z^(2^j) 2^(2^j b) and y = Y/2^j
    // give Z^Y 2^(bY); and powers of two around half the smallest subnormal.
    {"Pow_exact", 50'000, [](long unit, double, Random& r, Tally& t, Exact& e) {
         const int j = static_cast<int>(unit % 6);
         std::uint64_t Z = 3 + 2 * r.Next() % 50;
         for (int i = 0; i < j && Z < std::uint64_t{1} << 53; ++i)
             Z = Z < std::uint64_t{1} << 26 ? Z * Z : std::uint64_t{1} << 53;
         double x = std::ldexp(static_cast<double>(Z), (1 << j) * (r.Below(41) - 20));
         double y = std::ldexp(j ? 1 + 2 * r.Below(17) : 1 + r.Below(34), -j);
         if (unit % 5 == 0) {
             x = std::ldexp(1, -1 - r.Below(1074));
             y = std::round(1075 / -std::log2(x)) + r.Below(3) - 1;
         }
         if (Z < std::uint64_t{1} << 53 && std::fabs(y * std::log(x)) < 745)
             CheckPow(t, e, x, y);
     }},
};

class RoundingTest : public testing::TestWithParam<Region> {};

// Catches any result that is not the nearest double to the exact value.
TEST_P(RoundingTest, EveryResultIsTheNearestDouble)
{
    const Region& region = GetParam();
    Tally tallies[2];
    auto work = [&](int first) {
        Exact e;
        for (long unit = first; unit < region.units / SHARE; unit += 2) {
            Random r{static_cast<std::uint64_t>(unit)};
            region.run(unit, region.y, r, tallies[first], e);
        }
    };
    std::thread other(work, 1);
    work(0);
    other.join();
    std::printf("%-20s %9ld arguments, %ld misrounded\n", region.name,
                tallies[0].tried + tallies[1].tried, tallies[0].misrounded + tallies[1].misrounded);
    EXPECT_GT(tallies[0].tried + tallies[1].tried, 0);
    for (const Tally& t : tallies)
        EXPECT_EQ(t.misrounded, 0) << std::hexfloat << "x " << t.x << " y " << t.y << ": " << t.got;
}

INSTANTIATE_TEST_SUITE_P(Table, RoundingTest, testing::ValuesIn(REGIONS),
                         [](const auto& info) { return std::string(info.param.name); });

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
