// The "Port dimension..." dialog (template IDD_PORT), opened by the Port button.
#pragma once
#include <windows.h>

INT_PTR CALLBACK PortDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
