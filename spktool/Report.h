// spktool report: the whole design of speaker files on one self-contained page, to look
// at, print or post; and the same page for a speaker file dropped on spktool.exe.
#pragma once
#include <string>
#include <vector>

#include "SystemOptions.h"

namespace CLI {
class App;
}

struct ReportRequest {
    // No power: the sheet's Pe, else 1 W; no diameter: the smallest port that keeps the
    // air quiet; no ports: one.
    SystemOptions system;
    bool force = false;  // replace an existing page
};

struct ReportOutcome {
    std::string output;
    std::vector<std::string> errors;  // one per file that could not be read
};

// Writes the page of `files` to `page`. A file that cannot be read is named on the page
// and in `errors`, and the others are still reported; no page is written when none of
// them can be read.
ReportOutcome ReportCommand(const std::vector<std::string>& files, const std::string& page,
                            const ReportRequest& request);

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

struct ReportOptions {
    std::vector<std::string> files;
    std::string out;
    ReportRequest request;
};
void DeclareReport(CLI::App& command, ReportOptions& o);
int RunReport(const ReportOptions& o);
