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
#include <unistd.h>
#endif

namespace {

std::string DirectoryOf(const std::string& path)
{
#ifdef _WIN32
    const std::size_t slash = path.find_last_of("/\\");
#else
    const std::size_t slash = path.rfind('/');
#endif
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

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

#ifdef _WIN32

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    if (IsDirectory(path)) {
        error = "is a directory";
        return false;
    }
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = LastErrorText();
        return false;
    }
    bytes.clear();
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0)
        bytes.append(buffer, got);
    if (!ok)
        error = LastErrorText();
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


std::string WriteTemporaryBeside(const std::string& path, const std::string& bytes,
                                 std::string& error)
{
    wchar_t temporary[MAX_PATH];
    if (!GetTempFileNameW(Wide(DirectoryOf(path)).c_str(), L"spk", 0, temporary)) {
        error = LastErrorText();
        return "";
    }
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
    if (!ok)
        error = LastErrorText();
    if (file != INVALID_HANDLE_VALUE && !CloseHandle(file) && ok) {
        error = LastErrorText();
        ok = false;
    }
    if (!ok) {
        DeleteFileW(temporary);
        return "";
    }
    return Narrow(temporary);
}

bool MoveIntoPlace(const std::string& temporary, const std::string& path, bool replace,
                   std::string& error)
{
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (MoveFileExW(Wide(temporary).c_str(), Wide(path).c_str(), flags))
        return true;
    error = LastErrorText();
    DeleteFileW(Wide(temporary).c_str());
    return false;
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

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = LastErrorText();
        return false;
    }
    bytes.clear();
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    const bool ok = !std::ferror(file);
    if (!ok)
        error = LastErrorText();
    std::fclose(file);
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


std::string WriteTemporaryBeside(const std::string& path, const std::string& bytes,
                                 std::string& error)
{
    std::string name = DirectoryOf(path) + "spkXXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        error = LastErrorText();
        return "";
    }
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        ok = wrote > 0;
        if (ok)
            done += static_cast<std::size_t>(wrote);
    }
    ok = ok && fsync(fd) == 0;
    if (!ok)
        error = LastErrorText();
    if (close(fd) != 0 && ok) {
        error = LastErrorText();
        ok = false;
    }
    if (!ok) {
        unlink(name.c_str());
        return "";
    }
    // mkstemp makes the file readable by its owner only; a speaker file is a document.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(name.c_str(), 0666 & ~mask);
    return name;
}

bool MoveIntoPlace(const std::string& temporary, const std::string& path, bool replace,
                   std::string& error)
{
    bool ok;
    if (replace) {
        ok = rename(temporary.c_str(), path.c_str()) == 0;
    } else {
        // A hard link fails if the name exists, so nobody's file is replaced even if one
        // appears between the check and the move.
        ok = link(temporary.c_str(), path.c_str()) == 0;
        if (!ok && (errno == EPERM || errno == ENOTSUP || errno == EXDEV) && !PathExists(path))
            ok = rename(temporary.c_str(), path.c_str()) == 0;
    }
    if (!ok)
        error = LastErrorText();
    unlink(temporary.c_str());
    return ok;
}

void RemoveFile(const std::string& path)
{
    unlink(path.c_str());
}

void WriteText(bool error, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), error ? stderr : stdout);
}

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

#endif
