// From a design's volume to a box that can be cut: what the box holds besides air, its
// inside and outside size, its panels, and whether its port and driver fit. spktool
// prints them; the window program does not link them. Lengths are in any one unit and
// volumes in its cube unless a name says otherwise.
#pragma once
#include "record/Speaker.h"

struct BoxSize {
    double height, width, depth;
};

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
long long Sixteenths(double inches);

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
