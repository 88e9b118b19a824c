// From a design's volume to a box that can be cut: what the box holds besides air, its
// inside and outside size, its panels, and whether its port and driver fit. spktool
// prints them; the window program does not link them. Lengths are in any one unit and
// volumes in its cube unless a name says otherwise.
#pragma once
#include "record/Speaker.h"

struct BoxSize {
    double height, width, depth;
};

// Height : width : depth in the golden ratio, the proportions commonly recommended for
// a box: no side a whole multiple of another, so that their standing waves fall apart.
constexpr BoxSize GOLDEN_PROPORTION = {1.618, 1, 0.618};

// What takes room inside a box besides the air of the design, litres.
struct HeldVolumes {
    double driver, ports, brace;
};

// The gross internal volume a design's net volume of air needs: the air and everything
// that displaces it.
double GrossVolume(double net, HeldVolumes held);
// The air a box with `gross` litres inside leaves the design.
double NetVolume(double gross, HeldVolumes held);
// How far a built box's net volume is from the design's, in % of the design's.
double PercentFrom(double built, double design);

// The hole a port tube needs in its panel: the tube's outside diameter, cm, from its
// bore in cm and its wall in mm.
double PortHoleDiameter(double diameter, double wallMm);

// The space the ports take inside the box, litres: each a tube of `diameter` cm with
// walls of `wallMm`, `length` cm long, of which the panel it passes through (`panelMm`)
// holds the first part. 0 when the panel holds all of it.
double PortDisplacement(double diameter, double wallMm, double length, double panelMm,
                        int ports);

// The part of a port's length that is inside the box, cm; never below 0.
double PortInsideLength(double length, double panelMm);

// The inside of a box of `volume` in the proportions height : width : depth. Needs a
// positive volume and positive proportions.
BoxSize SizeInProportion(double volume, BoxSize proportion);

// The inside of a box from its outside, panels of `panel` on all six faces; a side at
// or below 0 means the panels leave nothing inside.
BoxSize InsideOf(BoxSize outside, double panel);
BoxSize OutsideOf(BoxSize inside, double panel);
double VolumeOf(BoxSize size);
// The same in cm and litres: the inside in proportion that holds `litres`, and the
// litres a size in cm holds.
BoxSize SizeForLitres(double litres, BoxSize proportion);
double LitresOf(BoxSize size);

// The three pairs of panels that enclose `inside`: the front and back overlap the
// sides, and the top and bottom sit between the front and back, on the sides.
struct PanelPair {
    double first, second;  // width or depth, then height or depth
};
struct CutList {
    PanelPair frontBack, sides, topBottom;  // each cut twice
    double area;                           // all six together
};
CutList CutListOf(BoxSize inside, double panel);

// A length as a whole number of sixteenths of an inch, the nearest, as a tape shows it.
// Needs a length whose sixteenths a long long holds.
long long Sixteenths(double inches);

// A length in cm as a tape in inches reads it: whole inches and the nearest sixteenth,
// its fraction in lowest terms (part / of; part 0 on a whole inch). A length beyond a
// tape's reach, or not a number, is all whole inches.
struct TapeInches {
    double whole;
    int part, of;
};
TapeInches OnTape(double cm);

// Litres in cubic feet, and panel areas in cm² in square feet and square metres.
double CubicFeet(double litres);
double SquareFeet(double cm2);
double SquareMetres(double cm2);

// Whether something of `size` fits in `room`, and the room it leaves.
struct Fit {
    bool fits;
    double spare;  // room - size: below 0 when it does not fit
};
Fit FitOf(double size, double room);

// Whether a driver fits its box, cm: the cut-out is a hole in the front panel, so it must
// clear the inside's height and width, or it cuts into the sides, top or bottom; the
// frame sits on the front's face, so it must clear the front's outside (the inside and
// two panels of `panel`); the mounting depth must clear the inside depth behind the
// front. A round part binds on the narrower side of its face.
struct DriverFit {
    Fit cutout, frame, depth;
};
DriverFit DriverFitOf(double cutout, double frame, double depth, BoxSize inside,
                      double panel);

// A straight port needs its inside length and one diameter of air between its end and
// the back panel, or the back panel closes it off: the depth it needs, cm.
double DepthForPort(double insideLength, double diameter);

// The ports that fit a depth and still keep the air slow: from 1 to `ports` ports, the
// fewest whose smallest diameter within `ventArea` cm² (Small's rule, see
// SmallestVentArea) is no more than `diameter` and whose length inside the box, with its
// clearance, fits `depth` cm. The diameter is rounded up to a millimetre. False when
// none fits.
bool FittingPorts(const Ported& box, double ventArea, int ports, double diameter,
                  double depth, double panelMm, int& fitPorts, double& fitDiameter,
                  double& fitLength);
