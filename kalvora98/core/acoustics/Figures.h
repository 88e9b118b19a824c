// What a design gives beyond its curve: the closed box a volume makes, the box for a
// Qtc, the corners and the peak of a response, the vent area a driver needs. spktool
// prints them; the window program does not link them.
#pragma once
#include <vector>

#include "acoustics/Response.h"
#include "record/Speaker.h"

// The closed box the driver makes in a sealed volume (R. H. Small, "Closed-Box
// Loudspeaker Systems, Part I: Analysis", J. Audio Eng. Soc. 20, 1972): with the
// compliance ratio a = Vas/Vb, Qtc = Qts * sqrt(a + 1) and fc = Fs * sqrt(a + 1). These
// are the box's true Q and resonance, which the stored design's need not be. False when
// the volume is not positive or the ratio is negative.
bool ClosedBox(double qts, double vas, double fs, double volume, double& qtc, double& fc);

// The unrounded levels (elements 1..299) of that closed box for the record's sealed
// volume: the curve of the box the volume makes, where the stored Fb and Q draw the one
// the program shows. `limits` reads its F3 here. False as ClosedBox.
bool ClosedBoxLevels(const Speaker& record, double* levels);

// The same relations solved for the volume that gives a Qtc: Vb = Vas / ((Qtc/Qts)^2 - 1),
// fc = Fs * Qtc/Qts. False when the driver's Qts is not positive or not below the Qtc.
bool ClosedBoxForQtc(double qts, double vas, double fs, double qtc, Sealed& box);

// What the Optimize button leaves in the record: the proposal for the sealed or the
// ported design, and for the sealed one the Q that the Volume and then the Fb field
// derive as the proposal is written into them. Needs qts > 0.
Speaker Optimized(const Speaker& record, bool ported);

// The levels of the record's sealed or ported design: stored (whole dB) or unrounded.
void DesignResponse(const Speaker& record, bool ported, int* levels);
void DesignLevels(const Speaker& record, bool ported, double* levels);

// Where a response first rises through a level, interpolated linearly in dB between
// the two grid points that straddle it; below 1 Hz when it starts above the level,
// above 299 Hz when it never reaches it.
struct Crossing {
    enum { BELOW, AT, ABOVE } where;
    double hz;  // AT only
};

// F3, F6 and F10 of unrounded levels (elements 1..299), and the peak: the highest
// level's frequency, the lowest of equals, or NO_PEAK when the curve never rises above
// the level it settles at.
struct ResponseFigures {
    Crossing f3, f6, f10;
    int peakHz;
};
constexpr int NO_PEAK = 0;

// How far the highest level must stand above both the passband (0 dB) and the level at
// 299 Hz to be a peak: a peak shown in hundredths of a decibel is then +0.01 dB or more,
// and a curve still rising at 299 Hz, or flat, has none.
constexpr double LEAST_PEAK_DB = 0.005;

Crossing RisesThrough(const double* levels, double level);
ResponseFigures FiguresOf(const double* levels);

// The smallest total vent area, cm², for a vented box driven to full excursion: Small's
// rule Sv >= 0.8 fB VD, with Sv in m², fB in Hz and VD = Sd Xmax in m³, which keeps the
// air in the vents slow enough not to be heard (R. H. Small, "Vented-Box Loudspeaker
// Systems", J. Audio Eng. Soc. 21, 1973). Sd in cm², Xmax in mm, as datasheets give them.
double SmallestVentArea(double fb, double sd, double xmax);

// The diameter, cm, of each of `numberOfPorts` round ports that share a vent area, cm².
double PortDiameterForArea(double area, int numberOfPorts);

// What the Optimize button's rules were not made for, for spktool to put in words.
struct ProposalWarning {
    enum Code {
        BOX_OVER_TEN_VAS,   // a box of more than ten times Vas
        TUNED_BELOW_10_HZ,  // a box that resonates below 10 Hz
    } code;
    double value;  // the box's volume, l, or its resonance, Hz
    double vas;    // l
};

// Each thing the proposal's rules were not made for, in the order above; empty when the
// proposal is ordinary.
std::vector<ProposalWarning> ProposalWarnings(const Speaker& proposal, bool ported);
