#include "commands/Edit.h"

#include "CommandLine.h"
#include "Failure.h"
#include "SpeakerFiles.h"

void DeclareNew(CLI::App& command, EditOptions& o)
{
    command.add_option("FILE", o.file, "the speaker file to write")->required();
    command.add_option("FIELD=VALUE", o.assignments,
                       "model, info, qts, fs, vas (l), sealed.volume (l), sealed.fb, sealed.q, "
                       "ported.volume (l), ported.fb; a sealed volume or Fb also sets the "
                       "sealed Q from the driver, as the main window does");
    command.add_flag("--force", o.force, "replace an existing file");
}

int RunNew(const EditOptions& o)
{
    ChangeSpeakerFile(o.file, true, o.force, [&](Speaker& record, DriverSheet& sheet) {
        ApplyAssignments(record, sheet, o.assignments);
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
        ApplyAssignments(record, sheet, o.assignments);
    });
    return EXIT_OK;
}
