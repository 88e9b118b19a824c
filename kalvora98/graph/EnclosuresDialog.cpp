#include "graph/GraphWindow.h"

INT_PTR CALLBACK DspEnclosuresDlgProc(HWND, UINT msg, WPARAM, LPARAM)
{  // placeholder until the Enclosures dialog lands
    return msg == WM_INITDIALOG || msg == WM_COMMAND;
}
