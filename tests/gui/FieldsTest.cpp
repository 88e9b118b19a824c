#include <windows.h>

#include <cmath>
#include <cstring>
#include <string>

#include "record/Speaker.h"
#include "resources/kalvora98.h"
#include "support/GuiTest.h"
#include "win/MainWindow.h"

namespace {

struct Typed {
    const char* text;
    double value;
};

class TypedNumberTest : public MainWindowTest, public testing::WithParamInterface<Typed> {};

// Catches a field read through another conversion than the program's own, of its
// first 9 characters (the C library's would take "inf" for a number).
TEST_P(TypedNumberTest, EveryNumberFieldReadsItsLeadingNumber)
{
    Command(IDC_PORTED);
    for (int id : {IDC_QTS, IDC_VAS, IDC_FS, IDC_VOLUME, IDC_FB})
        SetField(id, GetParam().text);
    EXPECT_EQ(speaker.qts, GetParam().value);
    EXPECT_EQ(speaker.vas, GetParam().value);
    EXPECT_EQ(speaker.fs, GetParam().value);
    EXPECT_EQ(speaker.ported.volume, GetParam().value);
    EXPECT_EQ(speaker.ported.fb, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Table, TypedNumberTest,
                         testing::Values(Typed{"", 0}, Typed{"12abc", 12}, Typed{"7,5", 7},
                                         Typed{" 7", 7}, Typed{"1e3", 1000},
                                         Typed{"1234567890", 123456789}, Typed{"inf", 0}));

// A driver of Qts 0.35, Vas 100 l and Fs 30 Hz, typed into the fields.
class FieldsTest : public MainWindowTest {
protected:
    void TypeDriver()
    {
        SetField(IDC_QTS, "0.35");
        SetField(IDC_VAS, "100");
        SetField(IDC_FS, "30");
    }
};

// Catches the closed-box relation missing or wrong after a new volume.
TEST_F(FieldsTest, VolumeSetsSealedQ)
{
    TypeDriver();
    SetField(IDC_VOLUME, "24.5");
    EXPECT_EQ(speaker.sealed.volume, 24.5);
    EXPECT_DOUBLE_EQ(speaker.sealed.q, 0.35 * std::sqrt(100 / 24.5 + 1));
}

// Catches the resonance relation missing or wrong after a new Fb.
TEST_F(FieldsTest, FbSetsSealedQ)
{
    TypeDriver();
    SetField(IDC_VOLUME, "24.5");
    SetField(IDC_FB, "60.6");
    EXPECT_EQ(speaker.sealed.fb, 60.6);
    EXPECT_DOUBLE_EQ(speaker.sealed.q, 60.6 / 30 * 0.35);
}

// Catches a Q update that looks at the notification code instead of every notice.
TEST_F(FieldsTest, FocusIntoVolumeRecomputesSealedQ)
{
    TypeDriver();
    SetField(IDC_VOLUME, "24.5");
    SetField(IDC_FB, "60.6");
    SetFocus(GetDlgItem(main, IDC_VOLUME));
    EXPECT_DOUBLE_EQ(speaker.sealed.q, 0.35 * std::sqrt(100 / 24.5 + 1));
}

// Catches Qts, Vas or Fs edits re-deriving the sealed Q.
TEST_F(FieldsTest, DriverFieldsLeaveSealedQ)
{
    TypeDriver();
    SetField(IDC_FB, "60.6");
    double q = speaker.sealed.q;
    SetField(IDC_QTS, "0.5");
    SetField(IDC_VAS, "80");
    SetField(IDC_FS, "25");
    EXPECT_EQ(speaker.sealed.q, q);
    EXPECT_EQ(speaker.qts, 0.5);
}

// Catches ported edits reaching the sealed design.
TEST_F(FieldsTest, PortedEditsLeaveTheSealedDesign)
{
    TypeDriver();
    SetField(IDC_VOLUME, "24.5");
    SetField(IDC_FB, "60.6");
    Sealed before = speaker.sealed;
    Command(IDC_PORTED);
    SetField(IDC_VOLUME, "73.7");
    SetField(IDC_FB, "32.4");
    EXPECT_EQ(std::memcmp(&speaker.sealed, &before, sizeof before), 0);
    EXPECT_EQ(speaker.ported.volume, 73.7);
    EXPECT_EQ(speaker.ported.fb, 32.4);
}

struct Degenerate {
    const char* qts;
    const char* vas;
    const char* fs;
    int id;
    const char* text;
};

class SealedQGuardTest : public FieldsTest, public testing::WithParamInterface<Degenerate> {};

// Catches a zero divisor or a negative root turning the sealed Q into NaN or infinity.
TEST_P(SealedQGuardTest, KeepsTheOldQ)
{
    SetField(IDC_QTS, "0.4");
    SetField(IDC_VAS, "50");
    SetField(IDC_FS, "30");
    SetField(IDC_FB, "45");
    ASSERT_DOUBLE_EQ(speaker.sealed.q, 0.6);
    const Degenerate& d = GetParam();
    SetField(IDC_QTS, d.qts);
    SetField(IDC_VAS, d.vas);
    SetField(IDC_FS, d.fs);
    SetField(d.id, d.text);
    EXPECT_DOUBLE_EQ(speaker.sealed.q, 0.6);
}

INSTANTIATE_TEST_SUITE_P(Cases, SealedQGuardTest,
                         testing::Values(Degenerate{"0.4", "50", "30", IDC_VOLUME, "0"},
                                         Degenerate{"0.4", "50", "30", IDC_VOLUME, ""},
                                         Degenerate{"0.4", "-50", "30", IDC_VOLUME, "10"},
                                         Degenerate{"0.4", "50", "0", IDC_FB, "45"}));

// Catches texts longer than the record's 50 bytes overrunning it.
TEST_F(FieldsTest, LongTextsAreCutTo49Characters)
{
    std::string text(60, 'x');
    SetField(IDC_MODEL, text.c_str());
    SetField(IDC_INFO, text.c_str());
    EXPECT_EQ(std::string(speaker.model), std::string(49, 'x'));
    EXPECT_EQ(std::string(speaker.info), std::string(49, 'x'));
}

}  // namespace
