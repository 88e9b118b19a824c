#include "Importers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <tuple>

#include <nlohmann/json.hpp>
#include <rapidxml/rapidxml.hpp>

#include "Failure.h"
#include "Platform.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "Wording.h"
#include "acoustics/Alignment.h"
#include "record/SpeakerFile.h"

namespace {

// Litres per unit: a cubic foot is 0.3048^3 m^3 exactly.
constexpr double LITRES_PER_CUBIC_FOOT = 28.316846592;
constexpr double LITRES_PER_CUBIC_METRE = 1000;

// Deeper than any driver list; deeper still would only test the parser's stack.
constexpr int MAX_XML_DEPTH = 64;

// More drivers than any database holds; the limit keeps a hostile table's cost bounded.
constexpr int MAX_DRIVERS = 100000;
const std::string TOO_MANY = ": more than 100,000 drivers, the most one import takes";

// What one driver's source gave, before it becomes a record.
struct Values {
    std::string maker, model, info;         // UTF-8; the model without the maker
    std::map<std::string, double> numbers;  // field name -> value in the program's units
    DriverSheet sheet = EmptySheet();       // texts still UTF-8 here; values in its units
};

std::string Stem(const std::string& source)
{
    std::size_t slash = source.find_last_of("/\\");
    std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Sources write 0 where a datasheet gave nothing (WinISD's files, scraped tables), and
// no real driver has a value of 0, so 0 stays unknown.
void SetSheetValue(Values& values, int index, double value)
{
    if (value != 0)
        values.sheet.value[index] = value;
}

std::string Windows1252(const std::string& utf8, const char* what)
{
    std::string text, bad;
    if (!ToWindows1252(utf8, text, bad))
        BadData(std::string(what) + ": " + bad);
    return text;
}

// Makes the record, or adds one error line and returns false. The model field gets the
// maker and model cut to what it holds; the sheet and the file name keep them whole.
double TwelveDigits(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 12);
    double rounded = value;
    std::from_chars(text, end.ptr, rounded);
    return rounded;
}

bool AddDriver(const std::string& where, const std::string& fallbackName, const Values& values,
               ImportResult& result)
{
    const std::string name = values.maker.empty() || values.model.empty()
                                 ? values.maker + values.model
                                 : values.maker + " " + values.model;
    ImportedDriver driver{where, name.empty() ? fallbackName : name, {}, values.sheet};
    std::vector<std::string> warnings;
    try {
        // Windows-1252 has one byte a character, so any cut falls between characters.
        std::string model = Windows1252(name, "model");
        if (model.size() > TEXT_LIMIT) {
            model = Trim(model.substr(0, TEXT_LIMIT));
            warnings.push_back(where + ": model name shortened to " +
                               std::to_string(model.size()) + " characters: '" +
                               FromWindows1252(model) + "'");
        }
        StoreText(driver.record.model, FromWindows1252(model), "model");
        DriverSheet& sheet = driver.sheet;
        // The sheet keeps the maker and the model apart; without a maker a model that
        // fits is the speaker file's own, and a sheet of nothing else is not written.
        sheet.maker = Windows1252(values.maker, "maker");
        if (!values.maker.empty() || model.size() < Windows1252(name, "model").size())
            sheet.model = Windows1252(values.model, "model");
        // A value in other units (0.232 m) comes out of its conversion with the last
        // digits off (23.200000000000003 cm): 12 significant digits give the datasheet's.
        for (double& value : sheet.value)
            if (IsKnown(value) && std::isfinite(value))
                value = TwelveDigits(value);
        // A maker and a model alone are in the speaker file's name already: a sheet of
        // them alone would be a second file for every driver of a large import.
        const bool shortened = model.size() < Windows1252(name, "model").size();
        if (std::none_of(std::begin(sheet.value), std::end(sheet.value), IsKnown) && !shortened) {
            sheet.maker.clear();
            sheet.model.clear();
        }
        const double impedance = sheet.value[SHEET_IMPEDANCE];
        StoreText(driver.record.info,
                  values.info.empty() && IsKnown(impedance) ? Plain(impedance) + " ohm"
                                                            : values.info,
                  "info");
        for (const char* name : {"qts", "fs", "vas"}) {
            const auto found = values.numbers.find(name);
            if (found == values.numbers.end())
                BadData(std::string(name) + ": missing");
            if (!(found->second > 0))
                BadData(std::string(name) + ": " + Brief(found->second) + " is not greater than 0");
        }
        for (const auto& [name, value] : values.numbers)
            if (!(value >= 0) || !std::isfinite(value))
                BadData(name + ": " + Brief(value) + " is not a volume, frequency or Q");
        for (int i = 0; i < SHEET_VALUES; ++i)
            if (IsKnown(sheet.value[i]) && !(sheet.value[i] > 0 && std::isfinite(sheet.value[i])))
                BadData(std::string(SHEET_VALUE_NAMES[i].name) + ": " + Brief(sheet.value[i]) +
                        " is not greater than 0");
        // The names are the record's own: the readers map every column onto one.
        Speaker& r = driver.record;
        for (const auto& [name, value] : values.numbers)
            *FindSpeakerField(name)->number(r) = value;
        // As if the design were typed into the main window, Volume before Fb; a Q given
        // outright wins.
        if (!values.numbers.count("sealed.q")) {
            Sealed& box = r.sealed;
            if (values.numbers.count("sealed.volume"))
                box.q = SealedQFromVolume(r.qts, r.vas, box.volume, box.q);
            if (values.numbers.count("sealed.fb"))
                box.q = SealedQFromFb(r.qts, r.fs, box.fb, box.q);
        }
        for (const std::string& warning :
             WarningTexts(DriverWarnings(r.qts, r.vas, r.fs, sheet)))
            warnings.push_back(where + ": " + warning);
    } catch (const Failure& failure) {
        result.errors.push_back(where + ": " + failure.message);
        return false;
    }
    result.drivers.push_back(driver);
    result.warnings.insert(result.warnings.end(), warnings.begin(), warnings.end());
    return true;
}

// A number as tables and WinISD write it: with a decimal point, or a decimal comma when
// there is no point and only one comma.
bool ReadDecimalComma(std::string text, double& value)
{
    if (std::count(text.begin(), text.end(), ',') == 1 && text.find('.') == std::string::npos)
        text[text.find(',')] = '.';
    return ReadDecimal(text, value);
}

// ---- CSV ----------------------------------------------------------------------------

struct CsvRecord {
    int line;
    std::vector<std::string> cells;
};

// RFC 4180 records: quoted cells may hold the separator, doubled quotes and line breaks.
std::vector<CsvRecord> SplitCsv(const std::string& text, char separator, std::string& error)
{
    std::vector<CsvRecord> records;
    CsvRecord record{1, {""}};
    int line = 1;
    bool quoted = false, wasQuoted = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (quoted) {
            if (c == '"' && at + 1 < text.size() && text[at + 1] == '"') {
                record.cells.back() += '"';
                ++at;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n')
                    ++line;
                record.cells.back() += c;
            }
        } else if (c == '"' && record.cells.back().find_first_not_of(" \t") == std::string::npos &&
                   !wasQuoted) {
            record.cells.back().clear();
            quoted = wasQuoted = true;
        } else if (c == separator) {
            record.cells.emplace_back();
            wasQuoted = false;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
                ++at;
            // A blank line costs nothing, so that a file of them is not a burden.
            if (records.empty() || record.cells.size() > 1 || !record.cells[0].empty() || wasQuoted) {
                records.push_back(std::move(record));
                record = {line, {""}};
            }
            record.line = ++line;
            wasQuoted = false;
        } else if (wasQuoted && c != ' ' && c != '\t') {
            error = std::to_string(line) + ": text after a closing quote";
            return {};
        } else {
            record.cells.back() += c;
        }
    }
    if (quoted) {
        error = std::to_string(record.line) + ": a quote is never closed";
        return {};
    }
    records.push_back(record);
    return records;
}

// Where a CSV column goes: a record field ("vas"), the maker, or a sheet value (`sheet`
// not -1, `field` its name), with the factor from the unit its header names to the
// unit the program or the sheet keeps.
struct Column {
    std::string field;
    int sheet = -1;
    double factor = 1;
};

// Units as headers write them, blank-separated spellings and the factor to the unit kept;
// a header without a unit means the kept one.
using Units = std::vector<std::pair<const char*, double>>;

std::vector<std::string> Words(const char* list)
{
    std::vector<std::string> words;
    const std::string text = list;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        words.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

// Reads a header: case, blanks, '_', '-', '.' and brackets do not matter, and a unit may
// follow the name ("Vas (ft³)", "Sd (m2)"). A name or unit not known here is false.
bool ColumnField(const std::string& header, Column& column)
{
    std::string key;
    for (const char c : Lower(header))
        if (!std::strchr(" \t_-.()[]", c))
            key += c;
    const Units litres = {{"l litre litres liter liters dm3 dm^3 dm\xC2\xB3", 1},
                          {"ft3 ft^3 ft\xC2\xB3 cuft cubicfeet", LITRES_PER_CUBIC_FOOT},
                          {"m3 m^3 m\xC2\xB3", LITRES_PER_CUBIC_METRE}};
    const Units hertz = {{"hz", 1}}, ohm = {{"ohm ohms \xCE\xA9 \xE2\x84\xA6", 1}};
    const Units centimetres = {{"cm", 1}, {"mm", 0.1}, {"m", 100}};
    struct Kind {
        const char* names;  // blank-separated, as `key` spells them
        const char* field;  // "" for a sheet value
        int sheet;
        Units units;
    };
    static const std::vector<Kind> KINDS = {
        {"model", "model", -1, {}},
        {"info", "info", -1, {}},
        {"manufacturer brand make maker vendor", "maker", -1, {}},
        {"qts", "qts", -1, {}},
        {"fs", "fs", -1, hertz},
        {"vas", "vas", -1, litres},
        {"sealedvolume", "sealed.volume", -1, {{"l", 1}}},
        {"sealedfb", "sealed.fb", -1, hertz},
        {"sealedq", "sealed.q", -1, {}},
        {"portedvolume", "ported.volume", -1, {{"l", 1}}},
        {"portedfb", "ported.fb", -1, hertz},
        {"z znom impedance nominalimpedance", "", SHEET_IMPEDANCE, ohm},
        {"re", "", SHEET_RE, ohm},
        {"le", "", SHEET_LE, {{"mh", 1}, {"h", 1000}, {"uh \xC2\xB5h \xCE\xBCh", 0.001}}},
        {"qes", "", SHEET_QES, {}},
        {"qms", "", SHEET_QMS, {}},
        {"bl", "", SHEET_BL, {{"tm t\xC2\xB7m n/a", 1}}},
        {"sd", "", SHEET_SD,
         {{"cm2 cm^2 cm\xC2\xB2", 1}, {"m2 m^2 m\xC2\xB2", 1e4}, {"mm2 mm^2 mm\xC2\xB2", 0.01}}},
        {"xmax", "", SHEET_XMAX, {{"mm", 1}, {"cm", 10}, {"m", 1000}}},
        {"vd", "", SHEET_VD,
         {{"cm3 cm^3 cm\xC2\xB3 cc ml", 1}, {"l dm3 dm^3 dm\xC2\xB3", 1000},
          {"m3 m^3 m\xC2\xB3", 1e6}}},
        {"mms", "", SHEET_MMS, {{"g", 1}, {"kg", 1000}}},
        {"cms", "", SHEET_CMS,
         {{"mm/n", 1}, {"m/n", 1000}, {"um/n \xC2\xB5m/n \xCE\xBCm/n", 0.001}}},
        {"rms", "", SHEET_RMS, {{"kg/s ns/m", 1}}},
        {"pe", "", SHEET_PE, {{"w", 1}}},
        // The sheet keeps the sensitivity for 1 W; one for 2.83 V is another number.
        {"sensitivity spl", "", SHEET_SENSITIVITY, {{"db db1w/1m db/1w/1m db/w/m db/w", 1}}},
        {"displacement", "", SHEET_DISPLACEMENT,
         {{"l dm3 dm^3 dm\xC2\xB3", 1}, {"cm3 cm^3 cm\xC2\xB3 cc ml", 0.001}}},
        {"diameter outerdiameter", "", SHEET_DIAMETER, centimetres},
        {"cutout cutoutdiameter", "", SHEET_CUTOUT, centimetres},
        {"depth mountingdepth", "", SHEET_DEPTH, centimetres},
    };
    for (const Kind& kind : KINDS)
        for (const std::string& name : Words(kind.names)) {
            if (key.compare(0, name.size(), name) != 0)
                continue;
            const std::string unit = key.substr(name.size());
            column = {*kind.field ? kind.field : SHEET_VALUE_NAMES[kind.sheet].name, kind.sheet, 1};
            if (unit.empty())
                return true;
            for (const auto& [spellings, factor] : kind.units) {
                const std::vector<std::string> words = Words(spellings);
                column.factor = factor;
                if (std::find(words.begin(), words.end(), unit) != words.end())
                    return true;
            }
        }
    return false;
}

void ImportCsv(const std::string& source, std::string text, ImportResult& result)
{
    // Spreadsheets on Windows save CSV in the ANSI code page; anything that is not
    // UTF-8 is taken as Windows-1252, which every byte of it is.
    if (!IsUtf8(text))
        text = FromWindows1252(text);
    const std::string firstLine = text.substr(0, text.find_first_of("\r\n"));
    char separator = ',';
    for (const char candidate : {';', '\t'})
        if (std::count(firstLine.begin(), firstLine.end(), candidate) >
            std::count(firstLine.begin(), firstLine.end(), separator))
            separator = candidate;
    std::string error;
    const std::vector<CsvRecord> records = SplitCsv(text, separator, error);
    if (!error.empty()) {
        result.errors.push_back(source + ":" + error);
        return;
    }

    std::map<std::size_t, Column> columns;
    std::set<std::string> seen, unused;
    const std::vector<std::string>& header = records.front().cells;
    for (std::size_t i = 0; i < header.size(); ++i) {
        Column column;
        const std::string name = Trim(header[i]);
        if (!ColumnField(name, column)) {
            // A column read by a guess could put a wrong number in the sheet.
            if (!name.empty() && unused.insert(name).second)
                result.warnings.push_back(source + ":1: column '" + name + "' is not used");
            continue;
        }
        if (!seen.insert(column.field).second) {
            result.errors.push_back(source + ":1: two columns for " + column.field);
            return;
        }
        columns[i] = column;
    }
    for (const char* required : {"qts", "fs", "vas"})
        if (!seen.count(required)) {
            result.errors.push_back(source + ":1: no " + required + " column in the header" +
                                    (std::string(required) == "vas"
                                         ? " (Vas, Vas (l), Vas (ft3) or Vas (m3))"
                                         : ""));
            return;
        }

    int rows = 0;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        bool blank = true;
        for (const std::string& cell : record.cells)
            blank = blank && Trim(cell).empty();
        if (blank)
            continue;
        if (++rows > MAX_DRIVERS) {
            result.errors.push_back(source + TOO_MANY);
            return;
        }
        const std::string where = source + ":" + std::to_string(record.line);
        Values values;
        bool ok = true;
        for (const auto& [index, column] : columns) {
            const std::string cell = index < record.cells.size() ? Trim(record.cells[index]) : "";
            if (column.field == "model" || column.field == "info" || column.field == "maker") {
                (column.field == "model" ? values.model
                 : column.field == "info" ? values.info
                                          : values.maker) = cell;
                continue;
            }
            if (cell.empty())
                continue;
            // Spreadsheets that separate with ';' write a decimal comma ("0,35").
            double value;
            if (!(separator != ',' ? ReadDecimalComma(cell, value) : ReadDecimal(cell, value))) {
                result.errors.push_back(where + ": " + column.field + ": '" + cell +
                                        "' is not a number");
                ok = false;
                break;
            }
            if (column.sheet >= 0)
                SetSheetValue(values, column.sheet, value * column.factor);
            else
                values.numbers[column.field] = value * column.factor;
        }
        if (ok)
            AddDriver(where, Stem(source) + "-" + std::to_string(record.line), values, result);
    }
    if (rows == 0)
        result.errors.push_back(source + ": no drivers below the header row");
}

// ---- qspeakers' XML -----------------------------------------------------------------

// Line numbers of places met in document order, each counted on from the last one, so
// that numbering every element costs one pass over the text.
class LineCounter {
public:
    LineCounter(const std::string& text, const char* base) : text_(text), base_(base) {}
    int LineAt(const char* at)
    {
        const std::size_t offset = at && at >= base_ && at <= base_ + text_.size()
                                       ? static_cast<std::size_t>(at - base_)
                                       : 0;
        if (offset < counted_)
            counted_ = 0, line_ = 1;
        line_ += static_cast<int>(std::count(text_.begin() + counted_, text_.begin() + offset, '\n'));
        counted_ = offset;
        return line_;
    }

private:
    const std::string& text_;
    const char* base_;
    std::size_t counted_ = 0;
    int line_ = 1;
};

// The deepest nesting of elements, skipping comments, declarations, CDATA and quoted
// attribute values; the parser recurses once per level.
int XmlDepth(const std::string& text)
{
    int depth = 0, deepest = 0;
    for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at)) {
        auto skipTo = [&](const char* end) {
            const std::size_t found = text.find(end, at);
            at = found == std::string::npos ? text.size() : found + std::strlen(end);
        };
        if (text.compare(at, 4, "<!--") == 0) {
            skipTo("-->");
        } else if (text.compare(at, 9, "<![CDATA[") == 0) {
            skipTo("]]>");
        } else if (text.compare(at, 2, "<?") == 0) {
            skipTo("?>");
        } else if (text.compare(at, 9, "<!DOCTYPE") == 0 && at + 9 < text.size() &&
                   std::strchr(" \t\r\n", text[at + 9])) {
            // As RapidXML reads it: brackets nest, and '>' ends it only outside them,
            // whatever a '>' or "<!--" in the internal subset might look like.
            int brackets = 0;
            for (at += 9; at < text.size() && (brackets > 0 || text[at] != '>'); ++at)
                brackets += text[at] == '[' ? 1 : text[at] == ']' && brackets > 0 ? -1 : 0;
            ++at;
        } else if (text.compare(at, 2, "<!") == 0) {
            skipTo(">");
        } else if (text.compare(at, 2, "</") == 0) {
            --depth;
            skipTo(">");
        } else {
            char quote = 0;
            for (++at; at < text.size(); ++at) {
                if (quote) {
                    quote = text[at] == quote ? 0 : quote;
                } else if (text[at] == '"' || text[at] == '\'') {
                    quote = text[at];
                } else if (text[at] == '>') {
                    if (text[at - 1] != '/')
                        deepest = std::max(deepest, ++depth);
                    break;
                }
            }
        }
    }
    return deepest;
}

void ImportXml(const std::string& source, const std::string& text, ImportResult& result)
{
    if (XmlDepth(text) > MAX_XML_DEPTH) {
        result.errors.push_back(source + ": elements nested more than " +
                                std::to_string(MAX_XML_DEPTH) + " deep: not a driver database");
        return;
    }
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    rapidxml::xml_document<> document;
    try {
        document.parse<0>(buffer.data());
    } catch (const rapidxml::parse_error& error) {
        result.errors.push_back(source + ":" +
                                std::to_string(LineCounter(text, buffer.data())
                                                   .LineAt(error.where<char>())) +
                                ": not well-formed XML: " + error.what());
        return;
    }
    const rapidxml::xml_node<>* root = document.first_node();
    if (!root || std::strcmp(root->name(), "speakers") != 0) {
        result.errors.push_back(source + ": not a qspeakers database: its root element is <" +
                                (root ? root->name() : "") + ">, not <speakers>");
        return;
    }
    if (!root->first_node("speaker"))
        result.errors.push_back(source + ": no <speaker> elements in <speakers>");
    LineCounter lines(text, buffer.data());
    int count = 0;
    for (const rapidxml::xml_node<>* node = root->first_node("speaker"); node;
         node = node->next_sibling("speaker")) {
        if (++count > MAX_DRIVERS) {
            result.errors.push_back(source + TOO_MANY);
            return;
        }
        const std::string where = source + ":" + std::to_string(lines.LineAt(node->name()));
        auto attribute = [&](const char* name) {
            const rapidxml::xml_attribute<>* found = node->first_attribute(name);
            return found ? Trim(found->value()) : std::string();
        };
        Values values;
        values.maker = attribute("vendor");
        values.model = attribute("model");
        bool ok = true;
        // The database keeps Vas in litres, as the program does.
        for (const char* name : {"qts", "fs", "vas"}) {
            const std::string value = attribute(name);
            double number;
            if (value.empty())
                continue;  // reported as missing with the rest
            if (!ReadDecimal(value, number)) {
                result.errors.push_back(where + ": " + name + ": '" + value + "' is not a number");
                ok = false;
                break;
            }
            values.numbers[name] = number;
        }
        // Only the values whose unit the database is sure of: Sd in m², Xmax in mm.
        for (const auto& [name, index, factor] :
             {std::tuple<const char*, int, double>{"re", SHEET_RE, 1}, {"qes", SHEET_QES, 1},
              {"qms", SHEET_QMS, 1}, {"bl", SHEET_BL, 1}, {"pe", SHEET_PE, 1},
              {"sd", SHEET_SD, 1e4}, {"xmax", SHEET_XMAX, 1}}) {
            const std::string value = attribute(name);
            double number;
            if (value.empty())
                continue;
            if (ReadDecimal(value, number))
                SetSheetValue(values, index, number * factor);
            else
                result.warnings.push_back(where + ": " + name + ": '" + value +
                                          "' is not a number: left unknown");
        }
        if (ok)
            AddDriver(where, Stem(source) + "-" + std::to_string(result.drivers.size() + 1),
                      values, result);
    }
}

// ---- Boxed's JSON -------------------------------------------------------------------

// Collects the top-level members of one object; numbers keep their text, so they are
// read by the same correctly rounded conversion on every build.
class DriverObject : public nlohmann::json_sax<nlohmann::json> {
public:
    std::map<std::string, std::string> numbers, texts;
    std::string error, tooLarge;
    bool topIsObject = false, topIsArray = false;

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t value) override { return Number(std::to_string(value)); }
    bool number_unsigned(number_unsigned_t value) override { return Number(std::to_string(value)); }
    bool number_float(number_float_t, const string_t& text) override { return Number(text); }
    bool string(string_t& value) override
    {
        if (depth_ == 1)
            texts[key_] = value;
        return true;
    }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override
    {
        if (depth_++ == 0)
            topIsObject = true;
        return true;
    }
    bool key(string_t& value) override
    {
        if (depth_ == 1)
            key_ = Lower(value);
        return true;
    }
    bool end_object() override { return --depth_, true; }
    bool start_array(std::size_t) override
    {
        if (depth_++ == 0)
            topIsArray = true;
        return true;
    }
    bool end_array() override { return --depth_, true; }
    bool parse_error(std::size_t position, const std::string& token,
                     const nlohmann::detail::exception& exception) override
    {
        position_ = position;
        error = exception.what();
        // 406: a number too large for a double, which is valid JSON all the same.
        if (exception.id == 406)
            tooLarge = (depth_ == 1 && !key_.empty() ? key_ + ": '" : "'") +
                       token.substr(0, 20) + (token.size() > 20 ? "...'" : "'");
        return false;
    }
    std::size_t Position() const { return position_; }

private:
    bool Number(const std::string& text)
    {
        if (depth_ == 1)
            numbers[key_] = text;
        return true;
    }
    int depth_ = 0;
    std::string key_;
    std::size_t position_ = 0;
};

void ImportJson(const std::string& source, const std::string& text, ImportResult& result)
{
    DriverObject driver;
    if (!nlohmann::json::sax_parse(text, &driver)) {
        const std::size_t at = std::min(driver.Position(), text.size());
        const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
        result.errors.push_back(source + ":" + std::to_string(line) +
                                (driver.tooLarge.empty() ? ": not valid JSON"
                                                         : ": " + driver.tooLarge +
                                                               " is out of range"));
        return;
    }
    if (!driver.topIsObject) {
        result.errors.push_back(source + (driver.topIsArray
                                              ? ": not a Boxed driver file: its top level is "
                                                "an array, not one driver's object"
                                              : ": not a Boxed driver file: no object"));
        return;
    }
    Values values;
    values.maker = Trim(driver.texts["vendor"]);
    values.model = Trim(driver.texts["model"]);
    // Boxed keeps SI units: Vas in cubic metres, lengths in metres, Le in henries.
    for (const auto& [name, index, factor] :
         {std::tuple<const char*, int, double>{"qts", -1, 1}, {"fs", -1, 1},
          {"vas", -1, LITRES_PER_CUBIC_METRE}, {"re", SHEET_RE, 1}, {"qes", SHEET_QES, 1},
          {"qms", SHEET_QMS, 1}, {"bl", SHEET_BL, 1}, {"pe", SHEET_PE, 1}, {"sd", SHEET_SD, 1e4},
          {"xmax", SHEET_XMAX, 1000}, {"le", SHEET_LE, 1000}, {"mms", SHEET_MMS, 1000},
          {"cms", SHEET_CMS, 1000}}) {
        const auto found = driver.numbers.find(name);
        if (found == driver.numbers.end())
            continue;
        double number;
        if (!ReadDecimal(found->second, number)) {
            result.errors.push_back(source + ": " + name + ": '" + found->second +
                                    "' is out of range");
            return;
        }
        if (index >= 0)
            SetSheetValue(values, index, number * factor);
        else
            values.numbers[name] = number * factor;
    }
    AddDriver(source, Stem(source), values, result);
}

// ---- WinISD's driver files ----------------------------------------------------------

std::string FirstLine(const std::string& text)
{
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!(line = Trim(line)).empty())
            return line;
        at = end + 1;
    }
    return "";
}

// INI sections, one "[Driver]" per driver, "Key=Value" lines in SI units; WinISD writes
// 0 for what it was not given.
void ImportWinIsd(const std::string& source, std::string text, ImportResult& result)
{
    if (!IsUtf8(text))
        text = FromWindows1252(text);
    struct Key {
        const char* name;   // lower case
        const char* field;  // "" for a sheet value
        int sheet;
        double factor;
    };
    static const Key KEYS[] = {
        {"fs", "fs", -1, 1}, {"qts", "qts", -1, 1}, {"vas", "vas", -1, LITRES_PER_CUBIC_METRE},
        {"qes", "", SHEET_QES, 1}, {"qms", "", SHEET_QMS, 1}, {"re", "", SHEET_RE, 1},
        {"bl", "", SHEET_BL, 1}, {"rms", "", SHEET_RMS, 1}, {"pe", "", SHEET_PE, 1},
        {"spl", "", SHEET_SENSITIVITY, 1}, {"znom", "", SHEET_IMPEDANCE, 1},
        {"sd", "", SHEET_SD, 1e4}, {"xmax", "", SHEET_XMAX, 1000}, {"le", "", SHEET_LE, 1000},
        {"mms", "", SHEET_MMS, 1000}, {"cms", "", SHEET_CMS, 1000}, {"vd", "", SHEET_VD, 1e6},
        {"depth", "", SHEET_DEPTH, 100}, {"outer", "", SHEET_DIAMETER, 100},
        {"basket", "", SHEET_CUTOUT, 100}, {"dvol", "", SHEET_DISPLACEMENT, 1000}};
    // What WinISD writes for its own use: nothing spktool keeps, so not worth a warning.
    static const std::vector<std::string> OWN = Words(
        "providedby comment dateadded datemodified fle kle dia no dd ebp numvc hc hg splmax "
        "splmaxlf uspl alfavc rt ct gamma rme mpow mcost gloss vccon c roo thick magdepth "
        "magnet vcd parstate");

    struct Section {
        int line;
        Values values;
        std::string brand, manufacturer;
        bool ok = true;
    };
    std::vector<Section> sections;
    std::set<std::string> warned;
    bool inDriver = false;
    int number = 0;
    for (std::size_t at = 0; at < text.size(); ++number) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line = Trim(line);
        const std::string here = source + ":" + std::to_string(number + 1);
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            inDriver = Lower(line) == "[driver]";
            if (inDriver)
                sections.push_back({number + 1, {}, "", "", true});
            else if (warned.insert(Lower(line)).second)
                result.warnings.push_back(here + ": section '" + line + "' is not used");
            continue;
        }
        if (!inDriver || !sections.back().ok)
            continue;
        Section& section = sections.back();
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            result.errors.push_back(here + ": '" + line + "' is not a Key=Value line");
            section.ok = false;
            continue;
        }
        const std::string key = Trim(line.substr(0, equals)), value = Trim(line.substr(equals + 1));
        const std::string lower = Lower(key);
        if (lower == "model" || lower == "brand" || lower == "manufacturer") {
            (lower == "model" ? section.values.model
             : lower == "brand" ? section.brand
                                : section.manufacturer) = value;
            continue;
        }
        const Key* known = nullptr;
        for (const Key& candidate : KEYS)
            known = lower == candidate.name ? &candidate : known;
        if (!known) {
            if (std::find(OWN.begin(), OWN.end(), lower) == OWN.end() &&
                warned.insert(lower).second)
                result.warnings.push_back(here + ": key '" + key + "' is not used");
            continue;
        }
        double read;
        if (value.empty())
            continue;
        if (!ReadDecimalComma(value, read)) {
            result.errors.push_back(here + ": " + key + ": '" + value + "' is not a number");
            section.ok = false;
        } else if (*known->field) {
            if (read != 0)
                section.values.numbers[known->field] = read * known->factor;
        } else {
            SetSheetValue(section.values, known->sheet, read * known->factor);
        }
    }
    for (Section& section : sections) {
        if (!section.ok)
            continue;
        section.values.maker = section.brand.empty() ? section.manufacturer : section.brand;
        const std::string where = source + ":" + std::to_string(section.line);
        AddDriver(where,
                  sections.size() == 1 ? Stem(source)
                                       : Stem(source) + "-" + std::to_string(section.line),
                  section.values, result);
    }
}

}  // namespace

void ImportText(const std::string& source, const std::string& bytes, ImportResult& result)
{
    // UTF-16 has a NUL in every ASCII character; with or without a byte order mark
    // no table of drivers is made without ASCII.
    const auto ascii16 = [&](std::size_t nul) {
        return bytes.size() >= 4 && bytes[nul] == '\0' && bytes[nul + 2] == '\0' &&
               bytes[1 - nul] != '\0' && bytes[3 - nul] != '\0';
    };
    const bool little = bytes.compare(0, 2, "\xFF\xFE") == 0 || ascii16(1);
    if (little || bytes.compare(0, 2, "\xFE\xFF") == 0 || ascii16(0)) {
        result.errors.push_back(source + ": UTF-16 (" + (little ? "little" : "big") +
                                "-endian) text; save it as UTF-8 or CSV");
        return;
    }
    std::string text = bytes;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    const char lead = first == std::string::npos ? 0 : text[first];
    if (lead == 0)
        result.errors.push_back(source + ": empty");
    else if (Lower(FirstLine(text)) == "[driver]")
        ImportWinIsd(source, text, result);
    else if (lead == '<')
        ImportXml(source, text, result);
    else if (lead == '{' || lead == '[')
        ImportJson(source, text, result);
    else
        ImportCsv(source, text, result);
}

std::vector<PlannedFile> PlanImport(ImportResult& result, const std::string& directory,
                                    bool replace, bool skipBad,
                                    const std::function<bool(const std::string&)>& exists)
{
    std::vector<PlannedFile> planned;
    std::set<std::string> taken;  // lower case: Windows does not tell "A" from "a"
    // The next number to try for each name, so that a thousand drivers of one name do
    // not each count up through all the others.
    std::map<std::string, int> next;
    for (const ImportedDriver& driver : result.drivers) {
        const std::string base = SafeFileName(driver.name);
        std::string name = base + ".spk";
        int& n = next.try_emplace(Lower(base), 2).first->second;
        for (; taken.count(Lower(name)); ++n)
            name = base + " (" + std::to_string(n) + ").spk";
        taken.insert(Lower(name));
        const std::string path = JoinPath(directory, name);
        if (!replace && exists(path)) {
            result.errors.push_back(driver.where + ": " + path +
                                    " exists already (--force replaces it)");
            continue;
        }
        planned.push_back({path, driver.where, driver.record, driver.sheet});
    }
    if (!result.errors.empty() && !skipBad)
        planned.clear();
    return planned;
}
