// spktool report: the page of speaker files written where the user says.
#pragma once
#include <string>
#include <vector>

#include "Output.h"
#include "page/Page.h"

namespace CLI {
class App;
}

// Writes the page of `files` to `page`. A file that cannot be read is named on the page
// and in `errors`, and the others are still reported; no page is written when none of
// them can be read.
Outcome ReportCommand(const std::vector<std::string>& files, const std::string& page,
                            const ReportRequest& request);

// The same, replacing an existing page only when `replace`, without the command line's
// checks: for the command and the drop alike.
Outcome WritePage(const std::vector<std::string>& files, const std::string& page,
                        const ReportRequest& r, bool replace);

struct ReportOptions {
    std::vector<std::string> files;
    std::string out;
    ReportRequest request;
};
void DeclareReport(CLI::App& command, ReportOptions& o);
int RunReport(const ReportOptions& o);
