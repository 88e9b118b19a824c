#include "Output.h"

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

std::string Pad(const std::string& text, std::size_t width)
{
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}
