// The "Port dimension..." dialog (template IDD_PORT), opened by the Port button.
#pragma once
#include <windows.h>

// The length in cm of each port for the ported design of `speaker`.
double CalcPortLength(double portDiameter, double numberOfPorts);

INT_PTR CALLBACK PortDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
