// The commands of spktool. Each returns what goes to standard output, or throws a
// Failure; nothing is printed until a command has succeeded.
#pragma once
#include <string>
#include <vector>

#include "record/Speaker.h"

enum class Format { Text, Csv, Json, Frd };

std::string ShowCommand(const std::vector<std::string>& files, Format format);

// What `show` prints of one file, a name and its value a line: the fields, the sheet's
// values, the sealed volume's true Q, both F3s and the sheet's warnings ("warning").
struct ShownLine {
    std::string name, value;
};
std::vector<ShownLine> ShowLines(const std::string& file);

// "F3 …, F6 …, F10 …, peak …" of a design as `response` prints it, or "none: " and why.
std::string DesignFigures(const Speaker& s, bool ported);
std::string NewCommand(const std::string& file, const std::vector<std::string>& assignments,
                       bool force);
std::string SetCommand(const std::string& file, const std::vector<std::string>& assignments,
                       bool force);

struct ImportOutcome {
    std::string output;
    std::vector<std::string> errors;
};
struct ImportOptions {
    bool skipBad = false, force = false, optimize = false, strict = false;
};
ImportOutcome ImportCommand(const std::vector<std::string>& sources, const std::string& directory,
                            const ImportOptions& options);

std::string ResponseCommand(const std::string& file, bool ported, bool exact, Format format);
std::string OptimizeCommand(const std::vector<std::string>& files, bool ported, bool write,
                            const std::string& qtc, bool force);
std::string PortCommand(const std::string& file, const std::string& diameter, int ports,
                        const std::string& sd, const std::string& xmax);
