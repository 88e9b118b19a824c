// A driver's measured impedance on its page: NAME.zma beside NAME.spk, drawn with the
// designs' impedance and fitted when the page is written, so that the driver table can
// say which of the sheet's values the measurement bears out.
#pragma once
#include <string>
#include <vector>

#include "acoustics/ImpedanceFit.h"
#include "commands/Show.h"

struct MeasuredCurve {
    std::string path;  // the curve's file as found beside the speaker file; "" for none
    ImpedanceCurve curve;
    ImpedanceFit fit;
};

// The curve beside the speaker file `file` (its base name, ".zma" in any case) and its
// fit; none when there is no such file, and none with one warning when it cannot be read
// or fitted: a page never fails for a curve.
MeasuredCurve MeasuredBeside(const std::string& file);

// `lines` as `show` prints them, each value that the fit gives to the digits printed
// marked "(fitted, N.N % r.m.s.)", and a line naming the curve and its fit.
std::vector<ShownLine> MarkFitted(const std::vector<ShownLine>& lines, const MeasuredCurve& m);

// A design drawn on the page's impedance chart: the box, its ports and its colour there.
struct ModelDesign {
    bool ported;
    double diameter;  // cm, of each port
    int ports;
    int colour;  // in CHART_CURVE_COLOURS
};

// The page's impedance chart of the designs of `file` (one driver, its sheet's Le and
// L2 with R2 in the coil when the sheet gives them) with the measured magnitude beside
// them, dashed in a colour of its own and named in the title lines.
std::string MeasuredImpedanceSvg(const std::string& file, const std::vector<ModelDesign>& designs,
                                 const MeasuredCurve& m, int width, int height);
