// spktool limits: how loud a design plays for a power and where it gives up.
#pragma once
#include <string>

#include "Output.h"
#include "SystemOptions.h"
#include "acoustics/Limits.h"
#include "record/DriverSheet.h"

namespace CLI {
class App;
}

// The design in the system of `o`; its `diameter` (cm) and `ports` are those of a ported
// box, 0 for a sealed one.
std::string LimitsCommand(const std::string& file, bool ported, const SystemOptions& o,
                          Format format);
// One driver at `power` W in half space, without Le.
std::string LimitsCommand(const std::string& file, bool ported, double power, double diameter,
                          int ports, Format format);

// What the curves need beyond the speaker file, or bad data in one line that names what
// is missing and how to give it.
LimitsDriver SheetDriver(const std::string& file, const Speaker& s, const DriverSheet& sheet);

// The sheet's values the curves need (`d` of one driver, its Pe) and the curves of the
// design in the system of `o`, for `limits` and for the charts of them; bad data ends
// the command with a line naming the file. `o` comes back as the sheet completes it.
void LoadSystemLimits(const std::string& file, const Speaker& s, bool ported,
                      SystemOptions& o, LimitsDriver& d, double& pe, System& system,
                      Limits& l);
// One driver at `power` W in half space, without Le.
void LoadLimits(const std::string& file, const Speaker& s, bool ported, double power,
                double diameter, int ports, LimitsDriver& d, double& pe, Limits& l);

// The loudest level the design keeps from its F3 up within Xmax and the set's Pe
// (`setPe`), or within Xmax alone when Pe is not known, and the limit that sets it:
// "112.3 dB, limited at 31 Hz by Xmax"; "" when the response never reaches -3 dB.
std::string LoudestText(const Limits& l, double setPe);

// "System: 2 drivers in parallel, Re 2.80 ohm; 60.0 W; ..." and a line end: the words
// that name the system in the first lines of every command's output. `setRe` and
// `setLe` are the set's (EquivalentDriver); an unknown Re and a drive of 0 W are left out.
std::string SystemLine(const SystemOptions& o, const System& system, double setRe,
                       double setLe);

// The system of `given` as `file`'s sheet completes it, for a command that computes no
// limits: the options, the core's System at `power` W (unless --volts), the set as the
// one driver it acts as, and its SystemLine ("" when no system option is given).
struct CompletedSystem {
    SystemOptions options;
    System system;
    DriverSet set;
    std::string line;
};
CompletedSystem SystemOfSheet(const std::string& file, const Speaker& s, const DriverSheet& sheet,
                          const SystemOptions& given, double power);

// The power a system option asks for: --power, else the sheet's Pe (each driver's, so
// the set's is Pe times the drivers), else 1 W; `note` says which ("250.0 W, the
// driver's Pe").
double SystemPower(const SystemOptions& system, const DriverSheet& sheet, std::string& note);

// The power a quiet port of the ported design is sized for at `power` (PortSizingPower),
// in words after "at": "136.1 W, the most the cone takes within Xmax near the tuning".
// False when the sheet does not give what the design's curves need. The cones are those
// of `system`'s set (EquivalentDriver).
bool SizingPower(const Speaker& s, const DriverSheet& sheet, double power, PortPower& sized,
                 std::string& words, const System& system = System());

// `system` as a quiet port is sized in: `watts` into the set's Re through its source and
// filters, the coil taken without its inductance.
System SizingSystem(System system, double watts);

struct LimitsOptions {
    std::string file;
    bool sealed = false, ported = false, csv = false, json = false;
    CsvForm form;
    SystemOptions system;
};
void DeclareLimits(CLI::App& command, LimitsOptions& o);
int RunLimits(const LimitsOptions& o);
