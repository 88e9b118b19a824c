#include "page/Page.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "CommandLine.h"
#include "Designs.h"
#include "Failure.h"
#include "Output.h"
#include "Platform.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "acoustics/Figures.h"
#include "acoustics/Limits.h"
#include "chart/Chart.h"
#include "commands/Build.h"
#include "commands/Chart.h"
#include "commands/Limits.h"
#include "commands/Response.h"
#include "commands/Show.h"
#include "page/Measured.h"
#include "pictures/Pictures.h"

namespace {

// A chart on the page, in pixels; the page scales it down to fit, keeping its shape.
constexpr int CHART_WIDTH = 480, CHART_HEIGHT = 300;

// The widest port the page proposes on its own, cm.
constexpr int LARGEST_PORT = 50;

// Marks a page as spktool's, with a hash of the bytes after the mark's line: a drop
// replaces a page only while they are still those spktool wrote, and never one that the
// user has added notes to.
const char PAGE_MARK[] = "<meta name=\"generator\" content=\"spktool report, page ";
constexpr std::size_t PAGE_HASH_DIGITS = 16;

// FNV-1a, 64 bits (Fowler, Noll and Vo): no secret is kept, it tells only whether a page
// was edited.
std::string PageHash(std::string_view bytes)
{
    std::uint64_t hash = 14695981039346656037u;
    for (const char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    std::string hex(PAGE_HASH_DIGITS, '0');
    for (std::size_t i = hex.size(); i-- > 0; hash >>= 4)
        hex[i] = "0123456789abcdef"[hash & 15];
    return hex;
}

// The page's head and body with the mark, and its hash, between them.
std::string Marked(const std::string& before, const std::string& after)
{
    return before + PAGE_MARK + PageHash(after) + "\">\n" + after;
}

// Screen and print. No size for @page: the printer's paper, A4 or Letter, is used, and
// nothing is wider than the page, so nothing is cut at the right margin.
const char STYLE[] =
    "body{font:10pt Arial,Helvetica,sans-serif;color:#000;background:#fff;"
    "max-width:62em;margin:1em auto;padding:0 1em}\n"
    "h1{font-size:16pt;margin:.3em 0}h2{font-size:13pt;border-bottom:1px solid #808080;"
    "margin-top:1.5em}h3{font-size:11pt;margin:1em 0 .3em}\n"
    "table{border-collapse:collapse;margin:.3em 0}th,td{border:1px solid #c0c0c0;"
    "padding:2px 6px;text-align:left;vertical-align:top}th{background:#f0f0f0}\n"
    "p{margin:.3em 0}.warning,.error{color:#a00000;font-weight:bold}.note{color:#404040}\n"
    "pre{font-size:9pt;white-space:pre-wrap;overflow-wrap:anywhere;background:#f6f6f6;"
    "padding:4px;margin:.3em 0}\n"
    ".row{display:flex;flex-wrap:wrap;gap:1em}.row>div,figure{flex:1 1 24em;min-width:0;"
    "margin:0}\n"
    "figcaption{font-weight:bold;margin:.3em 0}svg{max-width:100%;height:auto}\n"
    "@page{margin:15mm}\n"
    "@media print{body{max-width:none;margin:0;padding:0}section{break-before:page}"
    "header+section{break-before:auto}figure,pre,table{break-inside:avoid}"
    "h2,h3,h4{break-after:avoid}}\n";

// A file as the page names it: without its folders, which are the writer's own
// (C:\Users\name\...), so that the page can be mailed or posted as it is.
std::string NameOnly(const std::string& path)
{
    return path.substr(path.find_last_of("/\\") + 1);
}

// The page's markup with the speaker file and its driver sheet named by NameOnly: the
// commands' texts, charts and faults that the page shows name them as they were given.
std::string WithoutFolders(std::string markup, const std::string& file)
{
    for (const std::string& path : {file, SheetPath(file)}) {
        const std::string from = MarkupText(path), to = MarkupText(NameOnly(path));
        if (from == to)
            continue;
        for (std::size_t at = markup.find(from); at != std::string::npos;
             at = markup.find(from, at + to.size()))
            markup.replace(at, from.size(), to);
    }
    return markup;
}

std::string Tag(const char* name, const std::string& html, const char* cssClass = nullptr)
{
    return std::string("<") + name + (cssClass ? std::string(" class=\"") + cssClass + "\"" : "") +
           ">" + html + "</" + name + ">\n";
}

std::string Pre(const std::string& text)
{
    return "<pre>" + MarkupText(text) + "</pre>\n";
}

std::string Figure(const std::string& caption, const std::string& svg)
{
    return "<figure><figcaption>" + MarkupText(caption) + "</figcaption>\n" + svg + "</figure>\n";
}

// A part of the page that can fail for want of a value: its HTML, or the one line that
// says what is missing.
template <class Part>
std::string Attempt(Part part)
{
    try {
        return part();
    } catch (const Failure& failure) {
        return Tag("p", MarkupText(failure.message), "note");
    }
}

// One design of a driver as far as the page can take it: its limits need the sheet,
// and a ported one a port.
struct DesignPart {
    bool ported;
    const char* name;
    bool usable;          // the design has a response
    std::string missing;  // why its limits are left out
    double diameter = 0;  // ported: cm
    int ports = 0;
    std::string portNote;
    Limits limits;
    double pe = NAN;      // the set's, each driver's Pe together
    Extreme leastOhms = {NAN, 0};  // the least impedance the amplifier sees
    bool hasLimits = false;
    std::string box;      // the box to build, or why there is none
    double pipeHz = 0;    // ported: the built port's first pipe resonance, 0 not known
};

struct DriverPage {
    std::string title, html, row;
    std::string systemLine;  // "System: ..." and a line end, or ""
};

std::string LineValue(const std::vector<ShownLine>& lines, const char* name)
{
    for (const ShownLine& line : lines)
        if (line.name == name)
            return line.value;
    return "";
}

// The port: the one asked for, else one port of the smallest whole centimetre that keeps
// the air under AUDIBLE_PORT_SPEED at the power the cone can take near the tuning.
void ChoosePort(const std::string& file, const Speaker& s, const DriverSheet& sheet,
                const ReportRequest& r, double power, DesignPart& d)
{
    d.ports = r.system.ports > 0 ? r.system.ports : 1;
    const std::string count = std::to_string(d.ports) + (d.ports == 1 ? " port" : " ports");
    if (r.system.diameter > 0) {
        d.diameter = r.system.diameter;
        d.portNote = count + " of " + Fixed(d.diameter, 1) + " cm, from --diameter";
        return;
    }
    // The set's cones move the port's air.
    const LimitsDriver one = SheetDriver(file, s, sheet);
    const System system = SystemOf(r.system, power, NAN);
    const LimitsDriver driver = EquivalentDriver(s, one, system).d;
    PortPower sized;
    std::string atPower;
    if (!SizingPower(s, sheet, power, sized, atPower, system))
        BadData(file + ": no limits for these values");
    const int quiet =
        QuietPortDiameter(s, one, SizingSystem(system, sized.watts), d.ports, LARGEST_PORT);
    const std::string under = "the air under " + Plain(AUDIBLE_PORT_SPEED) + " m/s at " +
                              atPower;
    if (quiet == 0)
        BadData(file + ": no port of up to " + std::to_string(LARGEST_PORT) + " cm keeps " +
                under + " (spktool report --diameter CM)");
    d.diameter = quiet;
    d.portNote = count + " of " + Fixed(d.diameter, 1) +
                 " cm, the smallest whole centimetre that keeps " + under;
    // At a small power a quiet port can be far narrower than the cone at full excursion
    // needs: say so, as `port` does.
    const double least = PortDiameterForArea(
        SmallestVentArea(s.ported.fb, driver.sd, driver.xmax), d.ports);
    if (d.diameter < least)
        d.portNote += " (Small's vent-area rule asks for " + Fixed(least, 1) +
                      " cm at full excursion: spktool report --diameter)";
}

// The page's options for one design: a sealed box has no port and no vented box's losses.
SystemOptions DesignOptions(const ReportRequest& r, const DesignPart& d, double power)
{
    SystemOptions o = r.system;
    o.power = power;
    o.diameter = d.diameter;
    o.ports = d.ports;
    if (!d.ported)
        o.ql = o.qa = o.qp = 0;
    return o;
}

DesignPart Prepare(const std::string& file, const Speaker& s, const DriverSheet& sheet,
                   const ReportRequest& r, double power, bool ported)
{
    DesignPart d;
    d.ported = ported;
    d.name = ported ? "Ported" : "Sealed";
    d.usable = Unusable(s, ported).empty();
    try {
        if (ported && d.usable)  // else limits names the value the box lacks
            ChoosePort(file, s, sheet, r, power, d);
        SystemOptions o = DesignOptions(r, d, power);
        LimitsDriver driver;
        System system;
        LoadSystemLimits(file, s, ported, o, driver, d.pe, system, d.limits);
        d.pe *= system.drivers * (system.isobaric ? 2 : 1);
        d.leastOhms = LeastImpedance(d.limits);
        d.hasLimits = true;
    } catch (const Failure& failure) {
        d.missing = failure.message;
    }
    return d;
}

std::string Loudest(const DesignPart& d)
{
    return LoudestText(d.limits, d.pe);
}

// A design's figures, or why it has none and the command that completes it.
std::string Figures(const std::string& file, const Speaker& s, bool ported)
{
    const std::string command = CompletingCommand(file, s, ported);
    return DesignFigures(s, ported) + (command.empty() ? "" : " (" + command + ")");
}

std::string DesignsTable(const std::string& file, const Speaker& s,
                         const std::vector<ShownLine>& lines)
{
    std::string html = "<table>\n<tr><th></th><th>Sealed</th><th>Ported</th></tr>\n";
    const auto row = [&](const char* name, const std::string& sealed, const std::string& ported) {
        html += "<tr><th>" + std::string(name) + "</th><td>" + MarkupText(sealed) + "</td><td>" +
                MarkupText(ported) + "</td></tr>\n";
    };
    row("Volume", LineValue(lines, "sealed.volume"), LineValue(lines, "ported.volume"));
    row("Fb", LineValue(lines, "sealed.fb"), LineValue(lines, "ported.fb"));
    row("Q", LineValue(lines, "sealed.q"), "");
    // The response row is the curve the stored Fb and Q draw; the box's own F3 stands
    // with its Q, and is the one the limits and the comparison read.
    Crossing boxF3;
    const std::string box = LineValue(lines, "sealed box");
    row("Box of the volume", BoxF3Of(s, boxF3) ? box + "; F3 " + CrossingText(boxF3) : box, "");
    row("Response as drawn", Figures(file, s, false), Figures(file, s, true));
    return html + "</table>\n";
}

// The driver's fields and sheet values, as `show` prints them.
std::string DriverTable(const std::vector<ShownLine>& lines)
{
    std::string html = "<table>\n";
    for (const ShownLine& line : lines) {
        if (line.name == "warning" || line.name == "sealed box" || line.name == "sealed F3" ||
            line.name == "ported F3" || line.name.find('.') != std::string::npos)
            continue;
        html += "<tr><th>" + MarkupText(line.name) + "</th><td>" + MarkupText(line.value) +
                "</td></tr>\n";
    }
    return html + "</table>\n";
}

// The comparison weighs the sealed box the volume makes, as the limits beside it do,
// not the curve the stored Q draws.
std::string ComparedF3(const Speaker& s, const std::vector<ShownLine>& lines, bool ported)
{
    Crossing boxF3;
    if (ported)
        return LineValue(lines, "ported F3");
    return BoxF3Of(s, boxF3) ? CrossingText(boxF3) : "";
}

std::string DesignName(const std::string& file, const DesignPart& d)
{
    return file + (d.ported ? ":ported" : ":sealed");
}

// Each limit of the designs whose limits are known at `power`; the port's air speed of
// the ported one alone.
std::string PowerCharts(const std::string& file, const DesignPart (&parts)[2],
                        const ReportRequest& r, double power, const MeasuredCurve& measured)
{
    std::vector<std::string> designs;
    std::vector<int> colours;  // a design's place on the page, on every chart
    std::vector<ModelDesign> models;
    const DesignPart* ported = nullptr;
    for (const DesignPart& d : parts)
        if (d.hasLimits) {
            designs.push_back(DesignName(file, d));
            colours.push_back(static_cast<int>(&d - parts));
            models.push_back({d.ported, d.diameter, d.ports, colours.back()});
            ported = d.ported ? &d : ported;
        }
    if (designs.empty())
        return "";
    PlotRequest plot;
    plot.system = r.system;
    plot.system.power = power;
    plot.system.diameter = 0, plot.system.ports = 0;
    if (ported) {
        plot.system.diameter = ported->diameter;
        plot.system.ports = ported->ports;
    }
    const struct {
        const char* quantity;
        const char* caption;
    } plots[] = {{"spl", "SPL at 1 m, dB"},
                 {"max-spl", "Loudest level, dB, and what limits it"},
                 {"excursion", "Cone excursion, mm, with Xmax"},
                 {"port-speed", "Port air speed, m/s, with the 17 m/s line"},
                 {"impedance", "Impedance, ohm"},
                 {"group-delay", "Group delay, ms"}};
    std::string html = "<div class=\"row\">\n";
    for (const auto& p : plots) {
        plot.quantity = p.quantity;
        std::vector<std::string> shown = designs;
        std::vector<int> shownColours = colours;
        if (plot.quantity == "port-speed") {
            if (!ported)
                continue;
            shown = {file + ":ported"};
            shownColours = {static_cast<int>(ported - parts)};
        }
        std::string svg =
            plot.quantity == "impedance" && !measured.path.empty()
                ? MeasuredImpedanceSvg(file, models, measured, CHART_WIDTH, CHART_HEIGHT)
                : ChartSvg(shown, CHART_WIDTH, CHART_HEIGHT, plot, shownColours);
        if (plot.quantity == "spl" && ported && ported->pipeHz > 0 &&
            ported->pipeHz < HIGHEST_HZ)
            svg = MarkFrequency(svg, ported->pipeHz,
                                "port pipe " + Fixed(ported->pipeHz, 0) + " Hz");
        html += Figure(p.caption, svg);
    }
    return html + "</div>\n";
}

// `limits`' own report of each design, or why it is left out.
std::string LimitsReports(const std::string& file, const DesignPart (&parts)[2],
                          const ReportRequest& r, double power)
{
    std::string html = "<div class=\"row\">\n";
    for (const DesignPart& d : parts) {
        html += "<div>" + Tag("h4", d.name);
        if (!d.hasLimits) {
            html += Tag("p", "Left out: " + MarkupText(d.missing), "note") + "</div>\n";
            continue;
        }
        const SystemOptions options = DesignOptions(r, d, power);
        html += Pre(LimitsCommand(file, d.ported, options, Format::Text));
        // With a system set up, `limits` names the loudest level itself.
        if (const std::string loudest = Loudest(d); !loudest.empty() && !HasSetup(options))
            html += Tag("p", "Loudest from F3 up: " + MarkupText(loudest));
        html += "</div>\n";
    }
    return html + "</div>\n";
}

// The level chart, then each limit of both designs, with `limits`' own report of each.
std::string Charts(const std::string& file, const DesignPart (&parts)[2],
                   const ReportRequest& r, double power, const MeasuredCurve& measured)
{
    std::vector<std::string> designs;
    std::vector<int> colours;
    for (const DesignPart& d : parts)
        if (d.usable) {
            designs.push_back(DesignName(file, d));
            colours.push_back(static_cast<int>(&d - parts));
        }
    std::string html = "<h3>Response</h3>\n";
    if (designs.empty())
        return html + Tag("p", "Neither design has a box yet.", "note");
    html += Figure("Level, dB, as the graph window draws it",
                   ChartSvg(designs, CHART_DEFAULT_WIDTH, CHART_DEFAULT_HEIGHT, {}, colours));
    html += "<h3>At " + MarkupText(r.system.volts > 0 ? Fixed(r.system.volts, 1) + " V"
                                                      : Fixed(power, 1) + " W") + "</h3>\n";
    // Apart from the reports, so that the charts' warnings always come first.
    html += PowerCharts(file, parts, r, power, measured);
    return html + LimitsReports(file, parts, r, power);
}

BuildRequest BoxRequest(const DesignPart& d, const ReportRequest& r, double power)
{
    BuildRequest request;
    request.ported = d.ported;
    request.system = DesignOptions(r, d, power);
    return request;
}

// Where no port of the quiet diameter fits any box of the design's volume, the power
// at which a smaller quiet port does, halving from `power` down to a watt.
std::string FewerWatts(const std::string& file, const Speaker& s, const DriverSheet& sheet,
                       const ReportRequest& r, DesignPart d, double power)
{
    for (double watts = power / 2; watts >= 1; watts /= 2) {
        ReportRequest at = r;
        at.system.power = watts;
        DesignPart smaller = d;
        try {
            ChoosePort(file, s, sheet, at, watts, smaller);
            BuildBox(file, BoxRequest(smaller, r, watts));
        } catch (const Failure&) {
            continue;
        }
        return " At " + Fixed(watts, 1) + " W the quiet port is " +
               Fixed(smaller.diameter, 1) + " cm and fits: spktool report --power " +
               Plain(watts) + ", or build the larger box.";
    }
    return " No quiet port fits down to 1 W: only a larger box holds it.";
}

// The box `build` makes of the design with the page's port, its warning first; where no
// port fits, what would.
void BuildPart(const std::string& file, const Speaker& s, const DriverSheet& sheet,
               const ReportRequest& r, double power, DesignPart& d)
{
    if (d.ported && d.diameter == 0) {
        d.box = Tag("p", "Left out: no port: " + MarkupText(d.missing), "note");
        return;
    }
    try {
        const BuiltBox built = BuildBox(file, BoxRequest(d, r, power));
        d.pipeHz = built.pipeHz;
        // The warning stands out above the box, so the box's text need not say it again.
        std::string text = built.text;
        const std::size_t warning = text.find(built.pipeWarning);
        if (!built.pipeWarning.empty() && warning != std::string::npos)
            text.erase(warning, built.pipeWarning.size());
        d.box = (built.pipeWarning.empty()
                     ? ""
                     : Tag("p", MarkupText(built.pipeWarning.substr(
                                    0, built.pipeWarning.size() - 1)), "warning")) +
                Pre(text) +
                (built.noCutout.empty()
                     ? ""
                     : Tag("p", "Cut sheet " + MarkupText(built.noCutout), "note")) +
                built.svg;
    } catch (const Failure& failure) {
        const bool quiet = d.ported && r.system.diameter == 0;
        d.box = Tag("p", MarkupText(failure.message +
                                    (quiet ? "." + FewerWatts(file, s, sheet, r, d, power)
                                           : "")),
                    "note");
    }
}

std::string Boxes(const DesignPart (&parts)[2])
{
    std::string html = "<h3>The box to build</h3>\n<div class=\"row\">\n";
    for (const DesignPart& d : parts)
        html += "<div>" + Tag("h4", d.name) + d.box + "</div>\n";
    return html + "</div>\n";
}

// What the page reads of a file and works out from it, with the options as its sheet
// completes them.
struct DriverData {
    std::string file;
    Speaker s;
    DriverSheet sheet;
    std::vector<ShownLine> lines;
    ReportRequest r;
    double power;
    std::string powerNote, systemLine;
    DesignPart parts[2];
    MeasuredCurve measured;  // the impedance curve beside the file, if any
};

DriverData LoadDriver(const std::string& file, const ReportRequest& given)
{
    DriverData d{file, LoadSpeakerFile(file), LoadSheet(file), ShowLines(file), given, 0,
                 "", "", {}, {}};
    d.r.system = WithSheetSystem(file, d.sheet, given.system);
    d.power = SystemPower(d.r.system, d.sheet, d.powerNote);
    if (d.r.system.volts > 0)
        d.powerNote = Fixed(d.r.system.volts, 1) + " V at the amplifier";
    d.systemLine = SystemOfSheet(file, d.s, d.sheet, d.r.system, d.power).line;
    d.measured = MeasuredBeside(file);
    return d;
}

// One line for what the sheet lacks, at the top: the limits and the quiet port need it,
// and where they are left out the page points here.
std::string SheetLack(DriverData& d)
{
    try {
        SheetDriver(d.file, d.s, d.sheet);
        return "";
    } catch (const Failure& failure) {
        const std::string sheetPath = SheetPath(d.file);
        for (DesignPart& part : d.parts)
            if (part.missing == failure.message)
                part.missing = "the driver sheet lacks values (above)";
        return Tag("p", "Left out: the limits at power and a port sized for them. " +
                            MarkupText(failure.message) + ". The driver sheet " +
                            MarkupText(sheetPath) +
                            (PathExists(sheetPath)
                                 ? " is plain text: type the values in with Notepad"
                                 : " is not there yet: dropping the file on spktool.exe "
                                   "writes one to fill in with Notepad") +
                            ", then drop the file on spktool.exe again.",
                   "warning");
    }
}

// Both designs, their limits and their boxes; the line of what the sheet lacks.
std::string ComputeDriver(DriverData& d)
{
    for (bool ported : {false, true})
        d.parts[ported] = Prepare(d.file, d.s, d.sheet, d.r, d.power, ported);
    const std::string lack = SheetLack(d);
    for (DesignPart& part : d.parts)
        BuildPart(d.file, d.s, d.sheet, d.r, d.power, part);
    return lack;
}

// The comparison's cells of a design: F3, volume, the loudest level, the least impedance.
std::string CompareCells(const DriverData& d, const DesignPart& part)
{
    const std::string volume =
        LineValue(d.lines, part.ported ? "ported.volume" : "sealed.volume");
    const std::string ohms = part.hasLimits && std::isfinite(part.leastOhms.value)
                                 ? Fixed(part.leastOhms.value, 2) + " ohm at " +
                                       std::to_string(part.leastOhms.hz) + " Hz"
                                 : "";
    return "<td>" + MarkupText(ComparedF3(d.s, d.lines, part.ported)) + "</td><td>" +
           MarkupText(volume) + "</td><td>" +
           MarkupText(part.hasLimits ? Loudest(part) : "") + "</td><td>" + MarkupText(ohms) +
           "</td>";
}

DriverPage DescribeDriver(const std::string& file, int number, const ReportRequest& r)
{
    DriverData d = LoadDriver(file, r);
    DriverPage page;
    page.title = FromWindows1252(d.s.model);
    if (page.title.empty())
        page.title = NameOnly(file);
    page.systemLine = d.systemLine;
    const std::string lack = ComputeDriver(d);

    const std::string id = "driver" + std::to_string(number);
    std::string& html = page.html;
    html = "<section id=\"" + id + "\">\n" + Tag("h2", MarkupText(page.title)) +
           Tag("p", MarkupText(NameOnly(file)), "note");
    if (!d.systemLine.empty())
        html += Tag("p", MarkupText(d.systemLine.substr(0, d.systemLine.size() - 1)));
    for (const ShownLine& line : d.lines)
        if (line.name == "warning")
            html += Tag("p", "Warning: " + MarkupText(line.value), "warning");
    html += lack + "<h3>Driver</h3>\n" + DriverTable(MarkFitted(d.lines, d.measured)) + "<h3>Designs</h3>\n" +
            DesignsTable(file, d.s, d.lines) +
            Tag("p", "Power: " + MarkupText(d.powerNote) + ". Port: " +
                         MarkupText(d.parts[1].diameter > 0 ? d.parts[1].portNote : "not known") +
                         ". Panels: " + MarkupText(Plain(d.r.system.panel)) + " mm.", "note") +
            Charts(file, d.parts, d.r, d.power, d.measured) + Boxes(d.parts) + "</section>\n";
    html = WithoutFolders(html, file);
    page.row = "<tr><td><a href=\"#" + id + "\">" + MarkupText(page.title) + "</a></td>" +
               CompareCells(d, d.parts[0]) + CompareCells(d, d.parts[1]) + "</tr>\n";
    return page;
}

}  // namespace

std::string PageOf(const std::vector<std::string>& files, const ReportRequest& r,
                   std::vector<std::string>& errors, int& reported, std::string* systems)
{
    std::vector<DriverPage> pages;
    std::string contents;
    Progress progress("speaker files read", files.size());
    for (const std::string& file : files) {
        progress.Done(static_cast<std::size_t>(&file - files.data()));
        try {
            pages.push_back(DescribeDriver(file, static_cast<int>(pages.size()) + 1, r));
            contents += "<li><a href=\"#driver" + std::to_string(pages.size()) + "\">" +
                        MarkupText(pages.back().title) + "</a> (" +
                        MarkupText(NameOnly(file)) + ")</li>\n";
        } catch (const Failure& failure) {
            errors.push_back(failure.message);
            contents += WithoutFolders(
                Tag("li", "Not read: " + MarkupText(failure.message), "error"), file);
        }
    }
    reported = static_cast<int>(pages.size());
    for (const DriverPage& page : pages)
        if (systems && systems->find(page.systemLine) == std::string::npos)
            *systems += page.systemLine;
    const std::string title =
        pages.size() == 1 && files.size() == 1 ? pages[0].title : "Speaker designs";
    std::string html = "<title>" + MarkupText(title) + "</title>\n<style>\n" + STYLE +
                       "</style>\n</head>\n<body>\n<header>\n" + Tag("h1", MarkupText(title)) +
                       Tag("p", "Kalvora 98 design report, written by spktool " SPKTOOL_VERSION,
                           "note") +
                       "</header>\n";
    if (files.size() > 1) {
        html += "<section id=\"contents\">\n<h2>Contents</h2>\n<ul>\n" + contents + "</ul>\n";
        html += "<h2>Comparison</h2>\n<table>\n<tr><th rowspan=\"2\">Driver</th>"
                "<th colspan=\"4\">Sealed, the box of its volume</th><th colspan=\"4\">Ported</th>"
                "</tr>\n<tr>";
        // The least impedance is what the amplifier must drive, set and filters included.
        for (int i = 0; i < 2; ++i)
            html += "<th>F3</th><th>Volume</th><th>Loudest from F3 up</th>"
                    "<th>Least impedance from F3 up</th>";
        html += "</tr>\n";
        for (const DriverPage& page : pages)
            html += page.row;
        html += "</table>\n</section>\n";
    }
    for (const DriverPage& page : pages)
        html += page.html;
    return Marked("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n",
                  html + "</body>\n</html>\n");
}

bool IsReportPage(const std::string& path)
{
    constexpr std::size_t MOST_PAGE_BYTES = 64 << 20;
    std::string bytes, error;
    std::uint64_t size;
    if (!ReadRegularFile(path, MOST_PAGE_BYTES, bytes, size, error) || size > MOST_PAGE_BYTES)
        return false;
    const std::size_t mark = bytes.find(PAGE_MARK);
    if (mark == std::string::npos)
        return false;
    const std::string_view rest = std::string_view(bytes).substr(mark + std::strlen(PAGE_MARK));
    const std::size_t end = PAGE_HASH_DIGITS + 3;  // the hash, then "\">\n"
    return rest.size() >= end && rest.substr(PAGE_HASH_DIGITS, 3) == "\">\n" &&
           rest.substr(0, PAGE_HASH_DIGITS) == PageHash(rest.substr(end));
}

// The page beside a dropped file: its own name, or the first numbered one that is free
// or a page of spktool's.
