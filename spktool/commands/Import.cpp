#include "commands/Import.h"

#include <algorithm>

#include "CommandLine.h"
#include "Failure.h"
#include "import/Importers.h"
#include "Output.h"
#include "Platform.h"
#include "SpeakerFiles.h"
#include "acoustics/Figures.h"

// Both designs the Optimize button proposes, for a driver whose source gave none; what
// the rules were not made for is a warning.
void OptimizeImported(ImportedDriver& driver, std::vector<std::string>& warnings)
{
    Speaker& r = driver.record;
    if (!(r.qts > 0))
        return;
    for (const bool ported : {false, true}) {
        if ((ported ? r.ported.volume : r.sealed.volume) != 0)
            continue;
        r = Optimized(r, ported);
        for (const std::string& warning : ProposalWarnings(r, ported))
            warnings.push_back(driver.where + ": " + (ported ? "ported: " : "sealed: ") + warning);
    }
}

ImportOutcome ImportCommand(const std::vector<std::string>& sources, const std::string& directory,
                            const ImportOptions& options)
{
    ImportResult result;
    for (const std::string& source : sources) {
        std::vector<std::string> files = {source};
        if (IsDirectory(source)) {
            files.clear();
            std::vector<std::string> names = JsonFilesIn(source);
            for (const std::string& name : FilesEndingIn(source, ".wdr"))
                names.push_back(name);
            std::sort(names.begin(), names.end());
            for (const std::string& name : names)
                files.push_back(JoinPath(source, name));
            if (files.empty())
                result.errors.push_back(source + ": no .json or .wdr files in this folder");
        }
        for (const std::string& file : files) {
            std::string bytes, error;
            if (ReadWholeFile(file, bytes, error))
                ImportText(file, bytes, result);
            else
                result.errors.push_back(file + ": cannot be read: " + error);
        }
    }
    if (options.optimize)
        for (ImportedDriver& driver : result.drivers)
            OptimizeImported(driver, result.warnings);
    // --strict: what would be a warning stops the import as an error does.
    std::vector<std::string>& noted = options.strict ? result.errors : Warnings();
    noted.insert(noted.end(), result.warnings.begin(), result.warnings.end());
    if (!IsDirectory(directory)) {
        std::string error;
        if (!MakeDirectory(directory, error))
            BadData(directory + ": cannot be made: " + error);
    }
    const std::vector<PlannedFile> planned =
        PlanImport(result, directory, options.force, options.skipBad, PathExists);
    RemoveLeftovers(directory, ".spk");
    RemoveLeftovers(directory, ".txt");

    // Every file and its sheet are complete on disk before the first one takes its name;
    // one that cannot be is a problem like a bad row.
    ImportOutcome outcome{"", result.errors};
    struct Staged {
        std::size_t driver;
        StagedFile file;
    };
    std::vector<Staged> staged;
    std::vector<bool> failed(planned.size());
    for (std::size_t i = 0; i < planned.size(); ++i) {
        std::vector<std::pair<std::string, std::string>> files = {
            {planned[i].path, SpeakerBytes(planned[i].record)}};
        if (!IsEmpty(planned[i].sheet))
            files.emplace_back(SheetPath(planned[i].path), EncodeSheet(planned[i].sheet));
        for (const auto& [path, bytes] : files) {
            Staged file{i, {}};
            std::string error;
            if (StageFile(path, bytes, options.force, options.force, file.file, error)) {
                staged.push_back(file);
            } else {
                outcome.errors.push_back(path + ": cannot be written: " + error);
                failed[i] = true;
            }
        }
    }
    if (!options.skipBad && !outcome.errors.empty())
        std::fill(failed.begin(), failed.end(), true);
    std::string notWritten;
    for (Staged& file : staged) {
        std::string error;
        if (failed[file.driver]) {
            DiscardFile(file.file);
        } else if (!CommitFile(file.file, options.force, error)) {
            outcome.errors.push_back(file.file.path + ": cannot be written: " + error);
            notWritten += (notWritten.empty() ? "" : ", ") + file.file.path;
            failed[file.driver] = true;
        }
    }
    int written = 0;
    for (std::size_t i = 0; i < planned.size(); ++i)
        if (!failed[i]) {
            outcome.output += planned[i].path + " from " + planned[i].where + "\n";
            ++written;
        }
    outcome.output += std::to_string(written) + (written == 1 ? " file" : " files") + " written";
    if (!outcome.errors.empty())
        outcome.output += ", " + std::to_string(outcome.errors.size()) +
                          (outcome.errors.size() == 1 ? " problem" : " problems") +
                          (options.skipBad ? " skipped"
                           : written == 0  ? ": nothing written"
                                           : ": not written " + notWritten);
    outcome.output += "\n";
    return outcome;
}

void DeclareImport(CLI::App& command, ImportRequest& o)
{
    command.add_option("SOURCE", o.sources, "CSV with a header row (Model, Info, Qts, Fs, Vas "
                       "in l, ft3 or m3 as the header says, Sealed volume, Sealed Fb, Sealed "
                       "Q, Ported volume, Ported Fb); qspeakers_db.xml; Boxed .json files")
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
    const ImportOutcome outcome = ImportCommand(o.sources, o.out, o.options);
    for (const std::string& error : outcome.errors)
        Print(stderr, "spktool: " + error + "\n");
    Print(stdout, outcome.output);
    return outcome.errors.empty() ? EXIT_OK : EXIT_BAD_DATA;
}
