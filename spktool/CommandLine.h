// What the commands' declarations share: the checks of typed numbers, the choice of a
// file's design, and the one set of options that says how a design is driven and built.
#pragma once
#include <string>

#include "Output.h"
#include "SystemOptions.h"
#include "acoustics/System.h"
#include "record/DriverSheet.h"

#define CLI11_HAS_FILESYSTEM 0
#include <CLI/CLI.hpp>

// A number as the program's fields read it, above 0 and at most `most`, so that a
// command never computes with a nonsense value.
CLI::Validator Positive(double most, const char* unit);

// A number from `low` to `high`. CLI11's Range lets "nan" through, as every comparison
// with it is false.
CLI::Validator Between(double low, double high);

// Exactly one of a file's two designs; returns the --ported flag, for the options that
// exclude it.
CLI::Option* AddDesign(CLI::App& command, bool& sealed, bool& ported);

// --excel and --decimal-comma, for a command whose --csv is `csv`.
void DeclareCsvForm(CLI::App& command, CLI::Option* csv, CsvForm& form);

// Declares the options of `parts` on `command`, returning the --power option (null
// when not asked for) so that a command may require it.
CLI::Option* DeclareSystem(CLI::App& command, SystemOptions& system, unsigned parts);

// True when an option of SYSTEM_SETUP other than --no-le was given: the design is then
// more than the one driver at a power in half space.
bool HasSetup(const SystemOptions& system);

// The core's System of the options, at `power` W unless --volts is given, with the
// sheet's Le (`sheetLe` mH, NaN when the sheet does not give it) unless --no-le.
System SystemOf(const SystemOptions& options, double power, double sheetLe);

// The options as the driver's sheet completes them: each system line of `file`'s sheet
// ("drivers = 2") stands where the command line left its option out, so that a file
// dropped on spktool is the system its user built. An option typed wins over its line,
// --power over the sheet's volts, --lowpass or --crossover over both of the sheet's; a
// flag or a 0 typed is no option, so the sheet's isobaric, no-le or source-ohms stand.
SystemOptions WithSheetSystem(const std::string& file, const DriverSheet& sheet,
                              SystemOptions given);

// The system lines of a sheet read as the command line reads its options, each line
// for its own value and all together for the options that need or exclude another.
// A line that fails is bad data: "`sheetPath`:LINE: reason", or the reason alone for a
// line that was not read from the file (one `set` is about to write).
SystemOptions SheetSystem(const std::string& sheetPath, const DriverSheet& sheet);

// A number typed for `option` as the program's fields read it, above 0; else the
// command line is bad, naming the option.
double OptionNumber(const std::string& option, const std::string& text);
