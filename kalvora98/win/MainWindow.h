// The main window: start-up, its window procedure, its fields and shut-down.
#pragma once
#include <windows.h>

#include "record/Speaker.h"

extern Speaker speaker;      // zero at start, then read from "default.spk"
extern int boxType;          // BOX_SEALED or BOX_PORTED: the design the fields edit
extern HINSTANCE hInstance;  // the program instance, set first thing at start-up
extern int running;          // 1: field notifications copy the fields into `speaker`
extern HWND h23;             // Port button
extern HWND h24;             // Open graph window button

extern const char MAIN_CLASS_NAME[];

int WINAPI WinMain(HINSTANCE hInst, HINSTANCE hPrevInst, LPSTR LPSZArg, int nWinStyle);

// The class registration and window creation of start-up, for WinMain and the tests.
ATOM RegisterMainWindowClass();
HWND CreateMainWindow();

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Fields into `speaker`, "default.spk" written, quit posted. When the file could not be
// read at start-up or cannot be written now, the user chooses; false: back to the
// program (only where `mayGoBack`, that is, not while the window is being destroyed).
bool EndProgram(HWND hwnd, bool mayGoBack = true);

void DrawWindowContents(HWND hwnd);

// Copies the seven fields into `speaker`; Volume and Fb go to the design of `boxType`.
void GetSpeakerData(HWND hwnd);
// The handling of any notification from the field `id`.
void FieldNotified(HWND hwnd, int id);
// Writes a number into a field of `hwnd` in fixed point with `decimals` decimals.
void SetFieldNumber(HWND hwnd, int id, double value, int decimals);
