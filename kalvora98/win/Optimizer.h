// The Optimize button: proposes a box for the current driver and enclosure type.
#pragma once
#include <windows.h>

// Sealed: volume and resonance for a total Q of 0.707. Ported: volume and tuning by
// fixed power laws of Qts. Writes the design into `speaker` and the Volume and Fb
// fields of the main window `hwnd`; the other design is left alone.
void OptimizeEnclosure(HWND hwnd);
