#include "acoustics/Response.h"

#include "numbers/Elementary.h"

#include <bit>
#include <cstdint>
#include <limits>

namespace {

constexpr double BOX_LOSS_Q = 7;

// Every level in (-1, +0.5) dB is stored as 0, and most of a curve lies in that
// passband. Power ratios well inside it skip the logarithm; the margin of a billionth
// leaves every ratio whose level lies anywhere near a rounding edge to the exact path.
constexpr double PASSBAND_LOW = 0.7943282347242815 * (1 + 1e-9);   // 10^(-1/10)
constexpr double PASSBAND_HIGH = 1.1220184543019633 * (1 - 1e-9);  // 10^(0.5/10)

// Outside the passband the level comes from a table of 10 log10 over 128 steps of the
// mantissa, interpolated: within 4e-5 dB of the logarithm, and a fraction of its
// cost. A level that close to a rounding edge (whole decibels below 0 dB, half
// decibels above) takes the logarithm itself, so the stored level never differs.
constexpr int STEPS = 128;
constexpr double GUARD_DB = 1e-4;

struct LevelTable {
    double level[STEPS + 1];  // 10 log10(1 + i/128)
    LevelTable()
    {
        for (int i = 0; i <= STEPS; ++i)
            level[i] = 10 * Log10(1 + static_cast<double>(i) / STEPS);
    }
};

// The level of a positive normal ratio, near enough to round; NaN for any other.
double ApproximateLevel(double ratio)
{
    static const LevelTable table;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(ratio);
    const int field = static_cast<int>(bits >> 52);  // the sign bit included
    if (field == 0 || field >= 0x7FF)
        return std::numeric_limits<double>::quiet_NaN();
    const int step = static_cast<int>(bits >> 45 & (STEPS - 1));
    const double m = std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFF) | 0x3FF0000000000000);
    const double within = (m - 1) * STEPS - step;  // 0 <= within < 1, exact
    const double low = table.level[step], high = table.level[step + 1];
    return 3.0102999566398120 * (field - 1023) + low + (high - low) * within;
}

int StoredRatio(double ratio)
{
    if (ratio > PASSBAND_LOW && ratio < PASSBAND_HIGH)
        return 0;
    const double level = ApproximateLevel(ratio);
    if (level > -990 && level < 990) {
        const int whole = static_cast<int>(level);  // toward zero, as Round does
        const double rest = level - whole;
        if (level >= 0 && (rest < 0.5 - GUARD_DB || rest > 0.5 + GUARD_DB))
            return rest > 0.5 ? whole + 1 : whole;
        if (level < 0 && rest < -GUARD_DB && rest > GUARD_DB - 1)
            return whole;
    }
    return StoredLevel(10 * Log10(ratio));
}

// |H|^2 of the second-order high-pass with corner fb and quality factor q.
double SealedRatio(double fb, double q, int f)
{
    double Fr = (f / fb) * (f / fb);
    return Fr * Fr / (Fr / (q * q) + (Fr - 1) * (Fr - 1));
}

// The vented box's fourth-order denominator in f/fs, with a box loss Q of 7: the
// coefficients depend on the design only, so a curve computes them once.
struct PortedPolynomial {
    double A, B, C, D, fs;
};

PortedPolynomial PolynomialOf(const Speaker& driver, const Ported& box)
{
    const double Vb = box.volume;
    const double fb = box.fb;
    const double qts = driver.qts;
    const double fs = driver.fs;
    const double A = (fb / fs) * (fb / fs);
    const double B = fb / (BOX_LOSS_Q * fs) + A / qts;
    const double C = 1 + A + driver.vas / Vb + fb / (BOX_LOSS_Q * fs * qts);
    const double D = fb / (BOX_LOSS_Q * fs) + 1 / qts;
    return {A, B, C, D, fs};
}

// |H|^2: (f/fs)^8 over the squared real and imaginary parts of the denominator.
double PortedRatio(const PortedPolynomial& p, int f)
{
    double Fn2 = (f / p.fs) * (f / p.fs);
    double Fn4 = Fn2 * Fn2;
    double real = Fn4 - p.C * Fn2 + p.A;
    double imaginary = p.D * Fn2 - p.B;
    return Fn4 * Fn4 / (real * real + Fn2 * (imaginary * imaginary));
}

// The ratios are computed in a loop of their own, whose divisions the processor
// overlaps, before the rounding with its table and branches.
void StoreRatios(const double* ratio, int* target)
{
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f)
        target[f] = StoredRatio(ratio[f]);
}

}  // namespace

int Round(double x)
{
    int t = static_cast<int>(x);
    return x - t >= 0.5 ? t + 1 : t;
}

int StoredLevel(double level)
{
    // NaN fails every comparison, so it lands on the floor with -inf.
    if (!(level >= LEVEL_FLOOR))
        return LEVEL_FLOOR;
    if (level > LEVEL_CEILING)
        return LEVEL_CEILING;
    return Round(level);
}

double SealedLevel(const Sealed& box, int f)
{
    return 10 * Log10(SealedRatio(box.fb, box.q, f));
}

double PortedLevel(const Speaker& driver, const Ported& box, int f)
{
    return 10 * Log10(PortedRatio(PolynomialOf(driver, box), f));
}

void SealedResponse(const Sealed& box, int* levels)
{
    double ratio[RESPONSE_SIZE];
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f)
        ratio[f] = SealedRatio(box.fb, box.q, f);
    StoreRatios(ratio, levels);
}

void PortedResponse(const Speaker& driver, const Ported& box, int* levels)
{
    const PortedPolynomial polynomial = PolynomialOf(driver, box);
    double ratio[RESPONSE_SIZE];
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f)
        ratio[f] = PortedRatio(polynomial, f);
    StoreRatios(ratio, levels);
}
