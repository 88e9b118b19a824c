#include "win/PortDialog.h"

#include <cmath>

#include "acoustics/PortLength.h"
#include "numbers/NumberText.h"
#include "resources/kalvora98.h"
#include "win/MainWindow.h"

namespace {

const char DIAMETER_STATUS[] = "Change the port diameter";
const char HELP_TEXT[] = "Command not implemented yet\n\n NOTE: If the length < 0 then you\n"
                         "    should increase the diameter";

// The dialog's state. It is modal, so one set serves; each opening starts afresh.
double portDiameter;
double numberOfPorts;
double portLength;

// A zero volume or Fb leaves the length infinite or NaN, which is no length at all.
void ShowLength(HWND hDlg)
{
    if (std::isfinite(portLength))
        SetFieldNumber(hDlg, IDC_PORT_LENGTH, portLength, 1);
    else
        SetDlgItemTextA(hDlg, IDC_PORT_LENGTH, "---");
}

// The status bar takes WM_SETTEXT as the text of its only part.
void ShowStatus(HWND hDlg, const char* text)
{
    SetDlgItemTextA(hDlg, IDC_PORT_STATUS, text);
}

void Recalculate(HWND hDlg, const char* status)
{
    char text[TYPED_NUMBER_CHARS + 1];
    GetDlgItemTextA(hDlg, IDC_PORT_DIAMETER, text, sizeof text);
    portDiameter = ReadNumber(text);
    portLength = CalcPortLength(portDiameter, numberOfPorts);
    ShowLength(hDlg);
    ShowStatus(hDlg, status);
}

// Writing the Diameter field re-enters the procedure with its change notification,
// which recalculates once more from "10.0" and one port: the same length.
void InitDialog(HWND hDlg)
{
    numberOfPorts = 1;
    portDiameter = 10;
    portLength = CalcPortLength(portDiameter, numberOfPorts);
    CheckDlgButton(hDlg, IDC_PORTS_1, BST_CHECKED);
    ShowLength(hDlg);
    SetFieldNumber(hDlg, IDC_PORT_DIAMETER, portDiameter, 1);
    ShowStatus(hDlg, DIAMETER_STATUS);
    EnableWindow(GetDlgItem(hDlg, IDC_PORT_LENGTH), FALSE);
}

void UsePorts(HWND hDlg, double count, const char* status)
{
    numberOfPorts = count;
    Recalculate(hDlg, status);
}

void OnCommand(HWND hDlg, WPARAM wParam)
{
    switch (LOWORD(wParam)) {
    case IDC_PORT_DIAMETER:
        Recalculate(hDlg, DIAMETER_STATUS);
        break;
    case IDC_PORTS_1:
        UsePorts(hDlg, 1, "Use 1 port");
        break;
    case IDC_PORTS_2:
        UsePorts(hDlg, 2, "Use 2 ports");
        break;
    case IDC_PORTS_3:
        UsePorts(hDlg, 3, "Use 3 ports");
        break;
    case IDC_PORTS_4:
        UsePorts(hDlg, 4, "Use 4 ports");
        break;
    case IDC_PORT_HELP:
        MessageBoxA(hDlg, HELP_TEXT, "System message", MB_OK);
        break;
    case IDC_PORT_CLOSE:
        EndDialog(hDlg, wParam);
        break;
    }
}

}  // namespace

double CalcPortLength(double portDiameter, double numberOfPorts)
{
    return PortLength(speaker.ported, portDiameter, numberOfPorts);
}

// Enter, Escape and WM_CLOSE arrive as IDOK and IDCANCEL and fall through the
// command switch, so only the Close button ends the dialog.
INT_PTR CALLBACK PortDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        InitDialog(hDlg);
        return TRUE;
    case WM_COMMAND:
        OnCommand(hDlg, wParam);
        return TRUE;
    }
    return FALSE;
}
