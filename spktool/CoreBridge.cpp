#include "CoreBridge.h"

#include "Text.h"
#include "acoustics/Alignment.h"
#include "acoustics/PortLength.h"
#include "acoustics/Response.h"
#include "numbers/Elementary.h"

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

double ExactLevel(const Speaker& record, bool ported, int f)
{
    return ported ? PortedLevel(record, f) : SealedLevel(record.sealed, f);
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
    Sealed& sealed = record.sealed;
    sealed.q = SealedQFromVolume(record.qts, record.vas, sealed.volume, sealed.q);
}

void DeriveSealedQFromFb(Speaker& record)
{
    Sealed& sealed = record.sealed;
    sealed.q = SealedQFromFb(record.qts, record.fs, sealed.fb, sealed.q);
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

// Why the design has no response, or "" when it has one.
std::string Unusable(const Speaker& s, bool ported)
{
    const auto missing = [](const char* name, double value) {
        return value > 0 ? std::string() : std::string(name) + " is " + Plain(value);
    };
    std::string why;
    if (!ported) {
        for (const std::string& m :
             {missing("sealed.fb", s.sealed.fb), missing("sealed.q", s.sealed.q)})
            if (why.empty())
                why = m;
        return why.empty() ? ""
                           : "the sealed design needs sealed.fb and sealed.q greater than 0 (" +
                                 why + ")";
    }
    for (const std::string& m : {missing("qts", s.qts), missing("fs", s.fs), missing("vas", s.vas),
                                 missing("ported.volume", s.ported.volume),
                                 missing("ported.fb", s.ported.fb)})
        if (why.empty())
            why = m;
    return why.empty() ? ""
                       : "the ported design needs qts, fs, vas, ported.volume and ported.fb "
                         "greater than 0 (" + why + ")";
}
