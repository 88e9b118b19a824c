#include "commands/Edit.h"

#include "CommandLine.h"
#include "Failure.h"
#include "SpeakerFiles.h"
#include "Text.h"

namespace {

// The assignments of the sheet's system lines ("drivers=2", "wiring="), apart from
// the fields and values: the line keeps the text as typed, the command line's reading
// judges it.
struct SystemAssignment {
    int index;
    std::string text;
};

std::vector<SystemAssignment> TakeSystem(std::vector<std::string>& assignments)
{
    std::vector<SystemAssignment> system;
    std::vector<std::string> rest;
    for (std::string& assignment : assignments) {
        const std::size_t equals = assignment.find('=');
        const int index = equals == std::string::npos
                              ? -1
                              : FindSheetSystem(assignment.substr(0, equals));
        if (index < 0)
            rest.push_back(std::move(assignment));
        else
            system.push_back({index, assignment.substr(equals + 1)});
    }
    assignments = std::move(rest);
    return system;
}

// Refused before anything is written when the lines would not hold together: the
// sheet's own lines are named by their line, the new ones by their name.
void AssignSystem(const std::string& file, DriverSheet& sheet,
                  const std::vector<SystemAssignment>& system)
{
    for (const SystemAssignment& line : system) {
        std::string text, bad;
        if (!ToWindows1252(line.text, text, bad))
            BadData(std::string(SHEET_SYSTEM_NAMES[line.index]) + ": " + bad);
        sheet.system[line.index] = text;
        sheet.systemLine[line.index] = 0;
    }
    if (!system.empty())
        SheetSystem(SheetPath(file), sheet);
}

// The fields and values as ApplyAssignments takes them, then the system lines.
void ApplyAll(const std::string& file, Speaker& record, DriverSheet& sheet,
              std::vector<std::string> assignments)
{
    const std::vector<SystemAssignment> system = TakeSystem(assignments);
    ApplyAssignments(record, sheet, assignments);
    AssignSystem(file, sheet, system);
}

}  // namespace

void DeclareNew(CLI::App& command, EditOptions& o)
{
    command.add_option("FILE", o.file, "the speaker file to write")->required();
    command.add_option("FIELD=VALUE", o.assignments,
                       "model, info, qts, fs, vas (l), sealed.volume (l), sealed.fb, sealed.q, "
                       "ported.volume (l), ported.fb; a sealed volume or Fb also sets the "
                       "sealed Q from the driver, as the main window does; the driver sheet's values "
                       "and system lines (drivers=2 highpass=18:2) by their names");
    command.add_flag("--force", o.force, "replace an existing file");
}

int RunNew(const EditOptions& o)
{
    ChangeSpeakerFile(o.file, true, o.force, [&](Speaker& record, DriverSheet& sheet) {
        ApplyAll(o.file, record, sheet, o.assignments);
        RefuseToReplace(SheetPath(o.file), o.force);
        RefuseToReplace(o.file, o.force);
    });
    return EXIT_OK;
}

void DeclareSet(CLI::App& command, EditOptions& o)
{
    command.add_option("FILE", o.file, "the speaker file")->required();
    command.add_option("FIELD=VALUE", o.assignments, "the fields, as for new")->required();
    command.add_flag("--force", o.force, "change a read-only file too");
}

int RunSet(const EditOptions& o)
{
    ChangeSpeakerFile(o.file, false, o.force, [&](Speaker& record, DriverSheet& sheet) {
        ApplyAll(o.file, record, sheet, o.assignments);
    });
    return EXIT_OK;
}
