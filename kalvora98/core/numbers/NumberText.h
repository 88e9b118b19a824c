// Numbers as the fields show them and as the user types them. The program's own
// conversions, not the C library's: glibc, mingw and msvcrt disagree on ties, on "nan"
// and "inf" and on hexadecimal input, and the program must read and show the same on
// every build.
#pragma once

// Large enough for any double in fixed point with up to 8 decimals (309 digits, sign,
// point, decimals, NUL), so long values are shown whole and nothing is written past a
// buffer.
constexpr int NUMBER_TEXT_SIZE = 320;

// Typed numbers count by their first 9 characters only.
constexpr int TYPED_NUMBER_CHARS = 9;

// `value` in fixed point with `decimals` (0 to 8) decimals, as "%.1f" would show it
// but for exact decimal ties, which are rounded away from zero (0.125 gives "0.13").
// Infinities read "inf" and "-inf", NaN "nan".
void FormatNumber(char (&text)[NUMBER_TEXT_SIZE], double value, int decimals);

// The grammar of a typed number: blanks (space, tab, line ends), an optional sign,
// digits with an optional '.' (at least one digit in all), an optional exponent ('e'
// or 'E', optional sign, digits). Returns the end of the number that leads the text
// from `text` to `end`, or `text` when none does.
const char* ScanTypedNumber(const char* text, const char* end);

// True when the whole of `text` to `end` is one typed number.
bool IsTypedNumber(const char* text, const char* end);

// The number that leads the first 9 characters of `text`. Reading stops at the first
// character that does not fit; 0 when no number leads ("nan", "inf" and "0x10" give
// 0). Correctly rounded; too large gives infinity.
double ReadNumber(const char* text);
