// Files on Windows, every path through the wide-character API: bounded reads through one
// handle, and a file staged beside its target and moved onto it as the program saves.
#include "../Files.h"

#include <windows.h>

#include <algorithm>

#include "../System.h"
#include "../Temporaries.h"
#include "Wide.h"

int LastError()
{
    return static_cast<int>(GetLastError());
}

// Windows' own words, without their trailing line break, and the POSIX build's where
// the failure is the same.
std::string ErrorText(int code)
{
    switch (static_cast<DWORD>(code)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:  // GetTempFileName's answer for a folder that is not there
        return "no such file or directory";
    case ERROR_ACCESS_DENIED: return "access denied";
    case ERROR_SHARING_VIOLATION: return "in use by another program";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return "file exists";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "no space left on device";
    }
    return "Windows error " + std::to_string(static_cast<DWORD>(code));
}

namespace {

// Beyond any real file's end, so that holding it stops no reader of the bytes: Windows
// locks are mandatory for ReadFile.
constexpr DWORD LOCK_OFFSET_HIGH = 0x7FFFFFFF;

const char* KindOf(DWORD type)
{
    return type == FILE_TYPE_PIPE ? "is a pipe, not a file" : "is a device, not a file";
}

// The handle of a regular file opened for reading, or INVALID_HANDLE_VALUE with `error`.
HANDLE OpenRegular(const std::string& path, DWORD share, std::string& error)
{
    if (IsDirectory(path)) {
        error = "is a directory";
        return INVALID_HANDLE_VALUE;
    }
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = LastErrorText();
        return file;
    }
    const DWORD type = GetFileType(file);
    if (type != FILE_TYPE_DISK) {
        error = KindOf(type);
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

bool ReadOpen(HANDLE file, std::size_t limit, std::string& bytes, std::uint64_t& size,
              std::string& error)
{
    LARGE_INTEGER length;
    size = GetFileSizeEx(file, &length) ? static_cast<std::uint64_t>(length.QuadPart) : 0;
    bytes.clear();
    // Grown once, as on POSIX: a large table costs its size, not twice it.
    bytes.reserve(std::min<std::uint64_t>(size, limit));
    char buffer[65536];
    DWORD got = 0;
    while (bytes.size() <= limit) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer,
                                                                    limit + 1 - bytes.size()));
        if (!ReadFile(file, buffer, want, &got, nullptr)) {
            error = LastErrorText();
            return false;
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    size = std::max<std::uint64_t>(size, bytes.size());
    return true;
}

// The same file, not only the same name: a file replaced since it was opened differs.
bool SameFile(HANDLE file, const std::string& path)
{
    // FILE_FLAG_BACKUP_SEMANTICS opens a folder too, to tell two folders apart.
    HANDLE now = CreateFileW(Wide(path).c_str(), 0,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (now == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION a, b;
    const bool same = GetFileInformationByHandle(file, &a) && GetFileInformationByHandle(now, &b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                      a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    CloseHandle(now);
    return same;
}

std::uint64_t Ticks(const FILETIME& time)
{
    return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

}  // namespace

bool ReadRegularFile(const std::string& path, std::size_t limit, std::string& bytes,
                     std::uint64_t& size, std::string& error)
{
    HANDLE file = OpenRegular(path, FILE_SHARE_READ, error);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = ReadOpen(file, limit, bytes, size, error);
    CloseHandle(file);
    return ok;
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string NotAFile(const std::string& path)
{
    if (IsDirectory(path))
        return "is a directory";
    HANDLE probe = CreateFileW(Wide(path).c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return "";
    const DWORD type = GetFileType(probe);
    CloseHandle(probe);
    return type == FILE_TYPE_DISK ? "" : KindOf(type);
}

bool SameExistingFile(const std::string& a, const std::string& b)
{
    HANDLE file = CreateFileW(Wide(a).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool same = SameFile(file, b);
    CloseHandle(file);
    return same;
}

bool MakeDirectory(const std::string& path, std::string& error)
{
    if (CreateDirectoryW(Wide(path).c_str(), nullptr))
        return true;
    error = LastErrorText();
    return false;
}

std::vector<std::string> FileNamesIn(const std::string& directory)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(JoinPath(directory, "*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(Narrow(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// The file's own entry in its folder tells its last write without opening it.
bool RemoveIfUntouched(const std::string& path, int seconds)
{
    const std::wstring wide = Wide(path);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const bool old = Ticks(now) - Ticks(found.ftLastWriteTime) > seconds * 10000000ull;
    return !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && old && DeleteFileW(wide.c_str());
}

void RemoveFile(const std::string& path)
{
    DeleteFileW(Wide(path).c_str());
}

// ---- Staging: nothing staged -> a complete temporary file beside the target, listed
// for deletion -> committed (moved onto the target) or discarded (deleted).

namespace {

// Six letters or digits that no other run is likely to pick at the same moment.
std::string RandomSuffix()
{
    static unsigned long state = GetTickCount() ^ (GetCurrentProcessId() << 16);
    static const char LETTERS[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(6, 'A');
    for (char& c : suffix) {
        state = state * 1103515245 + 12345;
        c = LETTERS[(state >> 16) % 62];
    }
    return suffix;
}

// Whether the target may be staged for; the attributes of one that exists are kept, to
// be restored after the move.
bool CheckTarget(StagedFile& staged, bool replace, bool readOnlyToo, std::string& error)
{
    const std::wstring wide = Wide(staged.path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "is a directory";
        return false;
    }
    HANDLE probe = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE |
                               FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        const DWORD type = GetFileType(probe);
        CloseHandle(probe);
        if (type != FILE_TYPE_DISK) {
            error = KindOf(type);
            return false;
        }
    }
    staged.existed = probe != INVALID_HANDLE_VALUE || attributes != INVALID_FILE_ATTRIBUTES;
    staged.attributes = staged.existed ? attributes : 0;
    if (staged.existed && !replace) {
        error = "exists already (--force replaces it)";
        return false;
    }
    if (staged.existed && (attributes & FILE_ATTRIBUTE_READONLY) && !readOnlyToo) {
        error = "is read-only (--force replaces it)";
        return false;
    }
    return true;
}

// ".NAME.XXXXXX" beside the target, created and listed; its handle, or
// INVALID_HANDLE_VALUE with `error`.
HANDLE CreateTemporary(StagedFile& staged, std::string& error)
{
    const std::string& path = staged.path;
    const std::size_t slash = path.find_last_of("/\\");
    const std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    HANDLE file = INVALID_HANDLE_VALUE;
    std::string temporary;
    const bool made = MakeListed(temporary, [&](std::string& name) {
        for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
            name = directory + "." + base + "." + RandomSuffix();
            file = CreateFileW(Wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
            if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
                break;
        }
        return file != INVALID_HANDLE_VALUE;
    });
    if (!made)
        error = LastErrorText();
    else
        staged.temporary = temporary;
    return file;
}

// Writes, flushes and closes `file`; false with `error` from the first step that failed.
bool FillTemporary(HANDLE file, const std::string& bytes, bool existed, std::string& error)
{
    DWORD written = 0;
    // Only a file that takes the place of another must reach the disk before the move: a
    // new name lost in a crash destroys nothing, and an import of many drivers would
    // otherwise wait for the disk once per file.
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && (!existed || FlushFileBuffers(file));
    if (!ok)
        error = LastErrorText();
    if (!CloseHandle(file) && ok) {
        error = LastErrorText();
        ok = false;
    }
    return ok;
}

// Off the list, and the name forgotten: the file is the target's now, or gone.
void Forget(StagedFile& staged)
{
    Unlist(staged.temporary);
    staged.temporary.clear();
}

bool MoveStaged(StagedFile& staged, bool replace, std::string& error)
{
    const std::wstring target = Wide(staged.target);
    const bool readOnly = staged.existed && (staged.attributes & FILE_ATTRIBUTE_READONLY);
    // Windows moves nothing onto a read-only file; StageFile let it through on purpose.
    if (readOnly)
        SetFileAttributesW(target.c_str(), staged.attributes & ~FILE_ATTRIBUTE_READONLY);
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(Wide(staged.temporary).c_str(), target.c_str(), flags)) {
        error = LastErrorText();
        if (readOnly)
            SetFileAttributesW(target.c_str(), staged.attributes);
        return false;
    }
    if (staged.existed)
        SetFileAttributesW(target.c_str(), staged.attributes);
    Forget(staged);
    return true;
}

}  // namespace

bool StageFile(const std::string& path, const std::string& bytes, bool replace, bool readOnlyToo,
               StagedFile& staged, std::string& error)
{
    staged = StagedFile{path, path, "", false, 0};
    if (!CheckTarget(staged, replace, readOnlyToo, error))
        return false;
    HANDLE file = CreateTemporary(staged, error);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    if (FillTemporary(file, bytes, staged.existed, error))
        return true;
    DiscardFile(staged);
    return false;
}

bool CommitFile(StagedFile& staged, bool replace, std::string& error)
{
    if (MoveStaged(staged, replace, error))
        return true;
    DiscardFile(staged);
    return false;
}

void DiscardFile(StagedFile& staged)
{
    if (staged.temporary.empty())
        return;
    const DWORD failure = GetLastError();  // the reason a caller may still have to read
    DeleteFileW(Wide(staged.temporary).c_str());
    Forget(staged);
    SetLastError(failure);
}

bool LockedUpdate(const std::string& path, std::size_t limit, bool readOnlyToo,
                  const std::function<std::string(const std::string&, std::uint64_t,
                                                  std::vector<FileBytes>& beside)>& change,
                  std::string& error)
{
    const std::string name = path + ": ";
    for (int attempt = 0;; ++attempt) {
        HANDLE file = OpenRegular(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  error);
        if (file == INVALID_HANDLE_VALUE)
            return Prefixed((name + "cannot be read: ").c_str(), error);
        struct Closer {
            HANDLE handle;
            ~Closer() { if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle); }
        } closer{file};  // closing the handle ends the lock
        OVERLAPPED at{};
        at.OffsetHigh = LOCK_OFFSET_HIGH;
        if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
            error = name + "cannot be locked: " + LastErrorText();
            return false;
        }
        // Whoever held the lock before may have moved a new file onto the name.
        if (!SameFile(file, path)) {
            if (attempt < 1000)
                continue;
            error = name + "replaced again and again while waiting for it";
            return false;
        }
        std::string bytes;
        std::uint64_t size = 0;
        if (!ReadOpen(file, limit, bytes, size, error))
            return Prefixed((name + "cannot be read: ").c_str(), error);
        std::vector<FileBytes> beside;
        const std::string changed = change(bytes, size, beside);
        StagedFile staged;
        if (!StageFile(path, changed, true, readOnlyToo, staged, error))
            return Prefixed((name + "cannot be written: ").c_str(), error);
        // The files beside it move first, under the lock; where a file that is open
        // cannot be replaced, the lock has to go before the locked file itself moves.
        const auto commit = [&](StagedFile& locked, std::string& why) {
            if (MoveStaged(locked, true, why))
                return true;
            CloseHandle(file);
            closer.handle = INVALID_HANDLE_VALUE;
            return CommitFile(locked, true, why);
        };
        return CommitTogether(staged, beside, true, readOnlyToo, commit, error);
    }
}
