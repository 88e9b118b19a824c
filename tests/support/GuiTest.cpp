#include "support/GuiTest.h"

#include <cstdio>

#include "acoustics/Response.h"
#include "record/Speaker.h"
#include "win/GraphWindow.h"
#include "win/MainWindow.h"

int lastQuitCode = -1;

namespace {

ModalWatcher* watcher;
const char HANDLED[] = "KalvoraTestHandled";
constexpr UINT SCRIPT_DELAY_MS = 10;

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && watcher)
        watcher->Activated(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK ScriptTimer(HWND window, UINT, UINT_PTR id, DWORD)
{
    KillTimer(window, id);
    if (watcher)
        watcher->Run(window);
}

}  // namespace

ModalWatcher::ModalWatcher(Script s)
    : script(s ? std::move(s) : [](HWND window, int) { PressOk(window); }),
      hook(SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId()))
{
    watcher = this;
}

ModalWatcher::~ModalWatcher()
{
    UnhookWindowsHookEx(hook);
    watcher = nullptr;
}

int ModalWatcher::Count(const std::string& caption, const std::string& text) const
{
    int n = 0;
    for (const ModalWindow& w : seen)
        n += w.caption == caption && w.text == text;
    return n;
}

// Dialog-class windows only, each once: activation comes again after a nested box.
void ModalWatcher::Activated(HWND window)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0 || GetPropA(window, HANDLED))
        return;
    SetPropA(window, HANDLED, reinterpret_cast<HANDLE>(1));
    SetTimer(window, 1, SCRIPT_DELAY_MS, ScriptTimer);
}

void ModalWatcher::Run(HWND window)
{
    int index = static_cast<int>(seen.size());
    seen.push_back({WindowText(window), ItemText(window, 0xFFFF), GetWindow(window, GW_OWNER)});
    script(window, index);
}

std::string WindowText(HWND window)
{
    char text[2048] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ItemText(HWND dialog, int id)
{
    char text[2048] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void PressOk(HWND window)
{
    SendMessageA(window, WM_COMMAND, IDOK, 0);
}

void Click(HWND dialog, int id)
{
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            lastQuitCode = static_cast<int>(msg.wParam);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TempDirectory::TempDirectory()
{
    static int counter;
    char base[MAX_PATH] = "";
    GetTempPathA(sizeof base, base);
    char name[MAX_PATH + 64];
    do {
        std::snprintf(name, sizeof name, "%skalvora-%lu-%d", base, GetCurrentProcessId(),
                      ++counter);
    } while (!CreateDirectoryA(name, nullptr));
    path = name;
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof current, current);
    previous = current;
    SetCurrentDirectoryA(path.c_str());
}

namespace {

void RemoveTree(const std::string& directory)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string file = directory + "\\" + name;
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(file);
            else
                DeleteFileA(file.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(directory.c_str());
}

}  // namespace

TempDirectory::~TempDirectory()
{
    SetCurrentDirectoryA(previous.c_str());
    RemoveTree(path);
}

std::vector<unsigned char> ReadFileBytes(const std::string& name)
{
    std::vector<unsigned char> bytes;
    if (FILE* f = std::fopen(name.c_str(), "rb")) {
        unsigned char buffer[512];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}

bool WriteFileBytes(const std::string& name, const std::vector<unsigned char>& bytes)
{
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

void MainWindowTest::SetUp()
{
    hInstance = GetModuleHandleA(nullptr);
    speaker = {};
    boxType = BOX_SEALED;
    running = 0;
    graphNumber = 0;
    winNumber = 0;
    for (Ported& p : port)
        p = {};
    RegisterMainWindowClass();  // fails harmlessly from the second test on
    if (createInSetUp)
        CreateMain();
}

void MainWindowTest::CreateMain()
{
    main = CreateMainWindow();
    ASSERT_NE(main, nullptr);
    ShowWindow(main, SW_SHOW);
    PumpMessages();
}

void MainWindowTest::TearDown()
{
    // Through WM_CLOSE, so the graph window frees its arrays as a user's close would.
    if (HWND graph = FindWindowA(GRAPH_CLASS_NAME, nullptr))
        SendMessageA(graph, WM_CLOSE, 0, 0);
    if (main && IsWindow(main))
        DestroyWindow(main);
    PumpMessages();
}

void MainWindowTest::SetField(int id, const char* text)
{
    SetDlgItemTextA(main, id, text);
}

void MainWindowTest::Command(int id)
{
    SendMessageA(main, WM_COMMAND, id, reinterpret_cast<LPARAM>(GetDlgItem(main, id)));
}
