#include "numbers/NumberStrings.h"

#include <cmath>

#include "numbers/NumberText.h"

namespace {

// "1.500" -> "1.5", "2.000" -> "2".
std::string WithoutTrailingZeros(std::string text)
{
    while (text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text;
}

}  // namespace

std::string Fixed(double value, int decimals)
{
    char text[NUMBER_TEXT_SIZE];
    FormatNumber(text, value, decimals);
    return text;
}

std::string Plain(double value)
{
    const std::string text = Fixed(value, 8);
    if (text.find('.') == std::string::npos)
        return text;  // inf, nan
    const std::string shortest = WithoutTrailingZeros(text);
    return shortest == "-0" ? "0" : shortest;
}

std::string Brief(double value)
{
    const double magnitude = value < 0 ? -value : value;
    if (!(magnitude >= 1e15) || !std::isfinite(magnitude))
        return Plain(value);
    // Rounds the exact digits to four, a tie away from zero as every number text of the
    // program, rather than a quotient by a power of ten that is itself rounded. From 1e15
    // on a double is a multiple of 1/8, which 8 decimals hold exactly; the fifth digit
    // decides alone.
    std::string whole = Fixed(magnitude, 8);
    whole.erase(whole.find('.'));
    std::string digits = whole.substr(0, 4);
    int exponent = static_cast<int>(whole.size()) - 1;
    if (whole[4] >= '5') {
        int i = 3;
        for (; i >= 0 && digits[i] == '9'; --i)
            digits[i] = '0';
        if (i < 0)
            digits = "1000", ++exponent;
        else
            ++digits[i];
    }
    return (value < 0 ? "-" : "") + WithoutTrailingZeros(digits.substr(0, 1) + "." +
                                                         digits.substr(1)) +
           "e" + std::to_string(exponent);
}
