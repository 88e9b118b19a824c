#include "CommandTable.h"

#include "commands/Build.h"
#include "commands/Chart.h"
#include "commands/Limits.h"
#include "commands/Report.h"
#include "commands/Edit.h"
#include "commands/Fit.h"
#include "commands/Import.h"
#include "commands/Optimize.h"
#include "commands/Port.h"
#include "commands/Response.h"
#include "commands/Show.h"

namespace {

const Command COMMANDS[] = {
    {"show",
     "Every field of speaker files, the true Q and resonance of the sealed volume, and the F3 "
     "of both designs",
     "spktool show woofer.spk --csv", Bind<ShowOptions, DeclareShow, RunShow>},
    {"new",
     "Write a new speaker file; each value must be a number as a whole, of at most the 9 "
     "characters a field takes",
     "spktool new woofer.spk model=\"Woofer 10\" qts=0.35 vas=100 fs=30",
     Bind<EditOptions, DeclareNew, RunNew>},
    {"set", "Change fields of a speaker file",
     "spktool set woofer.spk ported.volume=60 ported.fb=35", Bind<EditOptions, DeclareSet, RunSet>},
    {"import",
     "One speaker file per driver from a CSV table, WinISD .wdr files, a qspeakers XML "
     "database or Boxed JSON files (or a folder of .wdr and .json files)",
     "spktool import drivers.csv --out speakers", Bind<ImportRequest, DeclareImport, RunImport>},
    {"response",
     "The levels at 1 to 299 Hz as the program stores them, with F3, F6, F10 and the peak",
     "spktool response woofer.spk --ported --frd > woofer.frd",
     Bind<ResponseOptions, DeclareResponse, RunResponse>},
    {"optimize", "The box the Optimize button proposes, and the textbook sealed box for a Qtc",
     "spktool optimize woofer.spk --sealed --qtc 0.6",
     Bind<OptimizeOptions, DeclareOptimize, RunOptimize>},
    {"port",
     "The port length of the Port dialog, and the smallest port diameter for a driver's "
     "excursion",
     "spktool port woofer.spk --diameter 10 --ports 2 --sd 330 --xmax 6",
     Bind<PortOptions, DeclarePort, RunPort>},
    {"limits",
     "Per hertz the SPL at 1 m for a power, the cone excursion, the port air speed, the group "
     "delay, the impedance (with the sheet's Le) and the power that reaches Xmax, from the driver sheet",
     "spktool limits woofer.spk --ported --power 100 --diameter 10 --ports 2",
     Bind<LimitsOptions, DeclareLimits, RunLimits>},
    {"chart",
     "The graph window's chart of up to three designs, in red, green and blue, as an SVG "
     "picture or a Windows bitmap",
     "spktool chart woofer.spk woofer.spk:ported -o woofer.svg",
     Bind<ChartOptions, DeclareChart, RunChart>},
    {"build",
     "The box a design needs: its volume with the driver, ports and bracing inside, its size, "
     "a cut list and whether the port and the driver fit",
     "spktool build woofer.spk --ported --diameter 10 --ports 1 --panel 18",
     Bind<BuildOptions, DeclareBuild, RunBuild>},
    {"report",
     "The whole design of speaker files on one page to look at, print or share: the driver, "
     "both boxes, their charts, the limits at a power and the boxes to build (a file dropped "
     "on spktool.exe gets one too)",
     "spktool report woofer.spk -o woofer.htm", Bind<ReportOptions, DeclareReport, RunReport>},
    {"fit",
     "A driver's Re, Fs, Qms, Qes and inductance fitted to its measured impedance curve, with "
     "a second curve for Mms, Cms, Bl and Vas, and a speaker file of them",
     "spktool fit free.zma --mass 10 added.zma --sd 220 -o woofer.spk",
     Bind<FitOptions, DeclareFit, RunFit>},
};

}  // namespace

std::span<const Command> Commands()
{
    return COMMANDS;
}
