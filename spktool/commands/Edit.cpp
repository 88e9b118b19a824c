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
    Speaker record{};
    DriverSheet sheet = EmptySheet();
    ApplyAssignments(record, sheet, o.assignments);
    RefuseToReplace(SheetPath(o.file), o.force);
    SaveSpeakerFile(o.file, record, o.force);
    SaveSheet(o.file, sheet, o.force);
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
    // The sheet is read and written under the speaker file's lock, so that two runs at
    // once keep both their changes to it too.
    UpdateSpeakerFile(o.file, o.force, [&](Speaker& record) {
        DriverSheet sheet = LoadSheet(o.file);
        ApplyAssignments(record, sheet, o.assignments);
        SaveSheet(o.file, sheet, true);
    });
    return EXIT_OK;
}
