// The driver database of qspeakers: <speakers> holding one <speaker> element a driver,
// its values in attributes.
#include <algorithm>
#include <cstring>
#include <tuple>

#include <rapidxml/rapidxml.hpp>

#include "Parsers.h"
#include "Text.h"
#include "record/KeyValueLines.h"

namespace {

// Deeper than any driver list; deeper still would only test the parser's stack.
constexpr int MAX_XML_DEPTH = 64;

// Line numbers of places met in document order, each counted on from the last one, so
// that numbering every element costs one pass over the text.
class LineCounter {
public:
    LineCounter(const std::string& text, const char* base) : text_(text), base_(base) {}
    int LineAt(const char* at)
    {
        const std::size_t offset = at && at >= base_ && at <= base_ + text_.size()
                                       ? static_cast<std::size_t>(at - base_)
                                       : 0;
        if (offset < counted_)
            counted_ = 0, line_ = 1;
        line_ += static_cast<int>(std::count(text_.begin() + counted_, text_.begin() + offset, '\n'));
        counted_ = offset;
        return line_;
    }

private:
    const std::string& text_;
    const char* base_;
    std::size_t counted_ = 0;
    int line_ = 1;
};

// The deepest nesting of elements, skipping comments, declarations, CDATA and quoted
// attribute values; the parser recurses once per level.
int XmlDepth(const std::string& text)
{
    int depth = 0, deepest = 0;
    for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at)) {
        auto skipTo = [&](const char* end) {
            const std::size_t found = text.find(end, at);
            at = found == std::string::npos ? text.size() : found + std::strlen(end);
        };
        if (text.compare(at, 4, "<!--") == 0) {
            skipTo("-->");
        } else if (text.compare(at, 9, "<![CDATA[") == 0) {
            skipTo("]]>");
        } else if (text.compare(at, 2, "<?") == 0) {
            skipTo("?>");
        } else if (text.compare(at, 9, "<!DOCTYPE") == 0 && at + 9 < text.size() &&
                   std::strchr(" \t\r\n", text[at + 9])) {
            // As RapidXML reads it: brackets nest, and '>' ends it only outside them,
            // whatever a '>' or "<!--" in the internal subset might look like.
            int brackets = 0;
            for (at += 9; at < text.size() && (brackets > 0 || text[at] != '>'); ++at)
                brackets += text[at] == '[' ? 1 : text[at] == ']' && brackets > 0 ? -1 : 0;
            ++at;
        } else if (text.compare(at, 2, "<!") == 0) {
            skipTo(">");
        } else if (text.compare(at, 2, "</") == 0) {
            --depth;
            skipTo(">");
        } else {
            char quote = 0;
            for (++at; at < text.size(); ++at) {
                if (quote) {
                    quote = text[at] == quote ? 0 : quote;
                } else if (text[at] == '"' || text[at] == '\'') {
                    quote = text[at];
                } else if (text[at] == '>') {
                    if (text[at - 1] != '/')
                        deepest = std::max(deepest, ++depth);
                    break;
                }
            }
        }
    }
    return deepest;
}

using Node = rapidxml::xml_node<>;

// Parses the text into `document`, whose strings point into `buffer`; false, with the
// error added, for a text too deep or not well-formed.
bool ParseXml(const std::string& source, const std::string& text, std::vector<char>& buffer,
              rapidxml::xml_document<>& document, ImportResult& result)
{
    if (XmlDepth(text) > MAX_XML_DEPTH) {
        result.errors.push_back(source + ": elements nested more than " +
                                std::to_string(MAX_XML_DEPTH) + " deep: not a driver database");
        return false;
    }
    buffer.assign(text.begin(), text.end());
    buffer.push_back('\0');
    try {
        document.parse<0>(buffer.data());
    } catch (const rapidxml::parse_error& error) {
        result.errors.push_back(source + ":" +
                                std::to_string(LineCounter(text, buffer.data())
                                                   .LineAt(error.where<char>())) +
                                ": not well-formed XML: " + error.what());
        return false;
    }
    return true;
}

// The <speakers> root, or null with the error added.
const Node* SpeakersRoot(const std::string& source, const rapidxml::xml_document<>& document,
                         ImportResult& result)
{
    const Node* root = document.first_node();
    if (!root || std::strcmp(root->name(), "speakers") != 0) {
        result.errors.push_back(source + ": not a qspeakers database: its root element is <" +
                                (root ? root->name() : "") + ">, not <speakers>");
        return nullptr;
    }
    if (!root->first_node("speaker"))
        result.errors.push_back(source + ": no <speaker> elements in <speakers>");
    return root;
}

std::string Attribute(const Node& node, const char* name)
{
    const rapidxml::xml_attribute<>* found = node.first_attribute(name);
    return found ? std::string(Trim(found->value())) : std::string();
}

// One <speaker>'s values; false, with the error added, when Qts, Fs or Vas is not a
// number. A sheet value that is not is left unknown with a warning.
bool SpeakerValues(const std::string& where, const Node& node, Values& values,
                   ImportResult& result)
{
    values.maker = Attribute(node, "vendor");
    values.model = Attribute(node, "model");
    // The database keeps Vas in litres, as the program does.
    for (const char* name : {"qts", "fs", "vas"}) {
        const std::string value = Attribute(node, name);
        double number;
        if (value.empty())
            continue;  // reported as missing with the rest
        if (!ReadDecimal(value, number)) {
            result.errors.push_back(where + ": " + name + ": " + Quoted(value) +
                                    " is not a number");
            return false;
        }
        values.numbers[name] = number;
    }
    // Only the values whose unit the database is sure of: Sd in m², Xmax in mm.
    for (const auto& [name, index, factor] :
         {std::tuple<const char*, int, double>{"re", SHEET_RE, 1}, {"qes", SHEET_QES, 1},
          {"qms", SHEET_QMS, 1}, {"bl", SHEET_BL, 1}, {"pe", SHEET_PE, 1},
          {"sd", SHEET_SD, 1e4}, {"xmax", SHEET_XMAX, 1}}) {
        const std::string value = Attribute(node, name);
        double number;
        if (value.empty())
            continue;
        if (ReadDecimal(value, number))
            SetSheetValue(values, index, number * factor);
        else
            result.warnings.push_back(where + ": " + name + ": " + Quoted(value) +
                                      " is not a number: left unknown");
    }
    return true;
}

}  // namespace

void ImportXml(const std::string& source, const std::string& text, ImportResult& result)
{
    std::vector<char> buffer;
    rapidxml::xml_document<> document;
    if (!ParseXml(source, text, buffer, document, result))
        return;
    const Node* root = SpeakersRoot(source, document, result);
    if (!root)
        return;
    LineCounter lines(text, buffer.data());
    int count = 0;
    for (const Node* node = root->first_node("speaker"); node; node = node->next_sibling("speaker")) {
        if (++count > MAX_DRIVERS) {
            result.errors.push_back(source + TOO_MANY);
            return;
        }
        const std::string where = source + ":" + std::to_string(lines.LineAt(node->name()));
        Values values;
        if (SpeakerValues(where, *node, values, result))
            AddDriver(where, Stem(source) + "-" + std::to_string(result.drivers.size() + 1),
                      values, result);
    }
}
