#include "Commands.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "CoreBridge.h"
#include "Failure.h"
#include "Importers.h"
#include "Platform.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "numbers/NumberText.h"

namespace {

// ---- the response and what follows from it ------------------------------------------

// Where the response first rises through a level, between the two grid points that
// straddle it (linear in dB); below 1 Hz or above 299 Hz when it does not cross there.
struct Corner {
    enum { Below, At, Above } where;
    double hz;
};

struct Response {
    int stored[300];
    double exact[300];
    Corner f3, f6, f10;
    int peakHz;
};

Corner CornerOf(const Response& r, double level)
{
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
        if (r.exact[f] >= level) {
            if (f == LOWEST_HZ)
                return {Corner::Below, 0};
            const double low = r.exact[f - 1], high = r.exact[f];
            // A level too low for a double (-inf) leaves nothing to interpolate.
            if (!std::isfinite(low) || !std::isfinite(high))
                return {Corner::At, static_cast<double>(f)};
            return {Corner::At, (f - 1) + (level - low) / (high - low)};
        }
    }
    return {Corner::Above, 0};
}

Response Compute(const Speaker& s, bool ported)
{
    Response r;
    StoredLevels(s, ported, r.stored);
    r.exact[0] = 0;
    r.peakHz = LOWEST_HZ;
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
        r.exact[f] = ExactLevel(s, ported, f);
        if (r.exact[f] > r.exact[r.peakHz])
            r.peakHz = f;
    }
    r.f3 = CornerOf(r, -3);
    r.f6 = CornerOf(r, -6);
    r.f10 = CornerOf(r, -10);
    return r;
}

std::string CornerText(const Corner& c)
{
    switch (c.where) {
    case Corner::Below: return "below 1 Hz";
    case Corner::Above: return "above 299 Hz";
    default: return Fixed(c.hz, 1) + " Hz";
    }
}

std::string Signed(double value, int decimals)
{
    const std::string text = Fixed(value, decimals);
    return text[0] == '-' ? text : "+" + text;
}

// ---- output helpers -----------------------------------------------------------------

std::string Quoted(const std::string& utf8)
{
    return nlohmann::json(utf8).dump();
}

std::string JsonNumber(bool present, double value)
{
    return present && std::isfinite(value) ? Plain(value) : "null";
}

std::string CsvCell(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos &&
        (text.empty() || (text.front() != ' ' && text.back() != ' ')))
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string Pad(const std::string& text, std::size_t width)
{
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

// ---- show ---------------------------------------------------------------------------

struct Shown {
    std::string file;
    Speaker s;
    bool hasTrue;
    double trueQ, trueFc;
    bool sealedOk, portedOk;
    Corner sealedF3, portedF3;
};

Shown Describe(const std::string& file)
{
    Shown d{file, LoadSpeakerFile(file), false, 0, 0, false, false, {}, {}};
    d.hasTrue = TrueSealedAlignment(d.s, d.trueQ, d.trueFc);
    d.sealedOk = Unusable(d.s, false).empty();
    d.portedOk = Unusable(d.s, true).empty();
    if (d.sealedOk)
        d.sealedF3 = Compute(d.s, false).f3;
    if (d.portedOk)
        d.portedF3 = Compute(d.s, true).f3;
    return d;
}

std::string F3Number(bool ok, const Corner& c)
{
    return ok && c.where == Corner::At ? Fixed(c.hz, 1) : "";
}

std::string ShowText(const Shown& d)
{
    const Speaker& s = d.s;
    std::string out = d.file + "\n";
    auto line = [&](const char* name, const std::string& value) {
        out += "  " + Pad(name, 15) + value + "\n";
    };
    line("model", FromWindows1252(s.model));
    line("info", FromWindows1252(s.info));
    line("qts", Fixed(s.qts, 2));
    line("fs", Fixed(s.fs, 1) + " Hz");
    line("vas", Fixed(s.vas, 1) + " l");
    line("sealed.volume", Fixed(s.sealed.volume, 1) + " l");
    line("sealed.fb", Fixed(s.sealed.fb, 1) + " Hz");
    line("sealed.q", Fixed(s.sealed.q, 3));
    line("ported.volume", Fixed(s.ported.volume, 1) + " l");
    line("ported.fb", Fixed(s.ported.fb, 1) + " Hz");
    line("sealed box", d.hasTrue ? "Q " + Fixed(d.trueQ, 3) + " and resonance " +
                                       Fixed(d.trueFc, 1) + " Hz from its volume"
                                 : "no Q from a volume of " + Fixed(s.sealed.volume, 1) + " l");
    line("sealed F3", d.sealedOk ? CornerText(d.sealedF3) : "none: " + Unusable(s, false));
    line("ported F3", d.portedOk ? CornerText(d.portedF3) : "none: " + Unusable(s, true));
    return out;
}

std::string ShowCsvRow(const Shown& d)
{
    const Speaker& s = d.s;
    const std::vector<std::string> cells = {
        d.file, FromWindows1252(s.model), FromWindows1252(s.info), Plain(s.qts), Plain(s.fs),
        Plain(s.vas), Plain(s.sealed.volume), Plain(s.sealed.fb), Plain(s.sealed.q),
        Plain(s.ported.volume), Plain(s.ported.fb), d.hasTrue ? Plain(d.trueQ) : "",
        d.hasTrue ? Plain(d.trueFc) : "", F3Number(d.sealedOk, d.sealedF3),
        F3Number(d.portedOk, d.portedF3)};
    std::string row;
    for (const std::string& cell : cells)
        row += (row.empty() ? "" : ",") + CsvCell(cell);
    return row + "\n";
}

std::string ShowJson(const Shown& d)
{
    const Speaker& s = d.s;
    const std::string sealedF3 = F3Number(d.sealedOk, d.sealedF3);
    const std::string portedF3 = F3Number(d.portedOk, d.portedF3);
    return "  {\"file\": " + Quoted(d.file) + ", \"model\": " + Quoted(FromWindows1252(s.model)) +
           ", \"info\": " + Quoted(FromWindows1252(s.info)) + ",\n   \"qts\": " + Plain(s.qts) +
           ", \"fs\": " + Plain(s.fs) + ", \"vas\": " + Plain(s.vas) +
           ",\n   \"sealed\": {\"volume\": " + Plain(s.sealed.volume) + ", \"fb\": " +
           Plain(s.sealed.fb) + ", \"q\": " + Plain(s.sealed.q) + ", \"true_q\": " +
           JsonNumber(d.hasTrue, d.trueQ) + ", \"true_fc\": " + JsonNumber(d.hasTrue, d.trueFc) +
           ", \"f3\": " + (sealedF3.empty() ? "null" : sealedF3) +
           "},\n   \"ported\": {\"volume\": " + Plain(s.ported.volume) + ", \"fb\": " +
           Plain(s.ported.fb) + ", \"f3\": " + (portedF3.empty() ? "null" : portedF3) + "}}";
}

// ---- numbers given on the command line ------------------------------------------------

// A number as the program's fields read it; the option is named in the message.
double OptionNumber(const std::string& option, const std::string& text)
{
    if (!IsTypedNumber(text) || text.size() > static_cast<std::size_t>(TYPED_NUMBER_CHARS))
        BadCommandLine(option + ": '" + text + "' is not a number of at most 9 characters");
    const double value = ReadNumber(text.c_str());
    if (!(value > 0) || !std::isfinite(value))
        BadCommandLine(option + ": '" + text + "' is not greater than 0");
    return value;
}

}  // namespace

std::string ShowCommand(const std::vector<std::string>& files, Format format)
{
    std::vector<Shown> shown;
    for (const std::string& file : files)
        shown.push_back(Describe(file));
    std::string out;
    if (format == Format::Csv) {
        out = "file,model,info,qts,fs,vas,sealed.volume,sealed.fb,sealed.q,ported.volume,"
              "ported.fb,sealed.true_q,sealed.true_fc,sealed.f3,ported.f3\n";
        for (const Shown& d : shown)
            out += ShowCsvRow(d);
    } else if (format == Format::Json) {
        out = "[\n";
        for (std::size_t i = 0; i < shown.size(); ++i)
            out += ShowJson(shown[i]) + (i + 1 < shown.size() ? ",\n" : "\n");
        out += "]\n";
    } else {
        for (std::size_t i = 0; i < shown.size(); ++i)
            out += (i ? "\n" : "") + ShowText(shown[i]);
    }
    return out;
}

std::string NewCommand(const std::string& file, const std::vector<std::string>& assignments,
                       bool force)
{
    Speaker record{};
    ApplyAssignments(record, assignments);
    SaveSpeakerFile(file, record, force);
    return "";
}

std::string SetCommand(const std::string& file, const std::vector<std::string>& assignments)
{
    Speaker record = LoadSpeakerFile(file);
    ApplyAssignments(record, assignments);
    SaveSpeakerFile(file, record, true);
    return "";
}

ImportOutcome ImportCommand(const std::vector<std::string>& sources, const std::string& directory,
                            bool skipBad, bool force)
{
    if (!IsDirectory(directory))
        BadData(directory + ": no such folder");
    ImportResult result;
    for (const std::string& source : sources) {
        std::vector<std::string> files = {source};
        if (IsDirectory(source)) {
            files.clear();
            for (const std::string& name : JsonFilesIn(source))
                files.push_back(JoinPath(source, name));
            if (files.empty())
                result.errors.push_back(source + ": no .json files in this folder");
        }
        for (const std::string& file : files) {
            std::string bytes, error;
            if (ReadWholeFile(file, bytes, error))
                ImportText(file, bytes, result);
            else
                result.errors.push_back(file + ": cannot be read: " + error);
        }
    }
    const std::vector<PlannedFile> planned = PlanImport(result, directory, force, skipBad, PathExists);

    // Every file is complete on disk before the first one takes its name.
    std::vector<std::string> temporaries;
    for (const PlannedFile& file : planned) {
        std::string error;
        temporaries.push_back(WriteTemporaryBeside(file.path, SpeakerBytes(file.record), error));
        if (temporaries.back().empty()) {
            temporaries.pop_back();
            for (const std::string& temporary : temporaries)
                RemoveFile(temporary);
            BadData(file.path + ": cannot be written: " + error);
        }
    }
    ImportOutcome outcome{"", result.errors};
    int written = 0;
    for (std::size_t i = 0; i < planned.size(); ++i) {
        std::string error;
        if (MoveIntoPlace(temporaries[i], planned[i].path, force, error)) {
            outcome.output += planned[i].path + " from " + planned[i].where + "\n";
            ++written;
        } else {
            outcome.errors.push_back(planned[i].path + ": cannot be written: " + error);
        }
    }
    outcome.output += std::to_string(written) + (written == 1 ? " file" : " files") + " written";
    if (!outcome.errors.empty())
        outcome.output += ", " + std::to_string(outcome.errors.size()) +
                          (outcome.errors.size() == 1 ? " problem" : " problems") +
                          (skipBad ? " skipped" : ": nothing written");
    outcome.output += "\n";
    return outcome;
}

std::string ResponseCommand(const std::string& file, bool ported, bool exact, Format format)
{
    const Speaker s = LoadSpeakerFile(file);
    if (const std::string why = Unusable(s, ported); !why.empty())
        BadData(file + ": " + why);
    const Response r = Compute(s, ported);
    auto level = [&](int f) { return exact ? Fixed(r.exact[f], 6) : std::to_string(r.stored[f]); };
    const std::string design =
        ported ? "ported box, " + Fixed(s.ported.volume, 1) + " l tuned to " +
                     Fixed(s.ported.fb, 1) + " Hz"
               : "sealed box, resonance " + Fixed(s.sealed.fb, 1) + " Hz, Q " +
                     Fixed(s.sealed.q, 3);
    const std::string summary = "F3 " + CornerText(r.f3) + ", F6 " + CornerText(r.f6) +
                                ", F10 " + CornerText(r.f10) + ", peak " +
                                Signed(r.exact[r.peakHz], 2) + " dB at " +
                                std::to_string(r.peakHz) + " Hz";
    std::string out;
    if (format == Format::Csv) {
        out = "hz,db\n";
        for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f)
            out += std::to_string(f) + "," + level(f) + "\n";
    } else if (format == Format::Frd) {
        out = "* " + file + ": " + design + "\n* " + summary + "\n* " +
              (exact ? "levels unrounded" : "levels in whole dB as the program stores them") +
              ", relative to the passband; no phase\n* Hz dB\n";
        for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f)
            out += std::to_string(f) + " " + level(f) + "\n";
    } else {
        out = file + ": " + design + "\n" + summary + "\n Hz  dB\n";
        for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
            const std::string hz = std::to_string(f);
            out += std::string(3 - hz.size(), ' ') + hz + " " + level(f) + "\n";
        }
    }
    return out;
}

std::string OptimizeCommand(const std::string& file, bool ported, bool write,
                            const std::string& qtcText)
{
    const double qtc = qtcText.empty() ? 0.707 : OptionNumber("--qtc", qtcText);
    const Speaker s = LoadSpeakerFile(file);
    if (!(s.qts > 0))
        BadData(file + ": Optimize needs a Qts greater than 0");
    const Speaker proposal = Optimized(s, ported);
    std::string out;
    if (ported) {
        out = file + ": ported box by the program's rule\nVolume: " +
              Fixed(proposal.ported.volume, 1) + " l\nFb: " + Fixed(proposal.ported.fb, 1) + " Hz\n";
    } else {
        out = file + ": sealed box by the program's rule\nVolume: " +
              Fixed(proposal.sealed.volume, 1) + " l\nFb: " + Fixed(proposal.sealed.fb, 1) + " Hz\n";
        // The closed-box relation Qtc = Qts * sqrt(Vas/Vb + 1) solved for the volume:
        // Vb = Vas / ((Qtc/Qts)^2 - 1), and fc = Fs * Qtc/Qts.
        const double ratio = qtc / s.qts;
        const std::string target = "Textbook sealed box for a Qtc of " + Fixed(qtc, 3) + ": ";
        if (ratio <= 1)
            out += target + "none, the driver's Qts of " + Fixed(s.qts, 2) +
                   " is not below it\n";
        else
            out += target + Fixed(s.vas / (ratio * ratio - 1), 1) + " l, fc " +
                   Fixed(s.fs * ratio, 1) + " Hz\n";
    }
    if (write) {
        SaveSpeakerFile(file, proposal, true);
        out += "The program's proposal is stored in " + file + "\n";
    }
    return out;
}

std::string PortCommand(const std::string& file, const std::string& diameterText, int ports,
                        const std::string& sdText, const std::string& xmaxText)
{
    if (ports < 1 || ports > 4)
        BadCommandLine("--ports: " + std::to_string(ports) + " is not 1 to 4, the counts the Port dialog offers");
    if (sdText.empty() != xmaxText.empty())
        BadCommandLine("--sd and --xmax go together");
    // The Diameter field reads any text; here it must be a number.
    if (!IsTypedNumber(diameterText) || diameterText.size() > static_cast<std::size_t>(TYPED_NUMBER_CHARS))
        BadCommandLine("--diameter: '" + diameterText + "' is not a number of at most 9 characters");
    const double diameter = ReadNumber(diameterText.c_str());
    const double sd = sdText.empty() ? 0 : OptionNumber("--sd", sdText);
    const double xmax = xmaxText.empty() ? 0 : OptionNumber("--xmax", xmaxText);
    const Speaker s = LoadSpeakerFile(file);
    const double length = PortLength(s, diameter, ports);
    if (!std::isfinite(length))
        BadData(file + ": the Port dialog shows --- : ported.volume is " +
                Plain(s.ported.volume) + " and ported.fb " + Plain(s.ported.fb) +
                ", and both must be other than 0");
    std::string out = file + ": ported box, " + Fixed(s.ported.volume, 1) + " l tuned to " +
                      Fixed(s.ported.fb, 1) + " Hz\nPort diameter: " + Fixed(diameter, 1) +
                      " cm\nPort length: " + Fixed(length, 1) + " cm\nUse " +
                      std::to_string(ports) + (ports == 1 ? " port\n" : " ports\n");
    if (length < 0)
        out += "NOTE: If the length < 0 then you should increase the diameter\n";
    if (sd > 0) {
        // Small's vent-area rule for a vented box driven to full excursion: the vents
        // together need at least Sv = 0.8 * fB * VD (Sv in m^2, fB in Hz, VD = Sd * Xmax
        // in m^3), which keeps the air in them slow enough not to be heard. R. H. Small,
        // "Vented-Box Loudspeaker Systems", J. Audio Eng. Soc. 21 (1973).
        const double vd = sd * 1e-4 * xmax * 1e-3;
        const double area = 0.8 * s.ported.fb * vd * 1e4;  // cm^2, all ports together
        const double smallest = std::sqrt(4 * area / (3.141592653589793 * ports));
        out += "Smallest port diameter: " + Fixed(smallest, 1) + " cm for " +
               std::to_string(ports) + (ports == 1 ? " port" : " ports") + " (vent area " +
               Fixed(area, 1) + " cm2 = 0.8 x Fb x Sd x Xmax)\n";
        if (diameter < smallest)
            out += "Warning: " + Fixed(diameter, 1) + " cm is smaller: the port" +
                   (ports == 1 ? "" : "s") + " may be heard at full excursion\n";
    }
    return out;
}
