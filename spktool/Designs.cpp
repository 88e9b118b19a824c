#include "Designs.h"

#include "Text.h"

std::string Unusable(const Speaker& s, bool ported)
{
    const auto missing = [](const char* name, double value) {
        return value > 0 ? std::string() : std::string(name) + " is " + Brief(value);
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

std::string CompletingCommand(const std::string& file, const Speaker& s, bool ported)
{
    const struct {
        bool ported;
        const char* name;
        double value;
        const char* unit;
    } needs[] = {{false, "sealed.fb", s.sealed.fb, "HZ"}, {false, "sealed.q", s.sealed.q, "Q"},
                 {true, "qts", s.qts, "Q"},               {true, "fs", s.fs, "HZ"},
                 {true, "vas", s.vas, "L"},               {true, "ported.volume", s.ported.volume, "L"},
                 {true, "ported.fb", s.ported.fb, "HZ"}};
    std::string assignments;
    for (const auto& need : needs)
        if (need.ported == ported && !(need.value > 0))
            assignments += " " + std::string(need.name) + "=" + need.unit;
    return assignments.empty() ? "" : "spktool set " + file + assignments;
}
