// The system a design plays in: how many drivers and how they are wired, how the
// amplifier drives them and through which filters, the box's losses and where the box
// stands. Its defaults are the one driver at a power in half space that `limits` has
// always described. spktool uses it; the window program does not link it.
#pragma once
#include <limits>

constexpr int MOST_DRIVERS = 16;
constexpr int MOST_FILTER_ORDER = 4;

enum class Wiring { PARALLEL, SERIES };

// The solid angle the box radiates into: a free field, a wall, a wall and the floor,
// a corner.
enum class Space { FULL, HALF, QUARTER, EIGHTH };

// A Butterworth filter on the signal before the amplifier; hz 0 is no filter.
struct Filter {
    double hz = 0;
    int order = 2;  // 1 to MOST_FILTER_ORDER
};

struct System {
    int drivers = 1;  // identical ones, 1 to MOST_DRIVERS
    Wiring wiring = Wiring::PARALLEL;
    // Each of the drivers a compound (isobaric) pair: two cones moving as one, the
    // second loading the first through a small sealed chamber, its two coils wired
    // as `pair`.
    bool isobaric = false;
    Wiring pair = Wiring::PARALLEL;
    // The drive: `volts` r.m.s. at the amplifier's terminals, or when that is 0, the
    // voltage of `power` W into the set's Re (V² = P·Re).
    double power = 1;
    double volts = 0;
    double sourceOhms = 0;  // the amplifier's output and the cable, in series with the set
    bool useLe = false;     // the voice coil's inductance in series with Re
    Filter highpass, lowpass;
    // The vented box's losses as Q values at Fb: leakage, absorption, the port's own
    // (R. H. Small, "Vented-Box Loudspeaker Systems", J. Audio Eng. Soc. 21, 1973).
    // Infinite is no such loss; a sealed box is taken as lossless.
    double ql = 7;
    double qa = std::numeric_limits<double>::infinity();
    double qp = std::numeric_limits<double>::infinity();
    Space space = Space::HALF;
    double cabinHz = 0;  // a car's cabin gain below this frequency; 0 is not in a car
};

// True when every value is in its range: drivers, filter orders, positive frequencies,
// losses, drive, and a source resistance of at least 0.
bool IsValidSystem(const System& system);

// The watts the drive puts into `setRe` ohm: `power`, or volts² / Re.
double DrivePower(const System& system, double setRe);

// The filters' effect at f Hz: |H|², the power ratio, and the group delay in seconds.
// A Butterworth filter of order n has |H|² = 1 / (1 + (f/fc)^2n) low-pass and
// (f/fc)^2n / (1 + (f/fc)^2n) high-pass (S. Butterworth, "On the Theory of Filter
// Amplifiers", Wireless Engineer 7, 1930).
struct FilterEffect {
    double ratio;
    double delay;
};
FilterEffect FiltersAt(const System& system, double f);

// The level the placement adds at f Hz, dB, to that of half space: 20·log10(2) for
// each halving of the solid angle, as the pressure of the same volume velocity
// doubles, and in a car 10·log10(1 + (cabinHz/f)^4), the cabin's pressure gain of
// 12 dB per octave below its corner.
double PlacementDb(const System& system, double f);

// The angle of re + j·im in degrees, -180 to 180, with the program's own arctangent so
// that every build gives the same bits.
double PhaseDegrees(double re, double im);
