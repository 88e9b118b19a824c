// Boxed's driver files: one JSON object a driver, its values in SI units.
#include <algorithm>
#include <map>
#include <tuple>

#include <nlohmann/json.hpp>

#include "Parsers.h"
#include "Text.h"
#include "record/KeyValueLines.h"

namespace {

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

// Reads the text into `driver`; false, with the error added, for a text that is not
// JSON or not one object.
bool ParseDriverObject(const std::string& source, const std::string& text, DriverObject& driver,
                       ImportResult& result)
{
    if (!nlohmann::json::sax_parse(text, &driver)) {
        const std::size_t at = std::min(driver.Position(), text.size());
        const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
        result.errors.push_back(source + ":" + std::to_string(line) +
                                (driver.tooLarge.empty() ? ": not valid JSON"
                                                         : ": " + driver.tooLarge +
                                                               " is out of range"));
        return false;
    }
    if (!driver.topIsObject) {
        result.errors.push_back(source + (driver.topIsArray
                                              ? ": not a Boxed driver file: its top level is "
                                                "an array, not one driver's object"
                                              : ": not a Boxed driver file: no object"));
        return false;
    }
    return true;
}

// The object's values in the program's units; false, with the error added, for a
// number out of a double's range.
bool ObjectValues(const std::string& source, DriverObject& driver, Values& values,
                  ImportResult& result)
{
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
            result.errors.push_back(source + ": " + name + ": " + Quoted(found->second) +
                                    " is out of range");
            return false;
        }
        if (index >= 0)
            SetSheetValue(values, index, number * factor);
        else
            values.numbers[name] = number * factor;
    }
    return true;
}

}  // namespace

void ImportJson(const std::string& source, const std::string& text, ImportResult& result)
{
    DriverObject driver;
    Values values;
    if (ParseDriverObject(source, text, driver, result) &&
        ObjectValues(source, driver, values, result))
        AddDriver(source, Stem(source), values, result);
}
