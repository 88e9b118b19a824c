// Numbers as the fields show them and as the user types them.
#pragma once

// Large enough for "%.2f" of any double (309 digits, sign, point, decimals, NUL),
// so long values are shown whole and nothing is written past a buffer.
constexpr int NUMBER_TEXT_SIZE = 320;

// Typed numbers count by their first 9 characters only.
constexpr int TYPED_NUMBER_CHARS = 9;

// Formats `value` with a fixed-point format such as "%2.1f" or "%3.2f".
void FormatNumber(char (&text)[NUMBER_TEXT_SIZE], const char* format, double value);

// The value of the first 9 characters of `text`, converted as atof does in the
// "C" locale: leading blanks, sign, digits, one '.', exponent; 0 if no number leads.
double ReadNumber(const char* text);
