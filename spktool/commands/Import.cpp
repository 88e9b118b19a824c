#include "commands/Import.h"

#include "CommandLine.h"
#include "Output.h"

void DeclareImport(CLI::App& command, ImportRequest& o)
{
    command.add_option("SOURCE", o.sources, "CSV with a header row (Model, Info, Qts, Fs, Vas "
                       "in l, ft3 or m3 as the header says, Sealed volume, Sealed Fb, Sealed "
                       "Q, Ported volume, Ported Fb); WinISD .wdr files; qspeakers_db.xml; Boxed .json "
                       "files; a folder of .wdr and .json files")
        ->required();
    command.add_option("--out", o.out, "the folder for the speaker files")->required();
    command.add_flag("--skip-bad", o.options.skipBad, "write the good drivers and report the "
                     "rest (otherwise nothing is written unless every driver is good)");
    command.add_flag("--force", o.options.force, "replace existing files");
    command.add_flag("--optimize", o.options.optimize, "give each driver without a box the two "
                     "boxes the Optimize button proposes");
    command.add_flag("--strict", o.options.strict, "take the warnings (values that do not hold "
                     "together, names shortened) as errors");
}

int RunImport(const ImportRequest& o)
{
    return Printed(ImportCommand(o.sources, o.out, o.options));
}
