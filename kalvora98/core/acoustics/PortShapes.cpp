#include "acoustics/PortShapes.h"

#include <cmath>

#include "acoustics/PortLength.h"
#include "numbers/Units.h"

namespace {

// The Port dialog's relation, acoustic length = 23562.5 d² n / (fb² V), per cm² of
// area: the same air, so a plain round port tunes alike through either.
constexpr double TUNING = 23562.5 * 4 / PI;

// The radiation mass of an end as a length in radii. A port's outer end is flush with
// the front, an end in an infinite baffle: 0.85 r (L. L. Beranek, "Acoustics", 1954,
// and R. H. Small, "Vented-Box Loudspeaker Systems", JAES 21, 1973). Its inner end is
// a pipe's end in free air: Levine and Schwinger's 0.613 r (Phys. Rev. 73, 1948),
// rounded here so that the two make the Port dialog's 0.732 d.
constexpr double FLANGED_END = 0.85;
constexpr double FREE_END = 1.464 - FLANGED_END;

// The speed of sound for the pipe resonance, cm/s: 343 m/s in air at 20 °C (L. E.
// Kinsler et al., "Fundamentals of Acoustics").
constexpr double SOUND_CM_PER_S = 34300;

constexpr double CUBIC_CM_PER_LITRE = 1000;
constexpr int FLARE_STEPS = 200;  // Simpson's rule, even

// A flare rounds the port's end into the panel along a quarter circle of radius R, from
// the bore r at its throat to r + R at its mouth. Its acoustic mass, as a length of
// the bore's area, is the integral of r² / a(x)² along it (Beranek: the mass of a duct
// of varying section), here over t = tan(θ/2) of the quarter circle, which makes the
// integrand rational and so the same on every build.
double FlareMassLength(double r, double R)
{
    const auto f = [&](double t) {
        const double d = r * (1 + t * t) + 2 * R * t * t;
        return 2 * r * r * R * (1 - t * t) / (d * d);
    };
    const double h = 1.0 / FLARE_STEPS;
    double sum = f(0) + f(1);
    for (int i = 1; i < FLARE_STEPS; ++i)
        sum += (i % 2 == 1 ? 4 : 2) * f(i * h);
    return sum * h / 3;
}

// The room a flare's outside takes, cm³: the quarter circle turned round the axis at
// a distance q = r + wall + R from its centre, integrated in closed form.
double FlareVolume(double r, double wall, double R)
{
    const double q = r + wall + R;
    return PI * (q * q * R - q * PI * R * R / 2 + 2 * R * R * R / 3);
}

// A slot's cross-section of air and wood, cm²: its broad walls over its width and
// the uprights beside it, each of the panel's thickness.
double SlotSection(const PortShape& slot, int broad, double panel)
{
    const int uprights = slot.walls - 1;
    return slot.height * slot.width + broad * panel * (slot.width + uprights * panel) +
           uprights * panel * slot.height;
}

double RoundVolume(const PortShape& port, double inside, double wall)
{
    const double r = port.diameter / 2, outer = r + wall, R = port.flare;
    if (R <= 0)
        return port.ports * PI * outer * outer * inside;
    const double flare = FlareVolume(r, wall, R);
    if (inside < R)
        return port.ports * flare * inside / R;
    return port.ports * (PI * outer * outer * (inside - R) + flare);
}

}  // namespace

PortShape RoundPort(double diameter, int ports, double flare)
{
    return {PortShape::ROUND, diameter, flare, 0, 0, 0, ports};
}

PortShape SlotPort(double height, double width, int walls)
{
    return {PortShape::SLOT, 0, 0, height, width, walls, 1};
}

double NarrowestArea(const PortShape& port)
{
    if (port.kind == PortShape::SLOT)
        return port.height * port.width;
    return port.ports * PI * port.diameter * port.diameter / 4;
}

double PortSize(const PortShape& port)
{
    return port.kind == PortShape::SLOT ? port.height : port.diameter;
}

double EndCorrection(const PortShape& port)
{
    if (port.kind == PortShape::SLOT) {
        // The panel a slot lies along is a mirror to its air (the image-source argument):
        // it radiates as a slot of twice its height, here as the round end of that area.
        const double radius = std::sqrt(2 * port.height * port.width / PI);
        return (FLANGED_END + FREE_END) * radius;
    }
    const double r = port.diameter / 2, R = port.flare;
    if (R <= 0)
        return 0.732 * port.diameter;
    // Each flare's mass less its length, and both mouths' radiation at radius r + R
    // carried back to the bore's area by (r / (r + R))².
    const double mouth = r + R;
    return 2 * (FlareMassLength(r, R) - R) + (FLANGED_END + FREE_END) * r * r / mouth;
}

double TunedLength(const PortShape& port, const Ported& box)
{
    if (port.kind == PortShape::ROUND && port.flare <= 0)
        return PortLength(box, port.diameter, port.ports);
    const double each = NarrowestArea(port) / port.ports;
    return TUNING * each / (box.fb * box.fb * box.volume) - EndCorrection(port);
}

double TuningOf(const PortShape& port, double length, double litres)
{
    const double each = NarrowestArea(port) / port.ports;
    return std::sqrt(TUNING * each / (litres * (length + EndCorrection(port))));
}

PortPath FoldPort(BoxSize inside, double panelCm, double size, double length)
{
    // The centreline runs half a size off the bottom. The straight port's end keeps a
    // size from the back; a bend's outer side keeps a size from the panel ahead, so the
    // centreline turns 1.5 sizes short of it; the rising leg's end keeps a size from the
    // top; the third leg runs under the top back to a size from the front.
    const double straight = panelCm + inside.depth - size;
    const double first = panelCm + inside.depth - 1.5 * size;
    const double rise = inside.height - 1.5 * size;
    if (!(size > 0) || size > inside.width || first <= panelCm || !(length > 0))
        return {-1, {0, 0, 0}};
    if (length <= straight)
        return {0, {length, 0, 0}};
    if (rise > 0 && length - first <= rise)
        return {1, {first, length - first, 0}};
    // The second bend turns 1.5 sizes under the top; the third leg then clears the
    // first by a size when the box is three sizes high.
    const double twoRise = inside.height - 2 * size, back = inside.depth - 2.5 * size;
    if (inside.height >= 3 * size && back > 0 && length - first - twoRise <= back)
        return {2, {first, twoRise, length - first - twoRise}};
    return {-1, {0, 0, 0}};
}

double PortVolume(const PortShape& port, double length, double panelMm, double wallMm)
{
    const double panel = panelMm / 10, inside = length > panel ? length - panel : 0;
    if (port.kind == PortShape::SLOT)
        return SlotSection(port, 1, panel) * inside / CUBIC_CM_PER_LITRE;
    if (port.flare <= 0)
        return PortDisplacement(port.diameter, wallMm, length, panelMm, port.ports);
    return RoundVolume(port, inside, wallMm / 10) / CUBIC_CM_PER_LITRE;
}

double FoldedPortVolume(const PortShape& port, const PortPath& path, double panelMm,
                        double wallMm)
{
    const double first = PortVolume(port, path.legs[0], panelMm, wallMm);
    const double rest = path.legs[1] + path.legs[2];
    if (port.kind == PortShape::ROUND)
        return PortVolume(port, path.legs[0] + rest, panelMm, wallMm);
    return first + SlotSection(port, 2, panelMm / 10) * rest / CUBIC_CM_PER_LITRE;
}

double PipeResonance(const PortShape& port, double length)
{
    return SOUND_CM_PER_S / (2 * (length + EndCorrection(port)));
}

double PipeWarningHz(double crossover)
{
    constexpr double WOOFER_BAND_HZ = 300;
    return crossover > 0 ? 2 * crossover : WOOFER_BAND_HZ;
}

double AirSpeedOf(double speed, double measuredArea, double area)
{
    return speed * measuredArea / area;
}

namespace {

// A hair's room, cm, so that a box made exactly deep enough holds its port.
constexpr double TOLERANCE = 1e-9;

// What lies side by side across the inside width: round ports, or a slot's width.
double Across(const PortShape& port)
{
    return port.kind == PortShape::SLOT ? port.width : port.ports * port.diameter;
}

// A slot of the round ports' area along the bottom: across the inside width, or of the
// height asked for and as wide as that area needs, against a side panel.
void ShapeSlot(const PortRequest& r, double area, double width, PortShape& slot)
{
    if (r.slotHeight > 0) {
        slot = SlotPort(r.slotHeight, area / r.slotHeight, 2);
        if (slot.width >= width - TOLERANCE)
            slot.walls = 1;
        return;
    }
    slot = SlotPort(area / width, width, 1);
}

// The box around a port and the port in it: the port's room moves the gross volume,
// which moves the inside width and so a slot across it, and with it the port's length.
// A few rounds settle them.
PortProposal Settle(const PortBox& box, const PortRequest& r, PortShape port, int mostBends)
{
    const double area = NarrowestArea(RoundPort(r.diameter, r.ports));
    PortProposal p = {};
    p.port = port;
    double gross = box.design.volume + box.held;
    for (int round = 0; round < 100; ++round) {
        p.inside = box.proportion.height > 0 ? SizeForLitres(gross, box.proportion) : box.inside;
        if (port.kind == PortShape::SLOT)
            ShapeSlot(r, area, p.inside.width, p.port);
        p.length = TunedLength(p.port, box.design);
        p.path = FoldPort(p.inside, r.panel, PortSize(p.port), p.length);
        p.volume = p.path.bends > 0 ? FoldedPortVolume(p.port, p.path, r.panel * 10, r.wallMm)
                                    : PortVolume(p.port, p.length, r.panel * 10, r.wallMm);
        const double next = box.design.volume + box.held + p.volume;
        const bool settled = std::fabs(next - gross) <= 1e-12 * next;
        gross = next;
        if (settled)
            break;
    }
    p.gross = gross;
    p.fits = p.length >= 0 && p.path.bends >= 0 && p.path.bends <= mostBends &&
             Across(p.port) <= p.inside.width + TOLERANCE &&
             PortSize(p.port) < p.inside.height;
    return p;
}

// The round ports straight in a box of the proportion's height : width, as deep as
// they need and no deeper, at the same gross volume.
PortProposal Deeper(const PortBox& box, const PortRequest& r)
{
    PortProposal p = {};
    p.choice = PortProposal::DEEPER_BOX;
    p.port = RoundPort(r.diameter, r.ports);
    p.length = TunedLength(p.port, box.design);
    p.volume = PortVolume(p.port, p.length, r.panel * 10, r.wallMm);
    p.gross = box.design.volume + box.held + p.volume;
    const double depth =
        DepthForPort(PortInsideLength(p.length, r.panel * 10), r.diameter) + TOLERANCE;
    const double face = p.gross * 1000 / depth;
    const double width = std::sqrt(face * box.proportion.width / box.proportion.height);
    p.inside = {face / width, width, depth};
    p.path = FoldPort(p.inside, r.panel, r.diameter, p.length);
    p.fits = box.proportion.height > 0 && p.length >= 0 && p.path.bends == 0 &&
             Across(p.port) <= width && r.diameter < p.inside.height;
    return p;
}

PortProposal Chosen(PortProposal p, PortProposal::Choice choice)
{
    p.choice = p.fits ? choice : PortProposal::NONE;
    return p;
}

PortProposal Forced(const PortBox& box, const PortRequest& r, PortShape slot)
{
    const PortShape round = RoundPort(r.diameter, r.ports);
    if (r.shape == PortRequest::ROUND) {
        PortProposal p = Settle(box, r, round, 0);
        p.choice = PortProposal::ROUND_STRAIGHT;
        return p;
    }
    if (r.shape == PortRequest::BENT)
        return Chosen(Settle(box, r, round, 2), PortProposal::ROUND_BENT);
    const PortProposal p = Settle(box, r, slot, 2);
    return Chosen(p, p.path.bends == 0 ? PortProposal::SLOT_STRAIGHT : PortProposal::SLOT_BENT);
}

}  // namespace

PortProposal ProposePort(const PortBox& box, const PortRequest& r)
{
    const PortShape round = RoundPort(r.diameter, r.ports), slot = SlotPort(0, 0, 1);
    if (r.shape != PortRequest::ANY)
        return Forced(box, r, slot);
    const PortProposal tries[] = {
        Chosen(Settle(box, r, round, 0), PortProposal::ROUND_STRAIGHT),
        Chosen(Settle(box, r, slot, 0), PortProposal::SLOT_STRAIGHT),
        Chosen(Settle(box, r, slot, 1), PortProposal::SLOT_BENT),
        Chosen(Settle(box, r, round, 1), PortProposal::ROUND_BENT),
        Chosen(Deeper(box, r), PortProposal::DEEPER_BOX)};
    for (const PortProposal& p : tries)
        if (p.fits)
            return p;
    return tries[0];
}

double SmallestHoldingBox(const PortBox& box, const PortRequest& request)
{
    PortBox larger = box;
    if (!(larger.proportion.height > 0))
        larger.proportion = box.inside;
    const auto holds = [&](double litres) {
        larger.design.volume = litres;
        return ProposePort(larger, request).fits;
    };
    const double most = 10 * box.design.volume;
    double low = box.design.volume, high = low;
    while (!holds(high)) {
        if (high >= most)
            return 0;
        low = high;
        high = std::fmin(high * 1.25, most);
    }
    while (high - low > 0.1) {
        const double middle = (low + high) / 2;
        (holds(middle) ? high : low) = middle;
    }
    return high;
}
