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

std::string JsonText(const nlohmann::ordered_json& document)
{
    const std::string dumped =
        document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    std::string text;
    text.reserve(dumped.size() + 1);
    // Outside strings a document holds only printable ASCII, so any DEL is in a string.
    for (const char c : dumped) {
        if (c == '\x7f')
            text += "\\u007f";
        else
            text += c;
    }
    return text + "\n";
}
