#include "Commands.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "Designs.h"
#include "Failure.h"
#include "Importers.h"
#include "Platform.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "acoustics/Alignment.h"
#include "acoustics/Figures.h"
#include "acoustics/PortLength.h"
#include "numbers/NumberText.h"
#include "record/SpeakerFile.h"

namespace {

// ---- the response and what follows from it ------------------------------------------

struct Response {
    int stored[RESPONSE_SIZE];
    double exact[RESPONSE_SIZE];
    ResponseFigures figures;
};

Response Compute(const Speaker& s, bool ported)
{
    Response r;
    DesignResponse(s, ported, r.stored);
    r.exact[0] = 0;
    DesignLevels(s, ported, r.exact);
    r.figures = FiguresOf(r.exact);
    return r;
}

std::string CrossingText(const Crossing& c)
{
    switch (c.where) {
    case Crossing::BELOW: return "below 1 Hz";
    case Crossing::ABOVE: return "above 299 Hz";
    default: return Fixed(c.hz, 1) + " Hz";
    }
}

std::string Signed(double value, int decimals)
{
    const std::string text = Fixed(value, decimals);
    return text[0] == '-' ? text : "+" + text;
}

// ---- output helpers -----------------------------------------------------------------

// A number written as `text` shows it, so that the JSON and the CSV give the same
// values; null for no text. Whole numbers stay integers ("30", not "30.0").
nlohmann::ordered_json JsonNumber(const std::string& text)
{
    double value = 0;
    if (!ReadDecimal(text, value))
        return nullptr;
    if (text.find('.') == std::string::npos && value > -1e15 && value < 1e15)
        return static_cast<long long>(value);
    return value;
}

std::string PlainIf(bool present, double value)
{
    return present && std::isfinite(value) ? Plain(value) : "";
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
    Crossing sealedF3, portedF3;
};

Shown Describe(const std::string& file)
{
    Shown d{file, LoadSpeakerFile(file), false, 0, 0, false, false, {}, {}};
    d.hasTrue = ClosedBox(d.s.qts, d.s.vas, d.s.fs, d.s.sealed.volume, d.trueQ, d.trueFc);
    d.sealedOk = Unusable(d.s, false).empty();
    d.portedOk = Unusable(d.s, true).empty();
    if (d.sealedOk)
        d.sealedF3 = Compute(d.s, false).figures.f3;
    if (d.portedOk)
        d.portedF3 = Compute(d.s, true).figures.f3;
    return d;
}

std::string F3Number(bool ok, const Crossing& c)
{
    return ok && c.where == Crossing::AT ? Fixed(c.hz, 1) : "";
}

// The texts first, then the numbers in file order.
template <class Visit>
void ForEachShownField(Visit visit)
{
    for (bool texts : {true, false})
        for (const SpeakerField& field : SPEAKER_FIELDS)
            if (field.isText == texts)
                visit(field);
}

std::string ShowText(const Shown& d)
{
    const Speaker& s = d.s;
    std::string out = d.file + "\n";
    auto line = [&](const char* name, const std::string& value) {
        out += "  " + Pad(name, 15) + value + "\n";
    };
    ForEachShownField([&](const SpeakerField& field) {
        if (field.isText)
            line(field.name, FromWindows1252(FieldText(s, field)));
        else
            line(field.name, Fixed(FieldNumber(s, field), field.decimals) +
                                 (*field.unit ? std::string(" ") + field.unit : ""));
    });
    line("sealed box", d.hasTrue ? "Q " + Fixed(d.trueQ, 3) + " and resonance " +
                                       Fixed(d.trueFc, 1) + " Hz from its volume"
                                 : "no Q from a volume of " + Fixed(s.sealed.volume, 1) + " l");
    line("sealed F3", d.sealedOk ? CrossingText(d.sealedF3) : "none: " + Unusable(s, false));
    line("ported F3", d.portedOk ? CrossingText(d.portedF3) : "none: " + Unusable(s, true));
    return out;
}

std::string ShowCsvHeader()
{
    std::string header = "file";
    ForEachShownField([&](const SpeakerField& field) { header += std::string(",") + field.name; });
    return header + ",sealed.true_q,sealed.true_fc,sealed.f3,ported.f3\n";
}

std::string ShowCsvRow(const Shown& d)
{
    std::vector<std::string> cells = {d.file};
    ForEachShownField([&](const SpeakerField& field) {
        cells.push_back(field.isText ? FromWindows1252(FieldText(d.s, field))
                                     : Plain(FieldNumber(d.s, field)));
    });
    for (const std::string& cell :
         {PlainIf(d.hasTrue, d.trueQ), PlainIf(d.hasTrue, d.trueFc),
          F3Number(d.sealedOk, d.sealedF3), F3Number(d.portedOk, d.portedF3)})
        cells.push_back(cell);
    std::string row;
    for (const std::string& cell : cells)
        row += (row.empty() ? "" : ",") + CsvCell(cell);
    return row + "\n";
}

// The fields as they are named: "sealed.volume" is "volume" inside "sealed".
nlohmann::ordered_json ShowJson(const Shown& d)
{
    nlohmann::ordered_json object = {{"file", d.file}};
    ForEachShownField([&](const SpeakerField& field) {
        const std::string name = field.name;
        const std::size_t dot = name.find('.');
        nlohmann::ordered_json& place =
            dot == std::string::npos ? object[name] : object[name.substr(0, dot)][name.substr(dot + 1)];
        place = field.isText ? nlohmann::ordered_json(FromWindows1252(FieldText(d.s, field)))
                             : JsonNumber(Plain(FieldNumber(d.s, field)));
    });
    object["sealed"]["true_q"] = JsonNumber(PlainIf(d.hasTrue, d.trueQ));
    object["sealed"]["true_fc"] = JsonNumber(PlainIf(d.hasTrue, d.trueFc));
    object["sealed"]["f3"] = JsonNumber(F3Number(d.sealedOk, d.sealedF3));
    object["ported"]["f3"] = JsonNumber(F3Number(d.portedOk, d.portedF3));
    return object;
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
        out = ShowCsvHeader();
        for (const Shown& d : shown)
            out += ShowCsvRow(d);
    } else if (format == Format::Json) {
        nlohmann::ordered_json array = nlohmann::ordered_json::array();
        for (const Shown& d : shown)
            array.push_back(ShowJson(d));
        out = array.dump(2) + "\n";
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
            std::vector<std::string> names = JsonFilesIn(source);
            for (const std::string& name : FilesEndingIn(source, ".wdr"))
                names.push_back(name);
            std::sort(names.begin(), names.end());
            for (const std::string& name : names)
                files.push_back(JoinPath(source, name));
            if (files.empty())
                result.errors.push_back(source + ": no .json or .wdr files in this folder");
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
    ImportOutcome outcome{"", result.errors, result.warnings};
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
    const ResponseFigures& figures = r.figures;
    const std::string summary = "F3 " + CrossingText(figures.f3) + ", F6 " +
                                CrossingText(figures.f6) + ", F10 " + CrossingText(figures.f10) +
                                ", peak " + Signed(r.exact[figures.peakHz], 2) + " dB at " +
                                std::to_string(figures.peakHz) + " Hz";
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
        Sealed textbook;
        const std::string target = "Textbook sealed box for a Qtc of " + Fixed(qtc, 3) + ": ";
        if (ClosedBoxForQtc(s.qts, s.vas, s.fs, qtc, textbook))
            out += target + Fixed(textbook.volume, 1) + " l, fc " + Fixed(textbook.fb, 1) + " Hz\n";
        else
            out += target + "none, the driver's Qts of " + Fixed(s.qts, 2) +
                   " is not below it\n";
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
    // The Diameter field reads any text; here it must be a number.
    if (!IsTypedNumber(diameterText) || diameterText.size() > static_cast<std::size_t>(TYPED_NUMBER_CHARS))
        BadCommandLine("--diameter: '" + diameterText + "' is not a number of at most 9 characters");
    const double diameter = ReadNumber(diameterText.c_str());
    const double sd = sdText.empty() ? 0 : OptionNumber("--sd", sdText);
    const double xmax = xmaxText.empty() ? 0 : OptionNumber("--xmax", xmaxText);
    const Speaker s = LoadSpeakerFile(file);
    const double length = PortLength(s.ported, diameter, ports);
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
        const double area = SmallestVentArea(s.ported.fb, sd, xmax);  // all ports together
        const double smallest = PortDiameterForArea(area, ports);
        out += "Smallest port diameter: " + Fixed(smallest, 1) + " cm for " +
               std::to_string(ports) + (ports == 1 ? " port" : " ports") + " (vent area " +
               Fixed(area, 1) + " cm2 = 0.8 x Fb x Sd x Xmax)\n";
        if (diameter < smallest)
            out += "Warning: " + Fixed(diameter, 1) + " cm is smaller: the port" +
                   (ports == 1 ? "" : "s") + " may be heard at full excursion\n";
    }
    return out;
}
