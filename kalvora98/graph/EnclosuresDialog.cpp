#include "acoustics/Response.h"
#include "graph/GraphWindow.h"
#include "mainwindow/MainWindow.h"
#include "resources/kalvora98.h"

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
        SetFieldNumber(hDlg, rows[i].volumeId, "%2.1f", port[i].volume);
        SetFieldNumber(hDlg, rows[i].fbId, "%2.1f", port[i].fb);
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
    }
    return FALSE;
}
