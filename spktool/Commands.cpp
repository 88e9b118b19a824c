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
#include "Wording.h"
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
    // A level a hair under 0 dB is 0 at this precision, not "-0.00".
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        return "+" + text.substr(1);
    return text[0] == '-' ? text : "+" + text;
}

std::string FiguresText(const Response& r)
{
    const ResponseFigures& figures = r.figures;
    return "F3 " + CrossingText(figures.f3) + ", F6 " + CrossingText(figures.f6) + ", F10 " +
           CrossingText(figures.f10) + ", peak " + Signed(r.exact[figures.peakHz], 2) +
           " dB at " + std::to_string(figures.peakHz) + " Hz";
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
    DriverSheet sheet;
    std::vector<std::string> warnings;
    bool hasTrue;
    double trueQ, trueFc;
    bool sealedOk, portedOk;
    Crossing sealedF3, portedF3;
};

Shown Describe(const std::string& file)
{
    Shown d{file, LoadSpeakerFile(file), LoadSheet(file), {}, false, 0, 0, false, false, {}, {}};
    d.warnings = WarningTexts(DriverWarnings(d.s.qts, d.s.vas, d.s.fs, d.sheet));
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

// The lines of `show`, a name and its value each.
std::vector<ShownLine> ShowLines(const Shown& d)
{
    const Speaker& s = d.s;
    std::vector<ShownLine> lines;
    auto line = [&](const char* name, const std::string& value) { lines.push_back({name, value}); };
    ForEachShownField([&](const SpeakerField& field) {
        if (field.isText)
            line(field.name, FromWindows1252(FieldText(s, field)));
        else
            line(field.name, Fixed(FieldNumber(s, field), field.decimals) +
                                 (*field.unit ? std::string(" ") + field.unit : ""));
    });
    if (!d.sheet.maker.empty())
        line("maker", FromWindows1252(d.sheet.maker));
    if (!d.sheet.model.empty())
        line("model name", FromWindows1252(d.sheet.model));
    for (int i = 0; i < SHEET_VALUES; ++i) {
        const SheetValueName& v = SHEET_VALUE_NAMES[i];
        if (IsKnown(d.sheet.value[i]))
            line(v.name, SheetNumber(d.sheet.value[i]) + (*v.unit ? std::string(" ") + v.unit : ""));
    }
    line("sealed box", d.hasTrue ? "Q " + Fixed(d.trueQ, 3) + " and resonance " +
                                       Fixed(d.trueFc, 1) + " Hz from its volume"
                                 : "no Q from a volume of " + Fixed(s.sealed.volume, 1) + " l");
    line("sealed F3", d.sealedOk ? CrossingText(d.sealedF3) : "none: " + Unusable(s, false));
    line("ported F3", d.portedOk ? CrossingText(d.portedF3) : "none: " + Unusable(s, true));
    for (const std::string& warning : d.warnings)
        line("warning", warning);
    return lines;
}

std::string ShowText(const Shown& d)
{
    std::string out = d.file + "\n";
    for (const ShownLine& line : ShowLines(d))
        out += "  " + Pad(line.name, 15) + line.value + "\n";
    return out;
}

std::string ShowCsvHeader()
{
    std::string header = "file";
    ForEachShownField([&](const SpeakerField& field) { header += std::string(",") + field.name; });
    header += ",sealed.true_q,sealed.true_fc,sealed.f3,ported.f3,maker,model_name";
    for (const SheetValueName& v : SHEET_VALUE_NAMES)
        header += std::string(",") + v.name;
    return header + "\n";
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
          F3Number(d.sealedOk, d.sealedF3), F3Number(d.portedOk, d.portedF3),
          FromWindows1252(d.sheet.maker), FromWindows1252(d.sheet.model)})
        cells.push_back(cell);
    for (double value : d.sheet.value)
        cells.push_back(IsKnown(value) ? SheetNumber(value) : "");
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
    if (!IsEmpty(d.sheet)) {
        nlohmann::ordered_json& sheet = object["sheet"];
        if (!d.sheet.maker.empty())
            sheet["maker"] = FromWindows1252(d.sheet.maker);
        if (!d.sheet.model.empty())
            sheet["model"] = FromWindows1252(d.sheet.model);
        for (int i = 0; i < SHEET_VALUES; ++i)
            if (IsKnown(d.sheet.value[i]))
                sheet[SHEET_VALUE_NAMES[i].name] = d.sheet.value[i];
    }
    if (!d.warnings.empty())
        object["warnings"] = d.warnings;
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
        // A file name need not be UTF-8; JSON must be.
        out = array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
    } else {
        for (std::size_t i = 0; i < shown.size(); ++i)
            out += (i ? "\n" : "") + ShowText(shown[i]);
    }
    return out;
}

std::vector<ShownLine> ShowLines(const std::string& file)
{
    return ShowLines(Describe(file));
}

std::string DesignFigures(const Speaker& s, bool ported)
{
    if (const std::string why = Unusable(s, ported); !why.empty())
        return "none: " + why;
    return FiguresText(Compute(s, ported));
}

std::string NewCommand(const std::string& file, const std::vector<std::string>& assignments,
                       bool force)
{
    Speaker record{};
    DriverSheet sheet = EmptySheet();
    ApplyAssignments(record, sheet, assignments);
    RefuseToReplace(SheetPath(file), force);
    SaveSpeakerFile(file, record, force);
    SaveSheet(file, sheet, force);
    return "";
}

std::string SetCommand(const std::string& file, const std::vector<std::string>& assignments,
                       bool force)
{
    // The sheet is read and written under the speaker file's lock, so that two runs at
    // once keep both their changes to it too.
    UpdateSpeakerFile(file, force, [&](Speaker& record) {
        DriverSheet sheet = LoadSheet(file);
        ApplyAssignments(record, sheet, assignments);
        SaveSheet(file, sheet, true);
    });
    return "";
}

// Both designs the Optimize button proposes, for a driver whose source gave none; what
// the rules were not made for is a warning.
void OptimizeImported(ImportedDriver& driver, std::vector<std::string>& warnings)
{
    Speaker& r = driver.record;
    if (!(r.qts > 0))
        return;
    for (const bool ported : {false, true}) {
        if ((ported ? r.ported.volume : r.sealed.volume) != 0)
            continue;
        r = Optimized(r, ported);
        for (const std::string& warning : WarningTexts(ProposalWarnings(r, ported)))
            warnings.push_back(driver.where + ": " + (ported ? "ported: " : "sealed: ") + warning);
    }
}

ImportOutcome ImportCommand(const std::vector<std::string>& sources, const std::string& directory,
                            const ImportOptions& options)
{
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
    if (options.optimize)
        for (ImportedDriver& driver : result.drivers)
            OptimizeImported(driver, result.warnings);
    // --strict: what would be a warning stops the import as an error does.
    std::vector<std::string>& noted = options.strict ? result.errors : Warnings();
    noted.insert(noted.end(), result.warnings.begin(), result.warnings.end());
    if (!IsDirectory(directory)) {
        std::string error;
        if (!MakeDirectory(directory, error))
            BadData(directory + ": cannot be made: " + error);
    }
    const std::vector<PlannedFile> planned =
        PlanImport(result, directory, options.force, options.skipBad, PathExists);
    RemoveLeftovers(directory, ".spk");
    RemoveLeftovers(directory, ".txt");

    // Every file and its sheet are complete on disk before the first one takes its name;
    // one that cannot be is a problem like a bad row.
    ImportOutcome outcome{"", result.errors};
    struct Staged {
        std::size_t driver;
        StagedFile file;
    };
    std::vector<Staged> staged;
    std::vector<bool> failed(planned.size());
    for (std::size_t i = 0; i < planned.size(); ++i) {
        std::vector<std::pair<std::string, std::string>> files = {
            {planned[i].path, SpeakerBytes(planned[i].record)}};
        if (!IsEmpty(planned[i].sheet))
            files.emplace_back(SheetPath(planned[i].path), EncodeSheet(planned[i].sheet));
        for (const auto& [path, bytes] : files) {
            Staged file{i, {}};
            std::string error;
            if (StageFile(path, bytes, options.force, options.force, file.file, error)) {
                staged.push_back(file);
            } else {
                outcome.errors.push_back(path + ": cannot be written: " + error);
                failed[i] = true;
            }
        }
    }
    if (!options.skipBad && !outcome.errors.empty())
        std::fill(failed.begin(), failed.end(), true);
    std::string notWritten;
    for (Staged& file : staged) {
        std::string error;
        if (failed[file.driver]) {
            DiscardFile(file.file);
        } else if (!CommitFile(file.file, options.force, error)) {
            outcome.errors.push_back(file.file.path + ": cannot be written: " + error);
            notWritten += (notWritten.empty() ? "" : ", ") + file.file.path;
            failed[file.driver] = true;
        }
    }
    int written = 0;
    for (std::size_t i = 0; i < planned.size(); ++i)
        if (!failed[i]) {
            outcome.output += planned[i].path + " from " + planned[i].where + "\n";
            ++written;
        }
    outcome.output += std::to_string(written) + (written == 1 ? " file" : " files") + " written";
    if (!outcome.errors.empty())
        outcome.output += ", " + std::to_string(outcome.errors.size()) +
                          (outcome.errors.size() == 1 ? " problem" : " problems") +
                          (options.skipBad ? " skipped"
                           : written == 0  ? ": nothing written"
                                           : ": not written " + notWritten);
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
    const std::string summary = FiguresText(r);
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

namespace {

std::string Proposal(const std::string& file, const Speaker& s, bool ported, double qtc)
{
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
    return out;
}

}  // namespace

std::string OptimizeCommand(const std::vector<std::string>& files, bool ported, bool write,
                            const std::string& qtcText, bool force)
{
    const double qtc = qtcText.empty() ? 0.707 : OptionNumber("--qtc", qtcText);
    // Every file is read and proposed for before the first is written: a bad one in a
    // batch leaves all as they were.
    std::string out;
    for (const std::string& file : files) {
        const Speaker s = LoadSpeakerFile(file);
        out += Proposal(file, s, ported, qtc);
        for (const std::string& warning :
             WarningTexts(ProposalWarnings(Optimized(s, ported), ported)))
            Warn(file + ": " + warning);
    }
    // The proposal stored is made from the file as it is under the lock.
    if (write)
        for (const std::string& file : files) {
            UpdateSpeakerFile(file, force, [&](Speaker& stored) { stored = Optimized(stored, ported); });
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
    const Speaker s = LoadSpeakerFile(file);
    // The driver sheet gives Sd and Xmax unless the command line does.
    const DriverSheet sheet = LoadSheet(file);
    const double sd = !sdText.empty() ? OptionNumber("--sd", sdText)
                      : IsKnown(sheet.value[SHEET_SD]) ? sheet.value[SHEET_SD] : 0;
    const double xmax = !xmaxText.empty() ? OptionNumber("--xmax", xmaxText)
                        : IsKnown(sheet.value[SHEET_XMAX]) ? sheet.value[SHEET_XMAX] : 0;
    const double length = PortLength(s.ported, diameter, ports);
    if (!std::isfinite(length))
        BadData(file + ": the Port dialog shows --- : ported.volume is " +
                Brief(s.ported.volume) + " and ported.fb " + Brief(s.ported.fb) +
                ", and both must be other than 0");
    std::string out = file + ": ported box, " + Fixed(s.ported.volume, 1) + " l tuned to " +
                      Fixed(s.ported.fb, 1) + " Hz\nPort diameter: " + Fixed(diameter, 1) +
                      " cm\nPort length: " + Fixed(length, 1) + " cm\nUse " +
                      std::to_string(ports) + (ports == 1 ? " port\n" : " ports\n");
    if (length < 0)
        out += "NOTE: If the length < 0 then you should increase the diameter\n";
    if ((sd > 0) != (xmax > 0))
        out += "Smallest port diameter: needs " + std::string(sd > 0 ? "xmax" : "sd") +
               " as well (spktool set " + file + (sd > 0 ? " xmax=MM" : " sd=CM2") + ")\n";
    if (sd > 0 && xmax > 0) {
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
