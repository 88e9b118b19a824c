// spktool chart: the graph window's chart as a picture, drawn from the same geometry
// (chart/Chart.h) as the window itself, with up to three designs.
#pragma once
#include <string>
#include <vector>

#include "SystemOptions.h"

namespace CLI {
class App;
}

// A quantity of `spktool limits` to draw instead of the levels: "spl", "excursion",
// "port-speed", "group-delay" or "impedance", or "" for the level chart; with the power
// and the ports of a ported box (0 is "not given").
struct PlotRequest {
    std::string quantity;
    SystemOptions system;
};

// `designs` are "FILE", "FILE:sealed" or "FILE:ported" (sealed when not said, as Open
// shows it); `size` is "WxH" of the chart without its title lines, or "" for the graph
// window's default. Writes an SVG, or a 24-bit Windows bitmap with `bmp`, to `out`
// and returns what goes to standard output.
std::string ChartCommand(const std::vector<std::string>& designs, const std::string& out,
                         const std::string& size, bool bmp, bool force,
                         const PlotRequest& plot);

// The same chart as an SVG element, without the XML declaration, to be placed in a page.
// `colours` gives each design its colour (0 red, 1 green, 2 blue), so that a design
// keeps it on every chart of the page whichever designs a chart leaves out; by default
// the designs take them in turn.
std::string ChartSvg(const std::vector<std::string>& designs, int width, int height,
                     const PlotRequest& plot, const std::vector<int>& colours = {});

struct ChartOptions {
    std::vector<std::string> designs;
    std::string out, size;
    bool bmp = false, force = false;
    PlotRequest plot;
};
void DeclareChart(CLI::App& command, ChartOptions& o);
int RunChart(const ChartOptions& o);
