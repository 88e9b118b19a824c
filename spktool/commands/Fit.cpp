#include "commands/Fit.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "CommandLine.h"
#include "Failure.h"
#include "Json.h"
#include "Output.h"
#include "SpeakerFiles.h"
#include "Wording.h"
#include "acoustics/Figures.h"
#include "acoustics/ImpedanceFit.h"
#include "numbers/NumberStrings.h"
#include "pictures/ImpedancePlot.h"
#include "platform/Files.h"

namespace {

std::string RefusalText(ImpedanceRefusal refusal, std::size_t points)
{
    switch (refusal) {
    case ImpedanceRefusal::NotANumber: return "not a header and not 2 or 3 numbers (Hz, ohm, degrees)";
    case ImpedanceRefusal::ColumnsChange: return "another count of columns than the lines before";
    case ImpedanceRefusal::NotFinite: return "a value that is not a finite number";
    case ImpedanceRefusal::NotPositive: return "a frequency or an impedance that is not above 0";
    case ImpedanceRefusal::NotIncreasing: return "a frequency not above the one before";
    case ImpedanceRefusal::TooFewPoints:
        return std::to_string(points) + " points; a fit needs at least " +
               std::to_string(MIN_IMPEDANCE_POINTS);
    case ImpedanceRefusal::NoPeak: return "no resonance peak inside the curve's range";
    default: return "larger than 64 MB, the most spktool reads of a curve";
    }
}

// A curve file read whole, or bad data naming the file and the line at fault.
ImpedanceCurve LoadCurve(const std::string& path)
{
    std::string bytes, error;
    std::uint64_t size = 0;
    if (!ReadRegularFile(path, MAX_IMPEDANCE_TEXT, bytes, size, error))
        BadData(path + ": cannot be read: " + error);
    const ImpedanceRead read = ReadImpedance(bytes);
    if (read.refusal == ImpedanceRefusal::TooLarge)
        BadData(path + ": " + RefusalText(read.refusal, 0));
    if (read.refusal != ImpedanceRefusal::None)
        BadData(path + ": line " + std::to_string(read.line) + ": " +
                RefusalText(read.refusal, read.curve.points.size()));
    return read.curve;
}

const char* GradeText(FitGrade grade)
{
    switch (grade) {
    case FitGrade::Excellent: return "excellent";
    case FitGrade::Good: return "good";
    case FitGrade::Fair: return "fair";
    default: return "poor";
    }
}

void AddWarnings(const std::string& file, const ImpedanceFit& fit, std::vector<std::string>& out)
{
    const std::string of = file + ": ";
    if (fit.magnitudeOnly) out.push_back(of + "no phase: the fit uses the magnitude alone");
    if (fit.warnings & FIT_NOISY) out.push_back(of + "the points scatter by more than 2 %");
    if (fit.warnings & FIT_SHORT_BELOW) out.push_back(of + "the curve starts above Fs/2");
    if (fit.warnings & FIT_SHORT_ABOVE) out.push_back(of + "the curve ends below 5 Fs");
    if (fit.warnings & FIT_MISSES)
        out.push_back(of + "the model misses the curve by more than 3 %; check the figures");
}

// A curve far from any driver (all flat but one point, ohms of 1e300) leaves the
// least squares nowhere to go; its figures would be nonsense.
ImpedanceFit FitOrRefuse(const std::string& path, const ImpedanceCurve& curve, double heldRe)
{
    const ImpedanceFit fit = FitImpedance(curve, heldRe);
    const DriverImpedance& d = fit.driver;
    if (!std::isfinite(fit.errorPercent + d.re + d.fs + d.qms + d.qes + d.le + fit.simpleLe))
        BadData(path + ": the curve is not a driver's: no fit of Re, Fs, Qms and Qes to it");
    return fit;
}

// Everything the command found, in SI units.
struct Fitted {
    std::string file;
    std::size_t points;
    ImpedanceFit fit;
    std::string method;  // "" without a second curve
    double secondFs;
    DriverMechanics mechanics;
    std::vector<std::string> warnings;
};

double SecondNumber(const std::string& option, const std::vector<std::string>& values)
{
    return OptionNumber(option, values.at(0));
}

Fitted FitAll(const FitOptions& o, const ImpedanceCurve& curve)
{
    Fitted f{o.free, curve.points.size(), FitOrRefuse(o.free, curve, o.re), "", NAN, {}, {}};
    f.mechanics = {NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN};
    AddWarnings(o.free, f.fit, f.warnings);
    const double sd = o.sd > 0 ? o.sd * 1e-4 : NAN;
    const bool mass = !o.mass.empty();
    if (!mass && o.volume.empty()) return f;
    const std::vector<std::string>& second = mass ? o.mass : o.volume;
    const double amount = SecondNumber(mass ? "--mass" : "--volume", second);
    const ImpedanceFit other = FitOrRefuse(second.at(1), LoadCurve(second.at(1)), o.re);
    AddWarnings(second.at(1), other, f.warnings);
    f.secondFs = other.driver.fs;
    f.method = mass ? "added mass of " + Fixed(amount, 1) + " g"
                    : "sealed box of " + Fixed(amount, 1) + " l";
    f.mechanics = mass ? ByAddedMass(f.fit, other, amount * 1e-3, sd)
                       : ByKnownVolume(f.fit, other, amount * 1e-3, sd);
    if (!std::isfinite(f.mechanics.vas) && !std::isfinite(f.mechanics.mms))
        f.warnings.push_back(second.at(1) + ": its Fs moved the wrong way for the " +
                             (mass ? "added mass" : "box"));
    return f;
}

// One figure of the output, in the unit it is shown in.
struct Row {
    const char* key;    // for CSV and JSON
    const char* label;  // for the text
    double value;
    int decimals;
    const char* unit;
};

std::vector<Row> Rows(const Fitted& f)
{
    const DriverImpedance& d = f.fit.driver;
    const DriverMechanics& m = f.mechanics;
    std::vector<Row> rows = {
        {"re", "Re", d.re, 2, "ohm"},
        {"fs", "Fs", d.fs, 2, "Hz"},
        {"qms", "Qms", d.qms, 2, ""},
        {"qes", "Qes", d.qes, 3, ""},
        {"qts", "Qts", f.fit.qts, 3, ""},
        {"le", "Le", f.fit.simpleLe * 1e3, 3, "mH"},
        {"lossy_le", "lossy Le", d.le * 1e3, 3, "mH"},
        {"lossy_l2", "lossy L2", d.l2 * 1e3, 3, "mH"},
        {"lossy_r2", "lossy R2", d.r2, 2, "ohm"},
        {"error", "error", f.fit.errorPercent, 2, "% r.m.s."},
    };
    if (f.method.empty()) return rows;
    const Row more[] = {
        {"second_fs", "second Fs", f.secondFs, 2, "Hz"},
        {"mms", "Mms", m.mms * 1e3, 2, "g"},
        {"cms", "Cms", m.cms * 1e3, 3, "mm/N"},
        {"bl", "Bl", m.bl, 2, "Tm"},
        {"rms", "Rms", m.rms, 2, "kg/s"},
        {"vas", "Vas", m.vas * 1e3, 1, "l"},
        {"efficiency", "efficiency", m.efficiency * 100, 3, "%"},
        {"sensitivity", "sensitivity", m.sensitivityWatt, 1, "dB, 1 W at 1 m"},
        {"sensitivity_2v83", "sensitivity", m.sensitivityVolts, 1, "dB, 2.83 V at 1 m"},
    };
    rows.insert(rows.end(), std::begin(more), std::end(more));
    return rows;
}

std::string FitText(const Fitted& f, bool heldRe)
{
    std::string out = f.file + ": " + std::to_string(f.points) + " points" +
                      (f.fit.magnitudeOnly ? ", magnitude only\n" : " with phase\n");
    for (const Row& row : Rows(f)) {
        if (!std::isfinite(row.value)) continue;
        out += "  " + Pad(row.label, 13) + Fixed(row.value, row.decimals) +
               (*row.unit ? std::string(" ") + row.unit : "") + "\n";
        if (heldRe && std::string(row.key) == "re")
            out.insert(out.size() - 1, ", held as given (--re)");
        if (std::string(row.key) == "error")
            out += "  " + Pad("grade", 13) + GradeText(f.fit.grade) + "\n";
        if (std::string(row.key) == "second_fs") out += "  " + Pad("by", 13) + f.method + "\n";
    }
    if (std::isfinite(f.mechanics.vas) != std::isfinite(f.mechanics.mms))
        out += "  " + Pad("note", 13) + "--sd gives the rest\n";
    for (const std::string& warning : f.warnings) out += "  " + Pad("warning", 13) + warning + "\n";
    return out;
}

std::string FitCsv(const Fitted& f)
{
    std::string header = "file,points,phase", row = CsvCell(f.file) + "," +
                                                     std::to_string(f.points) + "," +
                                                     (f.fit.magnitudeOnly ? "no" : "yes");
    for (const Row& r : Rows(f)) {
        header += std::string(",") + r.key;
        row += "," + (std::isfinite(r.value) ? Plain(r.value) : std::string());
    }
    header += ",grade,warnings\n";
    std::string warnings;
    for (const std::string& w : f.warnings) warnings += (warnings.empty() ? "" : "; ") + w;
    return header + row + "," + GradeText(f.fit.grade) + "," + CsvCell(warnings) + "\n";
}

std::string FitJson(const Fitted& f)
{
    nlohmann::ordered_json object = {{"file", f.file}, {"points", f.points},
                                     {"phase", !f.fit.magnitudeOnly}};
    for (const Row& r : Rows(f)) object[r.key] = JsonNumber(r.value);
    object["grade"] = GradeText(f.fit.grade);
    if (!f.method.empty()) object["method"] = f.method;
    object["warnings"] = f.warnings;
    return JsonText(object);
}

// The sheet's fitted values as `set` would take them typed, within the 9 characters of
// a field: the lossy model's Le with its L2 and R2, and what a second curve gave.
std::vector<std::string> SheetAssignments(const Fitted& f, double sdCm2)
{
    const DriverImpedance& d = f.fit.driver;
    const DriverMechanics& m = f.mechanics;
    std::vector<std::string> out = {
        "re=" + Fixed(d.re, 2), "le=" + Fixed(d.le * 1e3, 3), "l2=" + Fixed(d.l2 * 1e3, 3),
        "r2=" + Fixed(d.r2, 2), "qes=" + Fixed(d.qes, 3), "qms=" + Fixed(d.qms, 2)};
    if (!std::isfinite(m.mms)) return out;
    if (sdCm2 > 0) out.push_back("sd=" + Fixed(sdCm2, 1));
    out.push_back("mms=" + Fixed(m.mms * 1e3, 2));
    out.push_back("cms=" + Fixed(m.cms * 1e3, 4));
    out.push_back("bl=" + Fixed(m.bl, 2));
    out.push_back("rms=" + Fixed(m.rms, 3));
    return out;
}

// The speaker file's fields: Qts, Fs, and Vas when the fit gives it.
std::vector<std::string> DriverAssignments(const Fitted& f)
{
    std::vector<std::string> out = {"qts=" + Fixed(f.fit.qts, 3), "fs=" + Fixed(f.fit.driver.fs, 1)};
    if (std::isfinite(f.mechanics.vas)) out.push_back("vas=" + Fixed(f.mechanics.vas * 1e3, 1));
    return out;
}

void WriteSpeaker(const FitOptions& o, const Fitted& f)
{
    if (!std::isfinite(f.mechanics.vas))
        BadData(o.output + ": not written: the second curve gives no Vas");
    std::vector<std::string> assignments = DriverAssignments(f);
    for (const std::string& a : SheetAssignments(f, o.sd)) assignments.push_back(a);
    ChangeSpeakerFile(o.output, true, o.force, [&](Speaker& record, DriverSheet& sheet) {
        ApplyAssignments(record, sheet, assignments);
        // A new driver comes with both boxes the optimiser proposes, as an import does.
        for (const bool ported : {false, true}) {
            record = Optimized(record, ported);
            for (const std::string& warning : WarningTexts(ProposalWarnings(record, ported)))
                Warn(o.output + ": " + (ported ? "ported: " : "sealed: ") + warning);
        }
        RefuseToReplace(SheetPath(o.output), o.force);
        RefuseToReplace(o.output, o.force);
    });
}

std::string Change(const char* name, double before, double after, int decimals, const char* unit)
{
    return std::string(name) + " " + Fixed(before, decimals) + unit + " -> " +
           Fixed(after, decimals) + unit;
}

// Puts the fit into an existing speaker file and its sheet, as `set` would, keeping its
// designs; the lines say what the designs were made for and whether Vas was kept.
std::string UpdateSpeaker(const FitOptions& o, const Fitted& f)
{
    std::vector<std::string> assignments = DriverAssignments(f);
    for (const std::string& a : SheetAssignments(f, o.sd)) assignments.push_back(a);
    Speaker before{}, after{};
    ChangeSpeakerFile(o.into, false, o.force, [&](Speaker& record, DriverSheet& sheet) {
        before = record;
        ApplyAssignments(record, sheet, assignments);
        after = record;
    });
    const bool vasKept = !std::isfinite(f.mechanics.vas);
    const std::string vas = vasKept ? "Vas " + Fixed(before.vas, 1) + " l kept"
                                    : Change("Vas", before.vas, after.vas, 1, " l");
    std::string out = o.into + ": its designs were made for the old values: " +
                      Change("Qts", before.qts, after.qts, 3, "") + ", " + vas + ", " +
                      Change("Fs", before.fs, after.fs, 1, " Hz") + "\n";
    if (vasKept)
        out += o.into + ": Vas kept, as the fit gives none without --volume, or --mass "
                        "with --sd\n";
    return out;
}

// The picture of the measured and the fitted curve, written whole or not at all.
void WritePlot(const FitOptions& o, const ImpedanceCurve& curve, const Fitted& f)
{
    const std::string fitted = "fitted: Re " + Fixed(f.fit.driver.re, 2) + " ohm, Fs " +
                               Fixed(f.fit.driver.fs, 2) + " Hz, Qts " + Fixed(f.fit.qts, 3);
    WriteWholeFile(o.svg, ImpedanceSvg(curve, f.fit.driver, o.free + ": measured", fitted),
                   o.force);
}

}  // namespace

void DeclareFit(CLI::App& command, FitOptions& o)
{
    command.add_option("FREE", o.free, "the driver's impedance in free air, a .zma curve "
                       "(Hz, ohm and degrees a line)")->required();
    CLI::Option* mass = command.add_option("--mass", o.mass, "grams stuck to the cone and the "
                                           "curve measured with them: Mms, Cms, Bl, Rms")
                            ->expected(2)->type_name("G ADDED.zma");
    command.add_option("--volume", o.volume, "the net litres of a sealed box and the curve "
                       "of the driver on it: Vas")
        ->expected(2)->type_name("L BOXED.zma")->excludes(mass);
    command.add_option("--re", o.re, "the coil's resistance read with an ohmmeter, ohm: Re "
                       "is held there and the rest fitted")
        ->check(Positive(1000, " ohm"));
    command.add_option("--sd", o.sd, "the cone area Sd, cm2: Vas by added mass, Mms by a box")
        ->check(Positive(10000, " cm2"));
    command.add_flag("--csv", o.csv, "a header and one row, for a spreadsheet");
    command.add_flag("--json", o.json, "JSON")->excludes("--csv");
    CLI::Option* output = command.add_option("-o,--output", o.output, "a new speaker file and "
                       "its sheet of the fitted values (needs Vas: --sd with --mass, or --volume)");
    command.add_option("--into", o.into, "an existing speaker file whose Qts, Fs, Vas (when "
                       "fitted) and sheet take the fit; its designs are kept")
        ->type_name("FILE.spk")->excludes(output);
    command.add_option("--svg", o.svg, "a picture of the measured and the fitted curve")
        ->type_name("PLOT.svg");
    command.add_flag("--force", o.force, "replace an existing -o or --svg file; change a "
                     "read-only --into file");
}

namespace {

// Refuses, before any work, outputs that would overwrite an input or an existing file.
void CheckOutputs(const FitOptions& o)
{
    if (!o.output.empty() && o.volume.empty() && (o.mass.empty() || o.sd <= 0))
        BadCommandLine("-o: a speaker file needs Vas: give --sd with --mass, or --volume");
    std::vector<std::string> inputs = {o.free};
    for (const std::vector<std::string>* second : {&o.mass, &o.volume})
        if (second->size() == 2) inputs.push_back(second->at(1));
    if (!o.output.empty()) {
        RefuseInputs(o.output, inputs);
        RefuseToReplace(o.output, o.force);
    }
    if (!o.into.empty()) {
        RefuseInputs(o.into, inputs);
        LoadSpeakerFile(o.into);
    }
    if (o.svg.empty()) return;
    for (const std::string* file : {&o.output, &o.into})
        if (!file->empty()) inputs.push_back(*file);
    RefuseInputs(o.svg, inputs);
    RefuseToReplace(o.svg, o.force);
}

}  // namespace

int RunFit(const FitOptions& o)
{
    CheckOutputs(o);
    const ImpedanceCurve curve = LoadCurve(o.free);
    const Fitted f = FitAll(o, curve);
    if (!o.output.empty()) WriteSpeaker(o, f);
    const std::string changed = o.into.empty() ? "" : UpdateSpeaker(o, f);
    if (!o.svg.empty()) WritePlot(o, curve, f);
    if (o.csv || o.json) {
        Print(stderr, changed);
        return Printed(o.csv ? FitCsv(f) : FitJson(f));
    }
    return Printed(FitText(f, o.re > 0) + changed);
}
