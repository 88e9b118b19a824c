#include "record/DriverSheet.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "acoustics/SmallSignal.h"
#include "numbers/NumberText.h"
#include "record/KeyValueLines.h"
#include "record/Plausible.h"

// The ranges reach past the smallest tweeters and the largest subwoofers made, whose
// datasheets give an Sd of some 2 to 5,000 cm2, an Xmax of 0.1 to 50 mm, a Pe up to a
// few kilowatts and a moving mass of 0.1 g to 1.5 kg.
const SheetValueName SHEET_VALUE_NAMES[SHEET_VALUES] = {
    {"impedance", "ohm", "nominal impedance", 0.1, 100},
    {"re", "ohm", "voice-coil resistance Re", 0.1, 100},
    {"le", "mH", "voice-coil inductance Le", 0.001, 100},
    {"qes", "", "electrical Q", 0.01, 100},
    {"qms", "", "mechanical Q", 0.1, 1000},
    {"bl", "Tm", "force factor Bl", 0.1, 100},
    {"sd", "cm2", "cone area Sd", 1, 20000},
    {"xmax", "mm", "linear excursion Xmax, one way", 0.05, 100},
    {"vd", "cm3", "displaced volume Vd = Sd x Xmax", 0.005, 200000},
    {"mms", "g", "moving mass Mms, air load included", 0.01, 10000},
    {"cms", "mm/N", "suspension compliance Cms", 0.0001, 100},
    {"rms", "kg/s", "mechanical resistance Rms", 0.001, 1000},
    {"pe", "W", "power handling Pe", 0.01, 100000},
    {"sensitivity", "dB", "sensitivity, 1 W at 1 m", 40, 130},
    {"displacement", "l", "volume the driver takes up inside the box", 0.001, 1000},
    {"diameter", "cm", "outer diameter of the frame", 0.5, 300},
    {"cutout", "cm", "cut-out diameter in the baffle", 0.5, 300},
    {"depth", "cm", "mounting depth", 0.1, 200},
    // The voice coil's lossy inductance as an impedance fit gives it: L2 with R2 across
    // it, in series with Le.
    {"l2", "mH", "inductance L2, beside R2", 0.001, 100},
    {"r2", "ohm", "resistance R2 across L2", 0.01, 10000},
};

const char* const SHEET_SYSTEM_NAMES[SHEET_SYSTEM_LINES] = {
    "drivers", "wiring", "isobaric", "volts", "source-ohms", "no-le", "highpass",
    "lowpass", "crossover", "ql", "qa", "qp", "space", "cabin"};

namespace {

constexpr std::string_view BLANKS = " \t";

bool SameLetters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
        if (x != y)
            return false;
    }
    return true;
}

void AppendLine(std::string& out, std::string_view line)
{
    out.append(line);
    out.append("\r\n");
}

// The entries in the order a new sheet writes them: the maker and the model (numbered
// after the values, as DecodeSheet counts them), then the values.
constexpr int MAKER = SHEET_VALUES, MODEL = SHEET_VALUES + 1;
constexpr int ENTRY_ORDER[] = {MAKER, MODEL, SHEET_IMPEDANCE, SHEET_RE, SHEET_LE, SHEET_L2, SHEET_R2,
                               SHEET_QES, SHEET_QMS, SHEET_BL, SHEET_SD, SHEET_XMAX, SHEET_VD,
                               SHEET_MMS, SHEET_CMS, SHEET_RMS, SHEET_PE, SHEET_SENSITIVITY,
                               SHEET_DISPLACEMENT, SHEET_DIAMETER, SHEET_CUTOUT, SHEET_DEPTH};
static_assert(sizeof ENTRY_ORDER / sizeof *ENTRY_ORDER == SHEET_VALUES + 2);

// The system lines come after the model, written only when given.
constexpr int SYSTEM = SHEET_VALUES + 2, ENTRIES = SYSTEM + SHEET_SYSTEM_LINES;

const char* EntryName(int entry)
{
    return entry >= SYSTEM ? SHEET_SYSTEM_NAMES[entry - SYSTEM]
           : entry == MAKER ? "maker"
           : entry == MODEL ? "model"
                            : SHEET_VALUE_NAMES[entry].name;
}

std::string EntryText(const DriverSheet& sheet, int entry);

// An empty value ends at its '=', as the numbers' do: no blank for Notepad to keep.
std::string EntryLine(std::string_view name, std::string_view text)
{
    return std::string(name) + " =" + (text.empty() ? "" : " " + std::string(text));
}

}  // namespace

DriverSheet EmptySheet()
{
    DriverSheet sheet;
    for (double& v : sheet.value)
        v = std::numeric_limits<double>::quiet_NaN();
    return sheet;
}

bool IsKnown(double value)
{
    return !std::isnan(value);
}

bool IsEmpty(const DriverSheet& sheet)
{
    for (double v : sheet.value)
        if (IsKnown(v))
            return false;
    for (const std::string& text : sheet.system)
        if (!text.empty())
            return false;
    return sheet.maker.empty() && sheet.model.empty();
}

int FindSheetValue(std::string_view name)
{
    for (int i = 0; i < SHEET_VALUES; ++i)
        if (SameLetters(name, SHEET_VALUE_NAMES[i].name))
            return i;
    return -1;
}

int FindSheetSystem(std::string_view name)
{
    for (int i = 0; i < SHEET_SYSTEM_LINES; ++i)
        if (SameLetters(name, SHEET_SYSTEM_NAMES[i]))
            return i;
    return -1;
}

std::string EncodeSheet(const DriverSheet& sheet)
{
    std::string out;
    AppendLine(out, "; Kalvora 98 driver sheet: the datasheet values that the speaker file of the");
    AppendLine(out, "; same name (.spk) cannot hold. One value a line, \"name = value\"; a value");
    AppendLine(out, "; left empty is not known. Numbers in these units, with a point; the unit");
    AppendLine(out, "; may follow the number (xmax = 6.5 mm).");
    AppendLine(out, ";");
    AppendLine(out, ";   maker                  the maker");
    AppendLine(out, ";   model                  the whole model name");
    for (const SheetValueName& v : SHEET_VALUE_NAMES) {
        std::string line = ";   " + std::string(v.name);
        line.append(17 - line.size(), ' ');
        line += v.unit;
        line.append(28 - line.size(), ' ');
        AppendLine(out, line + v.meaning);
    }
    AppendLine(out, "");
    for (const int entry : ENTRY_ORDER)
        AppendLine(out, EntryLine(EntryName(entry), EntryText(sheet, entry)));
    for (int entry = SYSTEM; entry < ENTRIES; ++entry)
        if (!EntryText(sheet, entry).empty())
            AppendLine(out, EntryLine(EntryName(entry), EntryText(sheet, entry)));
    return out;
}

namespace {

std::string EntryText(const DriverSheet& sheet, int entry)
{
    if (entry >= SYSTEM)
        return sheet.system[entry - SYSTEM];
    if (entry == MAKER || entry == MODEL)
        return entry == MAKER ? sheet.maker : sheet.model;
    const char* unit = SHEET_VALUE_NAMES[entry].unit;
    if (!IsKnown(sheet.value[entry]))
        return "";
    return SheetNumber(sheet.value[entry]) + (*unit ? std::string(" ") + unit : "");
}

// A sheet keeps the line end its first line has; one without any gets the CR LF that
// a new sheet has.
std::string_view LineEnd(std::string_view text)
{
    const std::size_t newline = text.find('\n');
    return newline == std::string_view::npos || (newline > 0 && text[newline - 1] == '\r')
               ? "\r\n"
               : "\n";
}

std::size_t FindEntry(const std::vector<SheetEntry>& entries, std::string_view name)
{
    std::size_t i = 0;
    while (i < entries.size() && !SameLetters(entries[i].name, name))
        ++i;
    return i;
}

// What follows a line's '=' with its value replaced: the user's blank before the value
// stays, and a line that had no value gets the one blank a new sheet has.
std::string EditedValue(std::string_view old, const std::string& text)
{
    if (text.empty())
        return "";
    const std::size_t first = old.find_first_not_of(BLANKS);
    return (first == std::string_view::npos ? std::string(" ") : std::string(old.substr(0, first))) +
           text;
}

}  // namespace

std::vector<SheetEntry> ChangedEntries(const DriverSheet& before, const DriverSheet& after)
{
    std::vector<SheetEntry> changed;
    for (const int entry : ENTRY_ORDER) {
        std::string text = EntryText(after, entry);
        if (text != EntryText(before, entry))
            changed.push_back({EntryName(entry), std::move(text)});
    }
    for (int entry = SYSTEM; entry < ENTRIES; ++entry)
        if (EntryText(after, entry) != EntryText(before, entry))
            changed.push_back({EntryName(entry), EntryText(after, entry)});
    return changed;
}

std::string EditedSheet(std::string_view original, const std::vector<SheetEntry>& entries)
{
    std::string out;
    std::vector<bool> done(entries.size());
    std::size_t copied = 0;
    KeyValueLines lines{original};
    KeyValueLine line;
    while (NextKeyValueLine(lines, line)) {
        const std::size_t i = FindEntry(entries, line.name);
        if (line.kind != KeyValueLine::PAIR || i == entries.size())
            continue;
        const std::size_t start = static_cast<std::size_t>(line.text.data() - original.data());
        const std::size_t equals = start + line.text.find('=') + 1, end = start + line.text.size();
        out.append(original.substr(copied, equals - copied));
        out += EditedValue(original.substr(equals, end - equals), entries[i].text);
        copied = end;
        done[i] = true;
    }
    out.append(original.substr(copied));
    const std::string_view lineEnd = LineEnd(original);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (!done[i] && !entries[i].text.empty()) {
            if (!out.empty() && out.back() != '\n')
                out += lineEnd;
            out += EntryLine(entries[i].name, entries[i].text);
            out += lineEnd;
        }
    return out;
}

// std::to_chars gives the shortest text that reads back exactly, on both libraries the
// program is built with.
std::string SheetNumber(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

bool ReadSheetNumber(int index, std::string_view text, double& value, std::string& error)
{
    const std::string_view unit = SHEET_VALUE_NAMES[index].unit;
    text = Trim(text);
    const std::size_t end = text.find_first_of(BLANKS);
    std::string number(text.substr(0, end));
    const std::string_view after = end == std::string_view::npos ? "" : Trim(text.substr(end));
    if (!after.empty() && !SameLetters(after, unit)) {
        error = Quoted(after, true) + " is not its unit, " +
                (unit.empty() ? std::string("which is none") : std::string(unit));
        return false;
    }
    // A decimal comma, as a European datasheet gives it, is the point.
    if (number.find('.') == std::string::npos && number.find(',') != std::string::npos)
        number[number.find(',')] = '.';
    const char* first = number.data();
    const char* last = first + number.size();
    const auto result = std::from_chars(first, last, value);
    if (number.empty() || !IsTypedNumber(first, last) || result.ptr != last ||
        result.ec != std::errc() || !std::isfinite(value)) {
        error = Quoted(text, true) + " is not a number";
        return false;
    }
    if (!(value > 0)) {
        error = Quoted(text, true) + " is not greater than 0";
        return false;
    }
    const SheetValueName& v = SHEET_VALUE_NAMES[index];
    if (value < v.low || value > v.high) {
        error = Quoted(text, true) + " " + OutsideText(v.low, v.high, v.unit);
        return false;
    }
    return true;
}

bool DecodeSheet(std::string_view text, DriverSheet& sheet, int& line, std::string& error)
{
    sheet = EmptySheet();
    bool seen[ENTRIES] = {};
    KeyValueLines lines{text};
    KeyValueLine entry;
    line = 0;
    while (NextKeyValueLine(lines, entry)) {
        line = entry.number;
        if (entry.kind != KeyValueLine::PAIR) {
            error = "expected name = value";
            return false;
        }
        const std::string_view name = entry.name, value = entry.value;
        const bool isMaker = SameLetters(name, "maker"), isModel = SameLetters(name, "model");
        const int system = FindSheetSystem(name);
        const int index = isMaker ? MAKER : isModel ? MODEL : system >= 0 ? SYSTEM + system
                                                                         : FindSheetValue(name);
        if (index < 0) {
            error = "no value is named " + Quoted(name, true);
            return false;
        }
        if (seen[index]) {
            error = std::string(name) + " is given twice";
            return false;
        }
        seen[index] = true;
        if (system >= 0)
            sheet.system[system] = value, sheet.systemLine[system] = line;
        else if (isMaker)
            sheet.maker = value;
        else if (isModel)
            sheet.model = value;
        else if (!value.empty() && !ReadSheetNumber(index, value, sheet.value[index], error)) {
            error = std::string(SHEET_VALUE_NAMES[index].name) + ": " + error;
            return false;
        }
    }
    line = lines.number;
    return true;
}

double SheetQes(double qts, const DriverSheet& sheet)
{
    const double qes = sheet.value[SHEET_QES], qms = sheet.value[SHEET_QMS];
    return !IsKnown(qes) && qms > qts ? OtherQ(qts, qms) : qes;
}

namespace {

// A datasheet rates its sensitivity for 1 W or for 2.83 V, and seldom says which: the
// figure belongs to the driver when it is near either level that η0 gives.
void CheckSensitivity(double qts, double vas, double fs, const DriverSheet& sheet,
                      std::vector<DriverWarning>& warnings)
{
    const double given = sheet.value[SHEET_SENSITIVITY], qes = SheetQes(qts, sheet);
    const double re = sheet.value[SHEET_RE];
    if (!IsKnown(given) || !(qes > 0) || !(re > 0) || !(vas > 0) || !(fs > 0))
        return;
    const RatedSensitivity rated = SensitivityOf(fs, vas * 1e-3, qes, re);
    const double apart = std::fmin(std::fabs(given - rated.watt), std::fabs(given - rated.volts));
    if (apart > SENSITIVITY_TOLERANCE_DB)
        warnings.push_back({DriverWarning::SENSITIVITY_NOT_FS_VAS_QES, given, 0, 0, rated.watt,
                            apart, rated.volts});
}

}  // namespace

std::vector<DriverWarning> DriverWarnings(double qts, double vas, double fs,
                                          const DriverSheet& sheet)
{
    // Air at 22 °C as R. H. Small takes it ("Direct-Radiator Loudspeaker System
    // Analysis", J. Audio Eng. Soc. 20, 1972), as datasheets do: rho0 = 1.18 kg/m³,
    // c = 345 m/s. The same paper gives Vas = rho0 c² Cms Sd².
    constexpr double RHO_C2 = 1.18 * 345 * 345;
    using W = DriverWarning;
    const double* v = sheet.value;
    std::vector<DriverWarning> warnings;
    const auto compare = [&](W::Code code, double given, double expected, double tolerance) {
        if (!IsKnown(given) || !(expected > 0))
            return;
        const double apart = std::fabs(given - expected) / expected;
        if (apart > tolerance)
            warnings.push_back({code, given, 0, 0, expected, apart, 0});
    };
    const auto outside = [&](W::Code code, double value, double low, double high) {
        // A value of 0 is one not entered yet, as in the program's fields.
        if (value != 0 && !(value >= low && value <= high))
            warnings.push_back({code, value, low, high, 0, 0, 0});
    };
    outside(W::QTS_UNREAL, qts, 0.05, 3);
    outside(W::FS_UNREAL, fs, 5, 5000);
    outside(W::VAS_UNREAL, vas, 0.01, 10000);
    const double qes = v[SHEET_QES], qms = v[SHEET_QMS], cms = v[SHEET_CMS] * 1e-3;
    const double sd = v[SHEET_SD] * 1e-4, mms = v[SHEET_MMS] * 1e-3, re = v[SHEET_RE];
    if (IsKnown(qes) && IsKnown(qms) && qts > 0)
        compare(W::QTS_NOT_QES_QMS, 1 / qts, 1 / qes + 1 / qms, 0.03);
    compare(W::VAS_NOT_CMS_SD, vas, RHO_C2 * cms * sd * sd * 1000, 0.05);
    compare(W::FS_NOT_MMS_CMS, fs, Resonance(mms, cms), 0.05);
    const double bl = v[SHEET_BL];
    compare(W::BL_NOT_FS_MMS_RE_QES, bl * bl, ForceFactorSquared(fs, mms, re, qes), 0.05);
    CheckSensitivity(qts, vas, fs, sheet, warnings);
    return warnings;
}
