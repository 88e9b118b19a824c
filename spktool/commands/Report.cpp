#include "commands/Report.h"

#include "CommandLine.h"
#include "Failure.h"
#include "Output.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "acoustics/Limits.h"

Outcome WritePage(const std::vector<std::string>& files, const std::string& page,
                        const ReportRequest& r, bool replace)
{
    Outcome outcome;
    int reported = 0;
    std::string systems;
    const std::string html = PageOf(files, r, outcome.errors, reported, &systems);
    if (reported == 0)
        return outcome;
    // Complete in a temporary file first: a failure leaves no half-written page.
    WriteWholeFile(page, html, replace);
    const std::size_t unread = files.size() - reported;
    outcome.output = systems + page + ": " + std::to_string(reported) +
                     (reported == 1 ? " driver" : " drivers") +
                     (unread ? ", " + std::to_string(unread) +
                                   (unread == 1 ? " file" : " files") + " not read"
                             : std::string()) +
                     "\n";
    return outcome;
}

Outcome ReportCommand(const std::vector<std::string>& files, const std::string& page,
                            const ReportRequest& request)
{
    if (request.system.diameter == 0 && request.system.ports != 0)
        BadCommandLine("report: --ports needs --diameter");
    RefuseToReplace(page, request.force);
    RefuseInputs(page, files);
    return WritePage(files, page, request, request.force);
}

void DeclareReport(CLI::App& command, ReportOptions& o)
{
    command.add_option("FILE", o.files, "speaker files, each with its driver sheet")->required();
    command.add_option("-o,--output", o.out, "the page to write (.htm)")->required();
    DeclareSystem(command, o.request.system,
                  SYSTEM_POWER | SYSTEM_PORTS | SYSTEM_PANEL | SYSTEM_SETUP);
    command.add_flag("--force", o.request.force, "replace an existing page");
    command.footer(command.get_footer() + "\n\nWithout --power, the power is the driver "
                   "sheet's Pe, else 1 W; without --diameter, one port of the smallest whole "
                   "cm that keeps the air under " + Brief(AUDIBLE_PORT_SPEED) + " m/s.");
}

int RunReport(const ReportOptions& o)
{
    return Printed(ReportCommand(o.files, o.out, o.request));
}
