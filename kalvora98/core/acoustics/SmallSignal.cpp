#include "acoustics/SmallSignal.h"

#include <cmath>

#include "numbers/Elementary.h"
#include "numbers/Units.h"

namespace {

// The reference of sound pressure levels, 20 µPa.
constexpr double REFERENCE_PRESSURE = 20e-6;

// 2.83 V is the voltage that makes 1 W in 8 ohm.
constexpr double RATED_LOAD = 8;  // ohm

}  // namespace

double OtherQ(double qts, double q)
{
    return 1 / (1 / qts - 1 / q);
}

double ReferenceEfficiency(double fs, double vas, double qes)
{
    return 4 * PI * PI * fs * fs * fs * vas / (SOUND_SPEED * SOUND_SPEED * SOUND_SPEED * qes);
}

// The acoustic power η0 W spreads over the half sphere of 2π m² at 1 m, where the
// intensity p²/(ρ0 c) gives the pressure.
double Sensitivity(double efficiency)
{
    return 10 * Log10(efficiency * AIR_DENSITY * SOUND_SPEED /
                      (2 * PI * REFERENCE_PRESSURE * REFERENCE_PRESSURE));
}

RatedSensitivity SensitivityOf(double fs, double vas, double qes, double re)
{
    const double watt = Sensitivity(ReferenceEfficiency(fs, vas, qes));
    return {watt, watt + 10 * Log10(RATED_LOAD / re)};
}

double Compliance(double vas, double sd)
{
    return vas / (AIR_DENSITY * SOUND_SPEED * SOUND_SPEED * sd * sd);
}

double MovingMass(double fs, double cms)
{
    const double omegaS = 2 * PI * fs;
    return 1 / (omegaS * omegaS * cms);
}

double Resonance(double mms, double cms)
{
    return 1 / (2 * PI * std::sqrt(mms * cms));
}

double ForceFactorSquared(double fs, double mms, double re, double qes)
{
    return 2 * PI * fs * mms * re / qes;
}
