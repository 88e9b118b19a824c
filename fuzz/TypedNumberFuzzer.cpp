// Feeds the typed-number conversion any text a field could hold and checks that only
// its first 9 characters count, converted as the C library does, and that the value
// shown back in a field is never cut.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "record/NumberText.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A field's text ends at its first NUL, as GetDlgItemTextA hands it over.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double value = ReadNumber(text.c_str());

    const std::string head(text.c_str(), strnlen(text.c_str(), TYPED_NUMBER_CHARS));
    Check(Same(value, std::strtod(head.c_str(), nullptr)));

    // The first 9 characters alone, with no NUL after them, in a block of their own:
    // a read of a 10th character is an overflow that AddressSanitizer reports.
    if (head.size() == TYPED_NUMBER_CHARS) {
        auto unterminated = std::make_unique<char[]>(TYPED_NUMBER_CHARS);
        std::memcpy(unterminated.get(), head.data(), TYPED_NUMBER_CHARS);
        Check(Same(ReadNumber(unterminated.get()), value));
    }

    char shown[NUMBER_TEXT_SIZE];
    for (const char* format : {"%3.2f", "%3.1f"}) {
        FormatNumber(shown, format, value);
        Check(std::strlen(shown) < sizeof shown - 1);
    }
    return 0;
}
