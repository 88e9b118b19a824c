#include <cmath>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "acoustics/Figures.h"
#include "acoustics/PortLength.h"
#include "numbers/NumberText.h"
#include "record/Speaker.h"

namespace {

struct LengthCase {
    double diameter;
    double ports;
    const char* shown;  // the length as the dialog shows it, "%2.1f"
};

void PrintTo(const LengthCase& c, std::ostream* os)
{
    *os << "diameter " << c.diameter << ", " << c.ports << " ports";
}

// A 50 litre box tuned to 35 Hz.
class PortLengthTest : public testing::TestWithParam<LengthCase> {
protected:
    double CalcPortLength(double diameter, double ports) const
    {
        return PortLength(box, diameter, ports);
    }
    Ported box = {50, 35};

    static std::string Shown(double length)
    {
        char text[NUMBER_TEXT_SIZE];
        FormatNumber(text, length, 1);
        return text;
    }
};

// Catches a wrong constant, a missing square, the port count in the wrong place or
// the end correction added instead of subtracted.
TEST_P(PortLengthTest, LengthForVolume50AndFb35)
{
    EXPECT_EQ(Shown(CalcPortLength(GetParam().diameter, GetParam().ports)), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PortLengthTest,
    testing::Values(LengthCase{10, 1, "31.1"}, LengthCase{10, 2, "69.6"},
                    LengthCase{10, 3, "108.1"}, LengthCase{10, 4, "146.6"},
                    LengthCase{2, 1, "0.1"}, LengthCase{1, 1, "-0.3"}, LengthCase{0, 1, "0.0"},
                    LengthCase{2, 4, "4.7"},
                    // A minus sign is used as typed: both terms turn positive.
                    LengthCase{-10, 1, "45.8"}, LengthCase{-1, 1, "1.1"},
                    // Long lengths are shown whole, not cut to the old 9 characters.
                    LengthCase{1e6, 1, "384693145551.0"}));

// Catches an empty box or zero tuning being turned into a plausible length:
// the dialog relies on getting no finite number back.
TEST_F(PortLengthTest, ZeroVolumeOrFbGivesNoFiniteLength)
{
    box = {0, 35};
    EXPECT_FALSE(std::isfinite(CalcPortLength(10, 1)));
    box = {50, 0};
    EXPECT_FALSE(std::isfinite(CalcPortLength(10, 1)));
    box = {0, 0};
    EXPECT_FALSE(std::isfinite(CalcPortLength(0, 1)));
}

// Catches a unit slip in Small's vent-area rule: Sd 330 cm² and Xmax 6 mm displace
// 1.98e-4 m³, which at 35 Hz want 0.8 · 35 · 1.98e-4 m² = 55.44 cm² of vent, one port of
// 8.40 cm or two of 5.94 cm.
TEST(VentAreaTest, SmallsRuleInDatasheetUnits)
{
    const double area = SmallestVentArea(35, 330, 6);
    EXPECT_NEAR(area, 55.44, 1e-9);
    EXPECT_NEAR(PortDiameterForArea(area, 1), 8.4017, 1e-4);
    EXPECT_NEAR(PortDiameterForArea(area, 2), 5.9409, 1e-4);
    EXPECT_EQ(SmallestVentArea(35, 330, 0), 0);
}

}  // namespace
