// Helpers for driving the real windows in the test's own process under Wine.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// A modal window (dialog, message box, file dialog) as it looked when it opened.
struct ModalWindow {
    std::string caption;
    std::string text;  // a message box's message: the static with ID 0xFFFF
    HWND owner;
};

// Watches the modal windows that open while it lives and runs a script in each,
// inside its modal loop. The script must end the window; the default presses OK.
class ModalWatcher {
public:
    using Script = std::function<void(HWND window, int index)>;
    explicit ModalWatcher(Script script = nullptr);
    ~ModalWatcher();
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;

    const std::vector<ModalWindow>& Seen() const { return seen; }
    int Count(const std::string& caption, const std::string& text) const;

    void Activated(HWND window);
    void Run(HWND window);

private:
    Script script;
    std::vector<ModalWindow> seen;
    HHOOK hook;
};

std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);
void PressOk(HWND window);
void Click(HWND dialog, int id);

// Runs every message waiting for this thread; a quit message is taken and remembered.
void PumpMessages();
extern int lastQuitCode;  // -1 until a quit message was pumped

// A fresh directory that is the current directory while the object lives.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "\\" + name; }

private:
    std::string path;
    std::string previous;
};

// Reads a whole file; empty if it does not exist.
std::vector<unsigned char> ReadFileBytes(const std::string& name);
bool WriteFileBytes(const std::string& name, const std::vector<unsigned char>& bytes);

// The main window created as start-up creates it, in a fresh working directory,
// with the program's globals as at start. TearDown destroys it again.
class MainWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Creates the window; tests that prepare "default.spk" call it themselves.
    void CreateMain();
    void SetField(int id, const char* text);
    std::string Field(int id) const { return ItemText(main, id); }
    void Command(int id);

    TempDirectory directory;
    HWND main = nullptr;
    bool createInSetUp = true;
};
