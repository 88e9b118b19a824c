// spktool fit: a driver's parameters fitted to its measured impedance curve, with a
// second curve (mass added to the cone, or the driver on a sealed box) for the mass,
// the compliance and Vas; a speaker file and sheet of them, or an existing one updated,
// and a picture of the fit.
#pragma once
#include <string>
#include <vector>

namespace CLI {
class App;
}

struct FitOptions {
    std::string free;
    std::vector<std::string> mass, volume;  // "G FILE", "L FILE"
    double sd = 0;                          // cm², 0 when not given
    double re = 0;                          // ohm, an ohmmeter's Re to hold; 0: fitted
    std::string output;
    std::string into;  // an existing speaker file to update
    std::string svg;
    bool csv = false, json = false, force = false;
};
void DeclareFit(CLI::App& command, FitOptions& o);
int RunFit(const FitOptions& o);
