#include "Json.h"

#include "Text.h"

nlohmann::ordered_json JsonNumber(const std::string& text)
{
    double read = 0;
    if (!ReadDecimal(text, read))
        return nullptr;
    // Whole numbers, as far as a double counts them exactly, read as integers in scripts.
    if (text.find('.') == std::string::npos && read > -1e15 && read < 1e15)
        return static_cast<long long>(read);
    return read;
}

nlohmann::ordered_json JsonNumber(double value)
{
    return JsonNumber(Plain(value));
}
