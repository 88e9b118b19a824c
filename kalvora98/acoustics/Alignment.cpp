#include "acoustics/Alignment.h"

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

void SealedQFromVolume()
{
    if (speaker.sealed.volume == 0)
        return;
    double ratio = speaker.vas / speaker.sealed.volume + 1;
    if (ratio < 0)
        return;
    speaker.sealed.q = speaker.qts * Pow(ratio, 0.5);
}

void SealedQFromFb()
{
    if (speaker.fs == 0)
        return;
    speaker.sealed.q = speaker.sealed.fb / speaker.fs * speaker.qts;
}
