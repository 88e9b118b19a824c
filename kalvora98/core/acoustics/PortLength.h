// Length of the round ports that tune a ported design.
#pragma once
#include "record/Speaker.h"

// Length in cm of each of `numberOfPorts` ports of diameter `portDiameter` cm for the
// box (volume in litres, fb in Hz). Negative when the diameter is too small; not finite
// when the volume or fb is 0.
double PortLength(const Ported& box, double portDiameter, double numberOfPorts);

// The smallest total vent area, cm², for a vented box driven to full excursion: Small's
// rule Sv >= 0.8 fB VD, with Sv in m², fB in Hz and VD = Sd Xmax in m³, which keeps the
// air in the vents slow enough not to be heard (R. H. Small, "Vented-Box Loudspeaker
// Systems", J. Audio Eng. Soc. 21, 1973). Sd in cm², Xmax in mm, as datasheets give them.
double SmallestVentArea(double fb, double sd, double xmax);

// The diameter, cm, of each of `numberOfPorts` round ports that share a vent area, cm².
double PortDiameterForArea(double area, int numberOfPorts);
