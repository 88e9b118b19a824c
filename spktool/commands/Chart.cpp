#include "commands/Chart.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string_view>

#include "Designs.h"
#include "CommandLine.h"
#include "Failure.h"
#include "commands/Limits.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "acoustics/Figures.h"
#include "chart/Chart.h"
#include "chart/Plot.h"
#include "pictures/Pictures.h"

namespace {

constexpr int MAX_DESIGNS = 3;
constexpr int MAX_SIDE = 4096;  // a bitmap of at most 48 MB
const char* const COLOUR_NAMES[MAX_DESIGNS] = {"red", "green", "blue"};

struct Design {
    std::string file;
    bool ported;
    Speaker record;
    int levels[RESPONSE_SIZE];
    std::shared_ptr<const Limits> limits;  // for --plot only
    std::shared_ptr<const MaxLevelCurve> loudest;  // for --plot max-spl
    double xmax = 0;
    bool useLe = false;  // the impedance with the voice coil's inductance
    std::string systemLine;  // "System: ..." when an option or the sheet names one
    int colour = 0;  // in CHART_CURVE_COLOURS
};

// "FILE:sealed" or "FILE:ported". A colon followed by a path or a file name belongs to
// the path ("C:\drivers\a.spk"), since a design's name has no dot and no separator.
Design LoadDesign(const std::string& text)
{
    Design d{};
    d.file = text;
    if (const auto colon = text.rfind(':'); colon != std::string::npos) {
        const std::string name = text.substr(colon + 1);
        if (name.find_first_of("./\\") == std::string::npos) {
            if (name != "sealed" && name != "ported")
                BadCommandLine(text + ": unknown design " + Quoted(name) + " (sealed or ported)");
            d.file = text.substr(0, colon);
            d.ported = name == "ported";
        }
    }
    d.record = LoadSpeakerFile(d.file);
    if (const std::string why = Unusable(d.record, d.ported); !why.empty())
        BadData(d.file + ": " + why);
    DesignResponse(d.record, d.ported, d.levels);
    return d;
}

void ReadSize(const std::string& size, int& width, int& height)
{
    const auto fail = [&] {
        BadCommandLine("--size: " + Quoted(size) + " is not WIDTHxHEIGHT, each from 1 to " +
                       std::to_string(MAX_SIDE));
    };
    const auto x = size.find('x');
    if (x == std::string::npos || x == 0 || x + 1 == size.size() || x > 4 || size.size() - x > 5)
        fail();
    for (std::size_t i = 0; i < size.size(); ++i)
        if (i != x && (size[i] < '0' || size[i] > '9'))
            fail();
    width = height = 0;
    int* side = &width;  // no strtol: spktool.exe keeps to the imports it has
    for (std::size_t i = 0; i < size.size(); ++i) {
        if (i == x)
            side = &height;
        else
            *side = 10 * *side + (size[i] - '0');
    }
    if (width < 1 || height < 1 || width > MAX_SIDE || height > MAX_SIDE)
        fail();
}

// What the Enclosures dialog would say of the design, with the driver's name, in
// UTF-8: the model from the file's Windows-1252, or the file's name as given.
std::string Title(const Design& d)
{
    const std::string name = d.record.model[0] ? FromWindows1252(d.record.model) : d.file;
    const double volume = d.ported ? d.record.ported.volume : d.record.sealed.volume;
    const double fb = d.ported ? d.record.ported.fb : d.record.sealed.fb;
    return name + (d.ported ? ": ported box, " : ": sealed box, ") + Fixed(volume, 1) +
           " l, Fb " + Fixed(fb, 1) + " Hz";
}

std::vector<PictureTitle> Titles(const std::vector<Design>& designs)
{
    std::vector<PictureTitle> titles;
    for (const Design& d : designs)
        titles.push_back({Title(d), CHART_CURVE_COLOURS[d.colour]});
    return titles;
}

// The curves go by colour, a colour without a design left empty: how many that takes.
int Colours(const std::vector<Design>& designs)
{
    int count = 0;
    for (const Design& d : designs)
        count = d.colour + 1 > count ? d.colour + 1 : count;
    return count;
}

// ---- Charts of the limits ---------------------------------------------------------------

// The SPL axis shows the loudest 60 dB: what lies further down is not heard over the
// rest, and a scale from 0 dB would squeeze the useful range into its top half.
constexpr double SPL_SPAN = 60;

const char* const QUANTITIES[] = {"spl",         "max-spl",  "excursion",
                                  "port-speed", "group-delay", "impedance"};

bool SplLike(const std::string& quantity)
{
    return quantity == "spl" || quantity == "max-spl";
}

void CheckPlot(const Design& d, const PlotRequest& plot)
{
    if (!d.ported && plot.quantity == "port-speed")
        BadCommandLine(d.file + ": a sealed box has no port for --plot port-speed "
                       "(FILE:ported)");
    if (d.ported && (plot.system.diameter == 0 || plot.system.ports == 0))
        BadCommandLine(d.file + ": chart --plot of a ported box needs --diameter and "
                       "--ports");
}

// The curves of the design in the system of the options, as `limits` computes them,
// and the sheet's Xmax. A sealed box has no port and no vented box's losses.
void LoadSystemCurves(Design& d, const PlotRequest& plot, double power)
{
    SystemOptions o = plot.system;
    o.power = power;
    if (!d.ported)
        o.diameter = 0, o.ports = 0, o.ql = o.qa = o.qp = 0;
    LimitsDriver driver;
    double pe;
    System system;
    auto limits = std::make_shared<Limits>();
    LoadSystemLimits(d.file, d.record, d.ported, o, driver, pe, system, *limits);
    d.limits = limits;
    d.xmax = driver.xmax;
    d.useLe = system.useLe;
    const DriverSet set = EquivalentDriver(d.record, driver, system);
    if (HasSetup(o))
        d.systemLine = SystemLine(o, system, set.d.re, set.d.le);
    if (plot.quantity == "max-spl") {
        // The set takes each driver's Pe.
        const double most = pe * system.drivers * (system.isobaric ? 2 : 1);
        auto loudest = std::make_shared<MaxLevelCurve>();
        MaxLevels(*limits, limits->power, IsKnown(most) && most > 0 ? most : INFINITY,
                  *loudest);
        d.loudest = loudest;
    }
}

// The curves and the sheet's Xmax of each design. A ported box needs its ports, as
// `limits` does; a power that changes nothing is 1 W when not given.
void LoadLimitsOf(std::vector<Design>& designs, const PlotRequest& plot)
{
    // The loudest level at each hertz does not depend on the power it is worked out at.
    const bool powered = plot.quantity != "group-delay" && plot.quantity != "impedance" &&
                         plot.quantity != "max-spl";
    if (powered && plot.system.power == 0 && plot.system.volts == 0)
        BadCommandLine("chart --plot " + plot.quantity + " needs --power");
    for (Design& d : designs) {
        CheckPlot(d, plot);
        LoadSystemCurves(d, plot, plot.system.power == 0 ? 1 : plot.system.power);
    }
}

const double* Values(const Design& d, const std::string& quantity)
{
    const Limits& l = *d.limits;
    return quantity == "max-spl"      ? d.loudest->spl
           : quantity == "spl"        ? l.spl
           : quantity == "excursion"  ? l.excursion
           : quantity == "port-speed" ? l.portSpeed
           : quantity == "group-delay" ? l.groupDelay
                                       : l.impedance;
}

// Whether the designs' impedance includes Le: "without Le", "with Le" or, where their
// sheets differ, "with Le where the sheet gives it".
std::string LeWords(const std::vector<Design>& designs)
{
    int with = 0;
    for (const Design& d : designs)
        with += d.useLe ? 1 : 0;
    return with == 0 ? "without Le"
           : with == static_cast<int>(designs.size()) ? "with Le"
                                                      : "with Le where the sheet gives it";
}

std::string PlotTitle(const PlotRequest& plot, const std::vector<Design>& designs)
{
    const std::string at = ", for " + (plot.system.volts > 0 ? Fixed(plot.system.volts, 1) + " V"
                                                            : Fixed(plot.system.power, 1) + " W");
    return plot.quantity == "spl"          ? "SPL at 1 m, dB" + at
           : plot.quantity == "max-spl"    ? std::string("Loudest SPL at 1 m, dB, within Xmax and Pe")
           : plot.quantity == "excursion"  ? "Cone excursion, mm" + at
           : plot.quantity == "port-speed" ? "Port air speed, m/s" + at
           : plot.quantity == "group-delay" ? std::string("Group delay, ms")
                                            : "Impedance, ohm (" + LeWords(designs) + ")";
}

// Each stretch of the loudest level that one limit sets, named on the curve where the
// plot has room: "Xmax" where the cone, "Pe" where the power gives up first.
void NameCauses(PlotTable& t, const MaxLevelCurve& loudest)
{
    int from = LOWEST_HZ;
    for (int f = LOWEST_HZ + 1; f <= HIGHEST_HZ + 1; ++f) {
        if (f <= HIGHEST_HZ && loudest.cause[f] == loudest.cause[from])
            continue;
        NameStretch(t, loudest.spl, from, f - 1,
                    loudest.cause[from] == LevelLimit::XMAX ? "Xmax" : "Pe");
        from = f;
    }
}

// Draws the plot of the designs' limits: the value axis spans their curves, from 0 for
// all but the SPL (its top SPL_SPAN alone), and the limit each should stay under.
Paint PlotPainting(const std::vector<Design>& designs, const PlotRequest& plot, int width,
                   int height)
{
    return [&designs, &plot, width, height](ChartPainter& painter) {
        double low = SplLike(plot.quantity) ? 1e300 : 0, high = -1e300;
        for (const Design& d : designs) {
            const double* values = Values(d, plot.quantity);
            for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
                const double v = values[f];
                if (v > -1e300 && v < 1e300)
                    low = v < low ? v : low, high = v > high ? v : high;
            }
        }
        std::vector<double> limits;
        std::vector<std::string> names;
        if (plot.quantity == "port-speed") {
            limits.push_back(AUDIBLE_PORT_SPEED);
            names.push_back(Fixed(AUDIBLE_PORT_SPEED, 0) + " m/s, audible");
        }
        for (const Design& d : designs)
            if (plot.quantity == "excursion" &&
                std::find(limits.begin(), limits.end(), d.xmax) == limits.end()) {
                limits.push_back(d.xmax);
                names.push_back("Xmax " + Fixed(d.xmax, 1) + " mm");
            }
        std::vector<const char*> limitNames;
        for (const std::string& name : names)
            limitNames.push_back(name.c_str());
        const std::string title = PlotTitle(plot, designs);
        PlotTable t = LayOutPlot(width, height, title.c_str(), low, high, limits.data(),
                                 limitNames.data(), static_cast<int>(limits.size()),
                                 SplLike(plot.quantity) ? SPL_SPAN : 0);
        const double* values[MAX_DESIGNS] = {};
        for (const Design& d : designs)
            values[d.colour] = Values(d, plot.quantity);
        KeepNamesOffCurves(t, values, Colours(designs));
        for (const Design& d : designs)
            if (d.loudest)
                NameCauses(t, *d.loudest);
        PaintPlot(t, values, Colours(designs), painter);
    };
}

const char XML_DECLARATION[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// Each design in the colour of its place among `colours`, or in the command line.
std::vector<Design> LoadDesigns(const std::vector<std::string>& designTexts,
                                const PlotRequest& plot, const std::vector<int>& colours)
{
    std::vector<Design> designs;
    for (const std::string& design : designTexts) {
        designs.push_back(LoadDesign(design));
        const std::size_t k = designs.size() - 1;
        const int colour = k < colours.size() ? colours[k] : static_cast<int>(k);
        designs.back().colour = colour >= 0 && colour < MAX_DESIGNS ? colour : 0;
    }
    if (!plot.quantity.empty())
        LoadLimitsOf(designs, plot);
    return designs;
}

// The level chart, or the plot of a limit; `designs` must outlive the painting.
Paint Painting(const std::vector<Design>& designs, const PlotRequest& plot, int width,
               int height)
{
    if (!plot.quantity.empty())
        return PlotPainting(designs, plot, width, height);
    return [&designs, width, height](ChartPainter& painter) {
        const ChartTable t = LayOutChart(width, height);
        PaintChartTable(t, painter);
        const int* levels[MAX_DESIGNS] = {};
        for (const Design& d : designs)
            levels[d.colour] = d.levels;
        PaintChartCurves(t, levels, Colours(designs), painter);
    };
}

}  // namespace

std::string ChartCommand(const std::vector<std::string>& designTexts, const std::string& out,
                         const std::string& size, bool bmp, bool force,
                         const PlotRequest& plot)
{
    if (designTexts.size() > MAX_DESIGNS)
        BadCommandLine("chart draws at most three designs (red, green, blue), not " +
                       std::to_string(designTexts.size()));
    int width = CHART_DEFAULT_WIDTH, height = CHART_DEFAULT_HEIGHT;
    if (!size.empty())
        ReadSize(size, width, height);
    if (plot.quantity.empty() && (plot.system.power != 0 || plot.system.diameter != 0 || plot.system.ports != 0))
        BadCommandLine("chart: --power, --diameter and --ports are for --plot");
    if (plot.quantity.empty() && (HasSetup(plot.system) || plot.system.noLe))
        BadCommandLine("chart: the system's options (--drivers, --volts, --no-le, ...) are "
                       "for --plot");
    if (!plot.quantity.empty() &&
        std::find(std::begin(QUANTITIES), std::end(QUANTITIES), plot.quantity) ==
            std::end(QUANTITIES))
        BadCommandLine("chart: unknown --plot " + Quoted(plot.quantity) +
                       " (spl, max-spl, excursion, port-speed, group-delay or impedance)");
    RefuseToReplace(out, force);
    const std::vector<Design> designs = LoadDesigns(designTexts, plot, {});
    for (const Design& d : designs)
        RefuseInputs(out, {d.file});
    // Complete in a temporary file first: a failure leaves no half-written picture.
    const Paint paint = Painting(designs, plot, width, height);
    WriteWholeFile(out, bmp ? BitmapPicture(Titles(designs), width, height, paint)
                            : XML_DECLARATION + SvgPicture(Titles(designs), width, height, paint,
                                                            !plot.quantity.empty()),
                   force);

    const int titles = CHART_TITLE_LINE * static_cast<int>(designs.size());
    std::string report;
    for (const Design& d : designs)
        if (!d.systemLine.empty() && report.find(d.systemLine) == std::string::npos)
            report += d.systemLine;
    report += out + ": " + std::to_string(width) + " x " +
                         std::to_string(height + titles) + " pixels\n";
    for (std::size_t k = 0; k < designs.size(); ++k) {
        const std::string colour = COLOUR_NAMES[k];
        report += colour + std::string(7 - colour.size(), ' ') +
                  Title(designs[k]) + "\n";
    }
    return report;
}

std::string ChartSvg(const std::vector<std::string>& designTexts, int width, int height,
                     const PlotRequest& plot, const std::vector<int>& colours)
{
    const std::vector<Design> designs = LoadDesigns(designTexts, plot, colours);
    return SvgPicture(Titles(designs), width, height, Painting(designs, plot, width, height),
                      !plot.quantity.empty());
}

void DeclareChart(CLI::App& command, ChartOptions& o)
{
    command.add_option("DESIGN", o.designs, "FILE:sealed or FILE:ported (FILE alone: sealed, "
                       "as Open shows it); up to three")->required();
    command.add_option("-o,--output", o.out, "the picture to write")->required();
    command.add_option("--size", o.size, "the chart's WIDTHxHEIGHT in pixels, as the graph "
                       "window's client area (328x227); the title lines come on top");
    command.add_flag("--bmp", o.bmp, "a 24-bit Windows bitmap instead of SVG");
    command.add_flag("--force", o.force, "replace an existing picture");
    command.add_option("--plot", o.plot.quantity, "instead of the levels, a curve of spktool limits: "
                       "spl, max-spl (the loudest within Xmax and Pe), excursion, port-speed, "
                       "group-delay or impedance, from the driver sheet");
    DeclareSystem(command, o.plot.system, SYSTEM_POWER | SYSTEM_PORTS | SYSTEM_SETUP);
    command.footer(command.get_footer() + "\n\n--power, --diameter, --ports and the system's "
                   "options (--drivers to --cabin) are for --plot.");
}

int RunChart(const ChartOptions& o)
{
    return Printed(ChartCommand(o.designs, o.out, o.size, o.bmp, o.force, o.plot));
}
