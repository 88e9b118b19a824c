// The little spktool needs of the operating system: whole files in and out, a
// directory's JSON files, and the command line as UTF-8. On Windows every path goes
// through the wide-character API, so a model name outside the ANSI code page still
// makes a file name, and a file is replaced the way the program saves: a complete
// temporary file beside it, then one move.
#pragma once
#include <string>
#include <vector>

// The whole file, or false with `error` saying why.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);

// The names (not paths) of the files in `directory` ending in ".json", sorted bytewise.
std::vector<std::string> JsonFilesIn(const std::string& directory);

// The same for any ending (".wdr"), matched without regard to case.
std::vector<std::string> FilesEndingIn(const std::string& directory, const std::string& ending);

std::string JoinPath(const std::string& directory, const std::string& name);

// Writes `bytes` to a new temporary file in the directory of `path`, flushed to disk.
// Returns its name, or "" with `error` set.
std::string WriteTemporaryBeside(const std::string& path, const std::string& bytes,
                                 std::string& error);

// Moves a complete temporary file onto `path`, replacing it only when `replace`.
bool MoveIntoPlace(const std::string& temporary, const std::string& path, bool replace,
                   std::string& error);

void RemoveFile(const std::string& path);

// Writes UTF-8 text to standard output or error: as UTF-16 to a Windows console, which
// shows it whatever its code page, and as the UTF-8 bytes to a file or pipe. On Windows
// each line ends in CR LF, elsewhere in LF; pictures never pass through here.
void WriteText(bool error, const std::string& text);

// The arguments as UTF-8 (on Windows from the wide command line, not the ANSI one),
// and standard output and error switched to binary, so that the C runtime adds no line
// ends of its own and both builds differ only where WriteText says.
std::vector<std::string> CommandLineArguments(int argc, char** argv);
