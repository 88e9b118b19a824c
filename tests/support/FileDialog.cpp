#include "support/FileDialog.h"

#include <windows.h>
#include <dlgs.h>

#include "support/GuiTest.h"

void ChooseFile(HWND dialog, const std::string& path)
{
    SetDlgItemTextA(dialog, cmb13, path.c_str());
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

std::string OfferedFileName(HWND dialog)
{
    return ItemText(dialog, cmb13);
}

std::vector<std::string> FileTypes(HWND dialog)
{
    std::vector<std::string> types;
    HWND list = GetDlgItem(dialog, cmb1);
    int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        if (SendMessageA(list, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof text))
            SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        types.push_back(text);
    }
    return types;
}

void Cancel(HWND dialog)
{
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}
