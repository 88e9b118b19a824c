// spktool import: drivers from other people's files into speaker files and their sheets,
// every file complete on disk before the first one takes its name.
#pragma once
#include <string>
#include <vector>

#include "Output.h"

struct ImportOptions {
    bool skipBad = false, force = false, optimize = false, strict = false;
};

// Reads every source (a file, or a folder's .json and .wdr files), plans one speaker
// file per driver in `directory` and writes them all, or with `skipBad` all the good
// ones. The output lists what was written; the errors are one line each.
Outcome ImportCommand(const std::vector<std::string>& sources, const std::string& directory,
                            const ImportOptions& options);
