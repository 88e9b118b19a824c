// spktool new and set: a speaker file and its driver sheet written from field=value
// assignments, as if typed into the program's fields.
#pragma once
#include <string>
#include <vector>

namespace CLI {
class App;
}

struct EditOptions {
    std::string file;
    std::vector<std::string> assignments;
    bool force = false;
};
void DeclareNew(CLI::App& command, EditOptions& o);
int RunNew(const EditOptions& o);
void DeclareSet(CLI::App& command, EditOptions& o);
int RunSet(const EditOptions& o);
