#include "win/MainWindow.h"

#include "resources/kalvora98.h"

// The command line and the requested show state are ignored: the window always
// opens in normal size at the default position.
int WINAPI WinMain(HINSTANCE hInst, HINSTANCE, LPSTR, int)
{
    hInstance = hInst;
    if (!RegisterMainWindowClass()) {
        MessageBoxA(nullptr, "The program can't register the Window-class", "System Error",
                    MB_OK);
        return 0;
    }
    HWND hwnd = CreateMainWindow();
    ShowWindow(hwnd, SW_SHOW);

    // No IsDialogMessage and no accelerators: Tab does not move between the controls.
    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
