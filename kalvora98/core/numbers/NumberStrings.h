// Number texts as strings, for spktool's messages, tables and files. Apart from
// NumberText.cpp, whose fixed-size buffers are all the window program links: these need
// std::string, which kalvora98.exe does without.
#pragma once
#include <string>

// The program's own fixed-point text (FormatNumber), the same bytes on every build.
std::string Fixed(double value, int decimals);

// Eight decimals with the trailing zeros dropped ("0.35", "24.50250051", "30"): for
// spreadsheets and scripts, which want more than the one decimal the fields show.
std::string Plain(double value);

// A number for a message: as Plain, but from 1e15 on four significant digits, rounded as
// FormatNumber rounds, and an exponent ("1.235e300"), not 300 digits.
std::string Brief(double value);
