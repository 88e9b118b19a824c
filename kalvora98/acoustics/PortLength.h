// Length of the round ports that tune the current ported design.
#pragma once

// Length in cm of each of `numberOfPorts` ports of diameter `portDiameter` cm for
// speaker.ported (volume in litres, fb in Hz). Negative when the diameter is too
// small; not finite when the volume or fb is 0.
double CalcPortLength(double portDiameter, double numberOfPorts);
