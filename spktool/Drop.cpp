#include "Drop.h"

#include "Failure.h"
#include "Platform.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "commands/Report.h"

const char DROP_USAGE[] =
    "spktool puts the whole design of a speaker file on one page: its driver, both boxes, "
    "their charts and how to build them.\n\n"
    "Drop a .spk file on spktool.exe in Explorer: the page is written beside the file and "
    "opens in your browser.\n\n"
    "spktool also shows, changes, imports and charts speaker files from a Command Prompt: "
    "spktool --help lists its commands.";

namespace {

// The page beside a dropped file: its own name, or the first numbered one that is free
// or a page of spktool's.
std::string DropPagePath(const std::string& file, bool& replace)
{
    const std::string base = file.substr(0, file.size() - 4);  // without ".spk"
    for (int n = 1; n < 1000; ++n) {
        const std::string page = base + (n == 1 ? "" : " (" + std::to_string(n) + ")") + ".htm";
        replace = PathExists(page);
        if (!replace || IsReportPage(page))
            return page;
    }
    BadData(file + ": no free name for its page beside it");
}

// A sheet with every value's name and unit, for the user to fill in with Notepad; one
// that another drop of the file has just written is as good.
void WriteEmptySheet(const std::string& file)
{
    const std::string sheet = SheetPath(file);
    try {
        if (!PathExists(sheet))
            WriteWholeFile(sheet, EncodeSheet(EmptySheet()), false);
    } catch (const Failure&) {
        if (!PathExists(sheet))
            throw;
    }
}

// Writes the page. Two drops of one file at once both find no page and both write one;
// the later finds the earlier's page in place as it moves its own there, and then takes
// the name again: that page is spktool's, and is replaced.
Outcome WriteDropPage(const std::string& file, std::string& page)
{
    for (int attempt = 0;; ++attempt) {
        bool replace;
        page = DropPagePath(file, replace);
        try {
            return WritePage({file}, page, ReportRequest(), replace);
        } catch (const Failure&) {
            if (replace || attempt == 2 || !PathExists(page))
                throw;
        }
    }
}

}  // namespace

bool IsDroppedFile(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 2)
        return false;
    const std::string& file = arguments[1];
    return file.size() > 4 && file[0] != '-' && Lower(file.substr(file.size() - 4)) == ".spk" &&
           PathExists(file) && !IsDirectory(file);
}

int ReportDropped(const std::string& file)
{
    try {
        LoadSpeakerFile(file);  // a damaged file gets no sheet beside it
        WriteEmptySheet(file);
        std::string page;
        const Outcome outcome = WriteDropPage(file, page);
        if (!outcome.errors.empty()) {
            ShowMessage("spktool: " + outcome.errors[0], true);
            return EXIT_BAD_DATA;
        }
        WriteText(false, Printable(outcome.output));
        std::string error;
        if (!OpenDocument(page, error)) {
            ShowMessage("spktool: " + page + " is written, but cannot be opened: " + error,
                        true);
            return EXIT_BAD_DATA;
        }
        return EXIT_OK;
    } catch (const Failure& failure) {
        ShowMessage("spktool: " + failure.message, true);
        return failure.status;
    } catch (const std::exception& error) {
        ShowMessage(std::string("spktool: ") + error.what(), true);
        return EXIT_BAD_DATA;
    }
}
