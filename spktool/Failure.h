// How a command gives up: one line for standard error and the exit status.
#pragma once
#include <string>
#include <vector>

enum ExitStatus { EXIT_OK = 0, EXIT_BAD_DATA = 1, EXIT_BAD_COMMAND_LINE = 2 };

struct Failure {
    ExitStatus status;
    std::string message;
};

[[noreturn]] inline void BadData(const std::string& message)
{
    throw Failure{EXIT_BAD_DATA, message};
}

[[noreturn]] inline void BadCommandLine(const std::string& message)
{
    throw Failure{EXIT_BAD_COMMAND_LINE, message};
}

// What a command notes without failing ("a model name shortened"), printed on standard
// error once the command has done its work.
inline std::vector<std::string>& Warnings()
{
    static std::vector<std::string> warnings;
    return warnings;
}

// Said once, however many parts of a command come across it.
inline void Warn(const std::string& message)
{
    for (const std::string& warning : Warnings())
        if (warning == message)
            return;
    Warnings().push_back(message);
}
