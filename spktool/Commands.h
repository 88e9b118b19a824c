// The commands of spktool. Each returns what goes to standard output, or throws a
// Failure; nothing is printed until a command has succeeded.
#pragma once
#include <string>
#include <vector>

enum class Format { Text, Csv, Json, Frd };

std::string ShowCommand(const std::vector<std::string>& files, Format format);
std::string NewCommand(const std::string& file, const std::vector<std::string>& assignments,
                       bool force);
std::string SetCommand(const std::string& file, const std::vector<std::string>& assignments);

struct ImportOutcome {
    std::string output;
    std::vector<std::string> errors;
    std::vector<std::string> warnings;  // printed before the errors; they change no value
};
ImportOutcome ImportCommand(const std::vector<std::string>& sources, const std::string& directory,
                            bool skipBad, bool force);

std::string ResponseCommand(const std::string& file, bool ported, bool exact, Format format);
std::string OptimizeCommand(const std::string& file, bool ported, bool write,
                            const std::string& qtc);
std::string PortCommand(const std::string& file, const std::string& diameter, int ports,
                        const std::string& sd, const std::string& xmax);
