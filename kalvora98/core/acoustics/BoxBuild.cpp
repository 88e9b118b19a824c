#include "acoustics/BoxBuild.h"

#include <cmath>

#include "acoustics/Figures.h"
#include "acoustics/PortLength.h"
#include "numbers/Elementary.h"
#include "numbers/Units.h"

double PortInsideLength(double length, double panelMm)
{
    const double inside = length - panelMm / 10;
    return inside > 0 ? inside : 0;
}

double PortDisplacement(double diameter, double wallMm, double length, double panelMm,
                        int ports)
{
    const double outer = diameter + 2 * wallMm / 10;
    return ports * PI * outer * outer / 4 * PortInsideLength(length, panelMm) / 1000;
}

BoxSize SizeInProportion(double volume, BoxSize proportion)
{
    // Pow, not cbrt, so that every build rounds the cube root alike.
    const double scale = Pow(volume / VolumeOf(proportion), 1.0 / 3);
    return {proportion.height * scale, proportion.width * scale, proportion.depth * scale};
}

BoxSize InsideOf(BoxSize outside, double panel)
{
    return {outside.height - 2 * panel, outside.width - 2 * panel, outside.depth - 2 * panel};
}

BoxSize OutsideOf(BoxSize inside, double panel)
{
    return InsideOf(inside, -panel);
}

double VolumeOf(BoxSize size)
{
    return size.height * size.width * size.depth;
}

CutList CutListOf(BoxSize inside, double panel)
{
    const double width = inside.width + 2 * panel, height = inside.height + 2 * panel;
    CutList list = {{width, height}, {inside.depth, inside.height}, {width, inside.depth}, 0};
    for (const PanelPair& pair : {list.frontBack, list.sides, list.topBottom})
        list.area += 2 * pair.first * pair.second;
    return list;
}

long long Sixteenths(double inches)
{
    return static_cast<long long>(std::floor(inches * 16 + 0.5));
}

double DepthForPort(double insideLength, double diameter)
{
    return insideLength + diameter;
}

bool FittingPorts(const Ported& box, double ventArea, int ports, double diameter,
                  double depth, double panelMm, int& fitPorts, double& fitDiameter,
                  double& fitLength)
{
    for (int n = 1; n <= ports; ++n) {
        // A whole millimetre up, so that the printed diameter is never below the rule.
        const double smallest = std::ceil(PortDiameterForArea(ventArea, n) * 10) / 10;
        if (smallest > diameter)
            continue;
        const double length = PortLength(box, smallest, n);
        if (length >= 0 && DepthForPort(PortInsideLength(length, panelMm), smallest) <= depth) {
            fitPorts = n;
            fitDiameter = smallest;
            fitLength = length;
            return true;
        }
    }
    return false;
}
