// Lines of "name = value", as the driver sheet and the INI files other programs keep
// their drivers in write them: one a line, LF or CR LF, blanks around anything allowed,
// blank lines and comments (';' first) passed over.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// `text` without the blanks and tabs around it.
std::string_view Trim(std::string_view text);

// A value read from a file or the command line, in single quotes for a message: cut to
// its first 80 characters with "…" after them, so that a hostile megabyte of value is a
// line, not a flood. Cut between characters of UTF-8, never inside one; or, for text
// in Windows-1252 (the driver sheet's as the core reads it), after 80 bytes with its "…".
std::string Quoted(std::string_view text, bool windows1252 = false);

struct KeyValueLine {
    enum Kind { PAIR, SECTION, NO_EQUALS };
    int number = 0;  // 1-based, counting blank lines and comments too
    Kind kind = PAIR;
    std::string_view text;         // the whole line, trimmed
    std::string_view name, value;  // a PAIR's, trimmed, either side of its first '='
};

// Where a walk over a text's lines is. With `sections`, a line starting with '[' is a
// SECTION ("[Driver]"); without, it is read as any other line.
struct KeyValueLines {
    std::string_view text;
    bool sections = false;
    std::size_t at = 0;
    int number = 0;  // the lines walked so far
};

// The next line that is neither blank nor a comment; false at the end of the text.
bool NextKeyValueLine(KeyValueLines& lines, KeyValueLine& line);
