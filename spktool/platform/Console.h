// The process and its console: the command line, text on standard output and error,
// and, for a file dropped on spktool in Explorer, a message box and the user's browser.
#pragma once
#include <string>
#include <vector>

// Writes UTF-8 text to standard output or error: as UTF-16 to a Windows console, which
// shows it whatever its code page, and as the UTF-8 bytes to a file or pipe. On Windows
// each line ends in CR LF, elsewhere in LF; pictures never pass through here.
void WriteText(bool error, const std::string& text);

// Whether standard error is a terminal (a console on Windows), where a line may be
// rewritten in place; not a file or pipe, where every byte stays.
bool ErrorIsTerminal();

// Flushes standard output; false with `error` when anything written to it was lost (a
// full disk, a closed pipe).
bool FinishOutput(std::string& error);

// The arguments as UTF-8 (on Windows from the wide command line, not the ANSI one),
// and standard output and error switched to binary, so that the C runtime adds no line
// ends of its own and both builds differ only where WriteText says. Elsewhere a closed
// pipe becomes a failed write to report instead of a signal that ends spktool unheard.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// True when spktool runs in a console of its own, as Explorer starts it for a file
// dropped on it or a double-click, with its output on that console: a message printed
// there vanishes with the window, so it goes to a message box as well. Never elsewhere.
bool OwnsConsole();

// A message on standard error, and in a message box when spktool owns its console.
void ShowMessage(const std::string& text, bool error);

// Opens a file with the program Windows has for its type (a page in the user's browser);
// false with `error` when there is none. Elsewhere does nothing: the page is named on
// standard output.
bool OpenDocument(const std::string& path, std::string& error);
