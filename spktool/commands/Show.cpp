#include "commands/Show.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "CommandLine.h"
#include "Designs.h"
#include "Json.h"
#include "Output.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "Wording.h"
#include "acoustics/Figures.h"
#include "commands/Response.h"
#include "record/SpeakerFile.h"

namespace {

std::string PlainIf(bool present, double value)
{
    return present && std::isfinite(value) ? Plain(value) : "";
}

struct Shown {
    std::string file;
    Speaker s;
    DriverSheet sheet;
    std::vector<std::string> warnings;
    bool hasTrue;
    double trueQ, trueFc;
    bool sealedOk, portedOk;
    Crossing sealedF3, portedF3;
    Crossing boxF3;  // of the box the sealed volume makes, when hasTrue
};

Shown Describe(const std::string& file)
{
    Shown d{file, LoadSpeakerFile(file), LoadSheet(file), {}, false, 0, 0, false, false, {}, {}, {}};
    d.warnings = WarningTexts(DriverWarnings(d.s.qts, d.s.vas, d.s.fs, d.sheet));
    d.hasTrue = ClosedBox(d.s.qts, d.s.vas, d.s.fs, d.s.sealed.volume, d.trueQ, d.trueFc) &&
                BoxF3Of(d.s, d.boxF3);
    d.sealedOk = Unusable(d.s, false).empty();
    d.portedOk = Unusable(d.s, true).empty();
    if (d.sealedOk)
        d.sealedF3 = F3Of(d.s, false);
    if (d.portedOk)
        d.portedF3 = F3Of(d.s, true);
    return d;
}
std::string F3Number(bool ok, const Crossing& c)
{
    return ok && c.where == Crossing::AT ? Fixed(c.hz, 1) : "";
}

// The stored Fb and Q draw the program's curve; the volume makes a box of its own Q,
// which `limits` computes with. Both F3 side by side, each named.
std::string SealedF3Text(const Shown& d)
{
    const std::string drawn =
        d.sealedOk ? CrossingText(d.sealedF3) + " as drawn (Q " + Fixed(d.s.sealed.q, 3) + ")"
                   : "none: " + Unusable(d.s, false);
    if (!d.hasTrue)
        return drawn;
    return drawn + (d.sealedOk ? ", " : "; ") + CrossingText(d.boxF3) +
           " for the box of its volume";
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
    for (int i = 0; i < SHEET_SYSTEM_LINES; ++i)
        if (!d.sheet.system[i].empty())
            line(SHEET_SYSTEM_NAMES[i], FromWindows1252(d.sheet.system[i]));
    line("sealed box", d.hasTrue ? "Q " + Fixed(d.trueQ, 3) + " and resonance " +
                                       Fixed(d.trueFc, 1) + " Hz from its volume"
                                 : "no Q from a volume of " + Fixed(s.sealed.volume, 1) + " l");
    line("sealed F3", SealedF3Text(d));
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
    return header + ",sealed.box_f3\n";
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
    row += "," + CsvCell(F3Number(d.hasTrue, d.boxF3));
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
                             : JsonNumber(FieldNumber(d.s, field));
    });
    object["sealed"]["true_q"] = JsonNumber(PlainIf(d.hasTrue, d.trueQ));
    object["sealed"]["true_fc"] = JsonNumber(PlainIf(d.hasTrue, d.trueFc));
    object["sealed"]["f3"] = JsonNumber(F3Number(d.sealedOk, d.sealedF3));
    object["sealed"]["box_f3"] = JsonNumber(F3Number(d.hasTrue, d.boxF3));
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
        for (int i = 0; i < SHEET_SYSTEM_LINES; ++i)
            if (!d.sheet.system[i].empty())
                sheet["system"][SHEET_SYSTEM_NAMES[i]] = FromWindows1252(d.sheet.system[i]);
    }
    if (!d.warnings.empty())
        object["warnings"] = d.warnings;
    return object;
}

}  // namespace

void DeclareShow(CLI::App& command, ShowOptions& o)
{
    command.add_option("FILE", o.files, "speaker files (.spk)")->required();
    DeclareCsvForm(command, command.add_flag("--csv", o.csv, "one row per file, for a spreadsheet"),
                   o.form);
    command.add_flag("--json", o.json, "JSON")->excludes("--csv");
}

int RunShow(const ShowOptions& o)
{
    std::vector<Shown> shown;
    for (const std::string& file : o.files)
        shown.push_back(Describe(file));
    std::string out;
    if (o.csv) {
        out = ShowCsvHeader();
        for (const Shown& d : shown)
            out += ShowCsvRow(d);
        out = InCsvForm(out, o.form);
    } else if (o.json) {
        nlohmann::ordered_json array = nlohmann::ordered_json::array();
        for (const Shown& d : shown)
            array.push_back(ShowJson(d));
        out = JsonText(array);
    } else {
        for (std::size_t i = 0; i < shown.size(); ++i)
            out += (i ? "\n" : "") + ShowText(shown[i]);
    }
    return Printed(out);
}

std::vector<ShownLine> ShowLines(const std::string& file)
{
    return ShowLines(Describe(file));
}
