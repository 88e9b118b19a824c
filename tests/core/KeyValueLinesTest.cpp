#include <string>

#include <gtest/gtest.h>

#include "record/KeyValueLines.h"

namespace {

// Every line the walk gives, "number:kind:text" and for a pair "name|value".
std::string Walk(std::string_view text, bool sections)
{
    KeyValueLines lines{text, sections};
    KeyValueLine line;
    std::string out;
    while (NextKeyValueLine(lines, line)) {
        out += std::to_string(line.number) + ":" + "PSN"[line.kind] + ":" + std::string(line.text);
        if (line.kind == KeyValueLine::PAIR)
            out += ":" + std::string(line.name) + "|" + std::string(line.value);
        out += "\n";
    }
    return out + "walked " + std::to_string(lines.number);
}

struct Case {
    const char* text;
    bool sections;
    const char* walk;
};

class KeyValueLinesTest : public testing::TestWithParam<Case> {};

// Catches a section read where the driver sheet has none (or missed in an INI file), a
// value cut at its own '=', a line number that skips comments or blank lines, and a
// last line without its line end lost.
TEST_P(KeyValueLinesTest, GivesEachLineWithItsNumber)
{
    EXPECT_EQ(Walk(GetParam().text, GetParam().sections), GetParam().walk);
}

INSTANTIATE_TEST_SUITE_P(
    Table, KeyValueLinesTest,
    testing::Values(
        Case{" [Driver] \r\n; c\r\n\tModel = A=B \r\nno pair", true,
             "1:S:[Driver]\n3:P:Model = A=B:Model|A=B\n4:N:no pair\nwalked 4"},
        Case{"[Driver]\n[x=y]\n\n", false, "1:N:[Driver]\n2:P:[x=y]:[x|y]\nwalked 3"},
        Case{"=\n \t\n", false, "1:P:=:|\nwalked 2"}, Case{"", true, "walked 0"}));

}  // namespace
