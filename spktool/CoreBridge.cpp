#include "CoreBridge.h"

#include "acoustics/Alignment.h"
#include "acoustics/Elementary.h"
#include "acoustics/PortLength.h"
#include "acoustics/Response.h"

namespace {

// Puts `record` into the program's global for one calculation.
class Lent {
public:
    explicit Lent(const Speaker& record) : saved_(speaker) { speaker = record; }
    ~Lent() { speaker = saved_; }
    Lent(const Lent&) = delete;
    Lent& operator=(const Lent&) = delete;

private:
    Speaker saved_;
};

constexpr double BOX_LOSS_Q = 7;

}  // namespace

void StoredLevels(const Speaker& record, bool ported, int (&levels)[300])
{
    Lent lent(record);
    int* const savedArray = dBMag;
    const int savedGraph = graphNumber;
    const Ported savedPort = port[0];
    dBMag = levels;
    graphNumber = 1;
    ported ? CalcPorted() : CalcSealed();
    dBMag = savedArray;
    graphNumber = savedGraph;
    port[0] = savedPort;
}

// The power ratio of CalcSealed and CalcPorted, in their order of operations, so that
// rounding this level gives the stored one.
double ExactLevel(const Speaker& record, bool ported, int f)
{
    double ratio;
    if (!ported) {
        const double fb = record.sealed.fb, q = record.sealed.q;
        const double Fr = (f / fb) * (f / fb);
        ratio = Fr * Fr / (Fr / (q * q) + (Fr - 1) * (Fr - 1));
    } else {
        const double Vb = record.ported.volume, fb = record.ported.fb;
        const double qts = record.qts, vas = record.vas, fs = record.fs;
        const double A = (fb / fs) * (fb / fs);
        const double B = fb / (BOX_LOSS_Q * fs) + A / qts;
        const double C = 1 + A + vas / Vb + fb / (BOX_LOSS_Q * fs * qts);
        const double D = fb / (BOX_LOSS_Q * fs) + 1 / qts;
        const double Fn2 = (f / fs) * (f / fs);
        const double Fn4 = Fn2 * Fn2;
        const double real = Fn4 - C * Fn2 + A;
        const double imaginary = D * Fn2 - B;
        ratio = Fn4 * Fn4 / (real * real + Fn2 * (imaginary * imaginary));
    }
    return 10 * Log10(ratio);
}

Speaker Optimized(const Speaker& record, bool ported)
{
    Speaker result = record;
    if (ported) {
        result.ported = PortedAlignment(record.qts, record.vas, record.fs);
    } else {
        result.sealed = SealedAlignment(record.qts, record.vas, record.fs);
        DeriveSealedQFromVolume(result);
        DeriveSealedQFromFb(result);
    }
    return result;
}

void DeriveSealedQFromVolume(Speaker& record)
{
    Lent lent(record);
    SealedQFromVolume();
    record.sealed.q = speaker.sealed.q;
}

void DeriveSealedQFromFb(Speaker& record)
{
    Lent lent(record);
    SealedQFromFb();
    record.sealed.q = speaker.sealed.q;
}

double PortLength(const Speaker& record, double diameter, int ports)
{
    Lent lent(record);
    return CalcPortLength(diameter, ports);
}

bool TrueSealedAlignment(const Speaker& record, double& q, double& fc)
{
    const double ratio = record.vas / record.sealed.volume + 1;
    if (!(record.sealed.volume > 0) || !(ratio >= 0))
        return false;
    Speaker derived = record;
    DeriveSealedQFromVolume(derived);
    q = derived.sealed.q;
    fc = record.fs * Pow(ratio, 0.5);
    return true;
}
