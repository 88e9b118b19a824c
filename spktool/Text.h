// Text in and out of spktool: Windows-1252 for the speaker file's texts, UTF-8 on the
// command line and in every output; numbers in the program's own fixed point are the
// core's (Fixed, Plain, Brief).
#pragma once
#include <string>
#include <string_view>

#include "numbers/NumberStrings.h"
#include "numbers/NumberText.h"
#include "record/KeyValueLines.h"  // Quoted, for messages

// A speaker file's text field holds 49 bytes and a NUL.
constexpr std::size_t TEXT_LIMIT = 49;

// Converts UTF-8 to Windows-1252. On failure `bad` names the first character that the
// code page cannot hold (or the malformed byte), and the result is false.
bool ToWindows1252(std::string_view utf8, std::string& out, std::string& bad);

std::string FromWindows1252(std::string_view text);

bool IsUtf8(std::string_view text);

// Text safe for a terminal: control characters other than line ends (LF, CR LF) and tabs, DEL,
// the C1 controls and bytes that are not UTF-8 are written as "\x1B" or "\u009B", so
// that nothing read from a file can move the cursor or retitle the window.
std::string Printable(std::string_view text);

// Text from files and file names for an SVG picture or an HTML page: Printable, since
// XML 1.0 has no way to write most control characters, not even as references, and
// with the three characters of markup as entities. Not for attribute values.
std::string MarkupText(std::string_view text);

// UTF-8 in Windows-1252, with '?' for what the code page does not have.
std::string LossyWindows1252(std::string_view utf8);

// True when the whole of `text` is one number as the program's fields read them.
inline bool IsTypedNumber(std::string_view text)
{
    return IsTypedNumber(text.data(), text.data() + text.size());
}

// A decimal number that takes the whole of `text` (blanks around it allowed), correctly
// rounded whatever its length: for imported tables, whose numbers may be longer than
// the nine characters a field takes.
bool ReadDecimal(std::string_view text, double& value);

// A file name made from a model name that Windows and Linux both accept: the first
// TEXT_LIMIT characters of it, as the model field holds them (at most 196 bytes of
// UTF-8, leaving room for " (2).spk" in the 255 a name may have), no path separators,
// wildcards or control characters, no reserved device name, no trailing dot or blank.
std::string SafeFileName(std::string_view model);

// ASCII lower case, for header names and option words.
std::string Lower(std::string_view text);

// The text with a CR that ends a line alone (classic Mac OS) made LF; CR LF is kept, as
// the line readers take it.
std::string WithLineFeeds(std::string text);
