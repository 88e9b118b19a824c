// spktool build: the box a design needs, with what it holds besides air, its panels
// and whether its port and driver fit.
#pragma once
#include <string>

#include "SystemOptions.h"

namespace CLI {
class App;
}

struct BuildRequest {
    bool ported = false;
    SystemOptions system;      // the port (0: not given) and the panels
    double portWall = 3;       // mm
    double brace = 0;          // l
    double driverVolume = -1;  // l; below 0: from the driver sheet
    std::string ratio;         // "H:W:D", empty for the golden one
    std::string external;      // "WxHxD", empty for a box in proportion
    bool inches = false;
    std::string svg;  // the cut sheet to write, "" for none
    bool force = false;  // replace an existing cut sheet
    std::string port;    // "round", "slot" or "bent" to force a shape; "" for any that fits
    double slotHeight = 0;  // cm; 0 for the slot across the inside width
};

std::string BuildCommand(const std::string& file, const BuildRequest& request);

// What `build` prints, without the line of the cut sheet it writes, and the cut sheet
// itself as an SVG element: in millimetres for the `svg` file asked for, else sized by
// the page it is placed in; `noCutout` says why the sheet has no cut-out. A ported
// box's port has its first pipe resonance at `pipeHz` (0 for a sealed box), and
// `pipeWarning` is PipeWarning's line of it.
struct BuiltBox {
    std::string text, svg, noCutout;
    double pipeHz = 0;
    std::string pipeWarning;
};
BuiltBox BuildBox(const std::string& file, const BuildRequest& request);

// "Warning: ..." and a line end where a port's pipe resonance at `resonanceHz` lies in
// the band the woofer plays (PipeWarningHz of `crossover`, 0 for none), else "".
std::string PipeWarning(double resonanceHz, double crossover);

// "Pipe resonance: 492 Hz, the port's first as an open pipe" and a line end.
std::string PipeResonanceLine(double resonanceHz);

// The warning, or where it is not heard the line that names the resonance all the same.
std::string PipeText(double resonanceHz, double crossover);

struct BuildOptions {
    std::string file;
    bool sealed = false;
    BuildRequest request;
};
void DeclareBuild(CLI::App& command, BuildOptions& o);
int RunBuild(const BuildOptions& o);
