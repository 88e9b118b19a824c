// spktool: the program's speaker files and numbers for scripts, spreadsheets and other
// tools. Exit status 0 on success, 1 for bad data, 2 for a bad command line; every
// fault is one line on standard error.
#include <cstdio>
#include <optional>

#include "CommandLine.h"
#include "CommandTable.h"
#include "Failure.h"
#include "Output.h"
#include "Platform.h"
#include "Drop.h"
#include "Text.h"

namespace {

struct Declared {
    CLI::App* command;
    Runner run;
};

// Every row of the table as a subcommand, with its example under its help.
std::vector<Declared> DeclareCommandLine(CLI::App& app)
{
    app.require_subcommand(1);
    app.set_version_flag("--version", "spktool " SPKTOOL_VERSION);
    app.footer("Run spktool COMMAND --help for a command's options and an example.\n"
               "Exit status: 0 success, 1 bad data, 2 bad command line.");
    std::vector<Declared> declared;
    for (const Command& row : Commands()) {
        CLI::App* command = app.add_subcommand(row.name, row.description);
        command->footer(std::string("Example:\n  ") + row.example);
        declared.push_back({command, row.declare(*command)});
    }
    return declared;
}

void PrintWarnings()
{
    for (const std::string& warning : Warnings())
        Print(stderr, "spktool: warning: " + warning + "\n");
}

// Parses the command line; the exit status when that is all there is to do (help, the
// version, or a bad command line).
std::optional<int> Parse(CLI::App& app, const std::vector<std::string>& arguments)
{
    std::vector<char*> argvUtf8;
    for (const std::string& argument : arguments)
        argvUtf8.push_back(const_cast<char*>(argument.c_str()));
    try {
        app.parse(static_cast<int>(argvUtf8.size()), argvUtf8.data());
    } catch (const CLI::CallForHelp&) {
        // The top App hands the help to the command that was named, as "spktool port".
        Print(stdout, app.help());
        return EXIT_OK;
    } catch (const CLI::CallForVersion& version) {
        Print(stdout, std::string(version.what()) + "\n");
        return EXIT_OK;
    } catch (const CLI::ParseError& error) {
        // Two files dropped on spktool, or one that is not a speaker file: its console
        // closes as it ends, so a message box says what it takes.
        const std::string message =
            Printable(std::string("spktool: ") + error.what() + " (spktool --help)");
        ShowMessage(OwnsConsole() ? message + "\n\n" + DROP_USAGE : message, true);
        return EXIT_BAD_COMMAND_LINE;
    }
    return std::nullopt;
}

// Runs the command that was named; a failure is one line on standard error.
int Run(const std::vector<Declared>& declared)
{
    try {
        int status = EXIT_OK;
        for (const Declared& d : declared)
            if (d.command->parsed())
                status = d.run();
        PrintWarnings();
        return status;
    } catch (const Failure& failure) {
        PrintWarnings();
        Print(stderr, "spktool: " + failure.message + "\n");
        return failure.status;
    } catch (const std::exception& error) {
        Print(stderr, std::string("spktool: ") + error.what() + "\n");
        return EXIT_BAD_DATA;
    }
}

// Every way through spktool, to its exit status.
int Main(const std::vector<std::string>& arguments)
{
    // Explorer's ways to start a console program: a double-click, and a file dropped on it.
    if (arguments.size() == 1 && OwnsConsole()) {
        ShowMessage(DROP_USAGE, false);
        return EXIT_OK;
    }
    if (IsDroppedFile(arguments))
        return ReportDropped(arguments[1]);
    CLI::App app("Kalvora 98's speaker files and numbers for scripts, spreadsheets and "
                 "other tools.",
                 "spktool");
    const std::vector<Declared> declared = DeclareCommandLine(app);
    if (const std::optional<int> status = Parse(app, arguments))
        return *status;
    return Run(declared);
}

}  // namespace

int main(int argc, char** argv)
{
    const int status = Main(CommandLineArguments(argc, argv));
    // Output that never arrived is a failure, however well the command went: the help
    // and a drop's report too.
    if (std::string error; !FinishOutput(error)) {
        Print(stderr, "spktool: standard output: cannot be written: " + error + "\n");
        return status == EXIT_OK ? EXIT_BAD_DATA : status;
    }
    return status;
}
