#include "page/Measured.h"

#include <cmath>

#include "Failure.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "acoustics/Limits.h"
#include "chart/Plot.h"
#include "commands/Limits.h"
#include "numbers/Elementary.h"
#include "numbers/NumberStrings.h"
#include "pictures/Pictures.h"
#include "platform/Files.h"

namespace {

// Purple, dashed and dotted: none of the designs' red, green and blue, nor the limits'
// orange, and told apart from them in print without colour.
constexpr ChartColour MEASURED_COLOUR = {128, 0, 160};
const char MEASURED_DASHES[] = "8 3 2 3";

// A file as the page names it, without the writer's folders.
std::string NameOf(const std::string& path)
{
    return path.substr(path.find_last_of("/\\") + 1);
}

// The speaker file's name without its folders and ".spk", as the sheet's is.
std::string BaseName(const std::string& file)
{
    const std::string name = NameOf(file);
    const std::size_t dot = name.rfind('.');
    return dot != std::string::npos && Lower(name.substr(dot)) == ".spk" ? name.substr(0, dot)
                                                                          : name;
}

// NAME.zma beside NAME.spk, with the ending in whatever case the measuring program
// wrote it; the folder is listed, as a POSIX file system tells the cases apart.
std::string CurveBeside(const std::string& file)
{
    const std::size_t slash = file.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : file.substr(0, slash + 1);
    const std::string base = BaseName(file);
    for (const std::string& name : FilesEndingIn(folder.empty() ? "." : folder, ".zma"))
        if (name.size() == base.size() + 4 && name.compare(0, base.size(), base) == 0)
            return folder + name;
    return "";
}

// A sheet value's first word as printed, if the fit gives the same digits.
bool AgreesToDigits(const std::string& printed, double fitted)
{
    const std::string number = printed.substr(0, printed.find(' '));
    if (number.empty() || number.find_first_not_of("-0123456789.") != std::string::npos ||
        !std::isfinite(fitted))
        return false;
    const std::size_t point = number.find('.');
    const int decimals =
        point == std::string::npos ? 0 : static_cast<int>(number.size() - point - 1);
    return Fixed(fitted, decimals) == number;
}

// Whether the fit gives a line's value to the digits printed. Vas, Sd and the others
// need more than an impedance; Le is either the lossy model's or the plain one,
// whichever the sheet was written from.
bool FitBearsOut(const ShownLine& line, const ImpedanceFit& fit)
{
    const DriverImpedance& d = fit.driver;
    const struct {
        const char* name;
        double value;
    } fitted[] = {{"re", d.re},         {"fs", d.fs},
                  {"qms", d.qms},       {"qes", d.qes},
                  {"qts", fit.qts},     {"le", d.le * 1e3},
                  {"le", fit.simpleLe * 1e3}, {"l2", d.l2 * 1e3},
                  {"r2", d.r2}};
    for (const auto& f : fitted)
        if (line.name == f.name && AgreesToDigits(line.value, f.value))
            return true;
    return false;
}

// The path as the warnings name it, then one line for why the curve is left off.
void LeaveOff(const std::string& path, const std::string& why)
{
    Warn(path + ": not drawn on the page: " + why);
}

// One driver's impedance in the design `m`, in half space, with the coil the sheet
// gives: `coil` 0 a plain Re, 1 with Le, 2 with L2 and R2 too. False when the sheet
// cannot draw it.
bool ModelImpedance(const std::string& file, const Speaker& s, const ModelDesign& m,
                    int& coil, Limits& l)
{
    try {
        const LimitsDriver d = SheetDriver(file, s, LoadSheet(file));
        System system;
        system.useLe = d.le > 0 && std::isfinite(d.le);
        coil = system.useLe ? HasLossyCoil(d) ? 2 : 1 : 0;
        return ComputeSystemLimits(s, m.ported, d, system, m.diameter, m.ports, l);
    } catch (const Failure&) {
        return false;
    }
}

// As the chart command titles a design.
std::string DesignTitle(const std::string& file, const Speaker& s, bool ported)
{
    const std::string name = s.model[0] ? FromWindows1252(s.model) : file;
    const double volume = ported ? s.ported.volume : s.sealed.volume;
    const double fb = ported ? s.ported.fb : s.sealed.fb;
    return name + (ported ? ": ported box, " : ": sealed box, ") + Fixed(volume, 1) +
           " l, Fb " + Fixed(fb, 1) + " Hz";
}

// The measured points on the plot's axes, 1 to HIGHEST_HZ, as one SVG polyline.
std::string MeasuredLine(const PlotTable& t, const ImpedanceCurve& curve)
{
    std::string points;
    const double span = t.scale.high - t.scale.low;
    for (const ImpedancePoint& p : curve.points) {
        if (!(p.hz >= LOWEST_HZ && p.hz <= HIGHEST_HZ))
            continue;
        const double x = t.left + (t.right - t.left) * Log10(p.hz) / Log10(HIGHEST_HZ);
        double y = t.bottom - (p.ohm - t.scale.low) / span * (t.bottom - t.top);
        y = y < t.top ? t.top : y > t.bottom ? t.bottom : y;
        points += (points.empty() ? "" : " ") + Fixed(x, 1) + "," + Fixed(y, 1);
    }
    return "<polyline fill=\"none\" stroke=\"#8000a0\" stroke-width=\"" +
           std::to_string(CHART_CURVE_WIDTH) + "\" stroke-dasharray=\"" + MEASURED_DASHES +
           "\" stroke-linejoin=\"round\" points=\"" + points + "\"/>\n";
}

// The highest of the curves on the grid and of the measured points on the axis.
double Highest(const std::vector<const double*>& curves, const ImpedanceCurve& measured)
{
    double high = 0;
    for (const double* curve : curves)
        for (int f = LOWEST_HZ; curve && f <= HIGHEST_HZ; ++f)
            high = curve[f] > high ? curve[f] : high;
    for (const ImpedancePoint& p : measured.points)
        if (p.hz >= LOWEST_HZ && p.hz <= HIGHEST_HZ && p.ohm > high)
            high = p.ohm;
    return high;
}

}  // namespace

MeasuredCurve MeasuredBeside(const std::string& file)
{
    MeasuredCurve m;
    const std::string path = CurveBeside(file);
    std::string bytes, error;
    std::uint64_t size = 0;
    if (path.empty())
        return m;
    if (!ReadRegularFile(path, MAX_IMPEDANCE_TEXT, bytes, size, error)) {
        LeaveOff(path, "cannot be read: " + error);
        return m;
    }
    const ImpedanceRead read = ReadImpedance(bytes);
    if (read.refusal != ImpedanceRefusal::None) {
        LeaveOff(path, read.refusal == ImpedanceRefusal::TooLarge
                           ? "larger than 64 MB, the most spktool reads of a curve"
                           : "line " + std::to_string(read.line) +
                                 " is not part of an impedance curve (spktool fit " + path +
                                 " tells why)");
        return m;
    }
    m.fit = FitImpedance(read.curve);
    if (!std::isfinite(m.fit.errorPercent)) {
        LeaveOff(path, "no driver fits the curve");
        return m;
    }
    m.curve = read.curve;
    m.path = path;
    return m;
}

std::vector<ShownLine> MarkFitted(const std::vector<ShownLine>& lines, const MeasuredCurve& m)
{
    if (m.path.empty())
        return lines;
    const std::string error = Fixed(m.fit.errorPercent, 1) + " % r.m.s.";
    std::vector<ShownLine> marked = lines;
    for (ShownLine& line : marked)
        if (FitBearsOut(line, m.fit))
            line.value += " (fitted, " + error + ")";
    marked.push_back({"measured", NameOf(m.path) + ", " +
                                      std::to_string(m.curve.points.size()) +
                                      " points, fitted to " + error});
    return marked;
}

std::string MeasuredImpedanceSvg(const std::string& file, const std::vector<ModelDesign>& designs,
                                 const MeasuredCurve& m, int width, int height)
{
    const Speaker s = LoadSpeakerFile(file);
    std::vector<Limits> limits(designs.size());
    std::vector<PictureTitle> titles;
    const double* values[3] = {};
    int count = 0;
    int coil = 0;
    for (std::size_t k = 0; k < designs.size(); ++k) {
        const int colour = designs[k].colour;
        if (colour < 0 || colour > 2 || !ModelImpedance(file, s, designs[k], coil, limits[k]))
            continue;
        values[colour] = limits[k].impedance;
        count = colour + 1 > count ? colour + 1 : count;
        titles.push_back({DesignTitle(file, s, designs[k].ported), CHART_CURVE_COLOURS[colour]});
    }
    titles.push_back({"measured, " + NameOf(m.path), MEASURED_COLOUR});
    const char* title = coil == 2   ? "Impedance, ohm, one driver, with Le, L2 and R2"
                        : coil == 1 ? "Impedance, ohm, one driver, with Le"
                                    : "Impedance, ohm, one driver, without Le";
    const double high = Highest({values[0], values[1], values[2]}, m.curve);
    PlotTable table;
    const Paint paint = [&](ChartPainter& painter) {
        table = LayOutPlot(width, height, title, 0, high, nullptr, nullptr, 0);
        PaintPlot(table, values, count, painter);
    };
    const std::string svg = SvgPicture(titles, width, height, paint, true);
    const std::size_t end = svg.rfind("</g>\n</g>\n</svg>");
    return svg.substr(0, end) + MeasuredLine(table, m.curve) + svg.substr(end);
}
