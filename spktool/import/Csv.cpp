// Tables of drivers as spreadsheets save them: one driver a row, the header naming each
// column and, where it has one, its unit.
#include <algorithm>
#include <cstring>
#include <set>

#include "Parsers.h"
#include "Text.h"
#include "record/KeyValueLines.h"

namespace {

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

const Units LITRES = {{"l litre litres liter liters dm3 dm^3 dm\xC2\xB3", 1},
                      {"ft3 ft^3 ft\xC2\xB3 cuft cubicfeet", LITRES_PER_CUBIC_FOOT},
                      {"m3 m^3 m\xC2\xB3", LITRES_PER_CUBIC_METRE}};
const Units HERTZ = {{"hz", 1}}, OHM = {{"ohm ohms \xCE\xA9 \xE2\x84\xA6", 1}};
const Units CENTIMETRES = {{"cm", 1}, {"mm", 0.1}, {"m", 100}};

// The columns a header may name: the names as ColumnField's key spells them, the
// record's field or the sheet's value, and the units the value may come in.
struct Kind {
    const char* names;  // blank-separated, as `key` spells them
    const char* field;  // "" for a sheet value
    int sheet;
    Units units;
};
const std::vector<Kind> KINDS = {
    {"model", "model", -1, {}},
    {"info", "info", -1, {}},
    {"manufacturer brand make maker vendor", "maker", -1, {}},
    {"qts", "qts", -1, {}},
    {"fs", "fs", -1, HERTZ},
    {"vas", "vas", -1, LITRES},
    {"sealedvolume", "sealed.volume", -1, {{"l", 1}}},
    {"sealedfb", "sealed.fb", -1, HERTZ},
    {"sealedq", "sealed.q", -1, {}},
    {"portedvolume", "ported.volume", -1, {{"l", 1}}},
    {"portedfb", "ported.fb", -1, HERTZ},
    {"z znom impedance nominalimpedance", "", SHEET_IMPEDANCE, OHM},
    {"re", "", SHEET_RE, OHM},
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
    {"diameter outerdiameter", "", SHEET_DIAMETER, CENTIMETRES},
    {"cutout cutoutdiameter", "", SHEET_CUTOUT, CENTIMETRES},
    {"depth mountingdepth", "", SHEET_DEPTH, CENTIMETRES},
};

// Reads a header: case, blanks, '_', '-', '.' and brackets do not matter, and a unit may
// follow the name ("Vas (ft³)", "Sd (m2)"). A name or unit not known here is false.
bool ColumnField(const std::string& header, Column& column)
{
    std::string key;
    for (const char c : Lower(header))
        if (!std::strchr(" \t_-.()[]", c))
            key += c;
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

// The separator the header row uses most of: ',', or ';' or a tab as spreadsheets in
// countries with a decimal comma write.
char Separator(const std::string& text)
{
    const std::string firstLine = text.substr(0, text.find_first_of("\r\n"));
    char separator = ',';
    for (const char candidate : {';', '\t'})
        if (std::count(firstLine.begin(), firstLine.end(), candidate) >
            std::count(firstLine.begin(), firstLine.end(), separator))
            separator = candidate;
    return separator;
}

// The columns of the header row by their index; false, with the error added, when a
// field has two columns or a required one has none.
bool ReadHeader(const std::string& source, const std::vector<std::string>& header,
                std::map<std::size_t, Column>& columns, ImportResult& result)
{
    std::set<std::string> seen, unused;
    for (std::size_t i = 0; i < header.size(); ++i) {
        Column column;
        const std::string name(Trim(header[i]));
        if (!ColumnField(name, column)) {
            // A column read by a guess could put a wrong number in the sheet.
            if (!name.empty() && unused.insert(name).second)
                result.warnings.push_back(source + ":1: column '" + name + "' is not used");
            continue;
        }
        if (!seen.insert(column.field).second) {
            result.errors.push_back(source + ":1: two columns for " + column.field);
            return false;
        }
        columns[i] = column;
    }
    for (const char* required : {"qts", "fs", "vas"})
        if (!seen.count(required)) {
            result.errors.push_back(source + ":1: no " + required + " column in the header" +
                                    (std::string(required) == "vas"
                                         ? " (Vas, Vas (l), Vas (ft3) or Vas (m3))"
                                         : ""));
            return false;
        }
    return true;
}

bool IsBlank(const CsvRecord& record)
{
    for (const std::string& cell : record.cells)
        if (!Trim(cell).empty())
            return false;
    return true;
}

// One row's values; false, with the error added, at a cell that is not a number.
bool RowValues(const std::string& where, const CsvRecord& record,
               const std::map<std::size_t, Column>& columns, char separator, Values& values,
               ImportResult& result)
{
    for (const auto& [index, column] : columns) {
        const std::string cell(index < record.cells.size() ? Trim(record.cells[index]) : "");
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
            return false;
        }
        if (column.sheet >= 0)
            SetSheetValue(values, column.sheet, value * column.factor);
        else
            values.numbers[column.field] = value * column.factor;
    }
    return true;
}

void ImportRows(const std::string& source, const std::vector<CsvRecord>& records,
                const std::map<std::size_t, Column>& columns, char separator,
                ImportResult& result)
{
    int rows = 0;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        if (IsBlank(record))
            continue;
        if (++rows > MAX_DRIVERS) {
            result.errors.push_back(source + TOO_MANY);
            return;
        }
        const std::string where = source + ":" + std::to_string(record.line);
        Values values;
        if (RowValues(where, record, columns, separator, values, result))
            AddDriver(where, Stem(source) + "-" + std::to_string(record.line), values, result);
    }
    if (rows == 0)
        result.errors.push_back(source + ": no drivers below the header row");
}

}  // namespace

void ImportCsv(const std::string& source, std::string text, ImportResult& result)
{
    // Spreadsheets on Windows save CSV in the ANSI code page; anything that is not
    // UTF-8 is taken as Windows-1252, which every byte of it is.
    if (!IsUtf8(text))
        text = FromWindows1252(text);
    const char separator = Separator(text);
    std::string error;
    const std::vector<CsvRecord> records = SplitCsv(text, separator, error);
    if (!error.empty()) {
        result.errors.push_back(source + ":" + error);
        return;
    }
    std::map<std::size_t, Column> columns;
    if (ReadHeader(source, records.front().cells, columns, result))
        ImportRows(source, records, columns, separator, result);
}
