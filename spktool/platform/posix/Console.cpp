// The console on a POSIX system: the bytes as they are, no message boxes, no browser.
#include "../Console.h"

#include <csignal>
#include <cstdio>

#include <unistd.h>

void WriteText(bool error, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), error ? stderr : stdout);
}

bool ErrorIsTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

bool OwnsConsole()
{
    return false;
}

void ShowMessage(const std::string& text, bool)
{
    WriteText(true, text + "\n");
}

bool OpenDocument(const std::string&, std::string&)
{
    // Linux has no one way to ask for the user's browser; the page is named on output.
    return true;
}

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    // A closed pipe is a failed write to report, not a signal that ends spktool unheard.
    std::signal(SIGPIPE, SIG_IGN);
    return std::vector<std::string>(argv, argv + argc);
}
