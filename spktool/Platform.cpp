#include "Platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs windows.h first.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <csignal>
#include <sys/file.h>
#include <unistd.h>

#include <ctime>
#endif

namespace {

#ifdef _WIN32

std::wstring Wide(const std::string& text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0);
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string Narrow(const wchar_t* wide)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    return text;
}

// Windows' own words for the last error, without its trailing line break.
std::string LastErrorText()
{
    const DWORD code = GetLastError();
    switch (code) {
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
    return "Windows error " + std::to_string(code);
}

#else

std::string LastErrorText()
{
    switch (errno) {
    case ENOENT: return "no such file or directory";
    case EACCES:
    case EPERM: return "access denied";
    case EEXIST: return "file exists";
    case ENOSPC: return "no space left on device";
    case EISDIR: return "is a directory";
    case EPIPE: return "the reader has gone (broken pipe)";
    }
    return std::strerror(errno);
}

#endif

}  // namespace

// Windows takes '/' as well as '\\', and with '/' both builds print the same paths.
std::string JoinPath(const std::string& directory, const std::string& name)
{
    if (directory.empty())
        return name;
    const char last = directory.back();
    return last == '/' || last == '\\' ? directory + name : directory + "/" + name;
}

namespace {

// Always false, for a failure's return.
bool Prefixed(const char* what, std::string& error)
{
    error = what + error;
    return false;
}

// ".woofer.spk.AbC123": what StageFile names a temporary file.
bool IsLeftoverName(const std::string& name, const std::string& extension)
{
    const std::size_t tail = extension.size() + 7;
    if (name.size() <= tail + 1 || name[0] != '.' ||
        name.compare(name.size() - tail, extension.size() + 1, extension + ".") != 0)
        return false;
    return std::all_of(name.end() - 6, name.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

}  // namespace

// Tables are read whole; a driver table larger than this is not one.
constexpr std::size_t WHOLE_FILE_LIMIT = 64 << 20;

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    std::uint64_t size = 0;
    if (!ReadRegularFile(path, WHOLE_FILE_LIMIT, bytes, size, error))
        return false;
    if (bytes.size() > WHOLE_FILE_LIMIT) {
        error = "larger than 64 MB, the most spktool reads of a table";
        bytes.clear();
        return false;
    }
    return true;
}

bool FinishOutput(std::string& error)
{
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return true;
    error = errno ? LastErrorText() : "write error";
    return false;
}

bool ReplaceFileBytes(const std::string& path, const std::string& bytes, bool replace,
                      bool readOnlyToo, std::string& error)
{
    StagedFile staged;
    return StageFile(path, bytes, replace, readOnlyToo, staged, error) &&
           CommitFile(staged, replace, error);
}

#ifdef _WIN32

namespace {

// Beyond any real file's end, so that holding it stops no reader of the bytes: Windows
// locks are mandatory for ReadFile.
constexpr DWORD LOCK_OFFSET_HIGH = 0x7FFFFFFF;

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
        error = type == FILE_TYPE_PIPE ? "is a pipe, not a file" : "is a device, not a file";
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
    HANDLE now = CreateFileW(Wide(path).c_str(), 0,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (now == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION a, b;
    const bool same = GetFileInformationByHandle(file, &a) && GetFileInformationByHandle(now, &b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                      a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    CloseHandle(now);
    return same;
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

bool MakeDirectory(const std::string& path, std::string& error)
{
    if (CreateDirectoryW(Wide(path).c_str(), nullptr))
        return true;
    error = LastErrorText();
    return false;
}

std::vector<std::string> JsonFilesIn(const std::string& directory)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(JoinPath(directory, "*.json")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        // "*.json" also matches the short 8.3 names of "*.jsonx"; check the long one.
        std::string name = Narrow(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() > 5 &&
            _stricmp(name.c_str() + name.size() - 5, ".json") == 0)
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> FilesEndingIn(const std::string& directory, const std::string& ending)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(JoinPath(directory, "*" + ending)).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        // "*.wdr" also matches the short 8.3 names of "*.wdrx"; check the long one.
        std::string name = Narrow(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() > ending.size() &&
            _stricmp(name.c_str() + name.size() - ending.size(), ending.c_str()) == 0)
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}


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
    staged.temporary.clear();
    return true;
}

}  // namespace

bool StageFile(const std::string& path, const std::string& bytes, bool replace, bool readOnlyToo,
               StagedFile& staged, std::string& error)
{
    staged = StagedFile{path, path, "", false, 0};
    const std::wstring wide = Wide(path);
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
            error = type == FILE_TYPE_PIPE ? "is a pipe, not a file" : "is a device, not a file";
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
    const std::size_t slash = path.find_last_of("/\\");
    const std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        staged.temporary = directory + "." + base + "." + RandomSuffix();
        file = CreateFileW(Wide(staged.temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (file == INVALID_HANDLE_VALUE) {
        error = LastErrorText();
        staged.temporary.clear();
        return false;
    }
    DWORD written = 0;
    // Only a file that takes the place of another must reach the disk before the move: a
    // new name lost in a crash destroys nothing, and an import of many drivers would
    // otherwise wait for the disk once per file.
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && (!staged.existed || FlushFileBuffers(file));
    if (!ok)
        error = LastErrorText();
    if (!CloseHandle(file) && ok) {
        error = LastErrorText();
        ok = false;
    }
    if (!ok)
        DiscardFile(staged);
    return ok;
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
    if (!staged.temporary.empty())
        DeleteFileW(Wide(staged.temporary).c_str());
    staged.temporary.clear();
}

bool LockedUpdate(const std::string& path, std::size_t limit, bool readOnlyToo,
                  const std::function<std::string(const std::string&, std::uint64_t)>& change,
                  std::string& error)
{
    for (int attempt = 0;; ++attempt) {
        HANDLE file = OpenRegular(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  error);
        if (file == INVALID_HANDLE_VALUE)
            return Prefixed("cannot be read: ", error);
        struct Closer {
            HANDLE handle;
            ~Closer() { if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle); }
        } closer{file};  // closing the handle ends the lock
        OVERLAPPED at{};
        at.OffsetHigh = LOCK_OFFSET_HIGH;
        if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
            error = "cannot be locked: " + LastErrorText();
            return false;
        }
        // Whoever held the lock before may have moved a new file onto the name.
        if (!SameFile(file, path)) {
            if (attempt < 1000)
                continue;
            error = "replaced again and again while waiting for it";
            return false;
        }
        std::string bytes;
        std::uint64_t size = 0;
        if (!ReadOpen(file, limit, bytes, size, error))
            return Prefixed("cannot be read: ", error);
        StagedFile staged;
        if (!StageFile(path, change(bytes, size), true, readOnlyToo, staged, error))
            return Prefixed("cannot be written: ", error);
        if (MoveStaged(staged, true, error))
            return true;
        // Where a file that is open cannot be replaced, the lock has to go first.
        CloseHandle(file);
        closer.handle = INVALID_HANDLE_VALUE;
        return CommitFile(staged, true, error) || Prefixed("cannot be written: ", error);
    }
}

int RemoveLeftovers(const std::string& directory, const std::string& extension)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(JoinPath(directory, ".*" + extension + ".??????")).c_str(),
                                   &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    auto ticks = [](const FILETIME& t) {
        return static_cast<std::uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime;
    };
    int removed = 0;
    do {
        const std::string name = Narrow(found.cFileName);
        const bool old = ticks(now) - ticks(found.ftLastWriteTime) > 60ull * 10000000;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && old &&
            IsLeftoverName(name, extension) &&
            DeleteFileW(Wide(JoinPath(directory, name)).c_str()))
            ++removed;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return removed;
}

void RemoveFile(const std::string& path)
{
    DeleteFileW(Wide(path).c_str());
}

// Notepad before Windows 10 shows a file with bare LF line ends as one line, and
// Windows programs end their lines with CR LF; the commands build their text with "\n".
namespace {
std::string WindowsLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}
}  // namespace

void WriteText(bool error, const std::string& utf8)
{
    const std::string text = WindowsLineEnds(utf8);
    HANDLE handle = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode;
    if (text.empty() || !GetConsoleMode(handle, &mode)) {
        std::fwrite(text.data(), 1, text.size(), error ? stderr : stdout);
        return;
    }
    const std::wstring wide = Wide(text);
    DWORD written = 0;
    for (std::size_t done = 0; done < wide.size(); done += written) {
        // Old consoles take at most some 32 KB in one call.
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
        if (!WriteConsoleW(handle, wide.data() + done, chunk, &written, nullptr) || !written)
            return;
    }
}

bool OwnsConsole()
{
    // Explorer gives a console program a console of its own; a Command Prompt shares
    // its one. Output sent to a file or pipe is read by someone, whoever started us.
    DWORD processes[2], mode;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) &&
           GetConsoleProcessList(processes, 2) == 1;
}

void ShowMessage(const std::string& text, bool error)
{
    WriteText(true, text + "\n");
    if (OwnsConsole())
        MessageBoxW(nullptr, Wide(text).c_str(), L"spktool",
                    MB_OK | MB_SETFOREGROUND | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

bool OpenDocument(const std::string& path, std::string& error)
{
    // ShellExecute answers a number above 32 on success, an error code at most 32.
    const INT_PTR result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", Wide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32)
        return true;
    error = result == SE_ERR_NOASSOC ? "no program is set to open .htm files"
                                     : "Windows error " + std::to_string(result);
    return false;
}

std::vector<std::string> CommandLineArguments(int, char**)
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Narrow(wide[i]));
    LocalFree(wide);
    return arguments;
}

#else

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
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = fstat(fd, &status) != 0 ? LastErrorText() : KindOf(status.st_mode);
        close(fd);
        return -1;
    }
    return fd;
}

bool ReadOpen(int fd, const struct stat& status, std::size_t limit, std::string& bytes,
              std::uint64_t& size, std::string& error)
{
    bytes.clear();
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

bool MakeDirectory(const std::string& path, std::string& error)
{
    if (mkdir(path.c_str(), 0777) == 0)
        return true;
    error = LastErrorText();
    return false;
}

std::vector<std::string> JsonFilesIn(const std::string& directory)
{
    std::vector<std::string> names;
    DIR* dir = opendir(directory.c_str());
    if (!dir)
        return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() > 5 && strcasecmp(name.c_str() + name.size() - 5, ".json") == 0 &&
            !IsDirectory(JoinPath(directory, name)))
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> FilesEndingIn(const std::string& directory, const std::string& ending)
{
    std::vector<std::string> names;
    DIR* dir = opendir(directory.c_str());
    if (!dir)
        return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() > ending.size() &&
            strcasecmp(name.c_str() + name.size() - ending.size(), ending.c_str()) == 0 &&
            !IsDirectory(JoinPath(directory, name)))
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}


bool StageFile(const std::string& path, const std::string& bytes, bool replace, bool readOnlyToo,
               StagedFile& staged, std::string& error)
{
    staged = StagedFile{path, FollowLinks(path), "", false, 0};
    struct stat old;
    if (stat(staged.target.c_str(), &old) == 0) {
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
    } else if (errno != ENOENT) {
        error = LastErrorText();
        return false;
    }
    const std::size_t slash = staged.target.rfind('/');
    staged.temporary = slash == std::string::npos
                           ? "." + staged.target + ".XXXXXX"
                           : staged.target.substr(0, slash + 1) + "." +
                                 staged.target.substr(slash + 1) + ".XXXXXX";
    const int fd = mkstemp(staged.temporary.data());
    if (fd < 0) {
        error = LastErrorText();
        staged.temporary.clear();
        return false;
    }
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        ok = wrote > 0 || (wrote < 0 && errno == EINTR);
        if (wrote > 0)
            done += static_cast<std::size_t>(wrote);
    }
    if (ok && staged.existed) {
        // The owner first: a change of owner clears the set-id bits that chmod then sets.
        if ((old.st_uid != geteuid() || old.st_gid != getegid()) &&
            fchown(fd, old.st_uid, old.st_gid) != 0)
            (void)!fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        ok = fchmod(fd, old.st_mode & 07777) == 0;
    } else if (ok) {
        // mkstemp makes the file readable by its owner only; a speaker file is a document.
        const mode_t mask = umask(0);
        umask(mask);
        ok = fchmod(fd, 0666 & ~mask) == 0;
    }
    // Only a file that takes the place of another must reach the disk before the move: a
    // new name lost in a crash destroys nothing, and an import of many drivers would
    // otherwise wait for the disk once per file.
    ok = ok && (!staged.existed || fsync(fd) == 0);
    if (!ok)
        error = LastErrorText();
    if (close(fd) != 0 && ok) {
        error = LastErrorText();
        ok = false;
    }
    if (!ok)
        DiscardFile(staged);
    return ok;
}

bool CommitFile(StagedFile& staged, bool replace, std::string& error)
{
    const char* temporary = staged.temporary.c_str();
    const char* target = staged.target.c_str();
    bool ok;
    if (replace) {
        ok = rename(temporary, target) == 0;
    } else {
        // A hard link fails if the name exists, so nobody's file is replaced even if one
        // appears between the check and the move.
        ok = link(temporary, target) == 0;
        if (!ok && (errno == EPERM || errno == ENOTSUP || errno == EXDEV) &&
            !PathExists(staged.target))
            ok = rename(temporary, target) == 0;
    }
    if (!ok)
        error = LastErrorText();
    if (ok && replace)
        staged.temporary.clear();
    DiscardFile(staged);
    return ok;
}

void DiscardFile(StagedFile& staged)
{
    if (!staged.temporary.empty())
        unlink(staged.temporary.c_str());
    staged.temporary.clear();
}

bool LockedUpdate(const std::string& path, std::size_t limit, bool readOnlyToo,
                  const std::function<std::string(const std::string&, std::uint64_t)>& change,
                  std::string& error)
{
    for (int attempt = 0;; ++attempt) {
        struct stat status, now;
        const std::string target = FollowLinks(path);
        const int fd = OpenRegular(target, status, error);
        if (fd < 0)
            return Prefixed("cannot be read: ", error);
        struct Closer {
            int fd;
            ~Closer() { close(fd); }
        } closer{fd};  // closing the file ends the lock
        int locked;
        while ((locked = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (locked != 0) {
            error = "cannot be locked: " + LastErrorText();
            return false;
        }
        // Whoever held the lock before may have moved a new file onto the name.
        if (stat(target.c_str(), &now) != 0 || now.st_ino != status.st_ino ||
            now.st_dev != status.st_dev) {
            if (attempt < 1000)
                continue;
            error = "replaced again and again while waiting for it";
            return false;
        }
        std::string bytes;
        std::uint64_t size = 0;
        if (!ReadOpen(fd, status, limit, bytes, size, error))
            return Prefixed("cannot be read: ", error);
        StagedFile staged;
        return (StageFile(path, change(bytes, size), true, readOnlyToo, staged, error) &&
                CommitFile(staged, true, error)) ||
               Prefixed("cannot be written: ", error);
    }
}

int RemoveLeftovers(const std::string& directory, const std::string& extension)
{
    DIR* dir = opendir(directory.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    const time_t now = time(nullptr);
    while (dirent* entry = readdir(dir)) {
        const std::string path = JoinPath(directory, entry->d_name);
        struct stat status;
        if (IsLeftoverName(entry->d_name, extension) && lstat(path.c_str(), &status) == 0 &&
            S_ISREG(status.st_mode) && now - status.st_mtime > 60 && unlink(path.c_str()) == 0)
            ++removed;
    }
    closedir(dir);
    return removed;
}

void RemoveFile(const std::string& path)
{
    unlink(path.c_str());
}

void WriteText(bool error, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), error ? stderr : stdout);
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
    signal(SIGPIPE, SIG_IGN);
    return std::vector<std::string>(argv, argv + argc);
}

#endif
