#include "commands/Build.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "CommandLine.h"
#include "Failure.h"
#include "Output.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "acoustics/BoxBuild.h"
#include "acoustics/Limits.h"
#include "commands/Limits.h"
#include "acoustics/Figures.h"
#include "acoustics/PortLength.h"
#include "acoustics/PortShapes.h"
#include "numbers/Units.h"

namespace {

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
        BadCommandLine(std::string(option) + ": " + Quoted(text) +
                       " is not three numbers above 0 (" + form + ")");
    return numbers;
}

// A length given in cm as the command prints it: cm to a millimetre, or inches to the
// sixteenth a tape measure shows.
std::string Length(double cm, bool inches)
{
    if (!inches)
        return Fixed(cm, 1) + " cm";
    const TapeInches tape = OnTape(cm);
    std::string text = Fixed(tape.whole, 0);
    if (tape.part != 0)
        text += " " + std::to_string(tape.part) + "/" + std::to_string(tape.of);
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
           (inches ? " (" + Fixed(CubicFeet(litres), 2) + " ft3)" : "");
}

std::string Size(const BoxSize& s, bool inches)
{
    return Length(s.height, inches) + " x " + Length(s.width, inches) + " x " +
           Length(s.depth, inches);
}

// The command line, checked and completed: a ported box has one port unless told.
struct Checked {
    BuildRequest request;
    BoxSize proportion;
    BoxSize outside;  // cm, from --external; 0 for a box in proportion
    double panel;     // cm
};

Checked CheckRequest(const BuildRequest& r)
{
    if (!r.ported && (r.system.diameter != 0 || r.system.ports != 0 || !r.port.empty() ||
                      r.slotHeight != 0))
        BadCommandLine("build: --diameter, --ports, --port and --slot-height are for a "
                       "ported box");
    if (r.slotHeight != 0 && r.port != "" && r.port != "slot")
        BadCommandLine("build: --slot-height is for a slot, not --port " + r.port);
    Checked c = {r, GOLDEN_PROPORTION, {0, 0, 0}, r.system.panel / 10};
    if (c.request.ported && c.request.system.ports == 0)
        c.request.system.ports = 1;
    if (!r.ratio.empty()) {
        const std::vector<double> n = ThreeNumbers("--ratio", r.ratio, ':', "H:W:D");
        c.proportion = {n[0], n[1], n[2]};
    }
    if (!r.external.empty()) {
        const std::vector<double> n = ThreeNumbers("--external", r.external, 'x', "WxHxD");
        const double unit = r.inches ? CM_PER_INCH : 1;
        c.outside = {n[1] * unit, n[0] * unit, n[2] * unit};
        const BoxSize inside = InsideOf(c.outside, c.panel);
        if (!(inside.height > 0 && inside.width > 0 && inside.depth > 0))
            BadCommandLine("build: --external " + r.external + " leaves nothing inside " +
                           Plain(r.system.panel) + " mm panels");
    }
    return c;
}

enum class DriverFrom { OPTION, SHEET, UNKNOWN };

// Ports of Small's vent area that would fit where the ports asked for do not.
struct PortAdvice {
    bool checked;  // the sheet gives sd and xmax, so the air speed can be checked
    bool found;
    int ports;
    double diameter, length;  // cm
};

// Every figure `build` prints, and what it rests on.
struct BoxFigures {
    Speaker speaker;
    DriverSheet sheet;
    double net;
    DriverFrom driverFrom;
    HeldVolumes held;
    double portLength, portInside;  // cm
    double gross;
    BoxSize inside, outside;        // cm
    double builtGross, builtNet;    // a box from its outside
    CutList cuts;
    double portDepth;               // the internal depth a port needs, cm
    Fit portFit;
    PortAdvice advice;              // when the port does not fit
    double quietArea;               // cm² that keeps the air quiet; 0 when not known
    std::string quietPower;         // the power it is for, in words after "at"
    double leastDiameter;           // of Small's vent area; 0 when it cannot be known
    DriverFit driver;               // each part where the sheet gives it
    PortProposal taken;             // the port built; ROUND_STRAIGHT for the one asked for
    std::string roundFit;           // the Port fit line of the round port asked for
    std::string quietNote;          // why the diameter, when build picked it
    CompletedSystem set;                // the drivers the box holds
    int front = 1;                  // drivers on the front, one of each compound pair
    int count = 1;                  // drivers in the box
};

bool KnowsVentArea(const DriverSheet& sheet)
{
    const double sd = sheet.value[SHEET_SD], xmax = sheet.value[SHEET_XMAX];
    return IsKnown(sd) && IsKnown(xmax) && sd > 0 && xmax > 0;
}

double VentArea(const BoxFigures& f)
{
    // All the set's cones move the port's air.
    return SmallestVentArea(f.speaker.ported.fb, f.sheet.value[SHEET_SD] * f.front,
                            f.sheet.value[SHEET_XMAX]);
}

void LoadDesign(const std::string& file, const BuildRequest& r, BoxFigures& f)
{
    f.front = f.set.system.drivers;
    f.count = f.front * (f.set.system.isobaric ? 2 : 1);
    f.speaker = LoadSpeakerFile(file);
    f.sheet = LoadSheet(file);
    f.net = r.ported ? f.speaker.ported.volume : f.speaker.sealed.volume;
    if (!(f.net > 0))
        BadData(file + ": build needs the " + (r.ported ? "ported" : "sealed") +
                " design's volume above 0 (it is " + Plain(f.net) + ")");
    // --driver-volume over the sheet's displacement; none at all counts as no room.
    f.held = {r.driverVolume, 0, r.brace};
    f.driverFrom = DriverFrom::OPTION;
    if (!(r.driverVolume >= 0)) {
        const double sheetVolume = f.sheet.value[SHEET_DISPLACEMENT];
        f.driverFrom = IsKnown(sheetVolume) ? DriverFrom::SHEET : DriverFrom::UNKNOWN;
        f.held.driver = IsKnown(sheetVolume) ? sheetVolume : 0;
    }
    f.held.driver *= f.count;
}

void ComputePort(const std::string& file, const BuildRequest& r, BoxFigures& f)
{
    f.portLength = PortLength(f.speaker.ported, r.system.diameter, r.system.ports);
    if (!std::isfinite(f.portLength) || f.portLength < 0)
        BadData(file + ": no port length for ported.fb " + Brief(f.speaker.ported.fb) +
                " and " + Fixed(r.system.diameter, 1) + " cm ports: increase --diameter");
    f.portInside = PortInsideLength(f.portLength, r.system.panel);
    f.held.ports = PortDisplacement(r.system.diameter, r.portWall, f.portLength, r.system.panel, r.system.ports);
}

void SizeBox(const Checked& c, BoxFigures& f)
{
    if (c.request.external.empty()) {
        f.inside = SizeForLitres(f.gross, c.proportion);
        f.outside = OutsideOf(f.inside, c.panel);
    } else {
        f.outside = c.outside;
        f.inside = InsideOf(f.outside, c.panel);
        f.builtGross = LitresOf(f.inside);
        f.builtNet = NetVolume(f.builtGross, f.held);
    }
    f.cuts = CutListOf(f.inside, c.panel);
}

// The ports' area that keeps the air under AUDIBLE_PORT_SPEED at the power a quiet port
// is sized for, when the sheet gives what the curves need: a smaller port offered in
// place of one too long must not be one the page's limits rule out.
void QuietArea(const BuildRequest& r, BoxFigures& f)
{
    std::string note;
    PortPower sized;
    const double power = SystemPower(r.system, f.sheet, note);
    Limits l;
    const double area = PI * r.system.diameter * r.system.diameter / 4 * r.system.ports;
    if (SizingPower(f.speaker, f.sheet, power, sized, f.quietPower, f.set.system) &&
        ComputeSystemLimits(f.speaker, true, LimitsDriverOf(f.speaker.qts, f.sheet),
                            SizingSystem(f.set.system, sized.watts), r.system.diameter,
                            r.system.ports, l))
        f.quietArea = QuietPortArea(l, area);
}

void FitPort(const BuildRequest& r, BoxFigures& f)
{
    f.portDepth = DepthForPort(f.portInside, r.system.diameter);
    f.portFit = FitOf(f.portDepth, f.inside.depth);
    f.advice.checked = KnowsVentArea(f.sheet);
    if (!f.advice.checked)
        return;
    QuietArea(r, f);
    if (!f.portFit.fits)
        f.advice.found = FittingPorts(f.speaker.ported, std::max(VentArea(f), f.quietArea),
                                      r.system.ports, r.system.diameter,
                                      f.inside.depth, r.system.panel, f.advice.ports,
                                      f.advice.diameter, f.advice.length);
    f.leastDiameter = PortDiameterForArea(VentArea(f), r.system.ports);
}

// Without --diameter, the port the report picks: the smallest whole centimetre that
// keeps the air under AUDIBLE_PORT_SPEED at the power a quiet port is sized for.
constexpr int LARGEST_QUIET_PORT = 50;  // cm

std::string PickQuietPort(const std::string& file, Checked& c, const CompletedSystem& system)
{
    BuildRequest& r = c.request;
    if (!r.ported || r.system.diameter != 0)
        return "";
    const Speaker s = LoadSpeakerFile(file);
    const DriverSheet sheet = LoadSheet(file);
    std::string powerNote, atPower;
    PortPower sized;
    const double power = SystemPower(r.system, sheet, powerNote);
    int quiet = 0;
    if (SizingPower(s, sheet, power, sized, atPower, system.system))
        quiet = QuietPortDiameter(s, LimitsDriverOf(s.qts, sheet),
                                  SizingSystem(system.system, sized.watts), r.system.ports,
                                  LARGEST_QUIET_PORT);
    if (quiet == 0)
        BadCommandLine("build --ported needs --diameter: the driver sheet gives no quiet port");
    r.system.diameter = quiet;
    return "Port: " + Fixed(quiet, 1) + " cm, the smallest whole centimetre that keeps the "
           "air under " + Plain(AUDIBLE_PORT_SPEED) + " m/s at " + atPower + "\n";
}

// The options as the driver sheet completes them, and the system they make.
CompletedSystem CompleteSystem(const std::string& file, Checked& c)
{
    const Speaker s = LoadSpeakerFile(file);
    const DriverSheet sheet = LoadSheet(file);
    SystemOptions& o = c.request.system;
    o = WithSheetSystem(file, sheet, o);
    std::string note;
    return SystemOfSheet(file, s, sheet, o, SystemPower(o, sheet, note));
}

PortRequest::Shape ShapeAsked(const std::string& port)
{
    if (port == "round")
        return PortRequest::ROUND;
    if (port == "slot")
        return PortRequest::SLOT;
    return port == "bent" ? PortRequest::BENT : PortRequest::ANY;
}

// A slot of the height asked for must lie inside the box the round port makes.
void CheckSlotHeight(const BuildRequest& r, const BoxFigures& f)
{
    if (r.slotHeight == 0)
        return;
    const double area = NarrowestArea(RoundPort(r.system.diameter, r.system.ports));
    const double width = area / r.slotHeight;
    if (r.slotHeight >= f.inside.height || width > f.inside.width)
        BadCommandLine("--slot-height: a slot of " + Fixed(r.slotHeight, 1) + " x " +
                       Fixed(width, 1) + " cm does not fit the inside H x W of " +
                       Fixed(f.inside.height, 1) + " x " + Fixed(f.inside.width, 1) + " cm");
}

std::string PortLines(const std::string& file, const BuildRequest& r, const BoxFigures& f,
                      bool others);
std::string FaceText(const char* side, const BoxSize& s, bool inches);

// The larger box at the same tuning that holds the port, as the end of a sentence.
std::string HoldingBox(const PortBox& box, const PortRequest& request)
{
    const double litres = SmallestHoldingBox(box, request);
    if (litres == 0)
        return "; not even a box of ten times the volume holds it";
    return "; a box of " + Fixed(std::ceil(litres), 0) + " l net tuned to " +
           Fixed(box.design.fb, 1) + " Hz holds it";
}

// The port built: the round one asked for where it fits straight, else the first shape
// that fits (ProposePort), which then sets the box's volume and size.
void TakePort(const std::string& file, const Checked& c, BoxFigures& f)
{
    const BuildRequest& r = c.request;
    const PortShape round = RoundPort(r.system.diameter, r.system.ports);
    f.taken = {PortProposal::ROUND_STRAIGHT, f.portFit.fits, round, f.portLength,
               FoldPort(f.inside, c.panel, r.system.diameter, f.portLength), f.held.ports,
               f.gross, f.inside};
    CheckSlotHeight(r, f);
    const PortRequest::Shape shape = ShapeAsked(r.port);
    if (shape == PortRequest::ROUND || (shape == PortRequest::ANY && f.portFit.fits))
        return;
    const PortBox box = {f.speaker.ported, f.held.driver + f.held.brace,
                         r.external.empty() ? c.proportion : BoxSize{0, 0, 0}, f.inside};
    const PortRequest request = {shape, r.system.diameter, r.system.ports, r.slotHeight,
                                 c.panel, r.portWall};
    const PortProposal p = ProposePort(box, request);
    if (p.choice == PortProposal::NONE)
        BadData(file + ": no port of " + Fixed(r.system.diameter, 1) + " cm" +
                (shape == PortRequest::ANY ? " fits straight, as a slot, bent or in a deeper box"
                                           : " fits as --port " + r.port + " asks") +
                HoldingBox(box, request));
    f.taken = p;
    f.held.ports = p.volume;
    f.gross = p.gross;
    if (!r.external.empty())
        f.builtNet = NetVolume(f.builtGross, f.held);
    f.inside = p.inside;
    f.outside = OutsideOf(f.inside, c.panel);
    f.cuts = CutListOf(f.inside, c.panel);
    // The round port's fit is quoted against the box printed, not the one it was sized in.
    if (shape == PortRequest::ANY) {
        FitPort(r, f);
        f.roundFit = PortLines(file, r, f, false);
    }
}

// The drivers on the front side by side in a row along its longer side, as a tall box
// stacks them: each cut-out within the inside, each frame within the outside; a row that
// does not fit is no box to build.
void FitSideBySide(const std::string& file, const Checked& c, BoxFigures& f)
{
    const auto across = [&](double size, const BoxSize& face) {
        const double longer = std::max(face.width, face.height);
        const Fit row = FitOf(f.front * size, longer),
                  other = FitOf(size, std::min(face.width, face.height));
        return row.spare < other.spare ? row : other;
    };
    const double cutout = f.sheet.value[SHEET_CUTOUT], frame = f.sheet.value[SHEET_DIAMETER];
    f.driver.cutout = across(cutout, f.inside);
    f.driver.frame = across(frame, OutsideOf(f.inside, c.panel));
    const bool frames = IsKnown(frame) && !f.driver.frame.fits;
    if (frames || (IsKnown(cutout) && !f.driver.cutout.fits))
        BadData(file + ": " + std::to_string(f.front) + " drivers of " +
                Length(frames ? frame : cutout, c.request.inches) +
                (frames ? " frames" : " cut-outs") + " do not fit side by side on the " +
                FaceText(frames ? "external" : "internal", frames ? f.outside : f.inside,
                         c.request.inches) +
                " (a box of other proportions: --ratio or --external)");
}

// A file that cannot be read fails before a volume that is not there, and that before
// a port that cannot be tuned.
BoxFigures ComputeBox(const std::string& file, const Checked& c, const CompletedSystem& set)
{
    BoxFigures f = {};
    f.set = set;
    LoadDesign(file, c.request, f);
    if (c.request.ported)
        ComputePort(file, c.request, f);
    f.gross = GrossVolume(f.net, f.held);
    SizeBox(c, f);
    if (c.request.ported) {
        FitPort(c.request, f);
        TakePort(file, c, f);
    }
    f.driver = DriverFitOf(f.sheet.value[SHEET_CUTOUT], f.sheet.value[SHEET_DIAMETER],
                           f.sheet.value[SHEET_DEPTH], f.inside, c.panel);
    if (f.front > 1)
        FitSideBySide(file, c, f);
    return f;
}

// " of 4 x 1.2 l" when the box holds more than one driver.
std::string Each(const BoxFigures& f, bool inches)
{
    return f.count > 1 ? " of " + std::to_string(f.count) + " x " +
                             Volume(f.held.driver / f.count, inches)
                       : "";
}

// A compound pair's second driver sits inside the box, behind the one on the front.
std::string InnerDrivers(const BoxFigures& f)
{
    if (!f.set.system.isobaric)
        return "";
    return "Compound pairs: " + std::to_string(f.front) + " on the front, " +
           std::to_string(f.front) + " inside, each on a baffle behind its front driver, "
           "the chamber between them sealed; the inner ones' displacement is counted\n";
}

std::string VolumeLines(const std::string& file, const BuildRequest& r, const BoxFigures& f)
{
    std::string out = file + ": " + (r.ported ? "ported" : "sealed") + " box, " +
                      Fixed(f.net, 1) + " l";
    if (r.ported)
        out += " tuned to " + Fixed(f.speaker.ported.fb, 1) + " Hz";
    out += "\nNet volume: " + Volume(f.net, r.inches) + ", the design's\n";
    out += "Driver displacement: ";
    if (f.driverFrom != DriverFrom::UNKNOWN)
        out += Volume(f.held.driver, r.inches) + Each(f, r.inches) +
               (f.driverFrom == DriverFrom::OPTION ? ", from --driver-volume\n"
                                                  : ", from the driver sheet\n") +
               InnerDrivers(f);
    else
        out += "0.0 l, not known: give --driver-volume L or spktool set " + file +
               " displacement=L\n";
    if (r.ported)
        out += f.quietNote;
    if (r.ported && f.taken.port.kind == PortShape::SLOT)
        out += "Ports: " + Volume(f.held.ports, r.inches) + ", 1 slot of " +
               Length(f.taken.port.height, r.inches) + " x " +
               Length(f.taken.port.width, r.inches) + " along the bottom with " +
               Plain(r.system.panel) + " mm walls, " + Length(f.taken.length, r.inches) +
               " long, " + Length(PortInsideLength(f.taken.length, r.system.panel), r.inches) +
               " of it inside\n";
    else if (r.ported)
        out += "Ports: " + Volume(f.held.ports, r.inches) + ", " + std::to_string(r.system.ports) +
               " x " + Fixed(r.system.diameter, 1) + " cm with " + Fixed(r.portWall, 1) +
               " mm walls, " + Fixed(f.portLength, 1) + " cm long, " +
               Fixed(f.portInside, 1) + " cm of it inside\n";
    out += "Bracing: " + Volume(f.held.brace, r.inches) + "\n";
    return out + "Gross internal volume: " + Volume(f.gross, r.inches) + "\n";
}

std::string SizeLines(const Checked& c, const BoxFigures& f)
{
    const BuildRequest& r = c.request;
    const std::string external = "External H x W x D: " + Size(f.outside, r.inches) +
                                 " with " + Plain(r.system.panel) + " mm panels\n";
    const std::string ratio = Plain(c.proportion.height) + " : " + Plain(c.proportion.width) +
                              (f.taken.choice == PortProposal::DEEPER_BOX
                                   ? ", deeper than " + Plain(c.proportion.depth) +
                                         " to hold the port"
                                   : " : " + Plain(c.proportion.depth));
    if (r.external.empty())
        return "Internal H x W x D: " + Size(f.inside, r.inches) + " (" + ratio + ")\n" +
               external;
    return external + "Internal H x W x D: " + Size(f.inside, r.inches) + ": gross " +
           Volume(f.builtGross, r.inches) + ", net " + Volume(f.builtNet, r.inches) + ", " +
           (f.builtNet >= f.net ? "+" : "") + Fixed(PercentFrom(f.builtNet, f.net), 1) +
           " % from the design's\n";
}

// A slot's own walls, each of the panel's thickness: along the bottom a shelf over it
// (and an upright beside it when it does not span the width); each leg after a bend
// stands free, between two broad walls.
struct SlotWall {
    const char* name;
    int count;
    PanelPair size;  // cm: across, along the leg
};

std::vector<SlotWall> SlotWalls(const PortProposal& p, double panel)
{
    std::vector<SlotWall> walls;
    if (p.port.kind != PortShape::SLOT)
        return walls;
    static const char* const BROAD[] = {"slot shelf      ", "slot back walls ",
                                        "slot top walls  "};
    const int uprights = p.port.walls - 1;
    const double across = p.port.width + uprights * panel;
    for (int i = 0; i <= (p.path.bends > 0 ? p.path.bends : 0); ++i) {
        const double along = i == 0 ? p.path.legs[0] - panel : p.path.legs[i];
        walls.push_back({BROAD[i], i == 0 ? 1 : 2, {across, along}});
        if (uprights > 0)
            walls.push_back({"slot upright    ", uprights, {p.port.height, along}});
    }
    return walls;
}

std::string CutListLines(const BoxFigures& f, double panel, bool inches)
{
    std::string out = std::string("Cut list, ") + (inches ? "inches" : "mm") + ":\n";
    const auto line = [&](int count, const std::string& name, const PanelPair& p) {
        out += "  " + std::to_string(count) + " x " + name + Cut(p.first, inches) + " x " +
               Cut(p.second, inches) + "\n";
    };
    line(2, "front and back  ", f.cuts.frontBack);
    line(2, "sides           ", f.cuts.sides);
    line(2, "top and bottom  ", f.cuts.topBottom);
    double area = f.cuts.area;
    for (const SlotWall& w : SlotWalls(f.taken, panel)) {
        line(w.count, w.name, w.size);
        area += w.count * w.size.first * w.size.second;
    }
    return out + "Total panel area: " +
           (inches ? Fixed(SquareFeet(area), 2) + " ft2\n"
                   : Fixed(SquareMetres(area), 2) + " m2\n");
}

// What would let a port that is too long fit, in sentences after "does not fit": a
// smaller or fewer ports when the sheet allows Small's rule to be checked, else a port
// of another shape.
std::string AdviceText(const std::string& file, const BoxFigures& f, bool others)
{
    const PortAdvice& a = f.advice;
    const std::string within =
        "within Small's vent area" +
        (f.quietArea > 0 ? " and keep the air under " + Plain(AUDIBLE_PORT_SPEED) +
                               " m/s at " + f.quietPower
                         : std::string());
    std::string advice;
    if (a.checked && a.found)
        return ". " + std::to_string(a.ports) + (a.ports == 1 ? " port" : " ports") + " of " +
               Fixed(a.diameter, 1) + " cm (" + Fixed(a.length, 1) + " cm long) would fit " +
               within + ".";
    if (a.checked)
        advice = ". No fewer or smaller round ports would fit " + within + ".";
    else
        advice = ". Smaller or fewer ports are shorter; checking their air speed needs sd "
                 "and xmax in the driver sheet (spktool set " + file + " sd=CM2 xmax=MM).";
    return advice + (others ? " Try a slot port along a panel, or a bent port (--port slot, "
                              "--port bent)."
                            : "");
}

std::string PortLines(const std::string& file, const BuildRequest& r, const BoxFigures& f,
                      bool others)
{
    std::string out = "Port fit: " + Length(f.portInside, r.inches) + " inside and " +
                      Length(r.system.diameter, r.inches) + " clear behind it need " +
                      Length(f.portDepth, r.inches) + " of the " +
                      Length(f.inside.depth, r.inches) + " internal depth";
    if (f.portFit.fits)
        out += ": fits, " + Length(f.portFit.spare, r.inches) + " to spare\n";
    else
        out += ": does not fit" + AdviceText(file, f, others) + "\n";
    // A port that fits may still be too narrow for the air the cone moves.
    if (f.advice.checked && r.system.diameter < f.leastDiameter)
        out += "Port size: below Small's vent area, which asks for " +
               Length(f.leastDiameter, r.inches) + " each: the port may be heard\n";
    return out;
}

// Why a port other than the round one asked for, in words after "Port taken: ".
std::string TakenWords(const BuildRequest& r, const PortProposal& p)
{
    static const char* const BENDS[] = {"straight", "bent once", "bent twice"};
    const std::string bends = BENDS[p.path.bends];
    const std::string rounds = r.system.ports == 1 ? "the round port" : "the round ports";
    if (p.choice == PortProposal::DEEPER_BOX)
        return rounds + " straight in a deeper box, as no slot or bent port fits";
    std::string what = p.port.kind == PortShape::ROUND
                           ? rounds + " " + bends
                           : "a slot of the same area along the bottom" +
                                 std::string(p.port.walls == 1 ? " across the inside width"
                                                               : " against a side panel") +
                                 ", " + bends;
    if (!r.port.empty())
        return what + ", as --port " + r.port + " asks";
    if (p.choice == PortProposal::SLOT_STRAIGHT)
        return what + ", as " + rounds + " does not fit straight";
    if (p.choice == PortProposal::SLOT_BENT)
        return what + ", as neither " + rounds + " nor the slot fits straight";
    return what + ", as the slot fits neither straight nor bent once";
}

// The legs along the centreline, the first with the panel the port passes through.
std::string PathLine(const PortProposal& p, bool inches)
{
    static const char* const LEGS[] = {" along the bottom", " up the back",
                                       " forward under the top"};
    if (p.path.bends <= 0)
        return "";
    std::string out = "Port path: ";
    for (int i = 0; i <= p.path.bends; ++i)
        out += (i == 0 ? "" : ", then ") + Length(p.path.legs[i], inches) + LEGS[i];
    return out + ", along its centreline, a port size clear of the panels at each bend "
                 "and at its end\n";
}

std::string PipeLine(const PortProposal& p, double crossover)
{
    return PipeText(PipeResonance(p.port, p.length), crossover);
}

std::string PortSection(const std::string& file, const BuildRequest& r, const BoxFigures& f)
{
    if (f.taken.choice == PortProposal::ROUND_STRAIGHT)
        return PortLines(file, r, f, true) + PipeLine(f.taken, r.system.crossover);
    return f.roundFit + "Port taken: " + TakenWords(r, f.taken) + "\n" +
           PathLine(f.taken, r.inches) + PipeLine(f.taken, r.system.crossover);
}

std::string FitLine(const char* what, double size, const std::string& room, const Fit& fit,
                    bool inches, int count)
{
    return std::string(what) + (count > 1 ? std::to_string(count) + " x " : "") +
           Length(size, inches) + " against the " + room +
           (fit.fits ? ": fits, " + Length(fit.spare, inches) + " to spare\n"
                     : ": does not fit\n");
}

std::string FaceText(const char* side, const BoxSize& s, bool inches)
{
    return std::string(side) + " H x W of " + Length(s.height, inches) + " x " +
           Length(s.width, inches);
}

// "a", "a or b", "a, b or c".
std::string OneOf(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    return text;
}

// The cut-out against the inside, the frame against the front's outside, the depth
// behind the front; a part the sheet does not give is named with the value it needs.
std::string DriverLines(const std::string& file, const BoxFigures& f, bool inches)
{
    const struct {
        SheetValue value;
        const char* what;
        std::string room;
        Fit fit;
    } parts[] = {
        {SHEET_CUTOUT, f.front > 1 ? "Driver cut-outs side by side: " : "Driver cut-out: ",
         FaceText("internal", f.inside, inches), f.driver.cutout},
        {SHEET_DIAMETER, f.front > 1 ? "Driver frames side by side: " : "Driver frame: ",
         FaceText("external", f.outside, inches), f.driver.frame},
        {SHEET_DEPTH, "Driver depth: ", "internal depth of " + Length(f.inside.depth, inches),
         f.driver.depth}};
    std::string out, set;
    std::vector<std::string> missing;
    for (const auto& p : parts) {
        const double size = f.sheet.value[p.value];
        if (IsKnown(size)) {
            out += FitLine(p.what, size, p.room, p.fit, inches,
                           p.value == SHEET_DEPTH ? 1 : f.front);
            continue;
        }
        missing.push_back(SHEET_VALUE_NAMES[p.value].name);
        set += " " + missing.back() + "=CM";
    }
    if (!missing.empty())
        out += "Driver fit: the sheet has no " + OneOf(missing) + " to check (spktool set " +
               file + set + ")\n";
    return out;
}

struct Hole {
    double diameter;  // cm
    int count;
};

// The cut sheet in drawing units of a millimetre: the panels two by two, the holes in
// the front, and text in proportion to the sheet, so that the labels stay readable
// when a page or a printer fits the sheet to its width.
struct SheetPanel {
    const char* name;
    int count;
    PanelPair size;  // cm
    double x, y;
};
struct Circle {
    double x, y, diameter;  // diameter in cm
    bool fromTop;           // dimensioned from the top edge, else from the bottom
};
struct SheetLayout {
    SheetPanel panels[4];
    std::vector<Circle> holes;
    double font, margin, top, width, height;
    const PortProposal* port;  // a slot's mouth or a bent path to draw; null for none
    double sideX, sideY;       // the side view of a bent port, its outside's corner
};

bool DrawsSlot(const PortProposal* p)
{
    return p && p->port.kind == PortShape::SLOT;
}

bool DrawsPath(const PortProposal* p)
{
    return p && p->path.bends > 0;
}

// A sheet fitted to a column of about 400 pixels, or 90 mm of paper, gives its text 13
// pixels, or 3 mm.
constexpr double SHEET_WIDTHS_PER_FONT = 30;
constexpr double LINE_SPACING = 1.4;    // fonts from one text line to the next
constexpr int LABEL_LINES = 4;          // name, size, cut-out, ports
constexpr double CHARACTER_WIDTH = 0.6;  // fonts, the widest likely sans serif's average

// The front with the drivers' cut-outs high and the port holes low, where a builder
// usually puts them, clear of the sides and the top. Several drivers stand in a row
// along the front's longer side, as the fit check lays them out: across a wide front at
// one driver's height, down a tall one evenly in what the port holes leave above them.
std::vector<Circle> FrontHoles(const SheetPanel& front, double panel, Hole driver, Hole port,
                               double slotHeight)
{
    std::vector<Circle> holes;
    const double x = front.x, w = front.size.first * 10, h = front.size.second * 10;
    const double edge = panel * 10 + 10, top = front.y;
    const double portR = port.diameter * 5;
    const double portY = top + h - (h * 0.2 > portR + edge ? h * 0.2 : portR + edge);
    const double r = driver.diameter * 5;
    const bool stacked = driver.count > 1 && h > w;
    const double below =
        port.count > 0 ? portY - portR : top + h - panel * 10 - slotHeight * 10;
    for (int i = 0; i < driver.count; ++i) {
        const double down = stacked ? panel * 10 + (below - top - panel * 10) * (i + 0.5) /
                                                       driver.count
                                    : (h * 0.3 > r + edge ? h * 0.3 : r + edge);
        holes.push_back({stacked ? x + w / 2 : x + w * (i + 1) / (driver.count + 1),
                         top + down, driver.diameter, true});
    }
    for (int i = 0; i < port.count; ++i)
        holes.push_back({x + w * (i + 1) / (port.count + 1), portY, port.diameter, false});
    return holes;
}

// Front and back side by side, the sides and the top and bottom under them: a sheet
// about as wide as it is tall, which a page's column shrinks the least.
SheetLayout LayOutSheet(const CutList& cuts, double panel, Hole driver, Hole port,
                        const PortProposal* taken)
{
    SheetLayout l = {{{"Front", 1, cuts.frontBack, 0, 0},
                      {"Back", 1, cuts.frontBack, 0, 0},
                      {"Sides", 2, cuts.sides, 0, 0},
                      {"Top and bottom", 2, cuts.topBottom, 0, 0}},
                     {}, 0, 20, 0, 0, 0, taken, 0, 0};
    const auto wide = [&](int i) { return l.panels[i].size.first * 10; };
    const auto tall = [&](int i) { return l.panels[i].size.second * 10; };
    const double left = wide(0) > wide(2) ? wide(0) : wide(2);
    const double right = wide(1) > wide(3) ? wide(1) : wide(3);
    l.width = left + right + 3 * l.margin;
    l.font = l.width / SHEET_WIDTHS_PER_FONT;
    l.font = l.font < 5 ? 5 : l.font;
    l.top = l.margin + 2 * LINE_SPACING * l.font + l.margin;
    const double labels = LINE_SPACING * l.font * LABEL_LINES + l.font / 2 + l.margin;
    const double second = l.top + (tall(0) > tall(1) ? tall(0) : tall(1)) + labels;
    for (int i = 0; i < 4; ++i) {
        l.panels[i].x = i % 2 == 0 ? l.margin : 2 * l.margin + left;
        l.panels[i].y = i < 2 ? l.top : second;
    }
    l.height = second + (tall(2) > tall(3) ? tall(2) : tall(3)) + labels;
    l.holes = FrontHoles(l.panels[0], panel, driver, port,
                         DrawsSlot(taken) ? taken->port.height : 0);
    if (DrawsPath(taken)) {
        // Under the sides, as the box is seen from its left with the front on the left.
        l.sideX = l.margin;
        l.sideY = l.height;
        l.height += cuts.frontBack.second * 10 + 2 * LINE_SPACING * l.font + l.margin;
        const double depth = (cuts.sides.first + 2 * panel) * 10 + 2 * l.margin;
        l.width = l.width > depth ? l.width : depth;
    }
    return l;
}

// A slot's mouth on the front: it lies on the bottom panel against the left side panel,
// so its corner is a panel's thickness in from the front's left and bottom edges.
std::string SlotMouth(const SheetLayout& l, double panel)
{
    const SheetPanel& front = l.panels[0];
    const PortShape& slot = l.port->port;
    const double x = front.x + panel * 10,
                 y = front.y + front.size.second * 10 - panel * 10 - slot.height * 10;
    return "<rect x=\"" + Fixed(x, 1) + "\" y=\"" + Fixed(y, 1) + "\" width=\"" +
           Fixed(slot.width * 10, 1) + "\" height=\"" + Fixed(slot.height * 10, 1) + "\"/>\n";
}

std::string DrawPanel(const SheetLayout& l, const SheetPanel& p, double panel)
{
    std::string shapes = "<rect x=\"" + Fixed(p.x, 1) + "\" y=\"" + Fixed(p.y, 1) +
                         "\" width=\"" + Fixed(p.size.first * 10, 1) + "\" height=\"" +
                         Fixed(p.size.second * 10, 1) + "\"/>\n";
    if (&p != &l.panels[0])
        return shapes;
    if (DrawsSlot(l.port))
        shapes += SlotMouth(l, panel);
    for (const Circle& c : l.holes)
        shapes += "<circle cx=\"" + Fixed(c.x, 1) + "\" cy=\"" + Fixed(c.y, 1) + "\" r=\"" +
                  Fixed(c.diameter * 5, 1) + "\"/>\n";
    return shapes;
}

// `room` limits the text to that many drawing units, squeezing a longer one.
std::string TextAt(double x, double y, const std::string& text, double font, double room = 0,
                   const char* anchor = nullptr)
{
    std::string fit;
    if (room > 0 && text.size() * CHARACTER_WIDTH * font > room)
        fit = "\" textLength=\"" + Fixed(room, 1) + "\" lengthAdjust=\"spacingAndGlyphs";
    if (anchor)
        fit += "\" text-anchor=\"" + std::string(anchor);
    return "<text x=\"" + Fixed(x, 1) + "\" y=\"" + Fixed(y, 1) + fit +
           "\" stroke=\"none\" fill=\"#000000\">" + MarkupText(text) + "</text>\n";
}

// Halfway along the line from a hole's centre to the edge, or, where a hole stacked
// above or below lies on the way, halfway to its own rim.
double DownLabelY(const SheetLayout& l, const Circle& c, double edgeY)
{
    for (const Circle& other : l.holes) {
        const bool onTheWay = &other != &c && std::fabs(other.x - c.x) < other.diameter * 5 &&
                              (other.y - c.y) * (edgeY - other.y) > 0;
        if (onTheWay)
            return c.y + (edgeY > c.y ? 1 : -1) * c.diameter * 2.5;
    }
    return (c.y + edgeY) / 2;
}

// A hole's centre measured from the front's left edge and from its top or bottom edge,
// dashed lines to the centre with the lengths beside it, as a builder marks it out.
std::string Dimension(const SheetLayout& l, const Circle& c, bool inches)
{
    const SheetPanel& front = l.panels[0];
    const double edgeY = c.fromTop ? front.y : front.y + front.size.second * 10;
    const double across = c.x - front.x, down = c.fromTop ? c.y - edgeY : edgeY - c.y;
    std::string shapes = "<path stroke-dasharray=\"" + Fixed(l.font / 2, 1) + "\" d=\"M" +
                         Fixed(front.x, 1) + " " + Fixed(c.y, 1) + "H" + Fixed(c.x, 1) + "V" +
                         Fixed(edgeY, 1) + "\"/>\n";
    // Beside the centre, inside the hole, where no other hole's lines run.
    shapes += TextAt(c.x - 0.3 * l.font, c.y - 0.3 * l.font, Cut(across / 10, inches), l.font,
                     0, "end");
    shapes += TextAt(c.x + 0.3 * l.font, DownLabelY(l, c, edgeY) + 0.35 * l.font,
                     Cut(down / 10, inches), l.font);
    return shapes;
}

// Under each panel, clear of the holes: its name and size, and the front's holes.
std::string LabelPanel(const SheetLayout& l, const SheetPanel& p, bool inches, Hole driver,
                       Hole port)
{
    const double step = LINE_SPACING * l.font, room = p.size.first * 10 + l.margin / 2;
    double y = p.y + p.size.second * 10;
    const std::string unit = inches ? "" : " mm";
    std::string text = TextAt(p.x, y += step, std::string(p.name) + " (" +
                                                  std::to_string(p.count) + ")", l.font, room);
    text += TextAt(p.x, y += step, Cut(p.size.first, inches) + " x " +
                                       Cut(p.size.second, inches) + unit, l.font, room);
    if (&p != &l.panels[0])
        return text;
    if (driver.count > 0)
        text += TextAt(p.x, y += step,
                       (driver.count > 1 ? std::to_string(driver.count) + " x cut-out "
                                         : std::string("cut-out ")) +
                           Cut(driver.diameter, inches) + unit,
                       l.font, room);
    if (port.count > 0)
        text += TextAt(p.x, y += step, std::to_string(port.count) + " x port " +
                                           Cut(port.diameter, inches) + unit, l.font, room);
    if (DrawsSlot(l.port))
        text += TextAt(p.x, y += step, "slot " + Cut(l.port->port.width, inches) + " x " +
                                           Cut(l.port->port.height, inches) + unit +
                                           " at the bottom left", l.font, room);
    for (const Circle& c : l.holes)
        text += Dimension(l, c, inches);
    return text;
}

// The points of a bent port's centreline, mm, in the side view: in through the front
// half a port size above the bottom panel, back along the bottom, up, and forward.
std::vector<std::pair<double, double>> PathPoints(const SheetLayout& l, double panel,
                                                  double outsideHeight)
{
    const PortPath& path = l.port->path;
    const double size = PortSize(l.port->port) * 10;
    double x = l.sideX, y = l.sideY + outsideHeight - panel * 10 - size / 2;
    std::vector<std::pair<double, double>> points = {{x, y}};
    points.push_back({x += path.legs[0] * 10, y});
    points.push_back({x, y -= path.legs[1] * 10});
    if (path.bends > 1)
        points.push_back({x - path.legs[2] * 10, y});
    return points;
}

// The box cut through from its left side, front on the left, to scale: the port's
// path as its legs lie, a port size wide, with its centreline, so that a builder can
// set out the bends and the walls around them.
std::string SideView(const SheetLayout& l, const CutList& cuts, double panel, bool inches)
{
    const double depth = (cuts.sides.first + 2 * panel) * 10,
                 height = cuts.frontBack.second * 10, t = panel * 10;
    std::string points;
    for (const auto& [x, y] : PathPoints(l, panel, height))
        points += (points.empty() ? "" : " ") + Fixed(x, 1) + "," + Fixed(y, 1);
    std::string legs;
    for (int i = 0; i <= l.port->path.bends; ++i)
        legs += (i == 0 ? "" : ", ") + Cut(l.port->path.legs[i], inches);
    const auto rect = [](double x, double y, double w, double h) {
        return "<rect x=\"" + Fixed(x, 1) + "\" y=\"" + Fixed(y, 1) + "\" width=\"" +
               Fixed(w, 1) + "\" height=\"" + Fixed(h, 1) + "\"/>\n";
    };
    return rect(l.sideX, l.sideY, depth, height) +
           rect(l.sideX + t, l.sideY + t, depth - 2 * t, height - 2 * t) +
           "<polyline stroke=\"#c0c0c0\" stroke-linejoin=\"miter\" stroke-width=\"" +
           Fixed(PortSize(l.port->port) * 10, 1) + "\" points=\"" + points + "\"/>\n" +
           "<polyline stroke-dasharray=\"" + Fixed(l.font / 2, 1) + "\" points=\"" + points +
           "\"/>\n" +
           TextAt(l.sideX, l.sideY + height + LINE_SPACING * l.font,
                  "Port path, side view: legs " + legs +
                      (inches ? "" : " mm"),
                  l.font, l.width - 2 * l.margin);
}

// The title on two lines, the file's name apart from what is built from it.
std::string SheetTitle(const SheetLayout& l, const std::string& title)
{
    const auto colon = title.find(": ");
    const double room = l.width - 2 * l.margin, y = l.margin + l.font;
    if (colon == std::string::npos)
        return TextAt(l.margin, y, title, l.font, room);
    return TextAt(l.margin, y, title.substr(0, colon + 1), l.font, room) +
           TextAt(l.margin, y + LINE_SPACING * l.font, title.substr(colon + 2), l.font, room);
}

// The panels to scale, one drawing unit a millimetre, with a size in millimetres when
// `toScale`, so that a printer at 100 % gives them at their size (a page fits it to its
// width instead).
std::string CutSheet(const std::string& title, const CutList& cuts, double panel,
                     bool inches, Hole driver, Hole port, const PortProposal* taken,
                     bool toScale)
{
    const SheetLayout l = LayOutSheet(cuts, panel, driver, port, taken);
    std::string shapes;
    for (const SheetPanel& p : l.panels)
        shapes += DrawPanel(l, p, panel) + LabelPanel(l, p, inches, driver, port);
    if (DrawsPath(taken))
        shapes += SideView(l, cuts, panel, inches);
    const std::string width = Fixed(l.width, 1), height = Fixed(l.height, 1);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" " +
           (toScale ? "width=\"" + width + "mm\" height=\"" + height + "mm\" " : "") +
           "viewBox=\"0 0 " + width + " " + height + "\">\n"
           "<rect width=\"" + width + "\" height=\"" + height + "\" fill=\"#ffffff\"/>\n"
           "<g font-family=\"MS Sans Serif, Arial, Helvetica, sans-serif\" font-size=\"" +
           Fixed(l.font, 1) + "\" xml:space=\"preserve\" fill=\"none\" stroke=\"#000000\" "
           "stroke-width=\"" + Fixed(l.font / 12, 1) + "\">\n" +
           SheetTitle(l, title) + shapes + "</g>\n</svg>\n";
}

}  // namespace

// A port's note sounds through it from its first pipe resonance up: within the band
// the woofer plays, it may be heard.
std::string PipeWarning(double resonanceHz, double crossover)
{
    const double below = PipeWarningHz(crossover);
    if (!(resonanceHz < below))
        return "";
    return "Warning: the port's first pipe resonance is at " + Fixed(resonanceHz, 0) +
           " Hz, below " + Plain(below) + " Hz" +
           (crossover > 0 ? ", twice the " + Plain(crossover) + " Hz crossover" : "") +
           ": the woofer may excite it (a shorter or flared port, or damping near it, moves "
           "or calms it)\n";
}

std::string PipeResonanceLine(double resonanceHz)
{
    return "Pipe resonance: " + Fixed(resonanceHz, 0) + " Hz, the port's first as an open pipe\n";
}

std::string PipeText(double resonanceHz, double crossover)
{
    const std::string warning = PipeWarning(resonanceHz, crossover);
    return warning.empty() && std::isfinite(resonanceHz) ? PipeResonanceLine(resonanceHz)
                                                         : warning;
}

BuiltBox BuildBox(const std::string& file, const BuildRequest& r)
{
    Checked c = CheckRequest(r);
    const CompletedSystem set = CompleteSystem(file, c);
    const std::string quiet = PickQuietPort(file, c, set);
    BoxFigures f = ComputeBox(file, c, set);
    f.quietNote = quiet;
    BuiltBox built;
    const std::string volume = VolumeLines(file, c.request, f);
    built.text = set.line + volume + SizeLines(c, f) +
                 CutListLines(f, c.panel, r.inches) +
                 (r.ported ? PortSection(file, c.request, f) : "") +
                 DriverLines(file, f, r.inches);
    const double cutout = f.sheet.value[SHEET_CUTOUT];
    const Hole driverHole = {IsKnown(cutout) ? cutout : 0, IsKnown(cutout) ? f.front : 0};
    // A slot's mouth is no round hole: the sheet draws it as the opening it is.
    const bool round = f.taken.port.kind == PortShape::ROUND;
    const Hole portHoles = {PortHoleDiameter(c.request.system.diameter, r.portWall),
                            r.ported && round ? c.request.system.ports : 0};
    const std::string title = volume.substr(0, volume.find('\n'));
    built.svg = CutSheet(title, f.cuts, c.panel, r.inches, driverHole, portHoles,
                         r.ported ? &f.taken : nullptr, !r.svg.empty());
    if (r.ported) {
        built.pipeHz = PipeResonance(f.taken.port, f.taken.length);
        built.pipeWarning = PipeWarning(built.pipeHz, c.request.system.crossover);
    }
    if (!IsKnown(cutout))
        built.noCutout = "without the driver's cut-out (spktool set " + file + " cutout=CM)";
    return built;
}

std::string BuildCommand(const std::string& file, const BuildRequest& r)
{
    if (!r.svg.empty()) {
        RefuseToReplace(r.svg, r.force);
        RefuseInputs(r.svg, {file});
    }
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
    DeclareSystem(command, b.system, SYSTEM_POWER | SYSTEM_PORTS | SYSTEM_PANEL | SYSTEM_SETUP);
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
    command.add_option("--port", b.port, "keep to one shape: round (straight), slot (along "
                       "the bottom) or bent (round)")
        ->check(CLI::IsMember({"round", "slot", "bent"}));
    command.add_option("--slot-height", b.slotHeight, "the slot's height, cm (else its area "
                       "across the inside width)")->check(Positive(1000, " cm"));
    command.footer(command.get_footer() +
                   "\n\nWithout --diameter, the quiet port; without --ports, one port; without "
                   "--power, the driver sheet's Pe, else 1 W. A port that does not fit "
                   "straight is taken as a slot of its area along the bottom, that slot bent "
                   "once, the round port bent once, or straight in a deeper box. A smaller "
                   "port offered for one too long keeps the air under " +
                   Plain(AUDIBLE_PORT_SPEED) + " m/s at that power, or at the power the cone "
                   "takes within Xmax near the tuning if that is less. A port's pipe "
                   "resonance below twice --crossover (else 300 Hz) is warned of. With "
                   "--drivers, the box holds each driver's displacement and the front takes "
                   "them side by side.");
}

int RunBuild(const BuildOptions& o)
{
    return Printed(BuildCommand(o.file, o.request));
}
