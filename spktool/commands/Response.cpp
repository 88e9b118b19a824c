#include "commands/Response.h"

#include "CommandLine.h"
#include "Designs.h"
#include "Failure.h"
#include "Output.h"
#include "SpeakerFiles.h"
#include "Text.h"

namespace {

struct Levels {
    int stored[RESPONSE_SIZE];
    double exact[RESPONSE_SIZE];
    ResponseFigures figures;
};

Levels Compute(const Speaker& s, bool ported)
{
    Levels r;
    DesignResponse(s, ported, r.stored);
    r.exact[0] = 0;
    DesignLevels(s, ported, r.exact);
    r.figures = FiguresOf(r.exact);
    return r;
}

std::string Signed(double value, int decimals)
{
    const std::string text = Fixed(value, decimals);
    // A level a hair under 0 dB is 0 at this precision, not "-0.00".
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        return "+" + text.substr(1);
    return text[0] == '-' ? text : "+" + text;
}

std::string FiguresText(const Levels& r)
{
    const ResponseFigures& figures = r.figures;
    const std::string peak = figures.peakHz == NO_PEAK
                                 ? "no peak"
                                 : "peak " + Signed(r.exact[figures.peakHz], 2) + " dB at " +
                                       std::to_string(figures.peakHz) + " Hz";
    return "F3 " + CrossingText(figures.f3) + ", F6 " + CrossingText(figures.f6) + ", F10 " +
           CrossingText(figures.f10) + ", " + peak;
}

std::string DesignLine(const Speaker& s, bool ported)
{
    return ported ? "ported box, " + Fixed(s.ported.volume, 1) + " l tuned to " +
                        Fixed(s.ported.fb, 1) + " Hz"
                  : "sealed box, resonance " + Fixed(s.sealed.fb, 1) + " Hz, Q " +
                        Fixed(s.sealed.q, 3);
}

// Hertz and level a line, after `head`, with the hertz `width` characters wide.
template <class Level>
std::string Rows(std::string head, const char* separator, std::size_t width, Level level)
{
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
        const std::string hz = std::to_string(f);
        head += std::string(width > hz.size() ? width - hz.size() : 0, ' ') + hz + separator +
                level(f) + "\n";
    }
    return head;
}

}  // namespace

void DeclareResponse(CLI::App& command, ResponseOptions& o)
{
    command.add_option("FILE", o.file, "the speaker file")->required();
    AddDesign(command, o.sealed, o.ported);
    command.add_flag("--exact", o.exact, "levels before rounding to whole dB");
    DeclareCsvForm(command, command.add_flag("--csv", o.csv, "hz,db rows"), o.form);
    command.add_flag("--frd", o.frd, "frequency and level lines with * comments, for "
                     "crossover tools (no phase)")->excludes("--csv");
}

int RunResponse(const ResponseOptions& o)
{
    const Speaker s = LoadSpeakerFile(o.file);
    if (const std::string why = Unusable(s, o.ported); !why.empty())
        BadData(o.file + ": " + why);
    const Levels r = Compute(s, o.ported);
    const auto level = [&](int f) {
        return o.exact ? Fixed(r.exact[f], 6) : std::to_string(r.stored[f]);
    };
    const std::string design = DesignLine(s, o.ported), summary = FiguresText(r);
    if (o.csv)
        return Printed(InCsvForm(Rows("hz,db\n", ",", 0, level), o.form));
    if (o.frd)
        return Printed(Rows("* " + o.file + ": " + design + "\n* " + summary + "\n* " +
                                (o.exact ? "levels unrounded"
                                         : "levels in whole dB as the program stores them") +
                                ", relative to the passband; no phase\n* Hz dB\n",
                            " ", 0, level));
    return Printed(Rows(o.file + ": " + design + "\n" + summary + "\n Hz  dB\n", " ", 3, level));
}

std::string DesignFigures(const Speaker& s, bool ported)
{
    if (const std::string why = Unusable(s, ported); !why.empty())
        return "none: " + why;
    return FiguresText(Compute(s, ported));
}

Crossing F3Of(const Speaker& s, bool ported)
{
    return Compute(s, ported).figures.f3;
}

bool BoxF3Of(const Speaker& s, Crossing& f3)
{
    double levels[RESPONSE_SIZE];
    if (!ClosedBoxLevels(s, levels))
        return false;
    f3 = RisesThrough(levels, -3);
    return true;
}

std::string CrossingText(const Crossing& c)
{
    switch (c.where) {
    case Crossing::BELOW: return "below 1 Hz";
    case Crossing::ABOVE: return "above 299 Hz";
    default: return Fixed(c.hz, 1) + " Hz";
    }
}
