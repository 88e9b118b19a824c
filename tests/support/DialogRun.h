// One modal dialog driven from a test: opened by an action, scripted from inside.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/DialogLook.h"
#include "support/GuiTest.h"

struct DialogRun {
    HWND dialog = nullptr;               // null if no dialog with the title opened
    std::vector<ModalWindow> seen;       // the dialog and the message boxes, in order
    std::vector<BoxLook> boxLooks;       // the message boxes met inside the dialog
};

// Calls `open`, which must show the modal dialog titled `title`, and runs `script`
// inside it; the script must end the dialog. Every other modal window on the way is
// looked at and answered with OK.
DialogRun RunDialog(const std::string& title, const std::function<void()>& open,
                    const std::function<void(HWND)>& script);
