// The whole design of speaker files on one self-contained page, to look at, print or
// post: each driver and its sheet's warnings, both designs, the level chart, the charts
// and reports of the limits at a power, and the box to build for each design.
#pragma once
#include <string>
#include <vector>

#include "SystemOptions.h"

struct ReportRequest {
    // No power: the sheet's Pe, else 1 W; no diameter: the smallest port that keeps the
    // air quiet; no ports: one. The system's options apply to every file, as its sheet
    // completes them.
    SystemOptions system;
    bool force = false;  // replace an existing page
};

// The page's HTML. A file that cannot be read is named on the page and in `errors`;
// `reported` counts the drivers that are on it; `systems` gets each "System: ..." line
// the drivers' sections name, once.
std::string PageOf(const std::vector<std::string>& files, const ReportRequest& r,
                   std::vector<std::string>& errors, int& reported,
                   std::string* systems = nullptr);

// True when the file at `path` is a page spktool wrote, which a drop may replace.
bool IsReportPage(const std::string& path);
