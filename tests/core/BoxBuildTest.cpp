#include <cmath>
#include <ostream>

#include <gtest/gtest.h>

#include "acoustics/BoxBuild.h"
#include "acoustics/PortLength.h"

namespace {

struct OutsideCase {
    BoxSize outside;
    double panel;
    double inside;  // volume, the unit's cube
};

void PrintTo(const OutsideCase& c, std::ostream* os)
{
    *os << c.outside.width << " x " << c.outside.height << " x " << c.outside.depth;
}

class BoxBuildOutside : public testing::TestWithParam<OutsideCase> {};

// Catches one panel taken off each side instead of two, or a side left out.
TEST_P(BoxBuildOutside, InsideVolume)
{
    EXPECT_DOUBLE_EQ(VolumeOf(InsideOf(GetParam().outside, GetParam().panel)),
                     GetParam().inside);
}

// Published enclosure-calculator examples, in inches with 3/4 in panels: 35 x 14 x 11
// holds 3,978.125 in³ (2.30 ft³), 12 x 14 x 9 holds 984.375 in³.
INSTANTIATE_TEST_SUITE_P(Table, BoxBuildOutside,
                         testing::Values(OutsideCase{{14, 35, 11}, 0.75, 3978.125},
                                         OutsideCase{{14, 12, 9}, 0.75, 984.375},
                                         OutsideCase{{10, 10, 10}, 5, 0}));

// Catches a wrong root or a side scaled apart from the others: the box holds the volume
// asked for, in the golden proportions.
TEST(BoxBuild, ProportionsKeepTheVolume)
{
    const BoxSize inside = SizeInProportion(50000, {1.618, 1, 0.618});
    EXPECT_NEAR(VolumeOf(inside), 50000, 1e-9);
    EXPECT_NEAR(inside.height / inside.width, 1.618, 1e-12);
    EXPECT_NEAR(inside.depth / inside.width, 0.618, 1e-12);
}

// Catches the wall counted once, the panel's share not taken off, or mm taken as cm:
// 100 cm inside of a 10 cm port, 11 cm outside with 5 mm walls, is pi 5.5² 100 cm³.
TEST(BoxBuild, PortDisplacementIsTheOutsideCylinderInside)
{
    EXPECT_NEAR(PortDisplacement(10, 5, 101.8, 18, 1), 9.50332, 1e-5);
    EXPECT_NEAR(PortDisplacement(10, 0, 101.8, 18, 2), 2 * 7.85398, 1e-5);
    EXPECT_EQ(PortDisplacement(10, 3, 1, 18, 1), 0);
}

// Catches panels that would not close the box: the fronts span the sides' thickness,
// the tops sit between the fronts.
TEST(BoxBuild, CutListAssemblesTheOutside)
{
    const CutList c = CutListOf({12.5, 33.5, 9.5}, 0.75);
    EXPECT_DOUBLE_EQ(c.frontBack.first, 35);
    EXPECT_DOUBLE_EQ(c.frontBack.second, 14);
    EXPECT_DOUBLE_EQ(c.sides.first, 9.5);
    EXPECT_DOUBLE_EQ(c.sides.second, 12.5);
    EXPECT_DOUBLE_EQ(c.topBottom.first, 35);
    EXPECT_DOUBLE_EQ(c.topBottom.second, 9.5);
    EXPECT_DOUBLE_EQ(c.area, 2 * (35 * 14 + 9.5 * 12.5 + 35 * 9.5));
    EXPECT_EQ(Sixteenths(13.53125), 217);  // halves round up, as a tape is read
    EXPECT_EQ(Sixteenths(0.03), 0);
}

// Catches a port suggested that is still too long or below Small's vent area: 42 l at
// 32.1 Hz with Sd 220 cm² and Xmax 5 mm needs 28.2 cm², one port of 6.0 cm.
TEST(BoxBuild, PortThatFitsAndOneThatDoesNot)
{
    const Ported box = {42, 32.1};
    int n = 0;
    double diameter = 0, length = 0;
    ASSERT_TRUE(FittingPorts(box, 28.2, 2, 7.5, 21.7, 18, n, diameter, length));
    EXPECT_EQ(n, 1);
    EXPECT_DOUBLE_EQ(diameter, 6.0);
    EXPECT_LE(DepthForPort(PortInsideLength(length, 18), diameter), 21.7);
    EXPECT_GT(DepthForPort(PortInsideLength(PortLength(box, 7.5, 1), 18), 7.5), 21.7);
    EXPECT_FALSE(FittingPorts(box, 28.2, 2, 7.5, 15, 18, n, diameter, length));
}

struct VolumeCase {
    double net;
    HeldVolumes held;
    double gross;
};

class BoxBuildVolumes : public testing::TestWithParam<VolumeCase> {};

// Catches something the box holds left out of its gross volume, or added back to its net.
TEST_P(BoxBuildVolumes, GrossHoldsTheNetAndWhatDisplacesIt)
{
    const VolumeCase& c = GetParam();
    EXPECT_NEAR(GrossVolume(c.net, c.held), c.gross, 1e-12);
    EXPECT_NEAR(NetVolume(c.gross, c.held), c.net, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Table, BoxBuildVolumes,
                         testing::Values(VolumeCase{42, {1.3, 1.2, 0.5}, 45},
                                         VolumeCase{13, {0, 0, 0}, 13},
                                         VolumeCase{20, {0.4, 0, 2.5}, 22.9}));

struct TapeCase {
    double cm;
    TapeInches tape;
};

void PrintTo(const TapeCase& c, std::ostream* os)
{
    *os << c.cm << " cm";
}

class BoxBuildTape : public testing::TestWithParam<TapeCase> {};

// Catches a fraction not in lowest terms, a sixteenth rounded the wrong way, or a
// length past a long long's reach converted anyway.
TEST_P(BoxBuildTape, ReadsAsATapeMeasure)
{
    const TapeInches tape = OnTape(GetParam().cm), expected = GetParam().tape;
    EXPECT_DOUBLE_EQ(tape.whole, expected.whole);
    EXPECT_EQ(tape.part, expected.part);
    if (expected.part != 0)
        EXPECT_EQ(tape.of, expected.of);
}

// 12 1/2 in is 31.75 cm; 89 cm is 560.63 sixteenths; 1/32 in is 0.079375 cm.
INSTANTIATE_TEST_SUITE_P(
    Table, BoxBuildTape,
    testing::Values(TapeCase{2.54, {1, 0, 16}}, TapeCase{31.75, {12, 1, 2}},
                    TapeCase{0.15875, {0, 1, 16}}, TapeCase{2.2225, {0, 7, 8}},
                    TapeCase{89, {35, 1, 16}}, TapeCase{0.0793, {0, 0, 16}},
                    TapeCase{INFINITY, {INFINITY, 0, 16}},
                    TapeCase{2.54e300, {1e300, 0, 16}}));

// Catches a unit's factor inverted or squared where it is cubed: a published box of
// 35 x 14 x 11 in outside, 3/4 in panels, holds 3,978.125 in³ (2.30 ft³, 65.19 l) and is
// cut from 1,882.5 in² (13.07 ft²) of panel.
TEST(BoxBuild, UnitsOfAPublishedBox)
{
    const BoxSize inside = InsideOf({35 * 2.54, 14 * 2.54, 11 * 2.54}, 1.905);
    EXPECT_NEAR(LitresOf(inside), 65.189789, 1e-6);
    EXPECT_NEAR(CubicFeet(LitresOf(inside)), 2.3021557, 1e-7);
    EXPECT_NEAR(PercentFrom(LitresOf(inside), 13), 401.46, 1e-2);
    EXPECT_NEAR(SquareFeet(CutListOf(inside, 1.905).area), 13.0729167, 1e-7);
    EXPECT_NEAR(SquareMetres(CutListOf(inside, 1.905).area), 1.2145137, 1e-7);
    EXPECT_NEAR(LitresOf(SizeForLitres(50, GOLDEN_PROPORTION)), 50, 1e-12);
}

// Catches the wall added once or in cm, and a fit with no room to spare refused.
TEST(BoxBuild, PortHoleAndFit)
{
    EXPECT_DOUBLE_EQ(PortHoleDiameter(7.5, 3), 8.1);
    EXPECT_DOUBLE_EQ(PortHoleDiameter(10, 5), 11);
    EXPECT_FALSE(FitOf(30.8, 21.7).fits);
    EXPECT_TRUE(FitOf(21.7, 21.7).fits);
    EXPECT_NEAR(FitOf(11.5, 21.7).spare, 10.2, 1e-12);
}

struct DriverFitCase {
    double cutout, frame, depth, panel;
    BoxSize inside;
    Fit want[3];  // cut-out, frame, depth
};

class BoxBuildDriverFit : public testing::TestWithParam<DriverFitCase> {};

// Catches the frame held against the inside or the cut-out against the outside, the
// panels counted once, or a round part checked against the wider side of its face.
TEST_P(BoxBuildDriverFit, EachPartAgainstItsRoom)
{
    const DriverFitCase& c = GetParam();
    const DriverFit fit = DriverFitOf(c.cutout, c.frame, c.depth, c.inside, c.panel);
    const Fit got[3] = {fit.cutout, fit.frame, fit.depth};
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(got[i].fits == c.want[i].fits &&
                    std::fabs(got[i].spare - c.want[i].spare) < 1e-9) << i;
}

// A 6.5-inch driver (14.3 cm cut-out, 17.0 cm frame) in a box 16.9 cm wide inside and
// 20.5 cm outside; a low box whose height binds; a narrow one whose width does.
INSTANTIATE_TEST_SUITE_P(
    Table, BoxBuildDriverFit,
    testing::Values(
        DriverFitCase{14.3, 17, 7, 1.8, {27.4, 16.9, 10.4},
                      {{true, 2.6}, {true, 3.5}, {true, 3.4}}},
        DriverFitCase{12.5, 15, 21, 1.5, {12, 30, 20}, {{false, -0.5}, {true, 0}, {false, -1}}},
        DriverFitCase{25, 29.5, 15, 2, {40, 25, 15}, {{true, 0}, {false, -0.5}, {true, 0}}}));

}  // namespace
