#include <cmath>
#include <numbers>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "acoustics/Alignment.h"
#include "acoustics/Figures.h"
#include "numbers/Elementary.h"
#include "numbers/NumberText.h"

namespace {

struct Proposal {
    int boxType;
    double qts, vas, fs;
    const char* volume;  // as the Volume and Fb fields show them
    const char* fb;
};

void PrintTo(const Proposal& p, std::ostream* os)
{
    *os << (p.boxType == BOX_SEALED ? "sealed" : "ported") << " qts " << p.qts;
}

std::string Shown(double value)
{
    char text[NUMBER_TEXT_SIZE];
    FormatNumber(text, value, 1);
    return text;
}

class AlignmentTest : public testing::TestWithParam<Proposal> {};

// Catches a wrong alignment constant or power, and arithmetic in more than double
// precision: with the x87 unit the 106.05 Hz of the last row showed as 106.0.
TEST_P(AlignmentTest, ProposesTheBoxShownInTheFields)
{
    const Proposal& p = GetParam();
    double volume, fb;
    if (p.boxType == BOX_SEALED) {
        Sealed s = SealedAlignment(p.qts, p.vas, p.fs);
        EXPECT_EQ(s.q, 0.707);
        volume = s.volume;
        fb = s.fb;
    } else {
        Ported d = PortedAlignment(p.qts, p.vas, p.fs);
        volume = d.volume;
        fb = d.fb;
    }
    EXPECT_EQ(Shown(volume), p.volume);
    EXPECT_EQ(Shown(fb), p.fb);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AlignmentTest,
    testing::Values(Proposal{BOX_SEALED, 0.35, 100, 30, "24.5", "60.6"},
                    Proposal{BOX_PORTED, 0.35, 100, 30, "73.7", "32.4"},
                    Proposal{BOX_SEALED, 0.707, 100, 30, "100.0", "30.0"},
                    Proposal{BOX_SEALED, 1.0, 100, 30, "200.1", "21.2"},
                    Proposal{BOX_SEALED, 0.57, 156.8, 85.5, "101.9", "106.1"}));

struct SealedQ {
    const char* name;
    double qts, vas, fs, volume, fb;
    double fromVolume, fromFb;  // with an old Q of 0.6
};

class SealedQTest : public testing::TestWithParam<SealedQ> {};

// Catches a wrong closed-box or resonance relation, and a zero divisor, a negative root
// or a NaN input that makes the sealed Q NaN or infinite instead of keeping the old one.
TEST_P(SealedQTest, FollowsTheFieldOrKeepsTheOldQ)
{
    const SealedQ& c = GetParam();
    EXPECT_DOUBLE_EQ(SealedQFromVolume(c.qts, c.vas, c.volume, 0.6), c.fromVolume);
    EXPECT_DOUBLE_EQ(SealedQFromFb(c.qts, c.fs, c.fb, 0.6), c.fromFb);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SealedQTest,
    testing::Values(SealedQ{"typed", 0.4, 50, 30, 50, 60, 0.56568542494923802, 0.8},
                    SealedQ{"zero_volume_and_fs", 0.4, 50, 0, 0, 60, 0.6, 0.6},
                    SealedQ{"negative_root", 0.4, -50, 30, 10, 60, 0.6, 0.8},
                    SealedQ{"nan_box", 0.4, 50, 30, NAN, NAN, 0.6, 0.6},
                    SealedQ{"nan_driver", NAN, NAN, NAN, 50, 60, 0.6, 0.6}),
    [](const testing::TestParamInfo<SealedQ>& info) { return info.param.name; });

struct Power {
    double x, y, expected;
};

class PowTest : public testing::TestWithParam<Power> {};

// Catches a power that is not correctly rounded (glibc's rounds this first row up,
// the x87 unit differs again) or that breaks C's rules for zero, signs and infinity.
TEST_P(PowTest, MatchesCorrectRoundingAndCsSpecialValues)
{
    double got = Pow(GetParam().x, GetParam().y);
    if (std::isnan(GetParam().expected))
        EXPECT_TRUE(std::isnan(got));
    else
        EXPECT_EQ(got, GetParam().expected) << std::hexfloat << got;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PowTest,
    testing::Values(Power{0x1.273098322aa5cp-3, -0x1.ccccccccccccdp-1, 0x1.6dd5daaa30a6fp+2},
                    Power{0.35, 2.87, 0x1.929792cb6d31fp-5}, Power{10, -2, 0.01},
                    Power{-10, 2, 100}, Power{-2, 3, -8}, Power{-8, 1.0 / 3, NAN},
                    Power{0, -0.9, HUGE_VAL}, Power{-0.0, 3, -0.0}, Power{2, 0.5, std::numbers::sqrt2},
                    Power{-0.0, 0.5, 0}, Power{-HUGE_VAL, 0.5, HUGE_VAL}, Power{NAN, 0, 1},
                    Power{1, NAN, 1}, Power{0.5, HUGE_VAL, 0}, Power{10, 309, HUGE_VAL},
                    Power{2, -1074, 0x1p-1074}, Power{2, -1076, 0}));

// Catches a logarithm that misses exact powers of ten or the special arguments.
TEST(Log10Test, ExactPowersAndSpecialArguments)
{
    for (int e = -300; e <= 300; e += 23)
        EXPECT_EQ(Log10(std::stod("1e" + std::to_string(e))), e) << e;
    EXPECT_EQ(Log10(0.010000000000000002), -2);  // 0.1 squared in doubles
    EXPECT_EQ(Log10(5e-324), -0x1.434e6420f4374p+8);
    EXPECT_EQ(Log10(0), -HUGE_VAL);
    EXPECT_TRUE(std::isnan(Log10(-1)));
    EXPECT_EQ(Log10(HUGE_VAL), HUGE_VAL);
}

struct ClosedBoxCase {
    double qts, vas, fs, volume;
    bool exists;
    double qtc, fc;
};

class ClosedBoxTest : public testing::TestWithParam<ClosedBoxCase> {};

// Catches a wrong compliance ratio (Vb/Vas, or no + 1) or a square root left out: a
// volume of Vas/3 doubles both Q and resonance, Vas/8 triples them, Vas/1 multiplies
// them by sqrt(2).
TEST_P(ClosedBoxTest, QAndResonanceOfTheVolume)
{
    const ClosedBoxCase& c = GetParam();
    double qtc = -1, fc = -1;
    ASSERT_EQ(ClosedBox(c.qts, c.vas, c.fs, c.volume, qtc, fc), c.exists);
    if (c.exists) {
        EXPECT_NEAR(qtc, c.qtc, 1e-12);
        EXPECT_NEAR(fc, c.fc, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClosedBoxTest,
    testing::Values(ClosedBoxCase{0.35, 60, 25, 20, true, 0.7, 50},
                    ClosedBoxCase{0.5, 80, 40, 80, true, 0.5 * std::numbers::sqrt2,
                                  40 * std::numbers::sqrt2},
                    ClosedBoxCase{0.3, 90, 20, 11.25, true, 0.9, 60},
                    ClosedBoxCase{0.35, 100, 30, 0, false, 0, 0},
                    ClosedBoxCase{0.35, 100, 30, -50, false, 0, 0},
                    ClosedBoxCase{0.35, -100, 30, 50, false, 0, 0}));

// Catches a textbook volume that is not the inverse of the closed-box relation: the box
// it proposes must give back the Qtc asked for, at the resonance it names.
TEST(ClosedBoxForQtcTest, TheBoxGivesBackItsQtc)
{
    for (double qtc : {0.5, 0.577, 0.707, 1.0, 1.2}) {
        Sealed box;
        ASSERT_TRUE(ClosedBoxForQtc(0.35, 100, 30, qtc, box)) << qtc;
        double q, fc;
        ASSERT_TRUE(ClosedBox(0.35, 100, 30, box.volume, q, fc));
        EXPECT_NEAR(q, qtc, 1e-12);
        EXPECT_NEAR(fc, box.fb, 1e-9);
        EXPECT_EQ(box.q, qtc);
    }
    Sealed none = {1, 2, 3};
    EXPECT_FALSE(ClosedBoxForQtc(0.5, 100, 30, 0.5, none)) << "no box lowers the Q";
    EXPECT_FALSE(ClosedBoxForQtc(0, 100, 30, 0.707, none));
    EXPECT_EQ(none.volume, 1);
}

}  // namespace
