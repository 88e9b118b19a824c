// spktool import: one speaker file and driver sheet per driver from other people's files.
#pragma once
#include <string>
#include <vector>

namespace CLI {
class App;
}

struct ImportOutcome {
    std::string output;
    std::vector<std::string> errors;
};
struct ImportOptions {
    bool skipBad = false, force = false, optimize = false, strict = false;
};
ImportOutcome ImportCommand(const std::vector<std::string>& sources, const std::string& directory,
                            const ImportOptions& options);

struct ImportRequest {
    std::vector<std::string> sources;
    std::string out;
    ImportOptions options;
};
void DeclareImport(CLI::App& command, ImportRequest& o);
int RunImport(const ImportRequest& o);
