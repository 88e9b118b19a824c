// spktool import: one speaker file and driver sheet per driver from other people's files.
#pragma once
#include <string>
#include <vector>

#include "import/ImportCommand.h"

namespace CLI {
class App;
}

struct ImportRequest {
    std::vector<std::string> sources;
    std::string out;
    ImportOptions options;
};
void DeclareImport(CLI::App& command, ImportRequest& o);
int RunImport(const ImportRequest& o);
