// Tables of drivers as spreadsheets save them: one driver a row, the header naming each
// column and, where it has one, its unit.
#include <algorithm>
#include <cstring>
#include <functional>
#include <set>

#include "Parsers.h"
#include "Text.h"
#include "record/KeyValueLines.h"

namespace {

struct CsvRecord {
    int line;
    std::vector<std::string> cells;
};

// More columns than any table of drivers has; the limit keeps a hostile header's cost
// bounded.
constexpr std::size_t MOST_COLUMNS = 1000;

// RFC 4180 records: quoted cells may hold the separator, doubled quotes and line breaks.
// Each record goes to `take` as it ends and is then forgotten, so a table costs the
// memory of one row; a blank line is no record at all. False, with the error, when the
// text breaks the format or `take` returns false.
class CsvSplitter {
public:
    CsvSplitter(char separator, const std::function<bool(const CsvRecord&)>& take)
        : separator_(separator), take_(take)
    {
    }

    bool Split(const std::string& text, std::string& error)
    {
        for (std::size_t at = 0; at < text.size(); ++at)
            if (!Step(text, at, error))
                return false;
        if (quoted_) {
            error = std::to_string(record_.line) + ": a quote is never closed";
            return false;
        }
        return Emit(error);
    }

private:
    bool Step(const std::string& text, std::size_t& at, std::string& error)
    {
        const char c = text[at];
        std::string& cell = record_.cells.back();
        if (quoted_) {
            if (c == '"' && at + 1 < text.size() && text[at + 1] == '"')
                cell += text[at++];
            else if (c == '"')
                quoted_ = false;
            else {
                line_ += c == '\n';
                cell += c;
            }
        } else if (c == '"' && cell.find_first_not_of(" \t") == std::string::npos && !wasQuoted_) {
            cell.clear();
            quoted_ = wasQuoted_ = true;
        } else if (c == separator_) {
            if (record_.cells.size() == MOST_COLUMNS) {
                error = std::to_string(line_) + ": more than 1,000 columns, the most a table has";
                return false;
            }
            record_.cells.emplace_back();
            wasQuoted_ = false;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n')
                ++at;
            return EndLine(error);
        } else if (wasQuoted_ && c != ' ' && c != '\t') {
            error = std::to_string(line_) + ": text after a closing quote";
            return false;
        } else {
            cell += c;
        }
        return true;
    }

    bool EndLine(std::string& error)
    {
        const bool blank = record_.cells.size() == 1 && record_.cells[0].empty() && !wasQuoted_;
        if ((!blank || first_) && !Emit(error))
            return false;
        // Reused, not rebuilt: a line costs no allocation.
        record_.line = ++line_;
        record_.cells.resize(1);
        record_.cells[0].clear();
        wasQuoted_ = false;
        return true;
    }

    bool Emit(std::string& error)
    {
        first_ = false;
        if (take_(record_))
            return true;
        error.clear();
        return false;
    }

    char separator_;
    const std::function<bool(const CsvRecord&)>& take_;
    CsvRecord record_{1, {""}};
    int line_ = 1;
    bool quoted_ = false, wasQuoted_ = false, first_ = true;
};

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
                result.warnings.push_back(source + ":1: column " + Quoted(name) + " is not used");
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
            result.errors.push_back(where + ": " + column.field + ": " + Quoted(cell) +
                                    " is not a number");
            return false;
        }
        if (column.sheet >= 0)
            SetSheetValue(values, column.sheet, value * column.factor);
        else
            values.numbers[column.field] = value * column.factor;
    }
    return true;
}

// Takes the header, then one driver a row; counts the rows in `rows`.
class RowReader {
public:
    RowReader(const std::string& source, char separator, ImportResult& result)
        : source_(source), separator_(separator), result_(result)
    {
    }

    bool Take(const CsvRecord& record)
    {
        if (!header_) {
            header_ = true;
            return ReadHeader(source_, record.cells, columns_, result_);
        }
        if (IsBlank(record))
            return true;
        if (++rows == MAX_DRIVERS + 1) {
            result_.errors.push_back(source_ + TOO_MANY);
            return false;
        }
        const std::string where = source_ + ":" + std::to_string(record.line);
        Values values;
        if (RowValues(where, record, columns_, separator_, values, result_))
            AddDriver(where, Stem(source_) + "-" + std::to_string(record.line), values, result_);
        return true;
    }

    int rows = 0;

private:
    const std::string& source_;
    char separator_;
    ImportResult& result_;
    std::map<std::size_t, Column> columns_;
    bool header_ = false;
};

}  // namespace

void ImportCsv(const std::string& source, std::string text, ImportResult& result)
{
    // Spreadsheets on Windows save CSV in the ANSI code page; anything that is not
    // UTF-8 is taken as Windows-1252, which every byte of it is.
    if (!IsUtf8(text))
        text = FromWindows1252(text);
    const char separator = Separator(text);
    RowReader reader(source, separator, result);
    const std::function<bool(const CsvRecord&)> take = [&](const CsvRecord& record) {
        return reader.Take(record);
    };
    // A text that breaks the format gives no drivers, not those above the fault.
    const std::size_t drivers = result.drivers.size(), warnings = result.warnings.size();
    std::string error;
    if (!CsvSplitter(separator, take).Split(text, error)) {
        if (!error.empty()) {
            result.drivers.resize(drivers);
            result.warnings.resize(warnings);
            result.errors.push_back(source + ":" + error);
        }
    } else if (reader.rows == 0) {
        result.errors.push_back(source + ": no drivers below the header row");
    }
}
