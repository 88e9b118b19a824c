#include "acoustics/Response.h"
#include "resources/kalvora98.h"
#include "win/GraphWindow.h"
#include "win/MainWindow.h"

namespace {

// The fields of graphs 1, 2 and 3 (the `port` entries in order); the template
// numbers the blue row's volume before the green one's.
const struct {
    int volumeId;
    int fbId;
} rows[] = {
    {IDC_ENCL_RED_VOLUME, IDC_ENCL_RED_FB},
    {IDC_ENCL_GREEN_VOLUME, IDC_ENCL_GREEN_FB},
    {IDC_ENCL_BLUE_VOLUME, IDC_ENCL_BLUE_FB},
};

// Written once at opening; what the user types into the fields is never read back.
void ShowEnclosures(HWND hDlg)
{
    for (int i = 0; i < 3; ++i) {
        SetFieldNumber(hDlg, rows[i].volumeId, port[i].volume, 1);
        SetFieldNumber(hDlg, rows[i].fbId, port[i].fb, 1);
    }
}

// A static with SS_BITMAP loads its bitmap from the template when it is created but
// does not delete it when destroyed, so every opening would leak the three swatches.
// Taking each bitmap out of its static first makes it ours to delete.
void ReleaseSwatches(HWND hDlg)
{
    for (HWND child = GetWindow(hDlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[8] = "";
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") != 0 ||
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP)
            continue;
        if (HGDIOBJ bitmap = reinterpret_cast<HGDIOBJ>(
                SendMessageA(child, STM_SETIMAGE, IMAGE_BITMAP, 0)))
            DeleteObject(bitmap);
    }
}

}  // namespace

// Only Close ends the dialog: Enter, Escape and the close box arrive as IDOK and
// IDCANCEL and are ignored like any other command.
INT_PTR CALLBACK DspEnclosuresDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        ShowEnclosures(hDlg);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ENCL_HELP:
            MessageBoxA(hDlg, "Command not implemented yet", "System message", MB_OK);
            break;
        case IDC_ENCL_CLOSE:
            EndDialog(hDlg, wParam);
            break;
        }
        return TRUE;
    case WM_DESTROY:
        ReleaseSwatches(hDlg);
        break;
    }
    return FALSE;
}
