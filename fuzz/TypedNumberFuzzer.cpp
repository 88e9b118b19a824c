// Feeds the typed-number conversion any text a field could hold and checks that only
// its first 9 characters count, converted as glibc's strtod does up to the letters that
// strtod alone takes for numbers (nan, inf, hexadecimal), and that the value shown back
// in a field is glibc's exact decimal expansion rounded half away from zero.
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "numbers/NumberText.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

// Bit for bit, so that a NaN equals itself and -0 differs from 0.
bool Same(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string Shown(double value, int decimals)
{
    char shown[NUMBER_TEXT_SIZE];
    FormatNumber(shown, value, decimals);
    Check(std::strlen(shown) < sizeof shown - 1);
    return shown;
}

// glibc prints the exact binary value in full with enough digits; the digits after the
// kept ones decide the rounding, a tie going up.
std::string ExactRoundedHalfAway(double value, int decimals)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    static char exact[1500];
    std::snprintf(exact, sizeof exact, "%.1100f", std::fabs(value));
    std::string digits(exact);
    const std::size_t point = digits.find('.');
    digits.erase(point, 1);
    const std::size_t kept = point + decimals;
    bool up = digits[kept] >= '5';
    digits.resize(kept);
    for (std::size_t i = kept; up && i-- > 0;) {
        up = digits[i] == '9';
        digits[i] = up ? '0' : digits[i] + 1;
    }
    if (up)
        digits.insert(0, "1");
    std::string text = std::signbit(value) ? "-" : "";
    text += digits.substr(0, digits.size() - decimals);
    if (decimals > 0)
        text += "." + digits.substr(digits.size() - decimals);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A field's text ends at its first NUL, as GetDlgItemTextA hands it over.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double value = ReadNumber(text.c_str());

    const std::string head(text.c_str(), strnlen(text.c_str(), TYPED_NUMBER_CHARS));
    const std::string number = head.substr(0, head.find_first_of("nNiIxXpP"));
    Check(Same(value, std::strtod(number.c_str(), nullptr)));

    // The first 9 characters alone, with no NUL after them, in a block of their own:
    // a read of a 10th character is an overflow that AddressSanitizer reports.
    if (head.size() == TYPED_NUMBER_CHARS) {
        auto unterminated = std::make_unique<char[]>(TYPED_NUMBER_CHARS);
        std::memcpy(unterminated.get(), head.data(), TYPED_NUMBER_CHARS);
        Check(Same(ReadNumber(unterminated.get()), value));
    }

    // Any bit pattern at all, not only what nine characters can spell.
    double pattern = value;
    if (size >= 8)
        std::memcpy(&pattern, data, sizeof pattern);
    for (int decimals : {1, 2})
        Check(Shown(pattern, decimals) == ExactRoundedHalfAway(pattern, decimals));
    return 0;
}
