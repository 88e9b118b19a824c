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
// the page it is placed in; `noCutout` says why the sheet has no cut-out.
struct BuiltBox {
    std::string text, svg, noCutout;
};
BuiltBox BuildBox(const std::string& file, const BuildRequest& request);

struct BuildOptions {
    std::string file;
    bool sealed = false;
    BuildRequest request;
};
void DeclareBuild(CLI::App& command, BuildOptions& o);
int RunBuild(const BuildOptions& o);
