#include "commands/Port.h"

#include <cmath>

#include "CommandLine.h"
#include "Failure.h"
#include "Output.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "acoustics/Figures.h"
#include "acoustics/PortLength.h"

namespace {

const char RULE[] =
    "The smallest port diameter follows Small's vent-area rule for a vented box at full\n"
    "excursion: all ports together need Sv >= 0.8 x Fb x VD, with Sv in m2, Fb in Hz and\n"
    "VD = Sd x Xmax in m3 (R. H. Small, \"Vented-Box Loudspeaker Systems\", J. Audio Eng.\n"
    "Soc. 21, 1973). --sd is in cm2 and --xmax in mm, as data sheets give them.";

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
                         double xmax)
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
                      " cm2 = 0.8 x Fb x Sd x Xmax)\n";
    if (diameter < smallest)
        out += "Warning: " + Fixed(diameter, 1) + " cm is smaller: the port" +
               (o.ports == 1 ? "" : "s") + " may be heard at full excursion\n";
    return out;
}

}  // namespace

void DeclarePort(CLI::App& command, PortOptions& o)
{
    command.add_option("FILE", o.file, "the speaker file")->required();
    command.add_option("--diameter", o.diameter, "port diameter, cm")
        ->required()
        ->check(Positive(100, " cm"));
    command.add_option("--ports", o.ports, "1 to 4 ports, the counts the Port dialog offers (1)")
        ->check(CLI::Range(1, 4));
    // The largest drivers made have some 2,000 cm2 and 50 mm.
    CLI::Option* sd = command.add_option("--sd", o.sd, "the driver's cone area Sd, cm2")
                          ->check(Positive(10000, " cm2"));
    CLI::Option* xmax =
        command.add_option("--xmax", o.xmax, "the driver's linear excursion Xmax (one way), mm")
            ->check(Positive(100, " mm"));
    sd->needs(xmax);
    xmax->needs(sd);
    command.footer(command.get_footer() + "\n\n" + RULE);
}

int RunPort(const PortOptions& o)
{
    // The Diameter field reads any text; here it must be a number.
    if (!IsTypedNumber(o.diameter) ||
        o.diameter.size() > static_cast<std::size_t>(TYPED_NUMBER_CHARS))
        BadCommandLine("--diameter: " + Quoted(o.diameter) +
                       " is not a number of at most 9 characters");
    const double diameter = ReadNumber(o.diameter.c_str());
    const Speaker s = LoadSpeakerFile(o.file);
    const DriverSheet sheet = LoadSheet(o.file);
    const double sd = Given("--sd", o.sd, sheet.value[SHEET_SD]);
    const double xmax = Given("--xmax", o.xmax, sheet.value[SHEET_XMAX]);
    const double length = PortLength(s.ported, diameter, o.ports);
    if (!std::isfinite(length))
        BadData(o.file + ": the Port dialog shows --- : ported.volume is " +
                Brief(s.ported.volume) + " and ported.fb " + Brief(s.ported.fb) +
                ", and both must be other than 0");
    std::string out = o.file + ": ported box, " + Fixed(s.ported.volume, 1) + " l tuned to " +
                      Fixed(s.ported.fb, 1) + " Hz\nPort diameter: " + Fixed(diameter, 1) +
                      " cm\nPort length: " + Fixed(length, 1) + " cm\nUse " +
                      PortsWord(o.ports) + "\n";
    if (length < 0)
        out += "NOTE: If the length < 0 then you should increase the diameter\n";
    return Printed(out + SmallestPort(o, s.ported.fb, diameter, sd, xmax));
}
