// spktool response: the levels of a design at 1 to 299 Hz, as the program stores them
// or unrounded, with the corners and the peak of the curve.
#pragma once
#include <string>

#include "Output.h"
#include "acoustics/Figures.h"
#include "record/Speaker.h"

namespace CLI {
class App;
}

struct ResponseOptions {
    std::string file;
    bool sealed = false, ported = false, exact = false, csv = false, frd = false;
    CsvForm form;
};
void DeclareResponse(CLI::App& command, ResponseOptions& o);
int RunResponse(const ResponseOptions& o);

// "F3 …, F6 …, F10 …, peak …" (or "…, no peak") of a design as `response` prints it, or
// "none: " and why.
std::string DesignFigures(const Speaker& s, bool ported);

// The F3 of a design that has a response (see Unusable).
Crossing F3Of(const Speaker& s, bool ported);

// The F3 of the closed box that the sealed volume makes (ClosedBoxLevels), which
// `limits` finds too; false when the volume makes none.
bool BoxF3Of(const Speaker& s, Crossing& f3);

// "below 1 Hz", "37.5 Hz" or "above 299 Hz".
std::string CrossingText(const Crossing& c);
