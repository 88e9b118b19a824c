#include <cstddef>
#include <cstring>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include "record/Speaker.h"
#include "resources/kalvora98.h"
#include "support/DialogLook.h"
#include "support/GuiTest.h"
#include "win/MainWindow.h"

namespace {

const char QTS_MESSAGE[] = "Optimize needs a Qts greater than 0";

class OptimizerTest : public MainWindowTest {
protected:
    void Driver(const char* qts, const char* vas, const char* fs)
    {
        SetField(IDC_QTS, qts);
        SetField(IDC_VAS, vas);
        SetField(IDC_FS, fs);
    }

    // The enclosure type selected and a driver with Vas 100 l and Fs 30 Hz entered.
    void Prepare(int type, const char* qts)
    {
        if (type == BOX_PORTED)
            Command(IDC_PORTED);
        Driver(qts, "100", "30");
    }
};

void Describe(int type, const char* qts, std::ostream* os)
{
    *os << (type == BOX_SEALED ? "sealed" : "ported") << " qts " << qts;
}

struct Proposal {
    int type;
    const char* qts;
    const char* volume;  // as the Volume and Fb fields show the proposal
    const char* fb;
};

void PrintTo(const Proposal& p, std::ostream* os) { Describe(p.type, p.qts, os); }

class OptimizerTableTest : public OptimizerTest, public testing::WithParamInterface<Proposal> {};

// Catches a wrong alignment constant, power law or volume divisor, a swapped pair
// of fields, or formatting other than one decimal.
TEST_P(OptimizerTableTest, ShowsTheProposalForVas100Fs30)
{
    Prepare(GetParam().type, GetParam().qts);
    Command(IDC_OPTIMIZE);
    EXPECT_EQ(Field(IDC_VOLUME), GetParam().volume);
    EXPECT_EQ(Field(IDC_FB), GetParam().fb);
    EXPECT_EQ(running, 1);
}

INSTANTIATE_TEST_SUITE_P(Table, OptimizerTableTest,
                         testing::Values(Proposal{BOX_SEALED, "0.35", "24.5", "60.6"},
                                         Proposal{BOX_SEALED, "0.707", "100.0", "30.0"},
                                         Proposal{BOX_SEALED, "1.0", "200.1", "21.2"},
                                         Proposal{BOX_PORTED, "0.35", "73.7", "32.4"}));

// Catches the Fb field written before the Volume field (Q would end at
// sqrt(0.707^2 + qts^2) = 0.789) or the Q not set to the target.
TEST_F(OptimizerTest, SealedQEndsAtTheTarget)
{
    Driver("0.35", "100", "30");
    Command(IDC_OPTIMIZE);
    EXPECT_NEAR(speaker.sealed.q, 0.707, 1e-12);
}

// Catches a ratio that is not exactly 1 at the target Q: the box then equals the driver.
TEST_F(OptimizerTest, QtsAtTheTargetGivesVasAndFs)
{
    Driver("0.707", "100", "30");
    Command(IDC_OPTIMIZE);
    EXPECT_EQ(speaker.sealed.volume, 100);
    EXPECT_EQ(speaker.sealed.fb, 30);
}

// Catches the record being filled with the rounded texts (running left at 1 during the
// writes), and a record that is not brought in line with the fields afterwards.
TEST_F(OptimizerTest, RecordKeepsFullValuesUntilTheNextFieldChange)
{
    Command(IDC_PORTED);
    Driver("0.35", "100", "30");
    Command(IDC_OPTIMIZE);
    EXPECT_NEAR(speaker.ported.volume, 73.7168122, 1e-6);
    EXPECT_NEAR(speaker.ported.fb, 32.4122593, 1e-6);
    SetField(IDC_INFO, "touched");
    EXPECT_EQ(speaker.ported.volume, 73.7);
    EXPECT_EQ(speaker.ported.fb, 32.4);
}

class OtherDesignTest : public OptimizerTest, public testing::WithParamInterface<int> {};

// Catches the optimiser writing both designs, or the design of the other type.
TEST_P(OtherDesignTest, OtherDesignStaysBitForBit)
{
    int type = GetParam();
    int other = type == BOX_SEALED ? IDC_PORTED : IDC_SEALED;
    Driver("0.35", "100", "30");
    Command(other);
    SetField(IDC_VOLUME, "33.3");
    SetField(IDC_FB, "44.4");
    Command(type == BOX_SEALED ? IDC_SEALED : IDC_PORTED);
    Speaker before = speaker;

    Command(IDC_OPTIMIZE);
    if (type == BOX_SEALED)
        EXPECT_EQ(std::memcmp(&before.ported, &speaker.ported, sizeof speaker.ported), 0);
    else
        EXPECT_EQ(std::memcmp(&before.sealed, &speaker.sealed, sizeof speaker.sealed), 0);
    EXPECT_EQ(std::memcmp(&before, &speaker, offsetof(Speaker, ported)), 0)
        << "the driver itself changed";
}

INSTANTIATE_TEST_SUITE_P(Types, OtherDesignTest, testing::Values(BOX_SEALED, BOX_PORTED));

// Catches a lost flag: the Optimize button always leaves the fields live.
TEST_F(OptimizerTest, RunningEndsAtOneWhateverItWas)
{
    Driver("0.35", "100", "30");
    running = 0;
    Command(IDC_OPTIMIZE);
    EXPECT_EQ(running, 1);
}

struct BadQts {
    int type;
    const char* qts;
};

void PrintTo(const BadQts& b, std::ostream* os) { Describe(b.type, b.qts, os); }

class BadQtsTest : public OptimizerTest, public testing::WithParamInterface<BadQts> {};

// Catches a division by a zero Qts, a negative Qts raised to a fractional power, or a
// refusal that still writes something or shows no reason.
TEST_P(BadQtsTest, ShowsOneMessageAndChangesNothing)
{
    Prepare(GetParam().type, GetParam().qts);
    SetField(IDC_VOLUME, "12.5");
    SetField(IDC_FB, "40.0");
    Speaker before = speaker;

    BoxLook look{};
    ModalWatcher boxes([&](HWND box, int) {
        look = LookAt(box);
        PressOk(box);
    });
    Command(IDC_OPTIMIZE);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Count("System message", QTS_MESSAGE), 1);
    EXPECT_EQ(boxes.Seen()[0].owner, main);
    EXPECT_EQ(look.buttons, std::vector<int>{IDOK});
    EXPECT_FALSE(look.icon);
    EXPECT_EQ(std::memcmp(&before, &speaker, sizeof speaker), 0);
    EXPECT_EQ(Field(IDC_VOLUME), "12.5");
    EXPECT_EQ(Field(IDC_FB), "40.0");
    EXPECT_EQ(running, 1);
}

INSTANTIATE_TEST_SUITE_P(Table, BadQtsTest,
                         testing::Values(BadQts{BOX_SEALED, "0"}, BadQts{BOX_PORTED, "0"},
                                         BadQts{BOX_SEALED, "-0.4"}, BadQts{BOX_PORTED, "-0.4"}));

}  // namespace
