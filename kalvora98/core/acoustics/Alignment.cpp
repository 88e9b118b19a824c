#include "acoustics/Alignment.h"

#include <cmath>

#include "numbers/Elementary.h"

namespace {

constexpr double TARGET_Q = 0.707;

}  // namespace

Sealed SealedAlignment(double qts, double vas, double fs)
{
    double Qr = TARGET_Q / qts;
    double Vr = Pow(Qr, 2);
    return {vas / Vr, Qr * fs, TARGET_Q};
}

Ported PortedAlignment(double qts, double vas, double fs)
{
    return {15 * Pow(qts, 2.87) * vas, 0.42 * fs * Pow(qts, -0.9)};
}

double SealedQFromVolume(double qts, double vas, double volume, double q)
{
    if (volume == 0)
        return q;
    double ratio = vas / volume + 1;
    if (ratio < 0)
        return q;
    double newQ = qts * Pow(ratio, 0.5);
    return std::isnan(newQ) ? q : newQ;
}

double SealedQFromFb(double qts, double fs, double fb, double q)
{
    if (fs == 0)
        return q;
    double newQ = fb / fs * qts;
    return std::isnan(newQ) ? q : newQ;
}
