#include "Build.h"

#include <cmath>
#include <vector>

#include "CommandLine.h"
#include "Failure.h"
#include "Output.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "acoustics/BoxBuild.h"
#include "acoustics/Figures.h"
#include "acoustics/PortLength.h"

namespace {

constexpr double CM_PER_INCH = 2.54;        // exact, by the 1959 international inch
constexpr double LITRES_PER_FT3 = 28.316846592;  // 12^3 in^3 of 2.54 cm each

// The golden proportions commonly recommended for a box's height : width : depth.
constexpr BoxSize GOLDEN = {1.618, 1, 0.618};

// Three numbers above 0 between `separator`s, or the command line is bad.
std::vector<double> ThreeNumbers(const char* option, const std::string& text, char separator,
                                 const char* form)
{
    std::vector<double> numbers;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        const std::string part = text.substr(start, end - start);
        if (!IsTypedNumber(part) || part.size() > static_cast<std::size_t>(TYPED_NUMBER_CHARS))
            numbers.push_back(0);
        else
            numbers.push_back(ReadNumber(part.c_str()));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    bool good = numbers.size() == 3;
    for (double n : numbers)
        good = good && n > 0 && std::isfinite(n);
    if (!good)
        BadCommandLine(std::string(option) + ": '" + text + "' is not three numbers above 0 (" +
                       form + ")");
    return numbers;
}

// A length given in cm as the command prints it: cm to a millimetre, or inches to the
// sixteenth a tape measure shows.
std::string Length(double cm, bool inches)
{
    if (!inches)
        return Fixed(cm, 1) + " cm";
    const long long sixteenths = Sixteenths(cm / CM_PER_INCH);
    const long long whole = sixteenths / 16;
    long long part = sixteenths % 16, of = 16;
    while (part != 0 && part % 2 == 0) {
        part /= 2;
        of /= 2;
    }
    std::string text = std::to_string(whole);
    if (part != 0)
        text += " " + std::to_string(part) + "/" + std::to_string(of);
    return text + " in";
}

std::string Cut(double cm, bool inches)
{
    if (inches)
        return Length(cm, true);
    return Fixed(cm * 10, 0);
}

std::string Volume(double litres, bool inches)
{
    return Fixed(litres, 1) + " l" +
           (inches ? " (" + Fixed(litres / LITRES_PER_FT3, 2) + " ft3)" : "");
}

std::string Size(const BoxSize& s, bool inches)
{
    return Length(s.height, inches) + " x " + Length(s.width, inches) + " x " +
           Length(s.depth, inches);
}

// What would let a port that is too long fit: a smaller or fewer ports when the sheet
// allows Small's rule to be checked, else a port of another shape.
std::string PortAdvice(const std::string& file, const Ported& box, const DriverSheet& sheet,
                       const BuildRequest& r, double depth)
{
    const double sd = sheet.value[SHEET_SD], xmax = sheet.value[SHEET_XMAX];
    std::string advice;
    if (IsKnown(sd) && IsKnown(xmax) && sd > 0 && xmax > 0) {
        int n;
        double diameter, length;
        if (FittingPorts(box, SmallestVentArea(box.fb, sd, xmax), r.ports, r.diameter, depth,
                         r.panel, n, diameter, length))
            return "; " + std::to_string(n) + (n == 1 ? " port" : " ports") + " of " +
                   Fixed(diameter, 1) + " cm (" + Fixed(length, 1) +
                   " cm long) would fit within Small's vent area";
        advice = "; no fewer or smaller round ports fit within Small's vent area";
    } else {
        advice = "; smaller or fewer ports are shorter, but need sd and xmax to check their "
                 "air speed (spktool set " + file + " sd=CM2 xmax=MM)";
    }
    return advice + "; or try a slot port along a panel, or a bent port";
}

struct Hole {
    double diameter;  // cm
    int count;
};

// The panels to scale, one drawing unit a millimetre, with a size in millimetres when
// `toScale`, so that a printer at 100 % gives them at their size (a page fits it to its
// width instead); the front with the driver's cut-out high and the port holes low,
// where a builder usually puts them. Labels go under each panel, clear of the holes.
std::string CutSheet(const std::string& title, const CutList& cuts, double panel,
                     bool inches, Hole driver, Hole port, bool toScale)
{
    struct Drawn {
        const char* name;
        int count;
        PanelPair size;
    };
    const Drawn panels[] = {{"Front", 1, cuts.frontBack},
                            {"Back", 1, cuts.frontBack},
                            {"Sides", 2, cuts.sides},
                            {"Top and bottom", 2, cuts.topBottom}};
    double tallest = 0, widest = 0;
    for (const Drawn& d : panels) {
        tallest = tallest > d.size.second ? tallest : d.size.second;
        widest = widest > d.size.first ? widest : d.size.first;
    }
    // Text in proportion to the box, so that a small box's labels do not cover it.
    double font = widest * 10 / 25;
    font = font < 5 ? 5 : font > 20 ? 20 : font;
    const double margin = 20, top = margin + 2 * font;
    double x = margin;
    std::string shapes;
    const auto mm = [](double cm) { return Fixed(cm * 10, 1); };
    const auto circle = [&](double cx, double cy, double diameter) {
        shapes += "<circle cx=\"" + Fixed(cx, 1) + "\" cy=\"" + Fixed(cy, 1) + "\" r=\"" +
                  Fixed(diameter * 5, 1) + "\"/>\n";
    };
    for (const Drawn& d : panels) {
        const double w = d.size.first * 10, h = d.size.second * 10;
        shapes += "<rect x=\"" + Fixed(x, 1) + "\" y=\"" + Fixed(top, 1) + "\" width=\"" +
                  mm(d.size.first) + "\" height=\"" + mm(d.size.second) + "\"/>\n";
        std::string holes;
        if (&d == &panels[0]) {
            const double edge = panel * 10 + 10;  // clear of the sides and the top
            if (driver.count > 0) {
                const double r = driver.diameter * 5;
                circle(x + w / 2, top + (h * 0.3 > r + edge ? h * 0.3 : r + edge),
                       driver.diameter);
                holes += "cut-out " + Cut(driver.diameter, inches);
            }
            for (int i = 0; i < port.count; ++i) {
                const double r = port.diameter * 5;
                circle(x + w * (i + 1) / (port.count + 1),
                       top + h - (h * 0.2 > r + edge ? h * 0.2 : r + edge), port.diameter);
            }
            if (port.count > 0)
                holes += (holes.empty() ? "" : ", ") + std::to_string(port.count) + " x port " +
                         Cut(port.diameter, inches);
        }
        const std::string label = std::string(d.name) + " (" + std::to_string(d.count) +
                                  "): " + Cut(d.size.first, inches) + " x " +
                                  Cut(d.size.second, inches) + (inches ? "" : " mm");
        shapes += "<text x=\"" + Fixed(x, 1) + "\" y=\"" + Fixed(top + h + 1.4 * font, 1) +
                  "\" stroke=\"none\" fill=\"#000000\">" + MarkupText(label) + "</text>\n";
        if (!holes.empty())
            shapes += "<text x=\"" + Fixed(x, 1) + "\" y=\"" +
                      Fixed(top + h + 2.8 * font, 1) + "\" stroke=\"none\" fill=\"#000000\">" +
                      MarkupText(holes + (inches ? "" : " mm")) + "</text>\n";
        x += w + margin;
    }
    const std::string width = Fixed(x, 1),
                      height = Fixed(top + tallest * 10 + 3 * font + margin, 1);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" " +
           (toScale ? "width=\"" + width + "mm\" height=\"" + height + "mm\" " : "") +
           "viewBox=\"0 0 " + width + " " + height + "\">\n"
           "<rect width=\"" + width + "\" height=\"" + height + "\" fill=\"#ffffff\"/>\n"
           "<g font-family=\"MS Sans Serif, Arial, Helvetica, sans-serif\" font-size=\"" +
           Fixed(font, 1) + "\" xml:space=\"preserve\" fill=\"none\" stroke=\"#000000\" "
           "stroke-width=\"0.5\">\n"
           "<text x=\"" + Fixed(margin, 1) + "\" y=\"" + Fixed(margin + font, 1) +
           "\" stroke=\"none\" fill=\"#000000\">" + MarkupText(title) + "</text>\n" + shapes +
           "</g>\n</svg>\n";
}

}  // namespace

BuiltBox BuildBox(const std::string& file, const BuildRequest& r)
{
    if (r.ported && r.diameter == 0)
        BadCommandLine("build --ported needs --diameter");
    if (!r.ported && (r.diameter != 0 || r.ports != 0))
        BadCommandLine("build: --diameter and --ports are for a ported box");
    BuildRequest request = r;
    if (request.ported && request.ports == 0)
        request.ports = 1;
    BoxSize proportion = GOLDEN, outside = {0, 0, 0};
    if (!r.ratio.empty()) {
        const std::vector<double> n = ThreeNumbers("--ratio", r.ratio, ':', "H:W:D");
        proportion = {n[0], n[1], n[2]};
    }
    const double panel = r.panel / 10;  // cm
    if (!r.external.empty()) {
        const std::vector<double> n = ThreeNumbers("--external", r.external, 'x', "WxHxD");
        const double unit = r.inches ? CM_PER_INCH : 1;
        outside = {n[1] * unit, n[0] * unit, n[2] * unit};
        const BoxSize inside = InsideOf(outside, panel);
        if (!(inside.height > 0 && inside.width > 0 && inside.depth > 0))
            BadCommandLine("build: --external " + r.external + " leaves nothing inside " +
                           Plain(r.panel) + " mm panels");
    }

    const Speaker s = LoadSpeakerFile(file);
    const DriverSheet sheet = LoadSheet(file);
    const double net = r.ported ? s.ported.volume : s.sealed.volume;
    if (!(net > 0))
        BadData(file + ": build needs the " + (r.ported ? "ported" : "sealed") +
                " design's volume above 0 (it is " + Plain(net) + ")");
    std::string out = file + ": " + (r.ported ? "ported" : "sealed") + " box, " +
                      Fixed(net, 1) + " l";
    if (r.ported)
        out += " tuned to " + Fixed(s.ported.fb, 1) + " Hz";
    out += "\nNet volume: " + Volume(net, r.inches) + ", the design's\n";

    double driver = r.driverVolume;
    out += "Driver displacement: ";
    if (driver >= 0) {
        out += Volume(driver, r.inches) + ", from --driver-volume\n";
    } else if (IsKnown(sheet.value[SHEET_DISPLACEMENT])) {
        driver = sheet.value[SHEET_DISPLACEMENT];
        out += Volume(driver, r.inches) + ", from the driver sheet\n";
    } else {
        driver = 0;
        out += "0.0 l, not known: give --driver-volume L or spktool set " + file +
               " displacement=L\n";
    }

    double portLength = 0, portInside = 0, ports = 0;
    if (r.ported) {
        portLength = PortLength(s.ported, request.diameter, request.ports);
        if (!std::isfinite(portLength) || portLength < 0)
            BadData(file + ": no port length for ported.fb " + Brief(s.ported.fb) + " and " +
                    Fixed(request.diameter, 1) + " cm ports: increase --diameter");
        portInside = PortInsideLength(portLength, r.panel);
        ports = PortDisplacement(request.diameter, r.portWall, portLength, r.panel,
                                 request.ports);
        out += "Ports: " + Volume(ports, r.inches) + ", " + std::to_string(request.ports) +
               " x " + Fixed(request.diameter, 1) + " cm with " + Fixed(r.portWall, 1) +
               " mm walls, " + Fixed(portLength, 1) + " cm long, " + Fixed(portInside, 1) +
               " cm of it inside\n";
    }
    out += "Bracing: " + Volume(r.brace, r.inches) + "\n";
    const double gross = net + driver + ports + r.brace;
    out += "Gross internal volume: " + Volume(gross, r.inches) + "\n";

    BoxSize inside;
    if (r.external.empty()) {
        inside = SizeInProportion(gross * 1000, proportion);
        outside = OutsideOf(inside, panel);
        out += "Internal H x W x D: " + Size(inside, r.inches) + " (" +
               Plain(proportion.height) + " : " + Plain(proportion.width) + " : " +
               Plain(proportion.depth) + ")\n";
        out += "External H x W x D: " + Size(outside, r.inches) + " with " +
               Plain(r.panel) + " mm panels\n";
    } else {
        inside = InsideOf(outside, panel);
        const double built = VolumeOf(inside) / 1000;
        const double builtNet = built - driver - ports - r.brace;
        out += "External H x W x D: " + Size(outside, r.inches) + " with " +
               Plain(r.panel) + " mm panels\n";
        out += "Internal H x W x D: " + Size(inside, r.inches) + ": gross " +
               Volume(built, r.inches) + ", net " + Volume(builtNet, r.inches) + ", " +
               (builtNet >= net ? "+" : "") + Fixed((builtNet - net) / net * 100, 1) +
               " % from the design's\n";
    }

    const CutList cuts = CutListOf(inside, panel);
    out += std::string("Cut list, ") + (r.inches ? "inches" : "mm") + ":\n";
    const auto pair = [&](const char* name, const PanelPair& p) {
        out += std::string("  2 x ") + name + Cut(p.first, r.inches) + " x " +
               Cut(p.second, r.inches) + "\n";
    };
    pair("front and back  ", cuts.frontBack);
    pair("sides           ", cuts.sides);
    pair("top and bottom  ", cuts.topBottom);
    out += "Total panel area: " +
           (r.inches ? Fixed(cuts.area / (CM_PER_INCH * CM_PER_INCH * 144), 2) + " ft2\n"
                     : Fixed(cuts.area / 10000, 2) + " m2\n");

    if (r.ported) {
        const double needed = DepthForPort(portInside, request.diameter);
        out += "Port fit: " + Length(portInside, r.inches) + " inside and " +
               Length(request.diameter, r.inches) + " clear behind it need " +
               Length(needed, r.inches) + " of the " + Length(inside.depth, r.inches) +
               " internal depth";
        if (needed <= inside.depth)
            out += ": fits, " + Length(inside.depth - needed, r.inches) + " to spare\n";
        else
            out += ": does not fit" + PortAdvice(file, s.ported, sheet, request, inside.depth) +
                   "\n";
        // A port that fits may still be too narrow for the air the cone moves.
        const double sd = sheet.value[SHEET_SD], xmax = sheet.value[SHEET_XMAX];
        if (IsKnown(sd) && IsKnown(xmax) && sd > 0 && xmax > 0) {
            const double least = PortDiameterForArea(SmallestVentArea(s.ported.fb, sd, xmax),
                                                     request.ports);
            if (request.diameter < least)
                out += "Port size: below Small's vent area, which asks for " +
                       Length(least, r.inches) + " each: the port may be heard\n";
        }
    }
    const auto fit = [&](const char* what, SheetValue v, const char* against, double room) {
        const double size = sheet.value[v];
        if (!IsKnown(size))
            return;
        out += std::string(what) + Length(size, r.inches) + " against the internal " + against +
               " of " + Length(room, r.inches) +
               (size <= room ? ": fits, " + Length(room - size, r.inches) + " to spare\n"
                             : ": does not fit\n");
    };
    fit("Driver depth: ", SHEET_DEPTH, "depth", inside.depth);
    fit("Driver diameter: ", SHEET_DIAMETER, "width", inside.width);

    const double cutout = sheet.value[SHEET_CUTOUT];
    const Hole driverHole = {IsKnown(cutout) ? cutout : 0, IsKnown(cutout) ? 1 : 0};
    const Hole portHoles = {request.diameter + 2 * r.portWall / 10, r.ported ? request.ports : 0};
    BuiltBox built;
    const std::string title = out.substr(0, out.find('\n'));
    built.svg = CutSheet(title, cuts, panel, r.inches, driverHole, portHoles, !r.svg.empty());
    if (!IsKnown(cutout))
        built.noCutout = "without the driver's cut-out (spktool set " + file + " cutout=CM)";
    built.text = out;
    return built;
}

std::string BuildCommand(const std::string& file, const BuildRequest& r)
{
    if (!r.svg.empty())
        RefuseToReplace(r.svg, r.force);
    BuiltBox built = BuildBox(file, r);
    if (!r.svg.empty()) {
        // Complete in a temporary file first: a failure leaves no half-written sheet.
        WriteWholeFile(r.svg, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + built.svg,
                       r.force);
        built.text += "Cut sheet: " + r.svg +
                      (built.noCutout.empty() ? "\n" : ", " + built.noCutout + "\n");
    }
    return built.text;
}

void DeclareBuild(CLI::App& command, BuildOptions& o)
{
    command.add_option("FILE", o.file, "the speaker file; its driver sheet may give the "
                       "displacement, depth, diameter, sd and xmax")->required();
    BuildRequest& b = o.request;
    AddDesign(command, o.sealed, b.ported);
    DeclareSystem(command, o.system, SYSTEM_PORTS | SYSTEM_PANEL);
    command.add_option("--port-wall", b.portWall, "the port tube's wall, mm (3)")
        ->check(Between(0.0, 100.0));
    command.add_option("--brace", b.brace, "the bracing's volume inside the box, l (0)")
        ->check(Between(0.0, 100000.0));
    command.add_option("--driver-volume", b.driverVolume, "the driver's displacement, l "
                       "(else the driver sheet's)")->check(Between(0.0, 100000.0));
    CLI::Option* ratio = command.add_option("--ratio", b.ratio, "internal H:W:D (1.618:1:0.618)");
    command.add_option("--external", b.external, "the outside WxHxD instead, cm (inches "
                       "with --inches)")->excludes(ratio);
    command.add_flag("--inches", b.inches, "sizes in inches, the cut list to 1/16");
    command.add_option("--svg", b.svg, "a cut sheet to scale: the panels, the driver's "
                       "cut-out and the port holes");
    command.add_flag("--force", b.force, "replace an existing cut sheet");
    command.footer(command.get_footer() + "\n\nWithout --ports, one port.");
}

int RunBuild(const BuildOptions& o)
{
    BuildRequest request = o.request;
    request.panel = o.system.panel;
    request.diameter = o.system.diameter;
    request.ports = o.system.ports;
    return Printed(BuildCommand(o.file, request));
}
