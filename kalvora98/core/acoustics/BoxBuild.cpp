#include "acoustics/BoxBuild.h"

#include <cmath>

#include "acoustics/Figures.h"
#include "acoustics/PortLength.h"
#include "numbers/Elementary.h"
#include "numbers/Units.h"

namespace {

constexpr double CUBIC_CM_PER_LITRE = 1000;
constexpr double SQUARE_CM_PER_SQUARE_METRE = 10000;
constexpr double SQUARE_INCHES_PER_SQUARE_FOOT = 144;
// Beyond 2^58 inches the sixteenths no longer fit a long long; a double has no
// fraction of an inch there anyway.
constexpr double LONGEST_TAPE_INCHES = 288230376151711744.0;

}  // namespace

double GrossVolume(double net, HeldVolumes held)
{
    return net + held.driver + held.ports + held.brace;
}

double NetVolume(double gross, HeldVolumes held)
{
    return gross - held.driver - held.ports - held.brace;
}

double PercentFrom(double built, double design)
{
    return (built - design) / design * 100;
}

double PortHoleDiameter(double diameter, double wallMm)
{
    return diameter + 2 * wallMm / 10;
}

double PortInsideLength(double length, double panelMm)
{
    const double inside = length - panelMm / 10;
    return inside > 0 ? inside : 0;
}

double PortDisplacement(double diameter, double wallMm, double length, double panelMm,
                        int ports)
{
    const double outer = PortHoleDiameter(diameter, wallMm);
    return ports * PI * outer * outer / 4 * PortInsideLength(length, panelMm) /
           CUBIC_CM_PER_LITRE;
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

BoxSize SizeForLitres(double litres, BoxSize proportion)
{
    return SizeInProportion(litres * CUBIC_CM_PER_LITRE, proportion);
}

double LitresOf(BoxSize size)
{
    return VolumeOf(size) / CUBIC_CM_PER_LITRE;
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

TapeInches OnTape(double cm)
{
    const double inches = cm / CM_PER_INCH;
    if (!(inches < LONGEST_TAPE_INCHES && inches > -LONGEST_TAPE_INCHES))
        return {inches, 0, 16};
    const long long sixteenths = Sixteenths(inches);
    TapeInches tape = {static_cast<double>(sixteenths / 16),
                       static_cast<int>(sixteenths % 16), 16};
    while (tape.part != 0 && tape.part % 2 == 0) {
        tape.part /= 2;
        tape.of /= 2;
    }
    return tape;
}

double CubicFeet(double litres)
{
    return litres / LITRES_PER_CUBIC_FOOT;
}

double SquareFeet(double cm2)
{
    return cm2 / (CM_PER_INCH * CM_PER_INCH * SQUARE_INCHES_PER_SQUARE_FOOT);
}

double SquareMetres(double cm2)
{
    return cm2 / SQUARE_CM_PER_SQUARE_METRE;
}

Fit FitOf(double size, double room)
{
    return {size <= room, room - size};
}

namespace {

Fit FitAcross(double diameter, BoxSize face)
{
    return FitOf(diameter, face.height < face.width ? face.height : face.width);
}

}  // namespace

DriverFit DriverFitOf(double cutout, double frame, double depth, BoxSize inside,
                      double panel)
{
    return {FitAcross(cutout, inside), FitAcross(frame, OutsideOf(inside, panel)),
            FitOf(depth, inside.depth)};
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
