#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "acoustics/Figures.h"
#include "record/DriverSheet.h"

namespace {

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Catches a number written with too few digits, a unit that does not read back, or a
// text or an unknown value that comes back changed: every value of its range, the ends
// too, must return bit for bit.
TEST(DriverSheetTest, EveryValueReadsBackToTheSameDouble)
{
    std::mt19937_64 random(164);
    for (int round = 0; round < 200; ++round) {
        DriverSheet sheet = EmptySheet();
        sheet.maker = "Sc\xE9" "an-Speak";
        sheet.model = round % 2 ? "" : "22W/8857T00 \x96 8 ohm, a name longer than 49 bytes";
        for (int i = 0; i < SHEET_VALUES; ++i) {
            // Any double of the value's range, its ends included, with all its bits.
            const SheetValueName& n = SHEET_VALUE_NAMES[i];
            const double share = std::uniform_real_distribution<double>(0, 1)(random);
            double& v = sheet.value[i];
            v = round < 2 ? (round ? n.high : n.low) : n.low * std::pow(n.high / n.low, share);
            if (random() % 4 == 0)
                v = std::nan("");
        }
        DriverSheet back;
        int line = 0;
        std::string error;
        ASSERT_TRUE(DecodeSheet(EncodeSheet(sheet), back, line, error)) << line << ": " << error;
        EXPECT_EQ(back.maker, sheet.maker);
        EXPECT_EQ(back.model, sheet.model);
        for (int i = 0; i < SHEET_VALUES; ++i)
            EXPECT_TRUE(SameBits(back.value[i], sheet.value[i]) ||
                        (std::isnan(back.value[i]) && std::isnan(sheet.value[i])))
                << SHEET_VALUE_NAMES[i].name;
    }
}

struct SheetLine {
    const char* text;
    int line;           // 0: read
    const char* error;  // part of the message
};

class SheetLineTest : public testing::TestWithParam<SheetLine> {};

// Catches a sheet edited by hand being misread: typed forms a datasheet uses are taken,
// and a wrong unit, a name that is no value, a value given twice or a number that is
// none is refused with its line.
TEST_P(SheetLineTest, ReadsOrNamesTheLine)
{
    DriverSheet sheet;
    int line = -1;
    std::string error;
    const bool read = DecodeSheet(GetParam().text, sheet, line, error);
    EXPECT_EQ(read, GetParam().line == 0) << error;
    if (read) {
        EXPECT_EQ(sheet.value[SHEET_XMAX], 6.5);
        EXPECT_EQ(sheet.maker, "Seas");
    } else {
        EXPECT_EQ(line, GetParam().line);
        EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SheetLineTest,
    testing::Values(SheetLine{"maker = Seas\nxmax = 6.5\n", 0, ""},
                    SheetLine{"; a comment\r\n\r\nmaker=Seas\r\n  XMAX  =  6,5 MM \r\n", 0, ""},
                    SheetLine{"maker = Seas\nxmax = 6.5 mm\nsd =\n", 0, ""},
                    SheetLine{"maker = Seas\nxmax = 6.5 cm\n", 2, "not its unit, mm"},
                    SheetLine{"maker = Seas\n\nxmax: 6.5\n", 3, "name = value"},
                    SheetLine{"xlim = 9\n", 1, "no value is named 'xlim'"},
                    SheetLine{"xmax = 6\nxmax = 7\n", 2, "given twice"},
                    SheetLine{"drivers = 2\nDrivers = 3\n", 2, "given twice"},
                    SheetLine{"xmax = six\n", 1, "not a number"},
                    SheetLine{"xmax = 1e999\n", 1, "not a number"},
                    SheetLine{"xmax = -2\n", 1, "not greater than 0"},
                    SheetLine{"xmax = 1e308\n", 1, "outside 0.05 to 100 mm"},
                    SheetLine{"sd = 4.9e-324\n", 1, "outside 1 to 20000 cm2"}));

// A driver whose datasheet holds together by Small's relations: Fs 30 Hz from Mms 50 g
// and Cms 0.5629 mm/N, Vas 86.1 l from Cms and Sd 330 cm², Qes 0.5655 from Re 6 ohm and
// Bl 10 Tm, Qts 0.508 from Qes and Qms 5.
DriverSheet Consistent()
{
    DriverSheet sheet = EmptySheet();
    sheet.value[SHEET_MMS] = 50;
    sheet.value[SHEET_CMS] = 0.5629;
    sheet.value[SHEET_SD] = 330;
    sheet.value[SHEET_RE] = 6;
    sheet.value[SHEET_BL] = 10;
    sheet.value[SHEET_QES] = 0.5655;
    sheet.value[SHEET_QMS] = 5;
    return sheet;
}

using W = DriverWarning;

// The first warning's value, and how far it is from what the others give (as a
// fraction; the lowest real value for one out of range).
struct Inconsistency {
    const char* name;
    double qts, vas, fs;
    int value;  // changed in the sheet, or -1
    double to;
    std::vector<DriverWarning::Code> codes;
    double firstValue, apartOrLow;
};

class DriverWarningsTest : public testing::TestWithParam<Inconsistency> {};

// Catches a relation with a unit slip (grams, mm/N and cm² against SI) or a tolerance
// that flags a real datasheet's rounding, and a typo such as Qts 40 that passes. A
// wrong Fs breaks two relations.
TEST_P(DriverWarningsTest, OneWarningPerFault)
{
    const Inconsistency& c = GetParam();
    DriverSheet sheet = Consistent();
    if (c.value >= 0)
        sheet.value[c.value] = c.to;
    const std::vector<DriverWarning> warnings = DriverWarnings(c.qts, c.vas, c.fs, sheet);
    ASSERT_EQ(warnings.size(), c.codes.size());
    for (std::size_t i = 0; i < warnings.size(); ++i)
        EXPECT_EQ(warnings[i].code, c.codes[i]) << i;
    if (warnings.empty())
        return;
    const DriverWarning& first = warnings[0];
    EXPECT_NEAR(first.value, c.firstValue, 1e-9 * c.firstValue);
    const bool unreal = first.code <= W::VAS_UNREAL;
    EXPECT_NEAR(unreal ? first.low : first.apart, c.apartOrLow, 5e-4);
    if (!unreal)
        EXPECT_NEAR(first.apart, std::fabs(first.value / first.expected - 1), 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DriverWarningsTest,
    testing::Values(
        Inconsistency{"consistent", 0.508, 86.1, 30, -1, 0, {}, 0, 0},
        Inconsistency{"rounded", 0.51, 86, 30.4, -1, 0, {}, 0, 0},
        Inconsistency{"nothing_known", 0.508, 86.1, 30, SHEET_MMS, NAN, {}, 0, 0},
        // 1/0.45 against 1/0.5655 + 1/5 = 1.9684
        Inconsistency{"qts", 0.45, 86.1, 30, -1, 0, {W::QTS_NOT_QES_QMS}, 1 / 0.45, 0.1289},
        Inconsistency{"vas", 0.508, 100, 30, -1, 0, {W::VAS_NOT_CMS_SD}, 100, 0.162},
        Inconsistency{"fs", 0.508, 86.1, 33, -1, 0,
                      {W::FS_NOT_MMS_CMS, W::BL_NOT_FS_MMS_RE_QES}, 33, 0.1},
        // 121 against 100
        Inconsistency{"bl", 0.508, 86.1, 30, SHEET_BL, 11, {W::BL_NOT_FS_MMS_RE_QES}, 121, 0.21},
        Inconsistency{"qts_typo", 40, 86.1, 30, SHEET_QES, NAN, {W::QTS_UNREAL}, 40, 0.05},
        Inconsistency{"fs_low", 0.508, 86.1, 2, SHEET_MMS, NAN, {W::FS_UNREAL}, 2, 5},
        Inconsistency{"vas_huge", 0.508, 2e4, 30, SHEET_SD, NAN, {W::VAS_UNREAL}, 2e4, 0.01}),
    [](const testing::TestParamInfo<Inconsistency>& info) { return info.param.name; });

// The consistent driver above rated at a sensitivity, with its Re. Its levels, worked
// out with mpmath at 40 digits from η0 = 4π² Fs³ Vas / (c³ Qes), air at 20 °C: 88.1959
// dB for 1 W, 89.4452 dB for 2.83 V into 6 ohm, 91.9120 dB into 3.4 ohm.
struct Rated {
    const char* name;
    double sensitivity, re;
    bool warned;
    double atVolts, apart;  // when warned
};

class SensitivityWarningTest : public testing::TestWithParam<Rated> {};

// Catches the 2 dB taken one way only, a figure checked against the 1 W level alone (a
// 2.83 V rating into 3.4 ohm is 3.7 dB above it), or Re's correction turned round.
TEST_P(SensitivityWarningTest, FarFromBothLevels)
{
    const Rated& r = GetParam();
    DriverSheet sheet = Consistent();
    sheet.value[SHEET_SENSITIVITY] = r.sensitivity;
    sheet.value[SHEET_RE] = r.re;
    std::vector<DriverWarning> found;
    for (const DriverWarning& w : DriverWarnings(0.508, 86.1, 30, sheet))
        if (w.code == W::SENSITIVITY_NOT_FS_VAS_QES)
            found.push_back(w);
    ASSERT_EQ(found.size(), r.warned ? 1u : 0u);
    if (!r.warned)
        return;
    EXPECT_EQ(found[0].value, r.sensitivity);
    EXPECT_NEAR(found[0].expected, 88.19586, 1e-5);
    EXPECT_NEAR(found[0].atVolts, r.atVolts, 1e-5);
    EXPECT_NEAR(found[0].apart, r.apart, 1e-5);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SensitivityWarningTest,
    testing::Values(Rated{"for_1_w", 88.2, 6, false, 0, 0},
                    Rated{"for_2_83_v", 89.4, 6, false, 0, 0},
                    Rated{"above_within", 91.43, 6, false, 0, 0},
                    Rated{"above_past", 91.46, 6, true, 89.44525, 2.01475},
                    Rated{"below_within", 86.21, 6, false, 0, 0},
                    Rated{"below_past", 86.18, 6, true, 89.44525, 2.01586},
                    Rated{"three_db_off", 85.2, 6, true, 89.44525, 2.99586},
                    Rated{"for_2_83_v_into_3_4_ohm", 91.9, 3.4, false, 0, 0},
                    Rated{"re_unknown", 80, NAN, false, 0, 0}),
    [](const testing::TestParamInfo<Rated>& info) { return info.param.name; });

// Catches the optimiser's warnings staying silent on a Qts 40 proposal, or speaking on
// an ordinary one.
TEST(ProposalWarningsTest, BoxesTheRulesWereNotMadeFor)
{
    Speaker driver = {};
    driver.qts = 40, driver.vas = 100, driver.fs = 30;
    const Speaker wild = Optimized(driver, true);
    const std::vector<ProposalWarning> warnings = ProposalWarnings(wild, true);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0].code, ProposalWarning::BOX_OVER_TEN_VAS);
    EXPECT_EQ(warnings[0].value, wild.ported.volume);
    EXPECT_EQ(warnings[0].vas, 100);
    EXPECT_EQ(warnings[1].code, ProposalWarning::TUNED_BELOW_10_HZ);
    EXPECT_EQ(warnings[1].value, wild.ported.fb);
    driver.qts = 0.35;
    EXPECT_TRUE(ProposalWarnings(Optimized(driver, true), true).empty());
    EXPECT_TRUE(ProposalWarnings(Optimized(driver, false), false).empty());
}

struct Edit {
    const char* name;
    const char* original;
    std::vector<SheetEntry> entries;
    const char* edited;
};

class EditedSheetTest : public testing::TestWithParam<Edit> {};

// Catches an edit that rewrites the user's sheet: lost comments or order, CR LF turned
// into LF or back, a value added where one stood already, a blank lost or doubled.
TEST_P(EditedSheetTest, ChangesOnlyTheNamedLines)
{
    EXPECT_EQ(EditedSheet(GetParam().original, GetParam().entries), GetParam().edited);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, EditedSheetTest,
    testing::Values(
        Edit{"replaced_in_place_comments_kept", "; mine\nXmax=6\n; end\nsd = 300\n",
             {{"xmax", "7 mm"}}, "; mine\nXmax=7 mm\n; end\nsd = 300\n"},
        Edit{"crlf_kept", "; mine\r\nqes = 0.4  \r\nre = 5.6\r\n", {{"qes", "0.38"}},
             "; mine\r\nqes = 0.38  \r\nre = 5.6\r\n"},
        Edit{"appended_with_the_sheets_line_end", "sd = 300\r\n; last", {{"xmax", "5 mm"}},
             "sd = 300\r\n; last\r\nxmax = 5 mm\r\n"},
        Edit{"emptied", "xmax = 6.5 mm\nsd = 300\n", {{"xmax", ""}}, "xmax =\nsd = 300\n"},
        Edit{"empty_value_filled", "maker =\r\n", {{"maker", "Seas"}}, "maker = Seas\r\n"},
        Edit{"empty_not_appended", "sd = 300\n", {{"xmax", ""}}, "sd = 300\n"},
        Edit{"new_sheet_gets_crlf", "", {{"sd", "330 cm2"}}, "sd = 330 cm2\r\n"}),
    [](const testing::TestParamInfo<Edit>& info) { return info.param.name; });

// Catches an edit that touches values nobody set, or misses one that changed.
TEST(ChangedEntriesTest, OnlyWhatDiffers)
{
    DriverSheet before = EmptySheet(), after = EmptySheet();
    before.value[SHEET_SD] = after.value[SHEET_SD] = 300;
    before.value[SHEET_XMAX] = 6.5;
    after.maker = "Seas";
    const std::vector<SheetEntry> changed = ChangedEntries(before, after);
    ASSERT_EQ(changed.size(), 2u);
    EXPECT_EQ(changed[0].name + "=" + changed[0].text, "maker=Seas");
    EXPECT_EQ(changed[1].name + "=" + changed[1].text, "xmax=");
}

int System(const char* name)
{
    return FindSheetSystem(name);
}

// Catches a system line lost, misplaced or read as a number, its line not kept for a
// message, or one written into a sheet that never had it.
TEST(SheetSystemTest, KeptAsTextWithItsLine)
{
    DriverSheet sheet;
    int line = 0;
    std::string error;
    ASSERT_TRUE(DecodeSheet("sd = 300\r\n; mine\r\nHighPass = 18:2\r\nwiring =\r\n", sheet,
                            line, error));
    EXPECT_EQ(sheet.system[System("highpass")], "18:2");
    EXPECT_EQ(sheet.systemLine[System("highpass")], 3);
    EXPECT_EQ(EncodeSheet(EmptySheet()).find("drivers"), std::string::npos);
    sheet.value[SHEET_SD] = std::nan("");
    sheet.system[System("no-le")] = "yes";
    DriverSheet back;
    ASSERT_TRUE(DecodeSheet(EncodeSheet(sheet), back, line, error)) << error;
    for (int i = 0; i < SHEET_SYSTEM_LINES; ++i)
        EXPECT_EQ(back.system[i], sheet.system[i]) << SHEET_SYSTEM_NAMES[i];
    DriverSheet cleared = back;
    cleared.system[System("highpass")] = "";
    const std::vector<SheetEntry> changed = ChangedEntries(back, cleared);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].name + "=" + changed[0].text, "highpass=");
    EXPECT_FALSE(IsEmpty(cleared));
    cleared.system[System("no-le")] = "";
    EXPECT_TRUE(IsEmpty(cleared));
}

}  // namespace
