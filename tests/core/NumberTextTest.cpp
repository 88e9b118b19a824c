#include <cmath>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "record/NumberText.h"

namespace {

struct Typed {
    const char* text;
    double value;
};

class ReadNumberTest : public testing::TestWithParam<Typed> {};

// Catches a conversion that is locale-bound, reads more than 9 characters or refuses junk.
TEST_P(ReadNumberTest, ConvertsTheFirstNineCharactersLikeAtof)
{
    EXPECT_EQ(ReadNumber(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, ReadNumberTest,
                         testing::Values(Typed{"", 0}, Typed{"12abc", 12}, Typed{"7,5", 7},
                                         Typed{" 7", 7}, Typed{"1e3", 1000},
                                         Typed{"1234567890", 123456789}, Typed{"-0.5", -0.5},
                                         Typed{"abc", 0}, Typed{"12345678.9", 12345678},
                                         Typed{"1e-3", 0.001}));

// Catches an out-of-range exponent crashing or reading garbage.
TEST(ReadNumberTest, OverflowGivesInfinity)
{
    EXPECT_TRUE(std::isinf(ReadNumber("1e999")));
    EXPECT_TRUE(std::isnan(ReadNumber("nan")));
}

// Catches long numbers being cut, and the format width padding short ones.
TEST(FormatNumberTest, ShowsWholeNumbers)
{
    char text[NUMBER_TEXT_SIZE];
    FormatNumber(text, "%2.1f", 24.4949);
    EXPECT_STREQ(text, "24.5");
    FormatNumber(text, "%3.2f", 0.0);
    EXPECT_STREQ(text, "0.00");
    FormatNumber(text, "%2.1f", 12345678901.24);
    EXPECT_STREQ(text, "12345678901.2");
    FormatNumber(text, "%3.2f", -1.7976931348623157e308);
    EXPECT_EQ(std::strlen(text), 313u);  // the longest text any double gives
}

}  // namespace
