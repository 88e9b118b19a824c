// The graph window, its chart and the Enclosures dialog.
#pragma once
#include <windows.h>

extern int winNumber;  // graph windows open: 0 or 1

extern const char GRAPH_CLASS_NAME[];  // "KalvoraChildWindow"

// Opens the graph window owned by the main window `hDlg` and computes graph 1.
void openWindow(HWND hDlg);
LRESULT CALLBACK ChildWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The chart, laid out from the client rectangle of `hwnd`: frame, grid, 0 dB line
// and labels; then the curves of graphs 1 to graphNumber.
void DrawTable(HDC hdc, HWND hwnd);
void DrawGraph(HDC hdc, HWND hwnd);

// The "Enclosures..." dialog (template IDD_ENCLOSURES), owned by the graph window.
INT_PTR CALLBACK DspEnclosuresDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
