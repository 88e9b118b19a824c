// spktool port: the Port dialog's length, and the smallest port diameter that Small's
// vent-area rule allows for the driver's excursion.
#pragma once
#include <string>

namespace CLI {
class App;
}

struct PortOptions {
    std::string file, diameter, sd, xmax;  // as typed: the dialog reads text
    int ports = 1;
};
void DeclarePort(CLI::App& command, PortOptions& o);
int RunPort(const PortOptions& o);
