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

// Catches a quoted value cut inside a UTF-8 character, cut at 80 bytes rather than
// characters, cut (and given "…") when it holds exactly 80, or given a UTF-8 "…" in
// Windows-1252 text.
TEST(QuotedTest, CutsAfterEightyCharacters)
{
    const std::string e160(160, 'x'), eacute = "\xC3\xA9";
    std::string accents;
    for (int i = 0; i < 81; ++i)
        accents += eacute;
    EXPECT_EQ(Quoted(std::string(80, 'x')), "'" + std::string(80, 'x') + "'");
    EXPECT_EQ(Quoted(e160), "'" + std::string(80, 'x') + "\xE2\x80\xA6'");
    EXPECT_EQ(Quoted(accents), "'" + accents.substr(0, 160) + "\xE2\x80\xA6'");
    EXPECT_EQ(Quoted(std::string(81, '\xE9'), true), "'" + std::string(80, '\xE9') + "\x85'");
}

}  // namespace
