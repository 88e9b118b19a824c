// spktool's commands, a row each. The table declares the command line, gives the help
// its list of commands and finds what runs the one named, so that a new command is one
// row here and one file of its own.
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <span>

namespace CLI {
class App;
}

// What runs a command once its command line is parsed; returns the exit status.
using Runner = std::function<int()>;

struct Command {
    const char* name;
    const char* description;  // one line, for spktool --help
    const char* example;      // for spktool COMMAND --help
    // Declares the command's options on its subcommand, into a store of their own that
    // the runner it returns reads.
    Runner (*declare)(CLI::App& command);
};

// The `declare` of a row for a command whose options are an `Options` struct, filled by
// `Declare` and read by `Run`.
template <class Options, void (*Declare)(CLI::App&, Options&), int (*Run)(const Options&)>
Runner Bind(CLI::App& command)
{
    auto options = std::make_shared<Options>();
    Declare(command, *options);
    return [options] { return Run(*options); };
}

// In the order spktool --help lists them.
std::span<const Command> Commands();
