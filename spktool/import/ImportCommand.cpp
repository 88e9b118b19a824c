#include "ImportCommand.h"

#include <algorithm>

#include "Failure.h"
#include "Importers.h"
#include "Output.h"
#include "Platform.h"
#include "SpeakerFiles.h"
#include "Wording.h"
#include "acoustics/Figures.h"

namespace {

// The files a source names: itself, or a folder's .json and .wdr files in name order.
std::vector<std::string> SourceFiles(const std::string& source, std::vector<std::string>& errors)
{
    if (!IsDirectory(source))
        return {source};
    std::vector<std::string> names = JsonFilesIn(source);
    for (const std::string& name : FilesEndingIn(source, ".wdr"))
        names.push_back(name);
    std::sort(names.begin(), names.end());
    std::vector<std::string> files;
    for (const std::string& name : names)
        files.push_back(JoinPath(source, name));
    if (files.empty())
        errors.push_back(source + ": no .json or .wdr files in this folder");
    return files;
}

void ReadSources(const std::vector<std::string>& sources, ImportResult& result)
{
    for (const std::string& source : sources)
        for (const std::string& file : SourceFiles(source, result.errors)) {
            std::string bytes, error;
            if (ReadWholeFile(file, bytes, error))
                ImportText(file, std::move(bytes), result);
            else
                result.errors.push_back(file + ": cannot be read: " + error);
        }
}

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
        for (const std::string& warning : WarningTexts(ProposalWarnings(r, ported)))
            warnings.push_back(driver.where + ": " + (ported ? "ported: " : "sealed: ") + warning);
    }
}

// The folder made when it is not there, the files planned in it, and what a killed run
// left there removed.
std::vector<PlannedFile> Plan(ImportResult& result, const std::string& directory,
                              const ImportOptions& options)
{
    if (!IsDirectory(directory)) {
        std::string error;
        if (!MakeDirectory(directory, error))
            BadData(directory + ": cannot be made: " + error);
    }
    const std::vector<PlannedFile> planned =
        PlanImport(result, directory, options.force, options.skipBad, PathExists);
    RemoveLeftovers(directory, ".spk");
    RemoveLeftovers(directory, ".txt");
    return planned;
}

// A speaker file or its sheet, complete beside its target, and the driver it is of.
struct Staged {
    std::size_t driver;
    StagedFile file;
};

// Every file and its sheet are complete on disk before the first one takes its name;
// one that cannot be is a problem like a bad row, and marks its driver failed.
std::vector<Staged> StageAll(const std::vector<PlannedFile>& planned, bool force,
                             std::vector<bool>& failed, std::vector<std::string>& errors)
{
    std::vector<Staged> staged;
    Progress progress("drivers written", planned.size());
    for (std::size_t i = 0; i < planned.size(); ++i) {
        progress.Done(i);
        std::vector<std::pair<std::string, std::string>> files = {
            {planned[i].path, SpeakerBytes(planned[i].record)}};
        if (!IsEmpty(planned[i].sheet))
            files.emplace_back(SheetPath(planned[i].path), EncodeSheet(planned[i].sheet));
        for (const auto& [path, bytes] : files) {
            Staged file{i, {}};
            std::string error;
            if (StageFile(path, bytes, force, force, file.file, error)) {
                staged.push_back(file);
            } else {
                errors.push_back(path + ": cannot be written: " + error);
                failed[i] = true;
            }
        }
    }
    return staged;
}

// A driver that takes an existing speaker file's place does so under that file's lock,
// with its sheet, as set changes them: a set at the same moment is whole before it or
// after it. Its files staged here have done their part, the check that all can be
// written.
bool ReplaceLocked(const PlannedFile& planned, Staged& file, std::vector<Staged>& staged,
                   std::string& error)
{
    for (Staged& other : staged)
        if (other.driver == file.driver)
            DiscardFile(other.file);
    return ReplaceSpeakerFile(planned.path, planned.record, planned.sheet, error);
}

// Moves each staged file of a driver that has not failed onto its target and discards
// the rest. Returns the files that could not be moved, for the summary.
std::string CommitAll(const std::vector<PlannedFile>& planned, std::vector<Staged>& staged,
                      bool force, std::vector<bool>& failed, std::vector<std::string>& errors)
{
    std::string notWritten;
    std::vector<bool> done(planned.size());
    for (Staged& file : staged) {
        const PlannedFile& driver = planned[file.driver];
        std::string error;
        if (failed[file.driver] || done[file.driver]) {
            DiscardFile(file.file);
        } else if (file.file.existed && file.file.path == driver.path) {
            done[file.driver] = true;
            if (!ReplaceLocked(driver, file, staged, error)) {
                errors.push_back(error);
                notWritten += (notWritten.empty() ? "" : ", ") + driver.path;
                failed[file.driver] = true;
            }
        } else if (!CommitFile(file.file, force, error)) {
            errors.push_back(file.file.path + ": cannot be written: " + error);
            notWritten += (notWritten.empty() ? "" : ", ") + file.file.path;
            failed[file.driver] = true;
        }
    }
    return notWritten;
}

// One line per file written, then how many, and how many problems and what became of
// them.
std::string Summary(const std::vector<PlannedFile>& planned, const std::vector<bool>& failed,
                    std::size_t problems, bool skipBad, const std::string& notWritten)
{
    std::string output;
    int written = 0;
    for (std::size_t i = 0; i < planned.size(); ++i)
        if (!failed[i]) {
            output += planned[i].path + " from " + planned[i].where + "\n";
            ++written;
        }
    output += std::to_string(written) + (written == 1 ? " file" : " files") + " written";
    if (problems != 0)
        output += ", " + std::to_string(problems) + (problems == 1 ? " problem" : " problems") +
                  (skipBad        ? " skipped"
                   : written == 0 ? ": nothing written"
                                  : ": not written " + notWritten);
    return output + "\n";
}

}  // namespace

Outcome ImportCommand(const std::vector<std::string>& sources, const std::string& directory,
                            const ImportOptions& options)
{
    ImportResult result;
    ReadSources(sources, result);
    if (options.optimize)
        for (ImportedDriver& driver : result.drivers)
            OptimizeImported(driver, result.warnings);
    // --strict: what would be a warning stops the import as an error does.
    std::vector<std::string>& noted = options.strict ? result.errors : Warnings();
    noted.insert(noted.end(), result.warnings.begin(), result.warnings.end());
    const std::vector<PlannedFile> planned = Plan(result, directory, options);

    Outcome outcome{"", result.errors};
    std::vector<bool> failed(planned.size());
    std::vector<Staged> staged = StageAll(planned, options.force, failed, outcome.errors);
    if (!options.skipBad && !outcome.errors.empty())
        std::fill(failed.begin(), failed.end(), true);
    const std::string notWritten =
        CommitAll(planned, staged, options.force, failed, outcome.errors);
    outcome.output = Summary(planned, failed, outcome.errors.size(), options.skipBad, notWritten);
    return outcome;
}
