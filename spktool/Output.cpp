#include "Output.h"

#include <algorithm>

#include "Failure.h"
#include "Platform.h"
#include "Text.h"

void Print(std::FILE* stream, const std::string& text)
{
    WriteText(stream == stderr, Printable(text));
}

int Printed(const std::string& output)
{
    Print(stdout, output);
    return EXIT_OK;
}

int Printed(const Outcome& outcome)
{
    for (const std::string& error : outcome.errors)
        Print(stderr, "spktool: " + error + "\n");
    Print(stdout, outcome.output);
    return outcome.errors.empty() ? EXIT_OK : EXIT_BAD_DATA;
}

std::string CsvCell(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos &&
        (text.empty() || (text.front() != ' ' && text.back() != ' ')))
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

namespace {

// A cell of digits, sign, point and exponent: a number, whose point becomes a comma.
bool IsNumberCell(std::string_view cell)
{
    return cell.find_first_of("0123456789") != std::string_view::npos &&
           cell.find_first_not_of("0123456789+-.eE") == std::string_view::npos;
}

// The end of the quoted cell that starts at `at`: just past its closing quote.
std::size_t QuotedEnd(std::string_view csv, std::size_t at)
{
    for (++at; at < csv.size(); ++at) {
        if (csv[at] != '"')
            continue;
        if (at + 1 < csv.size() && csv[at + 1] == '"')
            ++at;  // a doubled quote, inside the cell
        else
            return at + 1;
    }
    return at;
}

}  // namespace

std::string InCsvForm(std::string_view csv, const CsvForm& form)
{
    if (!form.excel)
        return std::string(csv);
    const char separator = form.decimalComma ? ';' : ',';
    std::string out = "\xEF\xBB\xBF";
    for (std::size_t at = 0; at < csv.size();) {
        const std::size_t end = csv[at] == '"' ? QuotedEnd(csv, at)
                                               : std::min(csv.find_first_of(",\n", at), csv.size());
        std::string cell(csv.substr(at, end - at));
        if (form.decimalComma && IsNumberCell(cell))
            std::replace(cell.begin(), cell.end(), '.', ',');
        else if (cell.find(separator) != std::string::npos && cell[0] != '"')
            cell = "\"" + cell + "\"";  // spktool's cells hold no quote unless quoted
        out += cell;
        at = end;
        if (at < csv.size())
            out += csv[at++] == ',' ? std::string(1, separator) : std::string("\r\n");
    }
    return out;
}

Progress::Progress(const char* doing, std::size_t total)
    : doing_(doing), total_(total), on_(total > 1000 && ErrorIsTerminal())
{
}

Progress::~Progress()
{
    if (on_ && shown_ > 0)
        WriteText(true, "\r" + std::string(doing_.size() + 30, ' ') + "\r");
}

void Progress::Done(std::size_t items)
{
    const std::size_t percent = items * 100 / total_ + 1;
    if (!on_ || percent == shown_)
        return;
    shown_ = percent;
    WriteText(true, "\r" + std::to_string(items) + " of " + std::to_string(total_) + " " + doing_);
}

std::string Pad(const std::string& text, std::size_t width)
{
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}
