// The one way every importer makes a driver: its texts in the speaker file's code page,
// its numbers checked, its record filled in as if typed into the main window.
#include <algorithm>
#include <charconv>
#include <cmath>

#include "Failure.h"
#include "Parsers.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "Wording.h"
#include "acoustics/Alignment.h"
#include "record/KeyValueLines.h"
#include "record/Plausible.h"
#include "record/SpeakerFile.h"

namespace {

std::string Windows1252(const std::string& utf8, const char* what)
{
    std::string text, bad;
    if (!ToWindows1252(utf8, text, bad))
        BadData(std::string(what) + ": " + bad);
    return text;
}

// A value in other units (0.232 m) comes out of its conversion with the last digits off
// (23.200000000000003 cm): 12 significant digits give the datasheet's.
double TwelveDigits(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 12);
    double rounded = value;
    std::from_chars(text, end.ptr, rounded);
    return rounded;
}

// The model field gets the maker and model cut to what it holds, and so does the file
// name; the sheet keeps them whole. Windows-1252 has one byte a character, so any cut falls
// between characters.
std::string FieldModel(const std::string& whole, const std::string& where,
                       std::vector<std::string>& warnings)
{
    if (whole.size() <= TEXT_LIMIT)
        return whole;
    const std::string model(Trim(whole.substr(0, TEXT_LIMIT)));
    warnings.push_back(where + ": model name shortened to " + std::to_string(model.size()) +
                       " characters: " + Quoted(FromWindows1252(model)));
    return model;
}

// The sheet keeps the maker and the model apart; without a maker a model that fits is
// the speaker file's own. A maker and a model alone are in the speaker file's name
// already: a sheet of them alone would be a second file for every driver of a large
// import, so it is left empty and not written.
void FillSheetTexts(DriverSheet& sheet, const Values& values, bool shortened)
{
    sheet.maker = Windows1252(values.maker, "maker");
    if (!values.maker.empty() || shortened)
        sheet.model = Windows1252(values.model, "model");
    for (double& value : sheet.value)
        if (IsKnown(value) && std::isfinite(value))
            value = TwelveDigits(value);
    if (std::none_of(std::begin(sheet.value), std::end(sheet.value), IsKnown) && !shortened) {
        sheet.maker.clear();
        sheet.model.clear();
    }
}

void StoreTexts(ImportedDriver& driver, const Values& values, const std::string& name,
                std::vector<std::string>& warnings)
{
    const std::string whole = Windows1252(name, "model");
    const std::string model = FieldModel(whole, driver.where, warnings);
    StoreText(driver.record.model, FromWindows1252(model), "model");
    FillSheetTexts(driver.sheet, values, model.size() < whole.size());
    const double impedance = driver.sheet.value[SHEET_IMPEDANCE];
    StoreText(driver.record.info,
              values.info.empty() && IsKnown(impedance) ? Plain(impedance) + " ohm" : values.info,
              "info");
}

void CheckNumbers(const std::map<std::string, double>& numbers, const DriverSheet& sheet)
{
    for (const char* name : {"qts", "fs", "vas"}) {
        const auto found = numbers.find(name);
        if (found == numbers.end())
            BadData(std::string(name) + ": missing");
        if (!(found->second > 0))
            BadData(std::string(name) + ": " + Brief(found->second) + " is not greater than 0");
    }
    // A file spktool writes is one that it reads again.
    for (const auto& [name, value] : numbers) {
        if (!(value >= 0) || !std::isfinite(value))
            BadData(name + ": " + Brief(value) + " is not a volume, frequency or Q");
        if (const PlausibleRange* range = SpeakerRange(name); range && !IsPlausible(*range, value))
            BadData(name + ": " + Brief(value) + " " +
                    OutsideText(range->low, range->high, range->unit));
    }
    for (int i = 0; i < SHEET_VALUES; ++i) {
        const SheetValueName& v = SHEET_VALUE_NAMES[i];
        const double value = sheet.value[i];
        if (IsKnown(value) && !(value > 0 && std::isfinite(value)))
            BadData(std::string(v.name) + ": " + Brief(value) + " is not greater than 0");
        if (IsKnown(value) && !(value >= v.low && value <= v.high))
            BadData(std::string(v.name) + ": " + Brief(value) + " " +
                    OutsideText(v.low, v.high, v.unit));
    }
}

// The names are the record's own: the readers map every column onto one. As if the
// design were typed into the main window, Volume before Fb; a Q given outright wins.
void FillRecord(Speaker& r, const std::map<std::string, double>& numbers)
{
    for (const auto& [name, value] : numbers)
        *FindSpeakerField(name)->number(r) = value;
    if (numbers.count("sealed.q"))
        return;
    Sealed& box = r.sealed;
    if (numbers.count("sealed.volume"))
        box.q = SealedQFromVolume(r.qts, r.vas, box.volume, box.q);
    if (numbers.count("sealed.fb"))
        box.q = SealedQFromFb(r.qts, r.fs, box.fb, box.q);
}

}  // namespace

std::string Stem(const std::string& source)
{
    std::size_t slash = source.find_last_of("/\\");
    std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

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

void SetSheetValue(Values& values, int index, double value)
{
    if (value != 0)
        values.sheet.value[index] = value;
}

bool ReadDecimalComma(std::string text, double& value)
{
    if (std::count(text.begin(), text.end(), ',') == 1 && text.find('.') == std::string::npos)
        text[text.find(',')] = '.';
    return ReadDecimal(text, value);
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
        StoreTexts(driver, values, name, warnings);
        CheckNumbers(values.numbers, driver.sheet);
        FillRecord(driver.record, values.numbers);
        const Speaker& r = driver.record;
        for (const std::string& warning :
             WarningTexts(DriverWarnings(r.qts, r.vas, r.fs, driver.sheet)))
            warnings.push_back(where + ": " + warning);
    } catch (const Failure& failure) {
        result.errors.push_back(where + ": " + failure.message);
        return false;
    }
    result.drivers.push_back(driver);
    result.warnings.insert(result.warnings.end(), warnings.begin(), warnings.end());
    return true;
}
