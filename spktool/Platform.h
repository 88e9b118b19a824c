// The little spktool needs of the operating system: files in and out, a directory's
// JSON files, and the command line as UTF-8. On Windows every path goes through the
// wide-character API, so a model name outside the ANSI code page still makes a file
// name, and a file is replaced the way the program saves: a complete temporary file
// beside it, then one move.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// At most `limit` bytes of a regular file (limit + 1 when there are more), with the
// file's whole `size`. A folder, FIFO or device is refused at once, without waiting
// for a writer or reading without end.
bool ReadRegularFile(const std::string& path, std::size_t limit, std::string& bytes,
                     std::uint64_t& size, std::string& error);

// The whole of a regular file of at most 64 MB, or false with `error` saying why.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

bool PathExists(const std::string& path);
bool IsDirectory(const std::string& path);
// One folder, whose parent must exist.
bool MakeDirectory(const std::string& path, std::string& error);

// The names (not paths) of the files in `directory` ending in ".json", sorted bytewise.
std::vector<std::string> JsonFilesIn(const std::string& directory);

// The same for any ending (".wdr"), matched without regard to case.
std::vector<std::string> FilesEndingIn(const std::string& directory, const std::string& ending);

std::string JoinPath(const std::string& directory, const std::string& name);

// A file written in two steps: complete beside its target, then moved onto it.
struct StagedFile {
    std::string path;       // as the user named it, for messages
    std::string target;     // the file itself: where a symlink leads
    std::string temporary;  // ".NAME.XXXXXX" beside the target; "" once moved or discarded
    bool existed = false;
    unsigned long attributes = 0;  // Windows: the replaced file's, restored after the move
};

// Writes `bytes` to a temporary file beside the file `path` names (through a symlink),
// flushed to disk, with the mode and, where the user may, the owner of the file it will
// replace. Refuses a target that exists unless `replace`, one that is not a regular
// file always, and a read-only one unless `readOnlyToo`.
bool StageFile(const std::string& path, const std::string& bytes, bool replace, bool readOnlyToo,
               StagedFile& staged, std::string& error);
// Moves the temporary file onto its target; an existing one is replaced only when it
// was staged with `replace`, so that a file appearing since is never lost.
bool CommitFile(StagedFile& staged, bool replace, std::string& error);
void DiscardFile(StagedFile& staged);

// Stages and commits at once.
bool ReplaceFileBytes(const std::string& path, const std::string& bytes, bool replace,
                      bool readOnlyToo, std::string& error);

// A read-modify-write that no other one of the same file can interleave with: the file
// is locked (flock, LockFileEx) before it is read and until its new bytes are in place.
// `change` is given at most `limit` + 1 bytes and the file's size, and returns the new
// bytes; it may throw, and the lock and any temporary file go with it. `error` begins
// with what failed: "cannot be read: ", "cannot be locked: " or "cannot be written: ".
bool LockedUpdate(const std::string& path, std::size_t limit, bool readOnlyToo,
                  const std::function<std::string(const std::string&, std::uint64_t)>& change,
                  std::string& error);

// Removes what a killed run left in `directory`: temporary files of targets ending in
// `extension` (".woofer.spk.XXXXXX") that have not been touched for a minute, so that
// a run still writing keeps its own. Returns how many went.
int RemoveLeftovers(const std::string& directory, const std::string& extension);

void RemoveFile(const std::string& path);

// Writes UTF-8 text to standard output or error: as UTF-16 to a Windows console, which
// shows it whatever its code page, and as the UTF-8 bytes to a file or pipe. On Windows
// each line ends in CR LF, elsewhere in LF; pictures never pass through here.
void WriteText(bool error, const std::string& text);

// Flushes standard output; false with `error` when anything written to it was lost (a
// full disk, a closed pipe).
bool FinishOutput(std::string& error);

// The arguments as UTF-8 (on Windows from the wide command line, not the ANSI one),
// and standard output and error switched to binary, so that the C runtime adds no line
// ends of its own and both builds differ only where WriteText says.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// True when spktool runs in a console of its own, as Explorer starts it for a file
// dropped on it or a double-click, with its output on that console: a message printed
// there vanishes with the window, so it goes to a message box as well.
bool OwnsConsole();

// A message on standard error, and in a message box when spktool owns its console.
void ShowMessage(const std::string& text, bool error);

// Opens a file with the program Windows has for its type (a page in the user's browser);
// false with `error` when there is none. Elsewhere does nothing.
bool OpenDocument(const std::string& path, std::string& error);
