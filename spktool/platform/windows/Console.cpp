// The console on Windows: UTF-16 to a console window, CR LF line ends, the wide command
// line, and for a file dropped on spktool in Explorer a message box and the browser.
#include "../Console.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>

#include "Wide.h"

namespace {

// Notepad before Windows 10 shows a file with bare LF line ends as one line, and
// Windows programs end their lines with CR LF; the commands build their text with "\n".
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

bool ErrorIsTerminal()
{
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
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
