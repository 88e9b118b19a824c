#include "commands/Limits.h"

#include <cmath>

#include "CommandLine.h"
#include "Failure.h"
#include "Json.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "Wording.h"
#include "acoustics/Limits.h"
#include "acoustics/PortLength.h"
#include "acoustics/PortShapes.h"
#include "commands/Build.h"

namespace {

const char CSV_HEADER[] =
    "Hz,dB,SPL dB,excursion mm,port m/s,group delay ms,impedance ohm,max power W,"
    "impedance phase deg,input power W,max volts V\n";

// How many drivers and how they are wired: "2 compound pairs in series".
std::string Drivers(const System& system)
{
    const std::string n = std::to_string(system.drivers);
    const bool one = system.drivers == 1;
    std::string out = n + (system.isobaric ? (one ? " compound pair" : " compound pairs")
                                           : (one ? " driver" : " drivers"));
    if (!one)
        out += system.wiring == Wiring::SERIES ? " in series" : " in parallel";
    return out;
}

std::string FilterWords(const char* name, const Filter& filter)
{
    return filter.hz > 0 ? std::string("; ") + name + " " + Brief(filter.hz) + " Hz, order " +
                               std::to_string(filter.order)
                         : "";
}

}  // namespace

std::string SystemLine(const SystemOptions& o, const System& system, double setRe, double setLe)
{
    std::string out = "System: " + Drivers(system);
    if (IsKnown(setRe))
        out += ", Re " + Fixed(setRe, 2) + " ohm";
    if (system.volts > 0)
        out += "; " + Fixed(system.volts, 1) + " V";
    else if (system.power > 0)
        out += "; " + Fixed(system.power, 1) + " W";
    if (system.sourceOhms > 0)
        out += " from " + Brief(system.sourceOhms) + " ohm";
    if (system.useLe)
        out += "; Le " + Fixed(setLe, 2) + " mH";
    out += FilterWords("high-pass", system.highpass) + FilterWords("low-pass", system.lowpass);
    if (o.ql > 0 || o.qa > 0 || o.qp > 0)
        out += "; QL " + Brief(system.ql) + (o.qa > 0 ? ", QA " + Brief(o.qa) : "") +
               (o.qp > 0 ? ", QP " + Brief(o.qp) : "");
    if (!o.space.empty())
        out += "; " + o.space + " space";
    if (o.cabin > 0)
        out += "; cabin gain below " + Brief(o.cabin) + " Hz";
    return out + "\n";
}


LimitsDriver SheetDriver(const std::string& file, const Speaker& s, const DriverSheet& sheet)
{
    const LimitsDriver d = LimitsDriverOf(s.qts, sheet);
    std::string missing, assignments;
    const auto need = [&](double known, const char* name, const char* unit) {
        if (known > 0)
            return;
        missing += (missing.empty() ? "" : ", ") + std::string(name);
        assignments += std::string(" ") + name + "=" + unit;
    };
    need(d.re, "re", "OHM");
    need(d.qes, "qes", "Q");
    need(d.sd, "sd", "CM2");
    need(d.xmax, "xmax", "MM");
    if (!missing.empty())
        BadData(file + ": limits needs " + missing + " from the driver sheet (spktool set " +
                file + assignments + ")");
    if (!(d.qes > s.qts))
        BadData(file + ": qes " + Plain(d.qes) + " must be above qts " + Plain(s.qts) +
                ": the difference is the driver's mechanical loss");
    // A fit writes L2 and R2 together; one alone is a coil the curves cannot draw.
    if (const bool l2 = IsKnown(d.l2); l2 != IsKnown(d.r2))
        Warn(file + ": the driver sheet gives " + (l2 ? "l2 without r2" : "r2 without l2") +
             ": the voice coil's loss is left out (spktool set " + file +
             (l2 ? " r2=OHM)" : " l2=MH)"));
    return d;
}

namespace {

void CheckDesign(const std::string& file, const Speaker& s, bool ported)
{
    std::string zero;
    const auto check = [&](const char* name, double value) {
        if (!(value > 0) && zero.empty())
            zero = std::string(name) + " is " + Plain(value);
    };
    check("qts", s.qts);
    check("fs", s.fs);
    check("vas", s.vas);
    check(ported ? "ported.volume" : "sealed.volume", ported ? s.ported.volume : s.sealed.volume);
    if (ported)
        check("ported.fb", s.ported.fb);
    if (!zero.empty())
        BadData(file + ": limits needs qts, fs, vas and the " + (ported ? "ported" : "sealed") +
                " box's values greater than 0 (" + zero + ")");
}

std::string Where(const Extreme& e, int decimals, const char* unit)
{
    return Fixed(e.value, decimals) + " " + unit + " at " + std::to_string(e.hz) + " Hz";
}

// The power into each driver: alike drivers share it alike, however they are wired.
double EachPower(const System& system, const Limits& l)
{
    return l.power / (system.drivers * (system.isobaric ? 2 : 1));
}

// The report's first lines: the design, the power and the sensitivity. `d` is the set's,
// `pe` one driver's.
std::string Heading(const std::string& file, const Speaker& s, bool ported, const System& system,
                    double diameter, int ports, const LimitsDriver& d, double pe,
                    const Limits& l)
{
    std::string out = file + ": ";
    if (ported)
        out += "ported box, " + Fixed(s.ported.volume, 1) + " l tuned to " +
               Fixed(s.ported.fb, 1) + " Hz, " + std::to_string(ports) +
               (ports == 1 ? " port" : " ports") + " of " + Fixed(diameter, 1) + " cm\n";
    else
        out += "sealed box, " + Fixed(s.sealed.volume, 1) + " l: Q " + Fixed(l.qtc, 3) +
               " and resonance " + Fixed(l.fc, 1) + " Hz from its volume (not the stored "
               "Fb and Q, which describe the drawn curve)\n";
    out += "Power: " + Fixed(l.power, 1) + " W" +
           (system.volts > 0 ? " (" + Fixed(l.volts, 1) + " V)" : std::string()) +
           " into Re " + Fixed(d.re, 2) + " ohm" +
           (EachPower(system, l) < l.power ? ", " + Fixed(EachPower(system, l), 1) + " W each"
                                           : std::string()) +
           (IsKnown(pe) ? ", Pe " + Fixed(pe, 1) + " W\n"
                        : "; Pe unknown, not checked (spktool set " + file + " pe=W)\n");
    return out + "Sensitivity: " + Fixed(l.sensitivity, 1) + " dB at 1 W, 1 m in half space\n";
}

// Below its F3 a ported box's cone is held by nothing but its suspension, so the
// excursion there says little of what the box plays and much of what a filter must stop;
// with a high-pass in the system, the curves already say what it stops.
std::string BelowF3(const Speaker& s, bool ported, const LimitsDriver& d, const Limits& l,
                    const Extremes& below, bool highpass)
{
    std::string out = "Below F3: the excursion reaches " + Where(below.largestExcursion, 2, "mm") +
                      ", Xmax at " + Fixed(below.lowestMaxPower.value, 1) + " W";
    if (ported)
        out += ", the port air " + Where(below.largestPortSpeed, 1, "m/s");
    const std::vector<HzRange> over = PassingRanges(l.excursion, d.xmax);
    if (ported && !highpass && !over.empty() && over.front().from < s.ported.fb)
        out += "; a subsonic high-pass filter below the " + Fixed(s.ported.fb, 1) +
               " Hz tuning keeps the cone within Xmax there";
    return out + "\n";
}

// The largest excursion, the least power to Xmax and the fastest port air where the
// design plays, from its F3 up, and what happens below; over the whole grid when F3 is
// not on it.
std::string Headlines(const Speaker& s, bool ported, const LimitsDriver& d, const Limits& l,
                      bool highpass)
{
    const LimitsSummary sum = Summarize(l);
    const std::string band = sum.usefulFrom ? " from F3 up: " : ": ";
    std::string out = "F3: " + (sum.f3.where == Crossing::AT ? Fixed(sum.f3.hz, 1) + " Hz"
                                : sum.f3.where == Crossing::BELOW ? std::string("below 1 Hz")
                                                                  : std::string("above 299 Hz")) +
                      "\n";
    out += "Largest excursion" + band + Where(sum.band.largestExcursion, 2, "mm") + " (Xmax " +
           Fixed(d.xmax, 1) + " mm)\n";
    out += "Lowest power to Xmax" + band + Where(sum.band.lowestMaxPower, 1, "W") + "\n";
    if (ported)
        out += "Largest port air speed" + band + Where(sum.band.largestPortSpeed, 1, "m/s") +
               "\n";
    if (sum.usefulFrom > LOWEST_HZ)
        out += BelowF3(s, ported, d, l, sum.belowBand, highpass);
    return out;
}

// The round ports' pipe resonance, straight as `limits` takes them, warned where it is heard.
std::string PortPipeWarning(const Speaker& s, const SystemOptions& o)
{
    const double length = PortLength(s.ported, o.diameter, o.ports);
    if (!(length >= 0 && std::isfinite(length)))
        return "";
    return PipeText(PipeResonance(RoundPort(o.diameter, o.ports), length), o.crossover);
}

// What the amplifier meets and how loud the system plays, for a system's text.
std::string SystemHeadlines(const System& system, double pe, const Limits& l)
{
    const Extreme least = LeastImpedance(l);
    std::string out = "Least impedance from F3 up: " + Fixed(least.value, 2) + " ohm at " +
                      std::to_string(least.hz) + " Hz\n";
    const std::string loudest =
        LoudestText(l, pe * system.drivers * (system.isobaric ? 2 : 1));
    return loudest.empty() ? out : out + "Loudest from F3 up: " + loudest + "\n";
}

}  // namespace

std::string LoudestText(const Limits& l, double setPe)
{
    const bool pe = IsKnown(setPe) && setPe > 0;
    const LoudestLevel loudest = PassbandMaxSpl(l, l.power, pe ? setPe : INFINITY);
    if (loudest.level.hz == 0 || !std::isfinite(loudest.level.value))
        return "";
    return Fixed(loudest.level.value, 1) + " dB, limited at " +
           std::to_string(loudest.level.hz) + " Hz by " +
           (loudest.cause == LevelLimit::XMAX ? pe ? "Xmax" : "Xmax (Pe not known)" : "Pe");
}

namespace {

// `d` is the set's.
std::string Report(const std::string& file, const Speaker& s, bool ported, const SystemOptions& o,
                   const System& system, const LimitsDriver& d, double pe, const Limits& l)
{
    std::string out = HasSetup(o) ? SystemLine(o, system, d.re, d.le) : "";
    out += Heading(file, s, ported, system, o.diameter, o.ports, d, pe, l) +
           Headlines(s, ported, d, l, system.highpass.hz > 0);
    if (HasSetup(o))
        out += SystemHeadlines(system, pe, l);
    const double each = EachPower(system, l);
    for (const std::string& warning : WarningTexts(LimitsWarnings(l, d.xmax, pe, each)))
        out += "Warning: " + warning + "\n";
    if (ported)
        out += PortPipeWarning(s, o);
    return out + "Impedance " +
           (system.useLe ? "with the voice coil's inductance Le " + Fixed(d.le, 2) + " mH"
                         : std::string("without the voice coil's inductance Le")) +
           "; Qms " + Fixed(ConstantsOf(s, d).qms, 2) + " from Qts and Qes\n";
}

// Each run of hertz where a curve passes its limit, as JSON objects.
nlohmann::ordered_json JsonRanges(const std::vector<HzRange>& ranges)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const HzRange& r : ranges)
        list.push_back({{"from_hz", r.from}, {"to_hz", r.to}});
    return list;
}

}  // namespace

void LoadSystemLimits(const std::string& file, const Speaker& s, bool ported,
                      SystemOptions& o, LimitsDriver& d, double& pe, System& system,
                      Limits& l)
{
    CheckDesign(file, s, ported);
    const DriverSheet sheet = LoadSheet(file);
    o = WithSheetSystem(file, sheet, o);
    d = SheetDriver(file, s, sheet);
    for (const std::string& warning :
         WarningTexts(DriverWarnings(s.qts, s.vas, s.fs, sheet)))
        Warn(file + ": " + warning);
    pe = sheet.value[SHEET_PE];
    system = SystemOf(o, o.power, d.le);
    if (!ComputeSystemLimits(s, ported, d, system, o.diameter, o.ports, l))
        BadData(file + ": no limits for these values");
}

void LoadLimits(const std::string& file, const Speaker& s, bool ported, double power,
                double diameter, int ports, LimitsDriver& d, double& pe, Limits& l)
{
    SystemOptions o;
    o.power = power, o.diameter = diameter, o.ports = ports, o.noLe = true;
    System system;
    LoadSystemLimits(file, s, ported, o, d, pe, system, l);
}

CompletedSystem SystemOfSheet(const std::string& file, const Speaker& s, const DriverSheet& sheet,
                          const SystemOptions& given, double power)
{
    CompletedSystem out;
    out.options = WithSheetSystem(file, sheet, given);
    const LimitsDriver one = LimitsDriverOf(s.qts, sheet);
    out.system = SystemOf(out.options, power, one.le);
    out.set = EquivalentDriver(s, one, out.system);
    if (HasSetup(out.options))
        out.line = SystemLine(out.options, out.system, out.set.d.re, out.set.d.le);
    return out;
}

double SystemPower(const SystemOptions& system, const DriverSheet& sheet, std::string& note)
{
    // Alike drivers share the power alike: the set takes each one's Pe.
    const int count = (system.drivers > 1 ? system.drivers : 1) * (system.isobaric ? 2 : 1);
    const double pe = sheet.value[SHEET_PE] * count;
    if (system.power > 0) {
        note = Fixed(system.power, 1) + " W, from --power";
        return system.power;
    }
    if (IsKnown(pe) && pe > 0) {
        note = Fixed(pe, 1) + (count > 1 ? " W, the drivers' Pe together" : " W, the driver's Pe");
        return pe;
    }
    note = "1.0 W: the driver sheet gives no Pe";
    return 1;
}

// A subsonic high-pass lets the cone take more power near the tuning, and the port
// must then move more air; a source resistance, less. The coil's inductance moves the
// cone by a few tenths of a per cent down there: a sheet that gains Le keeps its port.
System SizingSystem(System system, double watts)
{
    system.power = watts;
    system.volts = 0;
    system.useLe = false;
    return system;
}

bool SizingPower(const Speaker& s, const DriverSheet& sheet, double power, PortPower& sized,
                 std::string& words, const System& system)
{
    // Any port will do: its size moves neither the cone nor the band where it is busy.
    const double anyDiameter = 10;
    Limits l;
    if (!ComputeSystemLimits(s, true, LimitsDriverOf(s.qts, sheet), SizingSystem(system, power),
                             anyDiameter, 1, l))
        return false;
    const double pe = sheet.value[SHEET_PE] * system.drivers * (system.isobaric ? 2 : 1);
    sized = PortSizingPower(l, power, IsKnown(pe) && pe > 0 ? pe : INFINITY);
    words = Fixed(sized.watts, 1) + " W";
    if (sized.cause == LevelLimit::XMAX)
        words += ", the most the cone takes within Xmax near the tuning (at " +
                 std::to_string(sized.hz) + " Hz)";
    else if (sized.watts < power)
        words += ", the driver's Pe";
    return true;
}

namespace {

std::string Csv(bool ported, const Limits& l)
{
    const double* columns[] = {l.level,     l.spl,      l.excursion, l.portSpeed,
                               l.groupDelay, l.impedance, l.maxPower, l.phase,
                               l.inputPower, l.maxVolts};
    std::string out = CSV_HEADER;
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
        out += std::to_string(f);
        for (const double* column : columns)
            out += "," + (column == l.portSpeed && !ported ? "" : Plain(column[f]));
        out += "\n";
    }
    return out;
}

std::string Json(const std::string& file, bool ported, const LimitsDriver& d, double pe,
                 double each, const Limits& l)
{
    const double* columns[] = {l.level,      l.spl,       l.excursion, l.portSpeed,
                               l.groupDelay, l.impedance, l.maxPower,  l.phase,
                               l.inputPower, l.maxVolts};
    const char* names[] = {"db",       "spl_db",        "excursion_mm", "port_m_s",
                           "group_delay_ms", "impedance_ohm", "max_power_w",
                           "impedance_phase_deg", "input_power_w", "max_volts_v"};
    nlohmann::ordered_json object = {{"file", file},
                                     {"design", ported ? "ported" : "sealed"},
                                     {"power_w", JsonNumber(l.power)},
                                     {"sensitivity_db", JsonNumber(l.sensitivity)}};
    object["excursion_over_xmax"] = JsonRanges(PassingRanges(l.excursion, d.xmax));
    object["port_over_audible_speed"] =
        ported ? JsonRanges(PassingRanges(l.portSpeed, AUDIBLE_PORT_SPEED)) : nullptr;
    nlohmann::ordered_json& hz = object["hz"] = nlohmann::ordered_json::array();
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f)
        hz.push_back(f);
    for (int i = 0; i < 10; ++i) {
        nlohmann::ordered_json& array = object[names[i]];
        if (columns[i] == l.portSpeed && !ported)
            continue;  // null: a sealed box has no port
        for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f)
            array.push_back(JsonNumber(columns[i][f]));
    }
    object["warnings"] = WarningTexts(LimitsWarnings(l, d.xmax, pe, each));
    return JsonText(object);
}

void CheckOptions(bool ported, const SystemOptions& o)
{
    if (ported && (o.diameter == 0 || o.ports == 0))
        BadCommandLine("limits --ported needs --diameter and --ports");
    if (!ported && (o.diameter != 0 || o.ports != 0))
        BadCommandLine("limits: --diameter and --ports are for a ported box");
    if (!ported && (o.ql > 0 || o.qa > 0 || o.qp > 0))
        BadCommandLine("limits: --ql, --qa and --qp are for a ported box");
}

// After the sheet is read: its volts line drives the system as --volts does.
void CheckDrive(const std::string& file, const SystemOptions& given)
{
    const SystemOptions o = WithSheetSystem(file, LoadSheet(file), given);
    if (o.power == 0 && o.volts == 0)
        BadCommandLine("limits needs --power or --volts");
}

}  // namespace

std::string LimitsCommand(const std::string& file, bool ported, const SystemOptions& given,
                          Format format)
{
    CheckOptions(ported, given);
    SystemOptions o = given;
    const Speaker s = LoadSpeakerFile(file);
    CheckDrive(file, given);
    LimitsDriver one;
    double pe;
    System system;
    Limits l;
    LoadSystemLimits(file, s, ported, o, one, pe, system, l);
    const LimitsDriver d = EquivalentDriver(s, one, system).d;
    if (format == Format::Text)
        return Report(file, s, ported, o, system, d, pe, l);
    if (format == Format::Json)
        return Json(file, ported, d, pe, EachPower(system, l), l);
    for (const std::string& warning :
         WarningTexts(LimitsWarnings(l, d.xmax, pe, EachPower(system, l))))
        Warn(file + ": " + warning);
    return Csv(ported, l);
}

std::string LimitsCommand(const std::string& file, bool ported, double power, double diameter,
                          int ports, Format format)
{
    SystemOptions o;
    o.power = power, o.diameter = diameter, o.ports = ports, o.noLe = true;
    return LimitsCommand(file, ported, o, format);
}

void DeclareLimits(CLI::App& command, LimitsOptions& o)
{
    command.add_option("FILE", o.file, "the speaker file, with re, qes (or qms), sd and xmax "
                       "in its driver sheet")->required();
    AddDesign(command, o.sealed, o.ported);
    DeclareSystem(command, o.system, SYSTEM_POWER | SYSTEM_PORTS | SYSTEM_SETUP);
    DeclareCsvForm(command, command.add_flag("--csv", o.csv, "one row per hertz, for a spreadsheet"),
                   o.form);
    command.add_flag("--json", o.json, "JSON arrays")->excludes("--csv");
}

int RunLimits(const LimitsOptions& o)
{
    const Format format = o.csv ? Format::Csv : o.json ? Format::Json : Format::Text;
    const std::string out = LimitsCommand(o.file, o.ported, o.system, format);
    return Printed(format == Format::Csv ? InCsvForm(out, o.form) : out);
}
