#include "acoustics/SmallSignal.h"

#include <cmath>

#include "numbers/Units.h"

double OtherQ(double qts, double q)
{
    return 1 / (1 / qts - 1 / q);
}

double ReferenceEfficiency(double fs, double vas, double qes)
{
    return 4 * PI * PI * fs * fs * fs * vas / (SOUND_SPEED * SOUND_SPEED * SOUND_SPEED * qes);
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
