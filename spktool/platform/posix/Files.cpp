// Files on a POSIX system: bounded reads through one descriptor, symlinks followed to
// the file they lead to, and a file staged beside its target and moved onto it.
#include "../Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "../System.h"
#include "../Temporaries.h"

int LastError()
{
    return errno;
}

std::string ErrorText(int code)
{
    switch (code) {
    case ENOENT: return "no such file or directory";
    case EACCES:
    case EPERM: return "access denied";
    case EEXIST: return "file exists";
    case ENOSPC: return "no space left on device";
    case EISDIR: return "is a directory";
    case EPIPE: return "the reader has gone (broken pipe)";
    }
    return std::strerror(code);
}

namespace {

std::string KindOf(mode_t mode)
{
    return S_ISDIR(mode)    ? "is a directory"
           : S_ISFIFO(mode) ? "is a FIFO, not a file"
           : S_ISSOCK(mode) ? "is a socket, not a file"
                            : "is a device, not a file";
}

// A regular file opened for reading, or -1 with `error`. O_NONBLOCK: opening a FIFO
// must not wait for a writer before it can be refused.
int OpenRegular(const std::string& path, struct stat& status, std::string& error)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = LastErrorText();
        return -1;
    }
    if (fstat(fd, &status) != 0) {
        error = LastErrorText();
        close(fd);
        return -1;
    }
    if (!S_ISREG(status.st_mode)) {
        error = KindOf(status.st_mode);
        close(fd);
        return -1;
    }
    return fd;
}

bool ReadOpen(int fd, const struct stat& status, std::size_t limit, std::string& bytes,
              std::uint64_t& size, std::string& error)
{
    bytes.clear();
    // Grown once to the size the file says it has, not doubled on the way: a large
    // table then costs its size, not twice it while the string moves.
    bytes.reserve(std::min<std::uint64_t>(static_cast<std::uint64_t>(status.st_size), limit));
    char buffer[65536];
    while (bytes.size() <= limit) {
        const ssize_t got = read(fd, buffer, std::min(sizeof buffer, limit + 1 - bytes.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = LastErrorText();
            return false;
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    size = std::max<std::uint64_t>(static_cast<std::uint64_t>(status.st_size), bytes.size());
    return true;
}

// The file a chain of symlinks leads to, so that a write goes to it and the link stays.
std::string FollowLinks(const std::string& path)
{
    std::string at = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat status;
        char link[4096];
        if (lstat(at.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return at;
        const ssize_t size = readlink(at.c_str(), link, sizeof link);
        if (size <= 0 || static_cast<std::size_t>(size) >= sizeof link)
            return at;
        const std::string target(link, static_cast<std::size_t>(size));
        const std::size_t slash = at.rfind('/');
        at = target[0] == '/' || slash == std::string::npos ? target
                                                            : at.substr(0, slash + 1) + target;
    }
    return at;
}

}  // namespace

bool ReadRegularFile(const std::string& path, std::size_t limit, std::string& bytes,
                     std::uint64_t& size, std::string& error)
{
    struct stat status;
    const int fd = OpenRegular(path, status, error);
    if (fd < 0)
        return false;
    const bool ok = ReadOpen(fd, status, limit, bytes, size, error);
    close(fd);
    return ok;
}

bool PathExists(const std::string& path)
{
    struct stat status;
    return lstat(path.c_str(), &status) == 0;
}

bool IsDirectory(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string NotAFile(const std::string& path)
{
    struct stat status;
    return stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) ? KindOf(status.st_mode)
                                                                         : "";
}

bool SameExistingFile(const std::string& a, const std::string& b)
{
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool MakeDirectory(const std::string& path, std::string& error)
{
    if (mkdir(path.c_str(), 0777) == 0)
        return true;
    error = LastErrorText();
    return false;
}

// The entry's type saves a stat of each name; a symlink, or a file system that does not
// say, needs one.
std::vector<std::string> FileNamesIn(const std::string& directory)
{
    std::vector<std::string> names;
    DIR* dir = opendir(directory.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const bool known = entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK;
        if (known ? entry->d_type != DT_DIR : !IsDirectory(JoinPath(directory, entry->d_name)))
            names.push_back(entry->d_name);
    }
    closedir(dir);
    return names;
}

bool RemoveIfUntouched(const std::string& path, int seconds)
{
    struct stat status;
    return lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           time(nullptr) - status.st_mtime > seconds && unlink(path.c_str()) == 0;
}

void RemoveFile(const std::string& path)
{
    unlink(path.c_str());
}

// ---- Staging: nothing staged -> a complete temporary file beside the target, listed
// for deletion -> committed (renamed or linked onto the target) or discarded (deleted).

namespace {

// Whether the target may be staged for, with its `old` status when it exists.
bool CheckTarget(StagedFile& staged, bool replace, bool readOnlyToo, struct stat& old,
                 std::string& error)
{
    if (stat(staged.target.c_str(), &old) != 0) {
        if (errno == ENOENT)
            return true;
        error = LastErrorText();
        return false;
    }
    if (!S_ISREG(old.st_mode)) {
        error = KindOf(old.st_mode);
        return false;
    }
    staged.existed = true;
    if (!replace) {
        error = "exists already (--force replaces it)";
        return false;
    }
    // Root may write any file; a file nobody may write is read-only even so.
    if (!readOnlyToo && ((old.st_mode & 0222) == 0 || access(staged.target.c_str(), W_OK) != 0)) {
        error = "is read-only (--force replaces it)";
        return false;
    }
    return true;
}

// ".NAME.XXXXXX" beside the target, created and listed; its descriptor, or -1.
int CreateTemporary(StagedFile& staged, std::string& error)
{
    const std::size_t slash = staged.target.rfind('/');
    const std::string directory =
        slash == std::string::npos ? "" : staged.target.substr(0, slash + 1);
    std::string temporary = directory + "." + staged.target.substr(directory.size()) + ".XXXXXX";
    int fd = -1, failure = 0;
    if (!MakeListed(temporary, [&](std::string& name) {
            fd = mkstemp(name.data());
            failure = errno;
            return fd >= 0;
        })) {
        error = ErrorText(failure);
        return -1;
    }
    staged.temporary = temporary;
    return fd;
}

// 0 once every byte is written, or errno of the write that failed.
int WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote > 0)
            done += static_cast<std::size_t>(wrote);
        else if (wrote == 0 || errno != EINTR)
            return wrote == 0 ? ENOSPC : errno;
    }
    return 0;
}

// The replaced file's mode and owner, or a new document's mode; 0 or errno.
int TakeMode(int fd, bool existed, const struct stat& old)
{
    if (existed) {
        // The owner first: a change of owner clears the set-id bits that chmod then sets.
        if ((old.st_uid != geteuid() || old.st_gid != getegid()) &&
            fchown(fd, old.st_uid, old.st_gid) != 0)
            (void)!fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        return fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
    }
    // mkstemp makes the file readable by its owner only; a speaker file is a document.
    const mode_t mask = umask(0);
    umask(mask);
    return fchmod(fd, 0666 & ~mask) == 0 ? 0 : errno;
}

// Writes, sets the mode, syncs and closes `fd`: 0, or errno of the first step that failed.
int FillTemporary(int fd, const std::string& bytes, bool existed, const struct stat& old)
{
    int failure = WriteAll(fd, bytes);
    if (failure == 0)
        failure = TakeMode(fd, existed, old);
    // Only a file that takes the place of another must reach the disk before the move: a
    // new name lost in a crash destroys nothing, and an import of many drivers would
    // otherwise wait for the disk once per file.
    if (failure == 0 && existed && fsync(fd) != 0)
        failure = errno;
    if (close(fd) != 0 && failure == 0)
        failure = errno;
    return failure;
}

// The hostile tests' way to end a command while its temporary file exists: with
// SPKTOOL_TEST_STALL_STAGED in the environment each staged file waits ten seconds.
void StallForTests()
{
    if (std::getenv("SPKTOOL_TEST_STALL_STAGED"))
        sleep(10);
}

// Off the list, and the name forgotten: the file is the target's now, or gone.
void Forget(StagedFile& staged)
{
    Unlist(staged.temporary);
    staged.temporary.clear();
}

}  // namespace

bool StageFile(const std::string& path, const std::string& bytes, bool replace, bool readOnlyToo,
               StagedFile& staged, std::string& error)
{
    staged = StagedFile{path, FollowLinks(path), "", false, 0};
    struct stat old;
    if (!CheckTarget(staged, replace, readOnlyToo, old, error))
        return false;
    const int fd = CreateTemporary(staged, error);
    if (fd < 0)
        return false;
    if (const int failure = FillTemporary(fd, bytes, staged.existed, old)) {
        error = ErrorText(failure);
        DiscardFile(staged);
        return false;
    }
    StallForTests();
    return true;
}

bool CommitFile(StagedFile& staged, bool replace, std::string& error)
{
    const char* temporary = staged.temporary.c_str();
    const char* target = staged.target.c_str();
    int failure = 0;
    if (replace) {
        failure = rename(temporary, target) == 0 ? 0 : errno;
    } else {
        // A hard link fails if the name exists, so nobody's file is replaced even if one
        // appears between the check and the move.
        failure = link(temporary, target) == 0 ? 0 : errno;
        if ((failure == EPERM || failure == ENOTSUP || failure == EXDEV) &&
            !PathExists(staged.target))
            failure = rename(temporary, target) == 0 ? 0 : errno;
    }
    if (failure != 0)
        error = ErrorText(failure);
    if (failure == 0 && replace)
        Forget(staged);
    DiscardFile(staged);
    return failure == 0;
}

void DiscardFile(StagedFile& staged)
{
    if (staged.temporary.empty())
        return;
    const int failure = errno;  // the reason a caller may still have to read
    unlink(staged.temporary.c_str());
    Forget(staged);
    errno = failure;
}

bool LockedUpdate(const std::string& path, std::size_t limit, bool readOnlyToo,
                  const std::function<std::string(const std::string&, std::uint64_t,
                                                  std::vector<FileBytes>& beside)>& change,
                  std::string& error)
{
    const std::string name = path + ": ";
    for (int attempt = 0;; ++attempt) {
        struct stat status, now;
        const std::string target = FollowLinks(path);
        const int fd = OpenRegular(target, status, error);
        if (fd < 0)
            return Prefixed((name + "cannot be read: ").c_str(), error);
        struct Closer {
            int fd;
            ~Closer() { close(fd); }
        } closer{fd};  // closing the file ends the lock
        int locked;
        while ((locked = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (locked != 0) {
            error = name + "cannot be locked: " + LastErrorText();
            return false;
        }
        // Whoever held the lock before may have moved a new file onto the name.
        if (stat(target.c_str(), &now) != 0 || now.st_ino != status.st_ino ||
            now.st_dev != status.st_dev) {
            if (attempt < 1000)
                continue;
            error = name + "replaced again and again while waiting for it";
            return false;
        }
        std::string bytes;
        std::uint64_t size = 0;
        if (!ReadOpen(fd, status, limit, bytes, size, error))
            return Prefixed((name + "cannot be read: ").c_str(), error);
        std::vector<FileBytes> beside;
        const std::string changed = change(bytes, size, beside);
        StagedFile staged;
        if (!StageFile(path, changed, true, readOnlyToo, staged, error))
            return Prefixed((name + "cannot be written: ").c_str(), error);
        const auto commit = [](StagedFile& file, std::string& why) {
            return CommitFile(file, true, why);
        };
        return CommitTogether(staged, beside, true, readOnlyToo, commit, error);
    }
}
