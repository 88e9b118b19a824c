// spktool show: every field of speaker files and their driver sheets, the sealed
// volume's true Q and resonance, both F3s and the sheet's warnings.
#pragma once
#include <string>
#include <vector>

#include "Output.h"

namespace CLI {
class App;
}

struct ShowOptions {
    std::vector<std::string> files;
    bool csv = false, json = false;
    CsvForm form;
};
void DeclareShow(CLI::App& command, ShowOptions& o);
int RunShow(const ShowOptions& o);

// What `show` prints of one file, a name and its value a line ("warning" for each of
// the sheet's warnings).
struct ShownLine {
    std::string name, value;
};
std::vector<ShownLine> ShowLines(const std::string& file);
