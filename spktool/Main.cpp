// spktool: the program's speaker files and numbers for scripts, spreadsheets and other
// tools. Exit status 0 on success, 1 for bad data, 2 for a bad command line; every
// fault is one line on standard error.
#define CLI11_HAS_FILESYSTEM 0
#include <CLI/CLI.hpp>

#include <cstdio>

#include "Build.h"
#include "Chart.h"
#include "Commands.h"
#include "Failure.h"
#include "Limits.h"
#include "Platform.h"
#include "Report.h"
#include "Text.h"

namespace {

const char RULE[] =
    "The smallest port diameter follows Small's vent-area rule for a vented box at full\n"
    "excursion: all ports together need Sv >= 0.8 x Fb x VD, with Sv in m2, Fb in Hz and\n"
    "VD = Sd x Xmax in m3 (R. H. Small, \"Vented-Box Loudspeaker Systems\", J. Audio Eng.\n"
    "Soc. 21, 1973). --sd is in cm2 and --xmax in mm, as data sheets give them.";

struct Options {
    std::vector<std::string> files, assignments, sources;
    std::string file, out, diameter, sd, xmax, qtc, size;
    bool csv = false, json = false, frd = false, force = false, skipBad = false, bmp = false;
    bool sealed = false, ported = false, exact = false, write = false, optimize = false;
    bool strict = false;
    int ports = 1;
    double power = 0, limitsDiameter = 0;  // 0: not given
    int limitsPorts = 0;
    PlotRequest plot;
    BuildRequest build;
    ReportRequest report;
};

// The subcommands, to tell which one the command line named.
struct Commands {
    CLI::App *show, *create, *set, *import, *response, *optimize, *port, *chart, *limits, *build,
        *report;
};

// Everything printed passes here, so that no model name or file name read from a file
// reaches a terminal with its control characters.
void Print(std::FILE* stream, const std::string& text)
{
    WriteText(stream == stderr, Printable(text));
}

// A number as the program's fields read it, above 0 and at most `most`, so that a
// command never computes with a nonsense value.
CLI::Validator Positive(double most, const char* unit)
{
    return CLI::Validator(
        [most, unit](std::string& text) -> std::string {
            if (!IsTypedNumber(text) || text.size() > static_cast<std::size_t>(TYPED_NUMBER_CHARS))
                return "'" + text + "' is not a number of at most 9 characters";
            const double value = ReadNumber(text.c_str());
            if (!(value > 0 && value <= most))
                return "'" + text + "' is not above 0 and at most " + Brief(most) + unit;
            return "";
        },
        "");
}

// A number from `low` to `high`. CLI11's Range lets "nan" through, as every comparison
// with it is false.
CLI::Validator Between(double low, double high)
{
    return CLI::Validator(
        [low, high](std::string& text) -> std::string {
            double value = 0;
            if (!ReadDecimal(text, value) || !(value >= low && value <= high))
                return "'" + text + "' is not a number from " + Brief(low) + " to " + Brief(high);
            return "";
        },
        "");
}

CLI::App* Command(CLI::App& app, const char* name, const char* description, const char* example)
{
    CLI::App* command = app.add_subcommand(name, description);
    command->footer(std::string("Example:\n  ") + example);
    return command;
}

// Exactly one of the two designs; returns the --ported flag for options that exclude it.
CLI::Option* AddBox(CLI::App* command, Options& o)
{
    CLI::Option_group* box = command->add_option_group("design", "one of the file's designs");
    box->add_flag("--sealed", o.sealed, "the sealed design");
    CLI::Option* ported = box->add_flag("--ported", o.ported, "the ported design");
    box->require_option(1);
    return ported;
}

Commands DeclareCommandLine(CLI::App& app, Options& o)
{
    Commands c;
    app.require_subcommand(1);
    app.set_version_flag("--version", "spktool " SPKTOOL_VERSION);
    app.footer("Run spktool COMMAND --help for a command's options and an example.\n"
               "Exit status: 0 success, 1 bad data, 2 bad command line.");

    c.show = Command(app, "show", "Every field of speaker files, the true Q and resonance "
                     "of the sealed volume, and the F3 of both designs",
                     "spktool show woofer.spk --csv");
    c.show->add_option("FILE", o.files, "speaker files (.spk)")->required();
    c.show->add_flag("--csv", o.csv, "one row per file, for a spreadsheet");
    c.show->add_flag("--json", o.json, "JSON")->excludes("--csv");

    c.create = Command(app, "new", "Write a new speaker file; each value must be a "
                       "number as a whole, of at most the 9 characters a field takes",
                       "spktool new woofer.spk model=\"Woofer 10\" qts=0.35 vas=100 fs=30");
    c.create->add_option("FILE", o.file, "the speaker file to write")->required();
    c.create->add_option("FIELD=VALUE", o.assignments,
                         "model, info, qts, fs, vas (l), sealed.volume (l), sealed.fb, sealed.q, "
                         "ported.volume (l), ported.fb; a sealed volume or Fb also sets the "
                         "sealed Q from the driver, as the main window does");
    c.create->add_flag("--force", o.force, "replace an existing file");

    c.set = Command(app, "set", "Change fields of a speaker file",
                    "spktool set woofer.spk ported.volume=60 ported.fb=35");
    c.set->add_option("FILE", o.file, "the speaker file")->required();
    c.set->add_option("FIELD=VALUE", o.assignments, "the fields, as for new")->required();
    c.set->add_flag("--force", o.force, "change a read-only file too");

    c.import = Command(app, "import", "One speaker file per driver from a CSV table, a "
                       "qspeakers XML database or Boxed JSON files (or a folder of them)",
                       "spktool import drivers.csv --out speakers");
    c.import->add_option("SOURCE", o.sources, "CSV with a header row (Model, Info, Qts, Fs, Vas "
                         "in l, ft3 or m3 as the header says, Sealed volume, Sealed Fb, Sealed "
                         "Q, Ported volume, Ported Fb); qspeakers_db.xml; Boxed .json files")
        ->required();
    c.import->add_option("--out", o.out, "the folder for the speaker files")->required();
    c.import->add_flag("--skip-bad", o.skipBad, "write the good drivers and report the rest "
                       "(otherwise nothing is written unless every driver is good)");
    c.import->add_flag("--force", o.force, "replace existing files");
    c.import->add_flag("--optimize", o.optimize, "give each driver without a box the two boxes "
                       "the Optimize button proposes");
    c.import->add_flag("--strict", o.strict, "take the warnings (values that do not hold "
                       "together, names shortened) as errors");

    c.response = Command(app, "response", "The levels at 1 to 299 Hz as the program stores "
                         "them, with F3, F6, F10 and the peak",
                         "spktool response woofer.spk --ported --frd > woofer.frd");
    c.response->add_option("FILE", o.file, "the speaker file")->required();
    AddBox(c.response, o);
    c.response->add_flag("--exact", o.exact, "levels before rounding to whole dB");
    c.response->add_flag("--csv", o.csv, "hz,db rows");
    c.response->add_flag("--frd", o.frd, "frequency and level lines with * comments, for "
                         "crossover tools (no phase)")->excludes("--csv");

    c.optimize = Command(app, "optimize", "The box the Optimize button proposes, and the "
                         "textbook sealed box for a Qtc",
                         "spktool optimize woofer.spk --sealed --qtc 0.6");
    c.optimize->add_option("FILE", o.files, "speaker files")->required();
    CLI::Option* ported = AddBox(c.optimize, o);
    c.optimize->add_flag("--write", o.write, "store the program's proposal in the file");
    c.optimize->add_flag("--force", o.force, "with --write, change a read-only file too");
    c.optimize->add_option("--qtc", o.qtc, "the Qtc of the textbook sealed box (0.707)")
        ->excludes(ported)
        ->check(Positive(10, ""));

    c.port = Command(app, "port", "The port length of the Port dialog, and the smallest port "
                     "diameter for a driver's excursion",
                     "spktool port woofer.spk --diameter 10 --ports 2 --sd 330 --xmax 6");
    c.port->add_option("FILE", o.file, "the speaker file")->required();
    c.port->add_option("--diameter", o.diameter, "port diameter, cm")
        ->required()
        ->check(Positive(100, " cm"));
    c.port->add_option("--ports", o.ports, "1 to 4 ports, the counts the Port dialog offers (1)")
        ->check(CLI::Range(1, 4));
    // The largest drivers made have some 2,000 cm2 and 50 mm.
    CLI::Option* sd = c.port->add_option("--sd", o.sd, "the driver's cone area Sd, cm2")
                          ->check(Positive(10000, " cm2"));
    CLI::Option* xmax =
        c.port->add_option("--xmax", o.xmax, "the driver's linear excursion Xmax (one way), mm")
            ->check(Positive(100, " mm"));
    sd->needs(xmax);
    xmax->needs(sd);
    c.port->footer(std::string("Example:\n  spktool port woofer.spk --diameter 10 --ports 2 --sd "
                               "330 --xmax 6\n\n") + RULE);

    c.limits = Command(app, "limits", "Per hertz the SPL at 1 m for a power, the cone "
                       "excursion, the port air speed, the group delay, the impedance (without "
                       "Le) and the power that reaches Xmax, from the driver sheet",
                       "spktool limits woofer.spk --ported --power 100 --diameter 10 --ports 2");
    c.limits->add_option("FILE", o.file, "the speaker file, with re, qes (or qms), sd and "
                         "xmax in its driver sheet")->required();
    AddBox(c.limits, o);
    c.limits->add_option("--power", o.power, "the power into Re, W (V2 = P x Re)")
        ->required()->check(Between(0.001, 100000.0));
    c.limits->add_option("--diameter", o.limitsDiameter, "port diameter, cm (ported box)")
        ->check(Between(0.1, 1000.0));
    c.limits->add_option("--ports", o.limitsPorts, "1 to 4 ports (ported box)")
        ->check(CLI::Range(1, 4));
    c.limits->add_flag("--csv", o.csv, "one row per hertz, for a spreadsheet");
    c.limits->add_flag("--json", o.json, "JSON arrays")->excludes("--csv");

    c.chart = Command(app, "chart", "The graph window's chart of up to three designs, in red, "
                      "green and blue, as an SVG picture or a Windows bitmap",
                      "spktool chart woofer.spk woofer.spk:ported -o woofer.svg");
    c.chart->add_option("DESIGN", o.files, "FILE:sealed or FILE:ported (FILE alone: sealed, as "
                        "Open shows it); up to three")->required();
    c.chart->add_option("-o,--output", o.out, "the picture to write")->required();
    c.chart->add_option("--size", o.size, "the chart's WIDTHxHEIGHT in pixels, as the graph "
                        "window's client area (328x227); the title lines come on top");
    c.chart->add_flag("--bmp", o.bmp, "a 24-bit Windows bitmap instead of SVG");
    c.chart->add_flag("--force", o.force, "replace an existing picture");
    c.chart->add_option("--plot", o.plot.quantity, "instead of the levels, a curve of spktool "
                        "limits: spl, excursion, port-speed, group-delay or impedance, from the "
                        "driver sheet");
    c.chart->add_option("--power", o.plot.power, "the power into Re for --plot, W")
        ->check(Between(0.001, 100000.0));
    c.chart->add_option("--diameter", o.plot.diameter, "port diameter for --plot of a ported "
                        "box, cm")->check(Between(0.1, 1000.0));
    c.chart->add_option("--ports", o.plot.ports, "1 to 4 ports for --plot of a ported box")
        ->check(CLI::Range(1, 4));

    c.build = Command(app, "build", "The box a design needs: its volume with the driver, ports "
                      "and bracing inside, its size, a cut list and whether the port and the "
                      "driver fit",
                      "spktool build woofer.spk --ported --diameter 10 --ports 1 --panel 18");
    c.build->add_option("FILE", o.file, "the speaker file; its driver sheet may give the "
                        "displacement, depth, diameter, sd and xmax")->required();
    AddBox(c.build, o);
    BuildRequest& b = o.build;
    c.build->add_option("--panel", b.panel, "panel thickness, mm (18)")
        ->check(Between(0.1, 200.0));
    c.build->add_option("--diameter", b.diameter, "port diameter, cm (ported box)")
        ->check(Between(0.1, 1000.0));
    c.build->add_option("--ports", b.ports, "1 to 4 ports (ported box; 1)")
        ->check(CLI::Range(1, 4));
    c.build->add_option("--port-wall", b.portWall, "the port tube's wall, mm (3)")
        ->check(Between(0.0, 100.0));
    c.build->add_option("--brace", b.brace, "the bracing's volume inside the box, l (0)")
        ->check(Between(0.0, 100000.0));
    c.build->add_option("--driver-volume", b.driverVolume, "the driver's displacement, l "
                        "(else the driver sheet's)")->check(Between(0.0, 100000.0));
    CLI::Option* ratio = c.build->add_option("--ratio", b.ratio, "internal H:W:D "
                                             "(1.618:1:0.618)");
    c.build->add_option("--external", b.external, "the outside WxHxD instead, cm (inches "
                        "with --inches)")->excludes(ratio);
    c.build->add_flag("--inches", b.inches, "sizes in inches, the cut list to 1/16");
    c.build->add_option("--svg", b.svg, "a cut sheet to scale: the panels, the driver's "
                        "cut-out and the port holes");
    c.build->add_flag("--force", b.force, "replace an existing cut sheet");

    c.report = Command(app, "report", "The whole design of speaker files on one page to look "
                       "at, print or share: the driver, both boxes, their charts, the limits at "
                       "a power and the boxes to build (a file dropped on spktool.exe gets one "
                       "too)",
                       "spktool report woofer.spk -o woofer.htm");
    c.report->add_option("FILE", o.files, "speaker files, each with its driver sheet")
        ->required();
    c.report->add_option("-o,--output", o.out, "the page to write (.htm)")->required();
    ReportRequest& r = o.report;
    c.report->add_option("--power", r.power, "the power into Re, W (the sheet's Pe, else 1)")
        ->check(Between(0.001, 100000.0));
    c.report->add_option("--diameter", r.diameter, "port diameter, cm (the smallest whole cm "
                         "that keeps the air under 17 m/s)")->check(Between(0.1, 1000.0));
    c.report->add_option("--ports", r.ports, "1 to 4 ports, with --diameter (1)")
        ->check(CLI::Range(1, 4));
    c.report->add_option("--panel", r.panel, "panel thickness, mm (18)")
        ->check(Between(0.1, 200.0));
    c.report->add_flag("--force", r.force, "replace an existing page");
    return c;
}

// Runs the command that was named; returns the exit status.
int Dispatch(const Commands& c, const Options& o)
{
    const Format format = o.csv ? Format::Csv : o.json ? Format::Json : o.frd ? Format::Frd
                                                                          : Format::Text;
    std::string output;
    if (c.show->parsed()) {
        output = ShowCommand(o.files, format);
    } else if (c.create->parsed()) {
        output = NewCommand(o.file, o.assignments, o.force);
    } else if (c.set->parsed()) {
        output = SetCommand(o.file, o.assignments, o.force);
    } else if (c.import->parsed()) {
        const ImportOutcome outcome =
            ImportCommand(o.sources, o.out, {o.skipBad, o.force, o.optimize, o.strict});
        for (const std::string& error : outcome.errors)
            Print(stderr, "spktool: " + error + "\n");
        Print(stdout, outcome.output);
        return outcome.errors.empty() ? EXIT_OK : EXIT_BAD_DATA;
    } else if (c.response->parsed()) {
        output = ResponseCommand(o.file, o.ported, o.exact, format);
    } else if (c.optimize->parsed()) {
        output = OptimizeCommand(o.files, o.ported, o.write, o.qtc, o.force);
    } else if (c.port->parsed()) {
        output = PortCommand(o.file, o.diameter, o.ports, o.sd, o.xmax);
    } else if (c.limits->parsed()) {
        output = LimitsCommand(o.file, o.ported, o.power, o.limitsDiameter, o.limitsPorts, format);
    } else if (c.chart->parsed()) {
        output = ChartCommand(o.files, o.out, o.size, o.bmp, o.force, o.plot);
    } else if (c.build->parsed()) {
        BuildRequest request = o.build;
        request.ported = o.ported;
        output = BuildCommand(o.file, request);
    } else if (c.report->parsed()) {
        const ReportOutcome outcome = ReportCommand(o.files, o.out, o.report);
        for (const std::string& error : outcome.errors)
            Print(stderr, "spktool: " + error + "\n");
        Print(stdout, outcome.output);
        return outcome.errors.empty() ? EXIT_OK : EXIT_BAD_DATA;
    }
    Print(stdout, output);
    return EXIT_OK;
}

void PrintWarnings()
{
    for (const std::string& warning : Warnings())
        Print(stderr, "spktool: warning: " + warning + "\n");
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments = CommandLineArguments(argc, argv);
    // Explorer's ways to start a console program: a double-click, and a file dropped on it.
    if (arguments.size() == 1 && OwnsConsole()) {
        ShowMessage(DROP_USAGE, false);
        return EXIT_OK;
    }
    if (IsDroppedFile(arguments))
        return ReportDropped(arguments[1]);
    Options o;
    CLI::App app("Kalvora 98's speaker files and numbers for scripts, spreadsheets and "
                 "other tools.",
                 "spktool");
    const Commands commands = DeclareCommandLine(app, o);

    std::vector<char*> argvUtf8;
    for (const std::string& argument : arguments)
        argvUtf8.push_back(const_cast<char*>(argument.c_str()));
    try {
        app.parse(static_cast<int>(argvUtf8.size()), argvUtf8.data());
    } catch (const CLI::CallForHelp&) {
        // The top App hands the help to the command that was named, as "spktool port".
        Print(stdout, app.help());
        return EXIT_OK;
    } catch (const CLI::CallForVersion& version) {
        Print(stdout, std::string(version.what()) + "\n");
        return EXIT_OK;
    } catch (const CLI::ParseError& error) {
        // Two files dropped on spktool, or one that is not a speaker file: its console
        // closes as it ends, so a message box says what it takes.
        const std::string message =
            Printable(std::string("spktool: ") + error.what() + " (spktool --help)");
        ShowMessage(OwnsConsole() ? message + "\n\n" + DROP_USAGE : message, true);
        return EXIT_BAD_COMMAND_LINE;
    }

    int status;
    try {
        status = Dispatch(commands, o);
        PrintWarnings();
    } catch (const Failure& failure) {
        PrintWarnings();
        Print(stderr, "spktool: " + failure.message + "\n");
        status = failure.status;
    } catch (const std::exception& error) {
        Print(stderr, std::string("spktool: ") + error.what() + "\n");
        status = EXIT_BAD_DATA;
    }
    // Output that never arrived is a failure, however well the command went.
    if (std::string error; !FinishOutput(error)) {
        Print(stderr, "spktool: standard output: cannot be written: " + error + "\n");
        return status == EXIT_OK ? EXIT_BAD_DATA : status;
    }
    return status;
}
