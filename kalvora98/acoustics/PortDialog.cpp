#include "acoustics/PortDialog.h"

INT_PTR CALLBACK PortDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{  // placeholder until the port dialog lands
    if (msg == WM_INITDIALOG)
        return TRUE;
    if (msg == WM_COMMAND && LOWORD(wParam) == 10)
        EndDialog(hDlg, wParam);
    return msg == WM_COMMAND;
}
