// A speaker file dropped on spktool.exe in Explorer, and a double-click on it: the ways
// to use spktool without a command line.
#pragma once
#include <string>
#include <vector>

// True when `arguments` are what Explorer passes for a file dropped on the program: the
// program and one speaker file that exists.
bool IsDroppedFile(const std::vector<std::string>& arguments);

// The page of a dropped speaker file beside it (woofer.spk: woofer.htm, or woofer (2).htm
// when a page of that name is not one of spktool's), an empty driver sheet beside it when
// it has none, and the page opened in the user's browser. Failures go to a message box
// as well, since the console of a drop closes with the program. Returns the exit status.
int ReportDropped(const std::string& file);

// What a double-click on spktool.exe shows: how to use it without a command line.
extern const char DROP_USAGE[];
