#include "Importers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include <nlohmann/json.hpp>
#include <rapidxml/rapidxml.hpp>

#include "Failure.h"
#include "Platform.h"
#include "SpeakerFiles.h"
#include "Text.h"
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
    std::string model, info;
    std::map<std::string, double> numbers;  // field name -> value in the program's units
};

std::string Stem(const std::string& source)
{
    std::size_t slash = source.find_last_of("/\\");
    std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// Makes the record, or adds one error line and returns false.
bool AddDriver(const std::string& where, const std::string& fallbackName, const Values& values,
               ImportResult& result)
{
    ImportedDriver driver{where, values.model.empty() ? fallbackName : values.model, {},
                          EmptySheet()};
    try {
        StoreText(driver.record.model, values.model, "model");
        StoreText(driver.record.info, values.info, "info");
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
    } catch (const Failure& failure) {
        result.errors.push_back(where + ": " + failure.message);
        return false;
    }
    result.drivers.push_back(driver);
    return true;
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

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A column's field name and the factor to litres, from its header: case, blanks,
// '_', '-', '.', brackets and a unit after the name do not matter ("Vas (ft³)").
bool ColumnField(const std::string& header, std::string& field, double& factor)
{
    std::string key;
    for (const char c : Lower(header))
        if (!std::strchr(" \t_-.()[]", c))
            key += c;
    factor = 1;
    static const std::map<std::string, std::string> NAMES = {
        {"model", "model"}, {"info", "info"}, {"qts", "qts"}, {"fs", "fs"}, {"fshz", "fs"},
        {"sealedvolume", "sealed.volume"}, {"sealedvolumel", "sealed.volume"},
        {"sealedfb", "sealed.fb"}, {"sealedfbhz", "sealed.fb"}, {"sealedq", "sealed.q"},
        {"portedvolume", "ported.volume"}, {"portedvolumel", "ported.volume"},
        {"portedfb", "ported.fb"}, {"portedfbhz", "ported.fb"}};
    if (const auto found = NAMES.find(key); found != NAMES.end()) {
        field = found->second;
        return true;
    }
    if (key.rfind("vas", 0) != 0)
        return false;
    const std::string unit = key.substr(3);
    field = "vas";
    if (unit.empty() || unit == "l" || unit == "litres" || unit == "liters" || unit == "litre" ||
        unit == "liter" || unit == "dm3" || unit == "dm^3" || unit == "dm\xC2\xB3")
        return true;
    factor = LITRES_PER_CUBIC_FOOT;
    if (unit == "ft3" || unit == "ft^3" || unit == "ft\xC2\xB3" || unit == "cuft" ||
        unit == "cubicfeet")
        return true;
    factor = LITRES_PER_CUBIC_METRE;
    return unit == "m3" || unit == "m^3" || unit == "m\xC2\xB3";
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

    struct Column {
        std::string field;
        double factor;
    };
    std::map<std::size_t, Column> columns;
    std::set<std::string> seen;
    const std::vector<std::string>& header = records.front().cells;
    for (std::size_t i = 0; i < header.size(); ++i) {
        Column column;
        if (!ColumnField(Trim(header[i]), column.field, column.factor))
            continue;  // other columns (Re, Le, Sd, ...) are the spreadsheet's own
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
            if (column.field == "model" || column.field == "info") {
                (column.field == "model" ? values.model : values.info) = cell;
                continue;
            }
            if (cell.empty())
                continue;
            // Spreadsheets that separate with ';' write a decimal comma ("0,35").
            std::string number = cell;
            if (separator != ',' && std::count(number.begin(), number.end(), ',') == 1 &&
                number.find('.') == std::string::npos)
                number[number.find(',')] = '.';
            double value;
            if (!ReadDecimal(number, value)) {
                result.errors.push_back(where + ": " + column.field + ": '" + cell +
                                        "' is not a number");
                ok = false;
                break;
            }
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
        const std::string vendor = attribute("vendor"), model = attribute("model");
        values.model = vendor.empty() ? model : model.empty() ? vendor : vendor + " " + model;
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
    const std::string vendor = Trim(driver.texts["vendor"]), model = Trim(driver.texts["model"]);
    values.model = vendor.empty() ? model : model.empty() ? vendor : vendor + " " + model;
    // Boxed keeps SI units: Vas in cubic metres.
    for (const auto& [name, factor] : {std::pair<const char*, double>{"qts", 1}, {"fs", 1},
                                       {"vas", LITRES_PER_CUBIC_METRE}}) {
        const auto found = driver.numbers.find(name);
        if (found == driver.numbers.end())
            continue;
        double number;
        if (!ReadDecimal(found->second, number)) {
            result.errors.push_back(source + ": " + name + ": '" + found->second +
                                    "' is out of range");
            return;
        }
        values.numbers[name] = number * factor;
    }
    AddDriver(source, Stem(source), values, result);
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
