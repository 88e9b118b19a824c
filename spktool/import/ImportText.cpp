// Which reader a source goes to, from its first bytes.
#include <algorithm>

#include "Parsers.h"
#include "Text.h"
#include "record/KeyValueLines.h"

namespace {

// The first line that is not blank, trimmed; CR, LF and CR LF all end lines.
std::string FirstLine(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        if (const std::string_view line = Trim(text.substr(at, end - at)); !line.empty())
            return std::string(line);
        at = end + 1;
    }
    return "";
}

// WinISD's .wdr, by its name, or by an INI file's start: a section header such as
// "[Driver]" or "[Settings]" (a JSON array's "[" is followed by a value, not a word),
// or a comment line.
bool IsWinIsd(const std::string& source, const std::string& first)
{
    const bool wdr = source.size() >= 4 && Lower(source.substr(source.size() - 4)) == ".wdr";
    const bool section = first.size() > 2 && first.front() == '[' && first.back() == ']' &&
                         ((first[1] >= 'A' && first[1] <= 'Z') || (first[1] >= 'a' && first[1] <= 'z'));
    return wdr || section || first.front() == ';';
}

// UTF-16 has a NUL in every ASCII character; with or without a byte order mark no
// table of drivers is made without ASCII. The error for such a text, or "".
std::string Utf16Error(const std::string& source, const std::string& bytes)
{
    const auto ascii16 = [&](std::size_t nul) {
        return bytes.size() >= 4 && bytes[nul] == '\0' && bytes[nul + 2] == '\0' &&
               bytes[1 - nul] != '\0' && bytes[3 - nul] != '\0';
    };
    const bool little = bytes.compare(0, 2, "\xFF\xFE") == 0 || ascii16(1);
    if (little || bytes.compare(0, 2, "\xFE\xFF") == 0 || ascii16(0))
        return source + ": UTF-16 (" + (little ? "little" : "big") +
               "-endian) text; save it as UTF-8 or CSV";
    return "";
}

}  // namespace

void ImportText(const std::string& source, std::string text, ImportResult& result)
{
    if (const std::string error = Utf16Error(source, text); !error.empty()) {
        result.errors.push_back(error);
        return;
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    const char lead = first == std::string::npos ? 0 : text[first];
    if (lead == 0)
        result.errors.push_back(source + ": empty");
    else if (IsWinIsd(source, FirstLine(text)))
        ImportWinIsd(source, std::move(text), result);
    else if (lead == '<')
        ImportXml(source, text, result);
    else if (lead == '{' || lead == '[')
        ImportJson(source, text, result);
    else
        ImportCsv(source, std::move(text), result);
}
