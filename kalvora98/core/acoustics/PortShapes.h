// Ports of other shapes than the Port dialog's plain round tube: a slot along a panel,
// a round tube with flared ends, and any of them bent to fit a box that cannot hold it
// straight. spktool prints them; the window program does not link them. Lengths in cm,
// areas in cm², volumes in litres, unless a name says otherwise.
#pragma once
#include "acoustics/BoxBuild.h"
#include "record/Speaker.h"

// A port's cross-section. A slot lies along a panel, which is one of its walls; its
// own wooden walls, of the panels' thickness, close it on the other sides: one when it
// spans the inside width (the side panels close its ends), two when it is narrower and
// tucked against a side panel.
struct PortShape {
    enum Kind { ROUND, SLOT } kind;
    double diameter;       // round: the bore at its narrowest
    double flare;          // round: the radius of the rounding at each end; 0 for none
    double height, width;  // slot: inside, height across the panel it lies along
    int walls;             // slot: its own wooden walls where it lies along the panel
    int ports;             // round: how many alike; a slot is one
};

PortShape RoundPort(double diameter, int ports, double flare = 0);
PortShape SlotPort(double height, double width, int walls);

// The air's cross-section where it is narrowest, all ports together.
double NarrowestArea(const PortShape& port);

// The size a clearance is measured in: a round port's diameter, a slot's height.
double PortSize(const PortShape& port);

// What the ends add to each port's acoustic length beyond its length as cut, cm: the
// radiation mass of its two ends, and for a flared port the flares' own mass less their
// length. Below 0 for a wide flare, whose mouth carries less air than a tube would.
double EndCorrection(const PortShape& port);

// The length as cut, each port, that tunes `box` (litres, Hz) to its fb: the Helmholtz
// relation gives the acoustic length, less the ends' correction. A plain round port's is
// PortLength's. Below 0 when the port is too small; not finite for a volume or fb of 0.
double TunedLength(const PortShape& port, const Ported& box);

// The tuning of `litres` with a port of `length` as cut: the inverse of TunedLength.
double TuningOf(const PortShape& port, double length, double litres);

// A port's path through the box: in through the front low down, along the bottom, up
// the back after one bend and forward under the top after a second. Each leg is its
// centreline's length, the first with the panel it passes through; together they are
// the port's length. The open end and each bend keep one port size (PortSize) between
// the port's side and the panel ahead.
struct PortPath {
    int bends;        // 0, 1 or 2; -1 when no path of two bends holds the length
    double legs[3];   // cm; unused legs 0
};
PortPath FoldPort(BoxSize inside, double panelCm, double size, double length);

// The room the ports take inside the box, litres: their air and walls from the inside
// face of the panel they pass through (`panelMm`), a tube's of `wallMm`, a slot's of
// the panel's thickness.
double PortVolume(const PortShape& port, double length, double panelMm, double wallMm);

// The same for a port folded along `path` (FoldPort): a slot's legs after the first
// stand free of the panels, so each has two broad walls.
double FoldedPortVolume(const PortShape& port, const PortPath& path, double panelMm,
                        double wallMm);

// The first resonance of the port as an open pipe, Hz: c / (2 × acoustic length).
double PipeResonance(const PortShape& port, double length);

// A pipe resonance below this many hertz is worth a warning: the band a woofer still
// plays, up to some 300 Hz, or with a low-pass at `crossover` Hz (0 for none) up to
// twice that, where a fourth-order filter has it 24 dB down.
double PipeWarningHz(double crossover);

// The peak air speed at the narrowest section, m/s, of a port of `area` cm² in all, from
// the `speed` (m/s) ports of `measuredArea` reach in the same design: the tuning fixes
// the air they move, so its speed falls as 1/area.
double AirSpeedOf(double speed, double measuredArea, double area);


// What `build` asks of a ported box's port: the round ports of the design, a shape to
// keep to, and a slot's height (0: the one its area gives across the inside width).
struct PortRequest {
    enum Shape { ANY, ROUND, SLOT, BENT } shape;
    double diameter;   // cm, each round port
    int ports;
    double slotHeight;  // cm; 0 for across the inside width
    double panel;       // cm
    double wallMm;      // a tube's wall
};

// The box a port is built in: the design's net air and what else it holds, and either
// proportions to size it by or a fixed inside (proportion 0).
struct PortBox {
    Ported design;      // net litres, fb
    double held;        // litres of driver and bracing
    BoxSize proportion;
    BoxSize inside;     // cm, when the outside is given
};

// A port that fits, in the order tried: the round ports straight; a slot of their area
// along the bottom across the inside width, straight, then bent once; the round ports
// bent once; last a deeper box in the proportion's height : width that holds them
// straight. A forced shape tries its own alone (a slot or a bent port straight or bent
// as it needs). NONE when nothing fits; ROUND_STRAIGHT with `fits` false when the round
// shape is forced and too long.
struct PortProposal {
    enum Choice { ROUND_STRAIGHT, SLOT_STRAIGHT, SLOT_BENT, ROUND_BENT, DEEPER_BOX, NONE } choice;
    bool fits;
    PortShape port;
    double length;   // cm, as cut
    PortPath path;
    double volume;   // litres the port takes
    double gross;    // litres inside
    BoxSize inside;  // cm
};
PortProposal ProposePort(const PortBox& box, const PortRequest& request);

// The smallest net litres at the design's tuning in which ProposePort finds the port a
// place, the box growing in its proportions (a given outside in its own), to within
// 0.1 l; 0 when not even ten times the design's volume holds it. A larger box needs a
// shorter port, so this is the box to suggest when nothing fits.
double SmallestHoldingBox(const PortBox& box, const PortRequest& request);
