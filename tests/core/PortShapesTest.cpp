#include <cmath>
#include <set>

#include <gtest/gtest.h>

#include "acoustics/PortLength.h"
#include "acoustics/PortShapes.h"

namespace {

constexpr double PI_ = 3.141592653589793;

// Catches a slot tuned without its image in the panel, or its walls left out. Worked by
// hand: 50 l at 30 Hz, a slot 3 x 30 cm (S = 90 cm²) along a panel. Acoustic length
// 23562.5 x 4/pi x 90 / (30² x 50) = 60.0014 cm; the panel doubles it to 6 x 30 cm, an
// end of radius sqrt(180/pi) = 7.5694 cm, corrected by (0.85 + 0.614) r = 11.0816 cm:
// 48.9198 cm as cut. With 18 mm panels, 47.1198 cm inside, of 90 cm² of air and a
// shelf of 1.8 x 30 cm: 144 x 47.1198 = 6.7853 l.
TEST(PortShapes, SlotAgainstAHandWorkedExample)
{
    const PortShape slot = SlotPort(3, 30, 1);
    const double length = TunedLength(slot, {50, 30});
    EXPECT_NEAR(length, 48.9198, 1e-4);
    EXPECT_NEAR(PortVolume(slot, length, 18, 3), 6.7853, 1e-4);
    EXPECT_NEAR(TuningOf(slot, length, 50), 30, 1e-9);
}

// Catches a flare's mass integrated wrongly, or a plain tube's correction moved off the
// Port dialog's. A flare of R = 2.5 cm on a bore of r = 5 cm: the integral of
// r² / a(x)² over the quarter circle is 2.09439 cm (a fine midpoint sum over theta of
// r² R cos / (r + R - R cos)²), so 2 (2.09439 - 2.5) + 1.464 x 25 / 7.5 = 4.06878 cm.
TEST(PortShapes, FlaredEndCorrection)
{
    EXPECT_NEAR(EndCorrection(RoundPort(10, 1, 2.5)), 4.06878, 1e-4);
    EXPECT_DOUBLE_EQ(EndCorrection(RoundPort(10, 1)), 7.32);
    EXPECT_DOUBLE_EQ(TunedLength(RoundPort(7.5, 2), {42, 32.1}), PortLength({42, 32.1}, 7.5, 2));
}

// Catches the pipe taken as closed at one end or without its ends: a 10 cm tube 50 cm
// long is 57.32 cm long to the air, c / 2L = 34300 / 114.64 = 299.20 Hz.
TEST(PortShapes, PipeResonanceOfAKnownTube)
{
    EXPECT_NEAR(PipeResonance(RoundPort(10, 1), 50), 299.197, 1e-3);
}

struct FoldCase {
    BoxSize inside;
    double length;
    PortPath path;
};

class PortFold : public testing::TestWithParam<FoldCase> {};

// Catches a clearance left out at a bend or the open end. Worked: inside 50 high, 25 or
// 40 deep, 18 mm panels, an 8 cm port. Straight it reaches 1.8 + 25 - 8 = 18.8 cm; bent
// once the first leg turns 1.5 x 8 before the back, 1.8 + 25 - 12 = 14.8 cm, and the
// rising one stops a size under the top after starting half a size up, 50 - 12 = 38.
// Twice, in the 40 deep box: 29.8, the rise to 1.5 sizes under the top (34) and the rest
// forward, within 40 - 20 = 20.
TEST_P(PortFold, Legs)
{
    const FoldCase& c = GetParam();
    const PortPath p = FoldPort(c.inside, 1.8, 8, c.length);
    EXPECT_EQ(p.bends, c.path.bends);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(p.legs[i], c.path.legs[i], 1e-9) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PortFold,
    testing::Values(FoldCase{{50, 30, 25}, 18.8, {0, {18.8, 0, 0}}},
                    FoldCase{{50, 30, 25}, 50, {1, {14.8, 35.2, 0}}},
                    FoldCase{{50, 30, 25}, 60, {-1, {0, 0, 0}}},
                    FoldCase{{50, 30, 40}, 80, {2, {29.8, 34, 16.2}}},
                    FoldCase{{50, 6, 40}, 10, {-1, {0, 0, 0}}}));

// Catches a proposed port that no longer tunes the box or does not fit it: through the
// Helmholtz relation with c = 343 m/s (fb = c / 2 pi sqrt(S / (V L'))) and the port's own
// dimensions, every port tunes the net air to fb within 1 %, the net air is the design's,
// and the path keeps its clearances; every choice turns up.
TEST(PortShapes, EveryProposedPortTunesAndFits)
{
    std::set<int> seen;
    for (double litres : {20.0, 42.0, 90.0, 200.0})
        for (double fb : {20.0, 32.0, 45.0})
            for (double diameter : {5.0, 7.5, 10.0, 15.0})
                for (double tall : {0.0, 2.0}) {  // a slot across the width, or one of 2 d
                    const PortBox box = {{litres, fb}, 2, {1.618, 1, 0.618}, {0, 0, 0}};
                    const PortRequest r = {PortRequest::ANY, diameter, 1, tall * diameter,
                                           1.8, 3};
                    const PortProposal p = ProposePort(box, r);
                    seen.insert(p.choice);
                    if (p.choice == PortProposal::NONE)
                        continue;
                    const double s = PortSize(p.port);
                    const double each = NarrowestArea(p.port) / p.port.ports;
                    const double air = p.length + EndCorrection(p.port);
                    EXPECT_NEAR(34300 / (2 * PI_) * std::sqrt(each / (litres * 1000 * air)), fb,
                                fb / 100);
                    EXPECT_NEAR(p.gross - 2 - p.volume, litres, 1e-9);
                    const double* leg = p.path.legs;
                    EXPECT_NEAR(leg[0] + leg[1] + leg[2], p.length, 1e-9);
                    const double first = leg[0] - 1.8 + (p.path.bends ? 1.5 : 1) * s;
                    EXPECT_LE(first, p.inside.depth + 1e-9);
                    EXPECT_LE(p.port.width + p.port.diameter, p.inside.width + 1e-9);
                    EXPECT_LE(s / 2 + leg[1] + (p.path.bends == 2 ? 1.5 : 1) * s,
                              p.inside.height);
                    EXPECT_LE(leg[2], std::fmax(leg[0] - 1.8 - s, 0));
                }
    EXPECT_EQ(seen.size(), 6u);
}

// Catches a suggested box that still does not hold the port, or one needlessly large:
// the port finds a place in it and not in a box 0.2 l smaller at the same tuning.
TEST(PortShapes, SmallestHoldingBoxIsTheFirstThatHolds)
{
    const PortRequest r = {PortRequest::ANY, 10, 1, 0, 1.8, 3};
    for (double litres : {8.0, 15.0}) {
        PortBox box = {{litres, 16}, 1, {1.618, 1, 0.618}, {0, 0, 0}};
        ASSERT_FALSE(ProposePort(box, r).fits);
        const double holding = SmallestHoldingBox(box, r);
        ASSERT_GT(holding, litres);
        box.design.volume = holding;
        EXPECT_TRUE(ProposePort(box, r).fits);
        box.design.volume = holding - 0.2;
        EXPECT_FALSE(ProposePort(box, r).fits);
    }
}

}  // namespace
