// How loud a design plays for a power and where it gives up: cone excursion, port air
// speed, group delay, impedance and the power at which the cone reaches Xmax, on the
// response's 1 Hz grid. spktool prints them; the window program does not link them.
#pragma once
#include <vector>

#include "acoustics/Figures.h"
#include "acoustics/Response.h"
#include "acoustics/SmallSignal.h"
#include "acoustics/System.h"
#include "record/DriverSheet.h"
#include "record/Speaker.h"

// Above this peak air speed a port is commonly heard chuffing.
constexpr double AUDIBLE_PORT_SPEED = 17;  // m/s

// What the speaker file does not hold, in a datasheet's units. Qes must be above the
// file's Qts: the difference is the driver's mechanical loss.
struct LimitsDriver {
    double re;    // ohm
    double qes;
    double sd;    // cm²
    double xmax;  // mm, one way
    double le = 0;  // mH, the voice coil's inductance; NaN when the sheet does not give it
    // The coil's eddy-current loss as an impedance fit gives it: L2 (mH) with R2 (ohm)
    // across it, in series with Le. NaN or 0 is not given; the pair counts only whole.
    double l2 = 0;
    double r2 = 0;
};

// The sheet's values for a driver of `qts`: Qes from Qts and Qms (OtherQ) when the sheet
// gives Qms above Qts and no Qes. A value the sheet does not give is NaN.
LimitsDriver LimitsDriverOf(double qts, const DriverSheet& sheet);

// The driver's constants derived from Qts, Vas and Fs of the speaker file and the
// sheet's Re, Qes and Sd, in SI units, by Small's relations (acoustics/SmallSignal.h).
struct DriverConstants {
    double efficiency;  // η0, the reference efficiency
    double cms;         // m/N
    double mms;         // kg
    double bl2;         // (T·m)²
    double qms;         // from 1/Qms = 1/Qts - 1/Qes
};
DriverConstants ConstantsOf(const Speaker& s, const LimitsDriver& d);

// The drivers of a System as the one driver they act as. Their coils add as resistors
// and inductors, in series their forces too, and their cones as one of n times the area
// and mass on n springs side by side; Small's relations (acoustics/SmallSignal.h) then
// give the rest: n alike in series have Re, Le, L2, R2, Bl, Sd, Mms and Vas n times
// one's and Cms 1/n; in parallel the coil's Re, Le, L2 and R2 1/n, Bl one's, and the
// rest as in series. A compound (isobaric) pair has one cone's Sd, twice its Mms, half
// its Cms and Vas (V. Dickason, "Loudspeaker Design Cookbook", on compound loading), and
// the coil and Bl of its two coils wired as System::pair. Fs and the Q values stay those
// of one driver.
struct DriverSet {
    Speaker s;       // vas of the set
    LimitsDriver d;  // re, le, l2, r2 and sd of the set
};
DriverSet EquivalentDriver(const Speaker& s, const LimitsDriver& d, const System& system);

// Per whole hertz, element 0 unused. Peak values of excursion and port speed for the
// drive's power (V² = P·Re of the set); portSpeed is NaN for a sealed box.
struct Limits {
    double sensitivity;      // dB at 1 W into the set's Re, 1 m in half space
    double qtc, fc;          // sealed: the true Q and resonance of the volume
    double power, volts;     // the drive: W into the set's Re, V r.m.s. at the amplifier
    double level[RESPONSE_SIZE];       // dB relative to the passband, filters included
    double spl[RESPONSE_SIZE];         // dB at 1 m where the system stands
    double excursion[RESPONSE_SIZE];   // mm, each cone's
    double portSpeed[RESPONSE_SIZE];   // m/s
    double groupDelay[RESPONSE_SIZE];  // ms
    double impedance[RESPONSE_SIZE];   // ohm, the set's; Le (and L2 ∥ R2) only with useLe
    double phase[RESPONSE_SIZE];       // degrees, the impedance's angle
    double inputPower[RESPONSE_SIZE];  // W, the real power into the set
    double maxPower[RESPONSE_SIZE];    // W (as `power`) at which the excursion reaches Xmax
    double maxVolts[RESPONSE_SIZE];    // V (as `volts`) at which it reaches Xmax
    double filterGain[RESPONSE_SIZE];  // the filters' power ratio, amplifier to set (1: none)
};

// The sealed design (the system's drivers in sealed.volume) or the ported one
// (ported.volume and ported.fb, `ports` round ports of `diameter` cm), for one driver
// `d` of the set. False when a value it needs is not positive, Qes is not above Qts,
// the system is not valid (IsValidSystem) or it uses Le and `d` has none. With Le the
// coil is Re + jωLe + (jωL2 ∥ R2) when `d` gives both L2 and R2 (HasLossyCoil).
bool ComputeSystemLimits(const Speaker& s, bool ported, const LimitsDriver& d,
                         const System& system, double diameter, int ports, Limits& out);

// True when `d` gives the lossy coil's L2 and R2 both, positive and finite.
bool HasLossyCoil(const LimitsDriver& d);

// One driver at `power` W, in half space, without filters or Le: the default System.
bool ComputeLimits(const Speaker& s, bool ported, const LimitsDriver& d, double power,
                   double diameter, int ports, Limits& out);

// The extremes of the curves: the value and the lowest frequency that has it.
struct Extreme {
    double value;
    int hz;
};
struct Extremes {
    Extreme largestExcursion, lowestMaxPower, largestPortSpeed;
};

// The curves' extremes over the whole grid, over the useful band from the first whole
// hertz at or above F3 (of `limits.level`) up to 299 Hz, and below that band. A reader
// judges a subwoofer by what it does where it plays, not at 1 Hz. When F3 is not on the
// grid, usefulFrom is 0 and the band is the whole grid; belowBand holds values only
// when usefulFrom is above 1 Hz.
struct LimitsSummary {
    Crossing f3;
    Extremes whole, band, belowBand;
    int usefulFrom;
};
LimitsSummary Summarize(const Limits& limits);

// A run of whole hertz, both ends included.
struct HzRange {
    int from, to;
};

// Every run of hertz on the 1..299 Hz grid where `curve` is above `limit`, lowest first;
// a NaN value is never above it.
std::vector<HzRange> PassingRanges(const double* curve, double limit);

// A limit the power passes, for spktool to put in words.
struct LimitsWarning {
    enum Code {
        EXCURSION_OVER_XMAX,  // the cone passes Xmax
        PORT_AUDIBLE,         // the port's air passes AUDIBLE_PORT_SPEED
        POWER_OVER_PE,        // the power passes the driver's Pe
    } code;
    double limit;                 // Xmax mm, the audible speed m/s, Pe W
    std::vector<HzRange> ranges;  // where the curve is above the limit; none for the power
    Extreme largest;  // the curve's largest value, mm or m/s; for Pe the power, W
};

// Each limit the power passes, in the order above; Pe NaN is not checked.
std::vector<LimitsWarning> LimitsWarnings(const Limits& limits, double xmax, double pe,
                                          double power);

// What sets the loudest level at a frequency: the cone reaching Xmax, or the power
// reaching its most (the driver's Pe).
enum class LevelLimit { XMAX, POWER };

// Per whole hertz, the loudest level, dB at 1 m, with the cone within Xmax and the
// power within `most` W: the power is the lesser of `most` and the power that reaches
// Xmax, and the level follows from the one at `power` by 10·log10 of their ratio.
struct MaxLevelCurve {
    double spl[RESPONSE_SIZE];
    LevelLimit cause[RESPONSE_SIZE];
};
void MaxLevels(const Limits& limits, double power, double most, MaxLevelCurve& out);

// The loudest level that the design plays at every frequency from its F3 (of
// `limits.level`) up to 299 Hz: the least of the maximum-level curve there, its
// frequency and what limits it. The hertz is 0 when the response never rises through
// -3 dB on the grid.
struct LoudestLevel {
    Extreme level;
    LevelLimit cause;
};
LoudestLevel PassbandMaxSpl(const Limits& limits, double power, double most);

// The least impedance the amplifier sees where the design plays, from its F3 up (from
// the lowest hertz when the response never rises through -3 dB), at the lowest hertz
// that has it: below F3 the set's impedance falls to Re, where the amplifier sends little.
Extreme LeastImpedance(const Limits& limits);

// The power a quiet port is sized for: `power`, but no more than `most` (the driver's
// Pe) nor than the cone takes within Xmax where the port is busy, from F3 up over the
// hertz where the port's air moves at least half as fast as at its fastest. Above that
// power the cone, not the port, limits the box near its tuning, so a port sized for
// more is longer than any level the driver reaches needs. `ported` is the design at
// any port: the port's size changes neither the cone's motion nor where its air is
// fastest. `hz` is where Xmax sets the power, 0 when it does not.
struct PortPower {
    double watts;
    LevelLimit cause;  // POWER: the lesser of `power` and `most`
    int hz;
};
PortPower PortSizingPower(const Limits& ported, double power, double most);

// The ports' area, cm² in all, that keeps their air under AUDIBLE_PORT_SPEED in the
// design of `ported`, computed with ports of `area` cm² in all: the tuning fixes the
// air they move, so its speed falls as 1/area.
double QuietPortArea(const Limits& ported, double area);

// The smallest whole-centimetre diameter, from 1 to `largest`, of `ports` round ports
// that keep the peak air speed under AUDIBLE_PORT_SPEED in the ported design of `s`,
// one driver `d` of `system` at its drive; 0 when none does or the design has no limits.
int QuietPortDiameter(const Speaker& s, const LimitsDriver& d, const System& system,
                      int ports, int largest);
