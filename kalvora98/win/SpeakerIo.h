// Reading and writing speaker files from the main window.
#pragma once
#include <windows.h>

// Replaces a file by another; MoveFileExA unless a test puts a failing one in.
using MoveFileExFunction = BOOL(WINAPI*)(LPCSTR from, LPCSTR to, DWORD flags);
extern MoveFileExFunction moveFileEx;

// Copies the fields into `speaker`, writes it to `filename` and sets the title.
// The old file is replaced only once the new one is complete. Returns whether it
// was; a failure is reported unless `reportFailure` is cleared (the caller's own
// message then says what happens next).
bool SaveSpeaker(const char* filename, HWND hwnd, bool reportFailure = true);

enum OpenResult { OPEN_READ, OPEN_MISSING, OPEN_FAILED };

// Reads `filename` into `speaker`, shows the sealed design in the fields and sets
// the title. A file that cannot be read leaves the record as it is and is reported;
// one that does not exist is not when `missingIsExpected` (a first start has no
// "default.spk"). OPEN_FAILED: the file may exist and hold a driver the record lacks.
OpenResult OpenSpeaker(const char* filename, HWND hwnd, bool missingIsExpected = false);

// For EndOnWholeCharacter: the lead bytes of the system's ANSI code page.
bool IsSystemLeadByte(unsigned char byte);

// "Kalvora BETA 2 - " and the model name.
void SetSpeakerTitle(HWND hwnd);
