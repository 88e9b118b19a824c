// WinISD's driver files (.wdr): INI sections, one "[Driver]" per driver, "Key=Value"
// lines in SI units; WinISD writes 0 for what it was not given.
#include <algorithm>
#include <map>
#include <set>

#include "Parsers.h"
#include "Text.h"
#include "record/KeyValueLines.h"

namespace {

struct Key {
    const char* name;   // lower case
    const char* field;  // "" for a sheet value
    int sheet;
    double factor;
};
const Key KEYS[] = {
    {"fs", "fs", -1, 1}, {"qts", "qts", -1, 1}, {"vas", "vas", -1, LITRES_PER_CUBIC_METRE},
    {"qes", "", SHEET_QES, 1}, {"qms", "", SHEET_QMS, 1}, {"re", "", SHEET_RE, 1},
    {"bl", "", SHEET_BL, 1}, {"rms", "", SHEET_RMS, 1}, {"pe", "", SHEET_PE, 1},
    {"spl", "", SHEET_SENSITIVITY, 1}, {"znom", "", SHEET_IMPEDANCE, 1},
    {"sd", "", SHEET_SD, 1e4}, {"xmax", "", SHEET_XMAX, 1000}, {"le", "", SHEET_LE, 1000},
    {"mms", "", SHEET_MMS, 1000}, {"cms", "", SHEET_CMS, 1000}, {"vd", "", SHEET_VD, 1e6},
    {"depth", "", SHEET_DEPTH, 100}, {"outer", "", SHEET_DIAMETER, 100},
    {"basket", "", SHEET_CUTOUT, 100}, {"dvol", "", SHEET_DISPLACEMENT, 1000}};

// What WinISD writes for its own use: nothing spktool keeps, so not worth a warning.
const std::vector<std::string> OWN = Words(
    "providedby comment dateadded datemodified fle kle dia no dd ebp numvc hc hg splmax "
    "splmaxlf uspl alfavc rt ct gamma rme mpow mcost gloss vccon c roo thick magdepth "
    "magnet vcd parstate");

// More sections than any driver file holds: a damaged or hostile file, refused before
// it costs more memory and time.
constexpr int MOST_SECTIONS = 100000;

struct Section {
    int line;
    Values values;
    std::string brand, manufacturer;
    bool ok = true;
    std::map<std::string, int> keys;  // lower case -> the line that gave it
};

// The sections read so far, and the unused names already warned of (lower case).
struct WinIsdFile {
    std::vector<Section> sections;
    std::set<std::string> warned;
    bool inDriver = false;
    int sectionCount = 0;
};

const Key* FindKey(const std::string& lower)
{
    for (const Key& key : KEYS)
        if (lower == key.name)
            return &key;
    return nullptr;
}

// One "Key=Value" line of a [Driver] section; a value that is not a number spoils the
// section with an error.
void ReadValue(const std::string& here, const KeyValueLine& line, WinIsdFile& file,
               ImportResult& result)
{
    Section& section = file.sections.back();
    const std::string key(line.name), value(line.value), lower = Lower(key);
    // WinISD writes each key once; a second is a hand edit, and the later one counts.
    if (const auto [at, first] = section.keys.try_emplace(lower, line.number); !first) {
        result.warnings.push_back(here + ": " + key + " given again (first on line " +
                                  std::to_string(at->second) + "): this one is used");
        at->second = line.number;
    }
    if (lower == "model" || lower == "brand" || lower == "manufacturer") {
        (lower == "model" ? section.values.model
         : lower == "brand" ? section.brand
                            : section.manufacturer) = value;
        return;
    }
    const Key* known = FindKey(lower);
    if (!known) {
        if (std::find(OWN.begin(), OWN.end(), lower) == OWN.end() && file.warned.insert(lower).second)
            result.warnings.push_back(here + ": key " + Quoted(key) + " is not used");
        return;
    }
    double read;
    if (value.empty())
        return;
    if (!ReadDecimalComma(value, read)) {
        result.errors.push_back(here + ": " + key + ": " + Quoted(value) + " is not a number");
        section.ok = false;
    } else if (*known->field) {
        if (read != 0)
            section.values.numbers[known->field] = read * known->factor;
    } else {
        SetSheetValue(section.values, known->sheet, read * known->factor);
    }
}

// False when the file has too many sections to go on.
bool ReadLine(const std::string& source, const KeyValueLine& line, WinIsdFile& file,
              ImportResult& result)
{
    const std::string here = source + ":" + std::to_string(line.number);
    if (line.kind == KeyValueLine::SECTION && ++file.sectionCount > MOST_SECTIONS) {
        result.errors.push_back(here + ": more than " + std::to_string(MOST_SECTIONS) +
                                " sections: not a driver file");
        return false;
    }
    if (line.kind == KeyValueLine::SECTION) {
        const std::string name(line.text);
        file.inDriver = Lower(name) == "[driver]";
        if (file.inDriver)
            file.sections.push_back({line.number, {}, "", "", true, {}});
        else if (file.warned.insert(Lower(name)).second)
            result.warnings.push_back(here + ": section " + Quoted(name) + " is not used");
    } else if (!file.inDriver || !file.sections.back().ok) {
        return true;
    } else if (line.kind == KeyValueLine::NO_EQUALS) {
        result.errors.push_back(here + ": " + Quoted(line.text) + " is not a Key=Value line");
        file.sections.back().ok = false;
    } else {
        ReadValue(here, line, file, result);
    }
    return true;
}

}  // namespace

void ImportWinIsd(const std::string& source, std::string text, ImportResult& result)
{
    if (!IsUtf8(text))
        text = FromWindows1252(text);
    text = WithLineFeeds(std::move(text));  // the line reader takes LF and CR LF
    WinIsdFile file;
    KeyValueLines lines{text, true};
    KeyValueLine line;
    while (NextKeyValueLine(lines, line))
        if (!ReadLine(source, line, file, result))
            return;
    if (file.sections.empty())
        result.errors.push_back(source + ": no [Driver] section: not a WinISD driver file");
    for (Section& section : file.sections) {
        if (!section.ok)
            continue;
        section.values.maker = section.brand.empty() ? section.manufacturer : section.brand;
        AddDriver(source + ":" + std::to_string(section.line),
                  file.sections.size() == 1 ? Stem(source)
                                            : Stem(source) + "-" + std::to_string(section.line),
                  section.values, result);
    }
}
