// spktool port: the Port dialog's length, or a slot's or flared port's, its first pipe
// resonance, and the smallest port diameter that Small's vent-area rule allows for the
// driver's excursion.
#pragma once
#include <string>

#include "SystemOptions.h"

namespace CLI {
class App;
}

struct PortOptions {
    std::string file, diameter, sd, xmax;  // as typed: the dialog reads text
    std::string slot;                      // "HxW", cm, for a slot along a panel
    double flare = 0;                      // cm, the rounding of a round port's ends
    int ports = 1;
    SystemOptions system;  // the set whose cones move the port's air
};
void DeclarePort(CLI::App& command, PortOptions& o);
int RunPort(const PortOptions& o);
