#include "Text.h"

#include <charconv>

#include "numbers/NumberText.h"

namespace {

// Unicode for the bytes 0x80 to 0x9F of Windows-1252 (the rest of the upper half is
// Latin-1); 0 for the five bytes the code page leaves undefined. From the Unicode
// Consortium's mapping table CP1252.TXT.
constexpr char32_t HIGH_CONTROLS[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string Hex(unsigned value, int digits)
{
    static const char DIGITS[] = "0123456789ABCDEF";
    std::string text(digits, '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        text[i] = DIGITS[value & 15];
    return text;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The next code point of `text` from `at`, or -1 for a malformed sequence.
long NextCodePoint(std::string_view text, std::size_t& at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80)
        return lead;
    int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (extra < 0 || lead >= 0xF5)
        return -1;
    long c = lead & (0x3F >> extra);
    for (int i = 0; i < extra; ++i, ++at) {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
            return -1;
        c = c << 6 | (text[at] & 0x3F);
    }
    const long lowest[] = {0, 0x80, 0x800, 0x10000};
    if (c < lowest[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
        return -1;
    return c;
}

int ToByte(long c)
{
    if (c >= 0x20 && c < 0x7F)
        return static_cast<int>(c);
    if (c >= 0xA0 && c <= 0xFF)
        return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (HIGH_CONTROLS[i] && static_cast<long>(HIGH_CONTROLS[i]) == c)
            return 0x80 + i;
    return -1;
}

}  // namespace

bool ToWindows1252(std::string_view utf8, std::string& out, std::string& bad)
{
    out.clear();
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t start = at;
        const long c = NextCodePoint(utf8, at);
        if (c < 0) {
            bad = "the byte 0x" + Hex(static_cast<unsigned char>(utf8[start]), 2) +
                  ", which is not UTF-8";
            return false;
        }
        const int byte = ToByte(c);
        if (byte < 0) {
            const std::string shown = c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)
                                          ? "a control character"
                                          : "'" + std::string(utf8.substr(start, at - start)) + "'";
            bad = shown + " (U+" + Hex(static_cast<unsigned>(c), c > 0xFFFF ? 6 : 4) +
                  "), which Windows-1252 does not have";
            return false;
        }
        out += static_cast<char>(byte);
    }
    return true;
}

std::string FromWindows1252(std::string_view text)
{
    std::string out;
    for (const char ch : text) {
        const unsigned char byte = static_cast<unsigned char>(ch);
        char32_t c = byte;
        if (byte >= 0x80 && byte < 0xA0 && HIGH_CONTROLS[byte - 0x80])
            c = HIGH_CONTROLS[byte - 0x80];
        AppendUtf8(out, c);
    }
    return out;
}

bool IsUtf8(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();)
        if (NextCodePoint(text, at) < 0)
            return false;
    return true;
}

std::string Printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        const long c = NextCodePoint(text, at);
        if (c < 0) {
            at = start + 1;
            out += "\\x" + Hex(static_cast<unsigned char>(text[start]), 2);
        } else if ((c < 0x20 && c != '\n' && c != '\t' && !(c == '\r' && text.substr(at, 1) == "\n")) ||
                   c == 0x7F) {
            out += "\\x" + Hex(static_cast<unsigned>(c), 2);
        } else if (c >= 0x80 && c < 0xA0) {
            out += "\\u" + Hex(static_cast<unsigned>(c), 4);
        } else {
            out.append(text.substr(start, at - start));
        }
    }
    return out;
}

std::string LossyWindows1252(std::string_view utf8)
{
    std::string out;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t start = at;
        const long c = NextCodePoint(utf8, at);
        if (c < 0)
            at = start + 1;
        const int byte = c < 0 ? -1 : ToByte(c);
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return out;
}

bool ReadDecimal(std::string_view text, double& value)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    // from_chars takes no "inf", "nan" or hexadecimal in the general format, and it
    // rounds correctly on every library, which strtod does not promise.
    if (text.empty() || !IsTypedNumber(text))
        return false;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

std::string SafeFileName(std::string_view model)
{
    // The characters the model field holds, as many as it has bytes in Windows-1252.
    std::size_t cut = 0;
    for (std::size_t characters = 0; cut < model.size(); ++cut)
        if ((static_cast<unsigned char>(model[cut]) & 0xC0) != 0x80 &&
            ++characters > TEXT_LIMIT)
            break;  // not a continuation byte: a character starts here
    model = model.substr(0, cut);
    std::string name;
    for (const char ch : model) {
        const unsigned char c = static_cast<unsigned char>(ch);
        const bool forbidden = c < 0x20 || c == 0x7F || std::string_view("<>:\"/\\|?*").find(ch) !=
                                                            std::string_view::npos;
        name += forbidden ? '_' : ch;
    }
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.pop_back();
    while (!name.empty() && name.front() == ' ')
        name.erase(0, 1);
    if (name.empty())
        return "driver";
    // CON, PRN, AUX, NUL, COM1-9 and LPT1-9 are devices on Windows, with any extension.
    const std::string stem = Lower(name.substr(0, name.find('.')));
    const bool device = stem == "con" || stem == "prn" || stem == "aux" || stem == "nul" ||
                        (stem.size() == 4 && (stem.rfind("com", 0) == 0 || stem.rfind("lpt", 0) == 0) &&
                         stem[3] >= '1' && stem[3] <= '9');
    return device ? "_" + name : name;
}

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string MarkupText(std::string_view text)
{
    std::string out;
    for (char c : Printable(text)) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string WithLineFeeds(std::string text)
{
    for (std::size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r', at + 1))
        if (at + 1 == text.size() || text[at + 1] != '\n')
            text[at] = '\n';
    return text;
}
