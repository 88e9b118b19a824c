#include "Json.h"

#include "Text.h"

nlohmann::ordered_json JsonNumber(double value)
{
    const std::string text = Plain(value);
    double read = 0;
    if (!ReadDecimal(text, read))
        return nullptr;  // "inf", "nan"
    // "30", not "30.0": whole numbers, as far as a double counts them exactly, read as
    // integers in scripts.
    if (text.find('.') == std::string::npos && read > -1e15 && read < 1e15)
        return static_cast<long long>(read);
    return read;
}
