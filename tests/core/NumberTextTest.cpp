#include <cmath>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "numbers/NumberText.h"

namespace {

struct Typed {
    const char* text;
    double value;
};

class ReadNumberTest : public testing::TestWithParam<Typed> {};

// Catches a conversion that is locale-bound, reads more than 9 characters, refuses junk,
// or takes the C library's extras (nan, inf, hexadecimal, Fortran's 'd') for numbers.
TEST_P(ReadNumberTest, ConvertsTheLeadingNumberOfTheFirstNineCharacters)
{
    EXPECT_EQ(ReadNumber(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, ReadNumberTest,
                         testing::Values(Typed{"", 0}, Typed{"12abc", 12}, Typed{"7,5", 7},
                                         Typed{" 7", 7}, Typed{"1e3", 1000},
                                         Typed{"1234567890", 123456789}, Typed{"-0.5", -0.5},
                                         Typed{"abc", 0}, Typed{"12345678.9", 12345678},
                                         Typed{"1e-3", 0.001}, Typed{"nan", 0}, Typed{"inf", 0},
                                         Typed{"-infinity", 0}, Typed{"0x10", 0}, Typed{"1d2", 1},
                                         Typed{"1e", 1}, Typed{"1e+x", 1}, Typed{".5", 0.5},
                                         Typed{"-.", 0}, Typed{"\t+2.5E2", 250},
                                         // Beyond 10^22 exact integers decide the rounding.
                                         Typed{"1e23", 1e23}, Typed{"9.99e-320", 9.99e-320},
                                         Typed{"1e-400", 0}, Typed{"1e999", HUGE_VAL},
                                         Typed{"-1e400", -HUGE_VAL}));

struct Shown {
    double value;
    int decimals;
    const char* text;
};

class FormatNumberTest : public testing::TestWithParam<Shown> {};

// Catches ties rounded to even (the C libraries' way), long numbers cut, a width that
// pads, and infinities or NaN shown as anything but what the fields have always shown.
TEST_P(FormatNumberTest, FixedPointWithTiesAwayFromZero)
{
    char text[NUMBER_TEXT_SIZE];
    FormatNumber(text, GetParam().value, GetParam().decimals);
    EXPECT_STREQ(text, GetParam().text) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatNumberTest,
    testing::Values(Shown{24.4949, 1, "24.5"}, Shown{0, 2, "0.00"}, Shown{0.125, 2, "0.13"},
                    Shown{-0.125, 2, "-0.13"}, Shown{37.25, 1, "37.3"}, Shown{2.5, 0, "3"},
                    Shown{0.045, 2, "0.04"},  // 0.04499999... in binary: no tie
                    Shown{-0.04, 1, "-0.0"}, Shown{9.96, 1, "10.0"},
                    Shown{12345678901.24, 1, "12345678901.2"}, Shown{5e-324, 2, "0.00"},
                    Shown{HUGE_VAL, 1, "inf"}, Shown{-HUGE_VAL, 2, "-inf"},
                    Shown{NAN, 1, "nan"}, Shown{-NAN, 1, "nan"}));

// Catches the longest text any double gives overflowing the buffer.
TEST(FormatNumberTest, LargestDoubleFitsWhole)
{
    char text[NUMBER_TEXT_SIZE];
    FormatNumber(text, -1.7976931348623157e308, 2);
    EXPECT_EQ(std::strlen(text), 313u);
    EXPECT_EQ(std::string(text).substr(0, 8), "-1797693");
}

}  // namespace
