// Files in and out: bounded reads of regular files, a folder's files by their ending,
// a file written beside its target and moved onto it, a read-modify-write under a
// lock, and what a killed run left behind. On Windows every path goes through the
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
// What an existing path is when it is not a regular file ("is a directory", "is a
// device, not a file"), for a target that no --force can replace; "" for a file or
// nothing at all.
std::string NotAFile(const std::string& path);
// Whether two paths name one existing file, through links and other spellings: the
// same device and inode, or on Windows the same volume and file index.
bool SameExistingFile(const std::string& a, const std::string& b);
// One folder, whose parent must exist.
bool MakeDirectory(const std::string& path, std::string& error);

// The names (not paths) of the files in `directory` ending in ".json", sorted bytewise.
std::vector<std::string> JsonFilesIn(const std::string& directory);

// The same for any ending (".wdr"), matched without regard to case.
std::vector<std::string> FilesEndingIn(const std::string& directory, const std::string& ending);

// With '/' between them: Windows takes it as well as '\\', and both builds print the
// same paths.
std::string JoinPath(const std::string& directory, const std::string& name);

// A file written in two steps, so that a reader never sees half of it and a failure
// never costs the old one. Its states:
//   nothing staged        temporary == ""
//   staged                the bytes complete in ".NAME.XXXXXX" beside the target, listed
//                         for removal should spktool exit or be killed before the end
//   committed             moved onto the target; temporary == "", no longer listed
//   discarded             deleted; temporary == "", no longer listed
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
// was staged with `replace`, so that a file appearing since is never lost. A failed
// move discards the temporary file.
bool CommitFile(StagedFile& staged, bool replace, std::string& error);
void DiscardFile(StagedFile& staged);

// Stages and commits at once.
bool ReplaceFileBytes(const std::string& path, const std::string& bytes, bool replace,
                      bool readOnlyToo, std::string& error);

// A file's new bytes, for files that change together.
struct FileBytes {
    std::string path;
    std::string bytes;
};

// Finishes a change of several files at once, `main` already staged: the files `beside`
// are staged (checked as StageFile checks, with `replace` and `readOnlyToo` as for
// `main`), then each is moved onto its target, then `main` by `commitMain`. A failure
// at any step leaves every file as it was: the staged ones discarded, any already moved
// given back its old bytes (or removed, if it was new). `error` begins with the path
// of the file that failed.
bool CommitTogether(StagedFile& main, const std::vector<FileBytes>& beside, bool replace,
                    bool readOnlyToo,
                    const std::function<bool(StagedFile&, std::string&)>& commitMain,
                    std::string& error);

// Stages `main` and commits it together with `beside`, without a lock: for files that
// are new, or that nothing else changes.
bool ReplaceTogether(const FileBytes& main, const std::vector<FileBytes>& beside, bool replace,
                     bool readOnlyToo, std::string& error);

// A read-modify-write that no other one of the same file can interleave with: the file
// is locked (flock, LockFileEx) before it is read and until its new bytes, and those of
// the files `change` puts `beside` it, are in place (as CommitTogether puts them).
// `change` is given at most `limit` + 1 bytes and the file's size, and returns the new
// bytes; it may throw, and the lock and any temporary file go with it. `error` begins
// with the path of the file that failed, then what failed: "cannot be read: ",
// "cannot be locked: " or "cannot be written: ".
bool LockedUpdate(const std::string& path, std::size_t limit, bool readOnlyToo,
                  const std::function<std::string(const std::string&, std::uint64_t,
                                                  std::vector<FileBytes>& beside)>& change,
                  std::string& error);

// Removes what a run killed beyond catching (SIGKILL, a power cut) left in `directory`:
// temporary files of targets ending in `extension` (".woofer.spk.XXXXXX") that have not
// been touched for a minute, so that a run still writing keeps its own. Returns how
// many went.
int RemoveLeftovers(const std::string& directory, const std::string& extension);

void RemoveFile(const std::string& path);
