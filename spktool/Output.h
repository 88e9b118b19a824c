// What spktool prints, and the forms a table of numbers takes.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

enum class Format { Text, Csv, Json, Frd };

// Everything printed passes here, so that no model name or file name read from a file
// reaches a terminal with its control characters.
void Print(std::FILE* stream, const std::string& text);

// A command's output once it has succeeded: standard output, and the exit status 0.
int Printed(const std::string& output);

// What a command that reads many files did when it went on past a bad one: what it
// wrote, and a line for each file or driver it could not take.
struct Outcome {
    std::string output;
    std::vector<std::string> errors;
};

// The errors on standard error, then the output; the exit status 1 when there were any.
int Printed(const Outcome& outcome);

// A cell of a CSV row: quoted when it holds a separator, a quote, a line end or blanks
// at either end, as spreadsheets read it.
std::string CsvCell(const std::string& text);

// How a command's CSV is written: as spktool writes it (UTF-8, LF, ',' and a decimal
// point), or as Excel opens it right (--excel: a byte order mark, or Excel takes UTF-8
// for the ANSI code page, and CR LF), where the comma may be the decimal sign as well
// (--decimal-comma: ';' between values, as Excel in such countries reads them).
struct CsvForm {
    bool excel = false, decimalComma = false;
};

// spktool's CSV text in `form`.
std::string InCsvForm(std::string_view csv, const CsvForm& form);

// How far a long piece of work is, for a person at a terminal: one line on standard
// error ("1234 of 40000 drivers written"), rewritten in place at each whole per
// cent and cleared at the end. Only for more than 1,000 items, and only when standard
// error is a terminal, so that logs, pipes and scripts see none of it.
class Progress {
public:
    Progress(const char* doing, std::size_t total);
    ~Progress();
    void Done(std::size_t items);

private:
    std::string doing_;
    std::size_t total_;
    std::size_t shown_ = 0;  // the per cent last shown, plus 1; 0 before any
    bool on_;
};

// `text` filled with blanks to `width` characters, for a column.
std::string Pad(const std::string& text, std::size_t width);
