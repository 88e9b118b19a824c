// The commands of spktool. Each returns what goes to standard output, or throws a
// Failure; nothing is printed until a command has succeeded.
#pragma once
#include <string>
#include <vector>

enum class Format { Text, Csv, Json, Frd };

std::string ShowCommand(const std::vector<std::string>& files, Format format);
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
