// spktool optimize: the box the Optimize button proposes, and the textbook sealed box
// for a Qtc; with --write, the proposal stored in the files.
#pragma once
#include <string>
#include <vector>

#include "SystemOptions.h"

namespace CLI {
class App;
}

struct OptimizeOptions {
    std::vector<std::string> files;
    bool sealed = false, ported = false, write = false, force = false;
    std::string qtc;  // "" for 0.707
    SystemOptions system;  // the set the box is for
};
void DeclareOptimize(CLI::App& command, OptimizeOptions& o);
int RunOptimize(const OptimizeOptions& o);
