#include "acoustics/Response.h"

#include "acoustics/Elementary.h"

int* dBMag;
int* dBMag2;
int* dBMag3;
int graphNumber;
Ported port[3];

namespace {

constexpr int LOWEST_HZ = 1;
constexpr int HIGHEST_HZ = 299;
constexpr double BOX_LOSS_Q = 7;

// Every level in (-1, +0.5) dB is stored as 0, and most of a curve lies in that
// passband. Power ratios well inside it skip the logarithm; the margin of a billionth
// leaves every ratio whose level lies anywhere near a rounding edge to the exact path.
constexpr double PASSBAND_LOW = 0.7943282347242815 * (1 + 1e-9);   // 10^(-1/10)
constexpr double PASSBAND_HIGH = 1.1220184543019633 * (1 - 1e-9);  // 10^(0.5/10)

int StoredRatio(double ratio)
{
    if (ratio > PASSBAND_LOW && ratio < PASSBAND_HIGH)
        return 0;
    return StoredLevel(10 * Log10(ratio));
}

// The array of the graph being computed, or null when there is nothing to fill.
int* TargetArray()
{
    switch (graphNumber) {
    case 1: return dBMag;
    case 2: return dBMag2;
    case 3: return dBMag3;
    default: return nullptr;
    }
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

void CalcSealed()
{
    int* target = TargetArray();
    if (!target)
        return;
    port[graphNumber - 1] = {speaker.sealed.volume, speaker.sealed.fb};

    const double fb = speaker.sealed.fb;
    const double q = speaker.sealed.q;
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
        double Fr = (f / fb) * (f / fb);
        double ratio = Fr * Fr / (Fr / (q * q) + (Fr - 1) * (Fr - 1));
        target[f] = StoredRatio(ratio);
    }
}

void CalcPorted()
{
    int* target = TargetArray();
    if (!target)
        return;
    const double Vb = speaker.ported.volume;
    const double fb = speaker.ported.fb;
    port[graphNumber - 1] = {Vb, fb};

    const double qts = speaker.qts;
    const double vas = speaker.vas;
    const double fs = speaker.fs;
    const double A = (fb / fs) * (fb / fs);
    const double B = fb / (BOX_LOSS_Q * fs) + A / qts;
    const double C = 1 + A + vas / Vb + fb / (BOX_LOSS_Q * fs * qts);
    const double D = fb / (BOX_LOSS_Q * fs) + 1 / qts;
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
        double Fn2 = (f / fs) * (f / fs);
        double Fn4 = Fn2 * Fn2;
        double real = Fn4 - C * Fn2 + A;
        double imaginary = D * Fn2 - B;
        double ratio = Fn4 * Fn4 / (real * real + Fn2 * (imaginary * imaginary));
        target[f] = StoredRatio(ratio);
    }
}
