// Length of the round ports that tune a ported design.
#pragma once
#include "record/Speaker.h"

// Length in cm of each of `numberOfPorts` ports of diameter `portDiameter` cm for the
// box (volume in litres, fb in Hz). Negative when the diameter is too small; not finite
// when the volume or fb is 0.
double PortLength(const Ported& box, double portDiameter, double numberOfPorts);
