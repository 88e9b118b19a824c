// The graph window, its chart and the Enclosures dialog.
#pragma once
#include <windows.h>

#include "record/Speaker.h"

extern int* dBMag;      // graph 1, red: RESPONSE_SIZE levels while the window is open
extern int* dBMag2;     // graph 2, green
extern int* dBMag3;     // graph 3, blue
extern int graphNumber; // graphs shown, and the graph the next calculation fills
extern Ported port[3];  // volume and Fb each graph was computed for
extern int winNumber;   // graph windows open: 0 or 1

// Fill the array of graph `graphNumber` (1..3) and its `port` entry from the sealed or
// the ported design of `speaker`. Any other graph number, or a graph whose array does
// not exist, changes nothing.
void CalcSealed();
void CalcPorted();

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
