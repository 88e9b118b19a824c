// Drivers from other people's files: a CSV table, the XML driver database of
// qspeakers, the per-driver JSON files of Boxed and WinISD's driver files. Parsing is
// pure, so the fuzzer and the import command share it; writing is planned apart, all
// or nothing.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "record/DriverSheet.h"
#include "record/Speaker.h"

struct ImportedDriver {
    std::string where;  // "drivers.csv:3", for messages
    std::string name;   // UTF-8, from the maker and model; the file name is made from it
    Speaker record;
    DriverSheet sheet;  // the values beyond the record's; written when not empty
};

struct ImportResult {
    std::vector<ImportedDriver> drivers;
    std::vector<std::string> errors;    // one line each, naming the file and line or field
    std::vector<std::string> warnings;  // the same; with --strict they count as errors
};

// Reads one source: WinISD's if its first line is "[Driver]", XML if it starts with
// '<', JSON if with '{', CSV otherwise.
// `source` names it in messages and, for a CSV without models, in file names.
// It takes the text, so that a large table is held once.
void ImportText(const std::string& source, std::string text, ImportResult& result);

struct PlannedFile {
    std::string path;
    std::string where;
    Speaker record;
    DriverSheet sheet;
};

// The files to write into `directory`, one per driver, named from the model and made
// unique. A driver whose file exists (unless `replace`) becomes an error. When any
// error remains and `skipBad` is not set, nothing is planned.
std::vector<PlannedFile> PlanImport(ImportResult& result, const std::string& directory,
                                    bool replace, bool skipBad,
                                    const std::function<bool(const std::string&)>& exists);
