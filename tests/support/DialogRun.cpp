#include "support/DialogRun.h"

DialogRun RunDialog(const std::string& title, const std::function<void()>& open,
                    const std::function<void(HWND)>& script)
{
    DialogRun run;
    ModalWatcher watcher([&](HWND window, int) {
        if (WindowText(window) != title) {
            run.boxLooks.push_back(LookAt(window));
            PressOk(window);
            return;
        }
        run.dialog = window;
        script(window);
    });
    open();
    run.seen = watcher.Seen();
    return run;
}
