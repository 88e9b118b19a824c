#include "CommandLine.h"

#include <climits>
#include <cmath>

#include "Failure.h"
#include "SpeakerFiles.h"
#include "Text.h"

CLI::Validator Positive(double most, const char* unit)
{
    return CLI::Validator(
        [most, unit](std::string& text) -> std::string {
            if (!IsTypedNumber(text) || text.size() > static_cast<std::size_t>(TYPED_NUMBER_CHARS))
                return Quoted(text) + " is not a number of at most 9 characters";
            const double value = ReadNumber(text.c_str());
            if (!(value > 0 && value <= most))
                return Quoted(text) + " is not above 0 and at most " + Brief(most) + unit;
            return "";
        },
        "");
}

CLI::Validator Between(double low, double high)
{
    return CLI::Validator(
        [low, high](std::string& text) -> std::string {
            double value = 0;
            if (!ReadDecimal(text, value) || !(value >= low && value <= high))
                return Quoted(text) + " is not a number from " + Brief(low) + " to " + Brief(high);
            return "";
        },
        "");
}

CLI::Option* AddDesign(CLI::App& command, bool& sealed, bool& ported)
{
    CLI::Option_group* box = command.add_option_group("design", "one of the file's designs");
    box->add_flag("--sealed", sealed, "the sealed design");
    CLI::Option* flag = box->add_flag("--ported", ported, "the ported design");
    box->require_option(1);
    return flag;
}

namespace {

// "HZ" or "HZ:ORDER": a filter's corner on the grid and its order, 2 when not given.
bool ReadFilter(const std::string& text, Filter& filter)
{
    const std::size_t colon = text.find(':');
    filter.order = 2;
    if (colon != std::string::npos) {
        const std::string order = text.substr(colon + 1);
        if (order.size() != 1 || order[0] < '1' || order[0] > '0' + MOST_FILTER_ORDER)
            return false;
        filter.order = order[0] - '0';
    }
    return ReadDecimal(text.substr(0, colon), filter.hz) && filter.hz >= 1 && filter.hz <= 299;
}

CLI::Validator FilterText()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            Filter filter;
            if (!ReadFilter(text, filter))
                return Quoted(text) + " is not HZ or HZ:ORDER, 1 to 299 Hz and order 1 to 4";
            return "";
        },
        "");
}

// The drivers, their drive, the filters, the box's losses and where it stands.
void DeclareSetup(CLI::App& command, SystemOptions& system, CLI::Option* power)
{
    CLI::Option* drivers = command.add_option("--drivers", system.drivers, "1 to 16 drivers alike")
                               ->check(CLI::Range(1, MOST_DRIVERS));
    command.add_option("--wiring", system.wiring, "the drivers wired in parallel or series")
        ->check(CLI::IsMember({"parallel", "series"}))->needs(drivers);
    command.add_flag("--isobaric", system.isobaric, "each driver a compound pair, coils in parallel");
    CLI::Option* volts = command.add_option("--volts", system.volts, "V r.m.s. at the amplifier")
                             ->check(Between(0.01, 10000.0));
    if (power)
        volts->excludes(power);
    command.add_option("--source-ohms", system.sourceOhms, "the amplifier's output and cable, ohm")
        ->check(Between(0, 100.0));
    command.add_flag("--no-le", system.noLe, "leave out the voice coil's inductance");
    command.add_option("--highpass", system.highpass, "high-pass HZ[:ORDER] (2)")->check(FilterText());
    CLI::Option* low = command.add_option("--lowpass", system.lowpass, "low-pass HZ[:ORDER] (2)")
                           ->check(FilterText());
    command.add_option("--crossover", system.crossover, "a fourth-order low-pass at HZ")
        ->check(Between(1, 299.0))->excludes(low);
    command.add_option("--ql", system.ql, "the box's leakage Q (7)")->check(Positive(10000, ""));
    command.add_option("--qa", system.qa, "the box's absorption Q")->check(Positive(10000, ""));
    command.add_option("--qp", system.qp, "the port's loss Q")->check(Positive(10000, ""));
    command.add_option("--space", system.space, "full, half, quarter or eighth space (half)")
        ->check(CLI::IsMember({"full", "half", "quarter", "eighth"}));
    command.add_option("--cabin", system.cabin, "a car's cabin gain below HZ")
        ->check(Positive(299, " Hz"));
}

}  // namespace

bool HasSetup(const SystemOptions& o)
{
    return o.drivers > 0 || o.isobaric || o.volts > 0 || o.sourceOhms > 0 ||
           !o.highpass.empty() || !o.lowpass.empty() || o.crossover > 0 || o.ql > 0 ||
           o.qa > 0 || o.qp > 0 || !o.space.empty() || o.cabin > 0;
}

System SystemOf(const SystemOptions& o, double power, double sheetLe)
{
    System s;
    s.drivers = o.drivers > 0 ? o.drivers : 1;
    s.wiring = o.wiring == "series" ? Wiring::SERIES : Wiring::PARALLEL;
    s.isobaric = o.isobaric;
    s.power = power;
    s.volts = o.volts;
    s.sourceOhms = o.sourceOhms;
    s.useLe = !o.noLe && sheetLe > 0;
    if (!o.highpass.empty())
        ReadFilter(o.highpass, s.highpass);
    if (!o.lowpass.empty())
        ReadFilter(o.lowpass, s.lowpass);
    if (o.crossover > 0)
        s.lowpass = {o.crossover, 4};
    s.ql = o.ql > 0 ? o.ql : s.ql;
    s.qa = o.qa > 0 ? o.qa : s.qa;
    s.qp = o.qp > 0 ? o.qp : s.qp;
    const char* spaces[] = {"full", "half", "quarter", "eighth"};
    for (int i = 0; i < 4; ++i)
        if (o.space == spaces[i])
            s.space = static_cast<Space>(i);
    s.cabinHz = o.cabin;
    return s;
}

namespace {

// The command line's reason in the sheet's words, where options are lines: "--wiring
// requires --drivers" is "wiring requires drivers".
std::string SheetWords(std::string reason)
{
    for (const char* name : SHEET_SYSTEM_NAMES)
        for (std::size_t at; (at = reason.find("--" + std::string(name))) != std::string::npos;)
            reason.erase(at, 2);
    return reason;
}

// The given system lines parsed as the options they name; the command line's reason
// when they do not hold together, else "". A line alone is judged by its value only:
// the line it needs or excludes may stand elsewhere in the sheet.
std::string ParseSheetLines(const DriverSheet& sheet, const std::vector<int>& lines, bool alone,
                            SystemOptions& system)
{
    CLI::App app;
    DeclareSystem(app, system, SYSTEM_POWER | SYSTEM_SETUP);
    std::vector<std::string> args;  // last first, as CLI11 takes them
    for (auto i = lines.rbegin(); i != lines.rend(); ++i)
        args.push_back("--" + std::string(SHEET_SYSTEM_NAMES[*i]) + "=" +
                       FromWindows1252(sheet.system[*i]));
    try {
        app.parse(args);
    } catch (const CLI::RequiresError& error) {
        return alone ? "" : SheetWords(error.what());
    } catch (const CLI::ParseError& error) {
        return SheetWords(error.what());
    }
    return "";
}

// The line to blame for a reason about lines together: of those it names, the last
// in the sheet, or one that set is writing (it has no line yet).
int NamedLine(const DriverSheet& sheet, const std::vector<int>& lines, const std::string& reason)
{
    int named = lines.back(), latest = 0;
    for (const int i : lines) {
        const std::string name = SHEET_SYSTEM_NAMES[i];
        const int line = sheet.systemLine[i] > 0 ? sheet.systemLine[i] : INT_MAX;
        for (std::size_t at = reason.find(name); at != std::string::npos;
             at = reason.find(name, at + 1)) {
            const std::size_t end = at + name.size();
            const bool whole = (at == 0 || reason[at - 1] == ' ') &&
                               (end == reason.size() || reason[end] == ' ' || reason[end] == ':');
            if (whole && line >= latest)
                named = i, latest = line;
        }
    }
    return named;
}

[[noreturn]] void BadSheetLine(const std::string& sheetPath, const DriverSheet& sheet, int i,
                               const std::string& reason)
{
    const int line = sheet.systemLine[i];
    BadData((line > 0 ? sheetPath + ":" + std::to_string(line) + ": " : "") + reason);
}

// What is wrong with one line's value, or "". The command line's reasons quote a value
// whole: a line's megabyte would be a flood, and no value of these options comes near
// this length.
std::string LineReason(const DriverSheet& sheet, int i)
{
    constexpr std::size_t LONGEST_SYSTEM_TEXT = 40;
    if (sheet.system[i].size() > LONGEST_SYSTEM_TEXT)
        return std::string(SHEET_SYSTEM_NAMES[i]) + ": " +
               Quoted(FromWindows1252(sheet.system[i])) + " is no value of it";
    SystemOptions alone;
    return ParseSheetLines(sheet, {i}, true, alone);
}

}  // namespace

SystemOptions SheetSystem(const std::string& sheetPath, const DriverSheet& sheet)
{
    std::vector<int> given;
    SystemOptions system;
    for (int i = 0; i < SHEET_SYSTEM_LINES; ++i)
        if (!sheet.system[i].empty()) {
            given.push_back(i);
            if (const std::string reason = LineReason(sheet, i); !reason.empty())
                BadSheetLine(sheetPath, sheet, i, reason);
        }
    if (const std::string reason = ParseSheetLines(sheet, given, false, system); !reason.empty())
        BadSheetLine(sheetPath, sheet, NamedLine(sheet, given, reason), reason);
    return system;
}

SystemOptions WithSheetSystem(const std::string& file, const DriverSheet& sheet,
                              SystemOptions given)
{
    const SystemOptions s = SheetSystem(SheetPath(file), sheet);
    SystemOptions o = given;
    o.drivers = given.drivers > 0 ? given.drivers : s.drivers;
    o.wiring = given.wiring.empty() ? s.wiring : given.wiring;
    o.isobaric = given.isobaric || s.isobaric;
    o.volts = given.power > 0 || given.volts > 0 ? given.volts : s.volts;
    o.sourceOhms = given.sourceOhms > 0 ? given.sourceOhms : s.sourceOhms;
    o.noLe = given.noLe || s.noLe;
    o.highpass = given.highpass.empty() ? s.highpass : given.highpass;
    if (given.lowpass.empty() && !(given.crossover > 0))
        o.lowpass = s.lowpass, o.crossover = s.crossover;
    o.ql = given.ql > 0 ? given.ql : s.ql;
    o.qa = given.qa > 0 ? given.qa : s.qa;
    o.qp = given.qp > 0 ? given.qp : s.qp;
    o.space = given.space.empty() ? s.space : given.space;
    o.cabin = given.cabin > 0 ? given.cabin : s.cabin;
    return o;
}

void DeclareCsvForm(CLI::App& command, CLI::Option* csv, CsvForm& form)
{
    command.add_flag("--excel", form.excel, "CSV as Excel opens it: UTF-8 with a byte order "
                     "mark, CR LF line ends")->needs(csv);
    command.add_flag("--decimal-comma", form.decimalComma, "with --excel: ';' between values "
                     "and a decimal comma, for Excel where the comma is the decimal sign")
        ->needs("--excel");
}

CLI::Option* DeclareSystem(CLI::App& command, SystemOptions& system, unsigned parts)
{
    CLI::Option* power = nullptr;
    if (parts & SYSTEM_POWER)
        power = command.add_option("--power", system.power, "the power into Re, W (V2 = P x Re)")
                    ->check(Between(0.001, 100000.0));
    if (parts & SYSTEM_PORTS) {
        command.add_option("--diameter", system.diameter, "port diameter, cm (ported box)")
            ->check(Between(0.5, 1000.0));
        command.add_option("--ports", system.ports, "1 to 4 ports of that diameter (ported box)")
            ->check(CLI::Range(1, 4));
    }
    if (parts & SYSTEM_PANEL)
        command.add_option("--panel", system.panel, "panel thickness, mm (18)")
            ->check(Between(0.1, 200.0));
    if (parts & SYSTEM_SETUP)
        DeclareSetup(command, system, power);
    return power;
}

double OptionNumber(const std::string& option, const std::string& text)
{
    if (!IsTypedNumber(text) || text.size() > static_cast<std::size_t>(TYPED_NUMBER_CHARS))
        BadCommandLine(option + ": " + Quoted(text) + " is not a number of at most 9 characters");
    const double value = ReadNumber(text.c_str());
    if (!(value > 0) || !std::isfinite(value))
        BadCommandLine(option + ": " + Quoted(text) + " is not greater than 0");
    return value;
}
