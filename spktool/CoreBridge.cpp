#include "CoreBridge.h"

#include "Text.h"
#include "acoustics/Alignment.h"
#include "acoustics/PortLength.h"
#include "acoustics/Response.h"
#include "numbers/Elementary.h"

void StoredLevels(const Speaker& record, bool ported, int (&levels)[RESPONSE_SIZE])
{
    if (ported)
        PortedResponse(record, record.ported, levels);
    else
        SealedResponse(record.sealed, levels);
}

double ExactLevel(const Speaker& record, bool ported, int f)
{
    return ported ? PortedLevel(record, record.ported, f) : SealedLevel(record.sealed, f);
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
    return PortLength(record.ported, diameter, ports);
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
