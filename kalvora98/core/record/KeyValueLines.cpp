#include "record/KeyValueLines.h"

std::string_view Trim(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool NextKeyValueLine(KeyValueLines& lines, KeyValueLine& line)
{
    const std::string_view text = lines.text;
    while (lines.at < text.size()) {
        std::size_t end = text.find('\n', lines.at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view content = text.substr(lines.at, end - lines.at);
        lines.at = end + 1;
        ++lines.number;
        if (!content.empty() && content.back() == '\r')
            content.remove_suffix(1);
        content = Trim(content);
        if (content.empty() || content.front() == ';')
            continue;
        line = {lines.number, KeyValueLine::PAIR, content, {}, {}};
        const std::size_t equals = content.find('=');
        if (lines.sections && content.front() == '[') {
            line.kind = KeyValueLine::SECTION;
        } else if (equals == std::string_view::npos) {
            line.kind = KeyValueLine::NO_EQUALS;
        } else {
            line.name = Trim(content.substr(0, equals));
            line.value = Trim(content.substr(equals + 1));
        }
        return true;
    }
    return false;
}

std::string Quoted(std::string_view text, bool windows1252)
{
    constexpr int MOST = 80;
    int characters = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const bool starts = windows1252 || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
        if (starts && ++characters > MOST)
            return "'" + std::string(text.substr(0, at)) +
                   (windows1252 ? "\x85'" : "\xE2\x80\xA6'");
    }
    return "'" + std::string(text) + "'";
}
