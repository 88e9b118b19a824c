#include "commands/Port.h"

#include <cmath>

#include "CommandLine.h"
#include "Failure.h"
#include "Output.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "acoustics/Figures.h"
#include "acoustics/BoxBuild.h"
#include "acoustics/PortLength.h"
#include "acoustics/PortShapes.h"
#include "commands/Build.h"
#include "commands/Limits.h"

namespace {

const char RULE[] =
    "The smallest port diameter follows Small's vent-area rule for a vented box at full\n"
    "excursion: all ports together need Sv >= 0.8 x Fb x VD, with Sv in m2, Fb in Hz and\n"
    "VD = Sd x Xmax in m3 (R. H. Small, \"Vented-Box Loudspeaker Systems\", J. Audio Eng.\n"
    "Soc. 21, 1973). --sd is in cm2 and --xmax in mm, as data sheets give them, for one\n"
    "driver: with --drivers N the set's Sd is N times it (a compound pair's is one cone's).";

std::string PortsWord(int ports)
{
    return std::to_string(ports) + (ports == 1 ? " port" : " ports");
}

// The sheet's value unless the command line gives one.
double Given(const std::string& option, const std::string& text, double sheetValue)
{
    if (!text.empty())
        return OptionNumber(option, text);
    return IsKnown(sheetValue) ? sheetValue : 0;
}

// Small's rule for the driver's excursion, when both Sd and Xmax are known.
std::string SmallestPort(const PortOptions& o, double fb, double diameter, double sd,
                         double xmax, const std::string& setWords)
{
    if ((sd > 0) != (xmax > 0))
        return "Smallest port diameter: needs " + std::string(sd > 0 ? "xmax" : "sd") +
               " as well (spktool set " + o.file + (sd > 0 ? " xmax=MM" : " sd=CM2") + ")\n";
    if (!(sd > 0))
        return "";
    const double area = SmallestVentArea(fb, sd, xmax);  // all ports together
    const double smallest = PortDiameterForArea(area, o.ports);
    std::string out = "Smallest port diameter: " + Fixed(smallest, 1) + " cm for " +
                      PortsWord(o.ports) + " (vent area " + Fixed(area, 1) +
                      " cm2 = 0.8 x Fb x Sd x Xmax" + setWords + ")\n";
    if (diameter < smallest)
        out += "Warning: " + Fixed(diameter, 1) + " cm is smaller: the port" +
               (o.ports == 1 ? "" : "s") + " may be heard at full excursion\n";
    return out;
}

// "HxW" in cm, two numbers above 0, or the command line is bad.
PortShape SlotOf(const std::string& text)
{
    const std::size_t x = text.find('x');
    const std::string height = text.substr(0, x);
    const std::string width = x == std::string::npos ? "" : text.substr(x + 1);
    for (const std::string& part : {height, width})
        if (!IsTypedNumber(part) || part.size() > static_cast<std::size_t>(TYPED_NUMBER_CHARS) ||
            !(ReadNumber(part.c_str()) > 0) || !(ReadNumber(part.c_str()) <= 1000))
            BadCommandLine("--slot: " + Quoted(text) + " is not HEIGHTxWIDTH, two numbers above 0, cm");
    return SlotPort(ReadNumber(height.c_str()), ReadNumber(width.c_str()), 1);
}

// The port asked for: a slot, or round ports with or without flares.
PortShape ShapeOf(const PortOptions& o)
{
    if (o.diameter.empty() == o.slot.empty())
        BadCommandLine("port: one of --diameter or --slot is needed");
    if (!o.slot.empty())
        return SlotOf(o.slot);
    // The Diameter field reads any text; here it must be a number.
    if (!IsTypedNumber(o.diameter) ||
        o.diameter.size() > static_cast<std::size_t>(TYPED_NUMBER_CHARS))
        BadCommandLine("--diameter: " + Quoted(o.diameter) +
                       " is not a number of at most 9 characters");
    const double diameter = ReadNumber(o.diameter.c_str());
    // Narrower, no port carries the air a box needs, and its length would read -0.0 cm.
    if (diameter < 0.5)
        BadCommandLine("--diameter: " + Quoted(o.diameter) + " is below 0.5 cm, the narrowest port");
    if (o.flare > diameter)
        BadCommandLine("--flare: " + Fixed(o.flare, 1) + " cm is larger than the port, " +
                       Fixed(diameter, 1) + " cm across");
    return RoundPort(diameter, o.ports, o.flare);
}

// A slot lies along a panel of the box the volume makes in the golden proportions.
void CheckSlot(const PortShape& slot, double litres)
{
    const BoxSize inside = SizeForLitres(litres, GOLDEN_PROPORTION);
    if (slot.height >= inside.height || slot.width > inside.width)
        BadCommandLine("--slot: " + Fixed(slot.height, 1) + " x " + Fixed(slot.width, 1) +
                       " cm does not fit the inside of " + Fixed(inside.height, 1) + " x " +
                       Fixed(inside.width, 1) + " cm that " + Fixed(litres, 1) +
                       " l makes (H x W, golden proportions)");
}

std::string ShapeLines(const PortShape& port)
{
    if (port.kind == PortShape::SLOT)
        return "Port slot: " + Fixed(port.height, 1) + " x " + Fixed(port.width, 1) +
               " cm along a panel\n";
    std::string out = "Port diameter: " + Fixed(port.diameter, 1) + " cm\n";
    if (port.flare > 0)
        out += "Flared ends: " + Fixed(port.flare, 1) + " cm radius\n";
    return out;
}

}  // namespace

void DeclarePort(CLI::App& command, PortOptions& o)
{
    command.add_option("FILE", o.file, "the speaker file")->required();
    CLI::Option* diameter =
        command.add_option("--diameter", o.diameter, "port diameter, cm")
            ->check(Positive(100, " cm"));
    CLI::Option* ports =
        command.add_option("--ports", o.ports,
                           "1 to 4 ports, the counts the Port dialog offers (1)")
            ->check(CLI::Range(1, 4));
    CLI::Option* slot =
        command.add_option("--slot", o.slot, "a slot along a panel instead, HEIGHTxWIDTH cm");
    slot->excludes(diameter)->excludes(ports);
    command.add_option("--flare", o.flare, "the radius of the rounding at each end, cm")
        ->check(Positive(100, " cm"))
        ->excludes(slot);
    // The largest drivers made have some 2,000 cm2 and 50 mm.
    CLI::Option* sd = command.add_option("--sd", o.sd, "the driver's cone area Sd, cm2")
                          ->check(Positive(10000, " cm2"));
    CLI::Option* xmax =
        command.add_option("--xmax", o.xmax, "the driver's linear excursion Xmax (one way), mm")
            ->check(Positive(100, " mm"));
    sd->needs(xmax);
    xmax->needs(sd);
    DeclareSystem(command, o.system, SYSTEM_SETUP);
    command.footer(command.get_footer() + "\n\n" + RULE);
}

int RunPort(const PortOptions& o)
{
    const PortShape port = ShapeOf(o);
    const double diameter = port.diameter;
    const Speaker s = LoadSpeakerFile(o.file);
    const DriverSheet sheet = LoadSheet(o.file);
    const double sd = Given("--sd", o.sd, sheet.value[SHEET_SD]);
    const double xmax = Given("--xmax", o.xmax, sheet.value[SHEET_XMAX]);
    const CompletedSystem set = SystemOfSheet(o.file, s, sheet, o.system, 0);
    // The cones of the set move the port's air together.
    const double setSd = sd * set.system.drivers;
    const std::string setWords =
        setSd != sd && sd > 0 ? ", the set's Sd " + Fixed(setSd, 1) + " cm2" : "";
    const double length = TunedLength(port, s.ported);
    if (!std::isfinite(length))
        BadData(o.file + ": the Port dialog shows --- : ported.volume is " +
                Brief(s.ported.volume) + " and ported.fb " + Brief(s.ported.fb) +
                ", and both must be other than 0");
    if (port.kind == PortShape::SLOT)
        CheckSlot(port, s.ported.volume);
    std::string out = set.line + o.file + ": ported box, " + Fixed(s.ported.volume, 1) +
                      " l tuned to " + Fixed(s.ported.fb, 1) + " Hz\n" + ShapeLines(port) + "Port length: " +
                      Fixed(length, 1) + " cm\nUse " +
                      (port.kind == PortShape::SLOT ? "1 slot" : PortsWord(o.ports)) + "\n";
    if (length < 0)
        out += "NOTE: If the length < 0 then you should increase the diameter\n";
    else
        out += PipeResonanceLine(PipeResonance(port, length));
    if (port.kind == PortShape::SLOT)
        return Printed(out);
    return Printed(out + SmallestPort(o, s.ported.fb, diameter, setSd, xmax, setWords));
}
