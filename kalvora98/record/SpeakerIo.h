// Reading and writing speaker files from the main window.
#pragma once
#include <windows.h>

// Replaces a file by another; MoveFileExA unless a test puts a failing one in.
using MoveFileExFunction = BOOL(WINAPI*)(LPCSTR from, LPCSTR to, DWORD flags);
extern MoveFileExFunction moveFileEx;

// Copies the fields into `speaker`, writes it to `filename` and sets the title.
// The old file is replaced only once the new one is complete; a failure is reported.
void SaveSpeaker(const char* filename, HWND hwnd);

// Reads `filename` into `speaker`, shows the sealed design in the fields and sets
// the title. A file that cannot be opened leaves the record as it is and is reported
// only when `reportFailure` is set (a missing "default.spk" is a first start).
void OpenSpeaker(const char* filename, HWND hwnd, bool reportFailure = true);

// For EndOnWholeCharacter: the lead bytes of the system's ANSI code page.
bool IsSystemLeadByte(unsigned char byte);

// "Kalvora BETA 2 - " and the model name.
void SetSpeakerTitle(HWND hwnd);
