#include "acoustics/Impedance.h"

#include <charconv>
#include <cmath>

namespace {

constexpr std::size_t MAX_TOKEN = 64;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// One column's number. std::from_chars reads the same on every build and ignores the
// locale, which a measurement file written in Germany must not depend on.
bool ReadColumn(std::string_view token, bool decimalComma, double& value)
{
    if (!token.empty() && token.front() == '+') token.remove_prefix(1);
    if (token.empty() || token.size() > MAX_TOKEN) return false;
    char text[MAX_TOKEN];
    for (std::size_t i = 0; i < token.size(); ++i)
        text[i] = decimalComma && token[i] == ',' ? '.' : token[i];
    const char* end = text + token.size();
    const auto [stop, error] = std::from_chars(text, end, value);
    if (stop != end) return false;
    if (error == std::errc::result_out_of_range) value = HUGE_VAL;
    return error == std::errc() || error == std::errc::result_out_of_range;
}

bool IsSeparator(char c, bool decimalComma)
{
    return IsBlank(c) || c == ';' || (!decimalComma && c == ',');
}

// The line's numbers, or an empty list when a column is not one or there are not 2 or 3.
std::vector<double> Columns(std::string_view line, bool decimalComma)
{
    std::vector<double> values;
    std::size_t i = 0;
    while (i < line.size()) {
        if (IsSeparator(line[i], decimalComma)) { ++i; continue; }
        std::size_t end = i;
        while (end < line.size() && !IsSeparator(line[end], decimalComma)) ++end;
        double value;
        if (values.size() == 3 || !ReadColumn(line.substr(i, end - i), decimalComma, value))
            return {};
        values.push_back(value);
        i = end;
    }
    if (values.size() < 2) values.clear();
    return values;
}

// A semicolon or a tab between the columns leaves the comma to the decimals; otherwise
// commas part the columns, unless only the decimal reading gives a point.
std::vector<double> PointColumns(std::string_view line)
{
    const bool otherSeparator = line.find_first_of(";\t") != std::string_view::npos;
    std::vector<double> values = Columns(line, otherSeparator);
    if (values.empty()) values = Columns(line, !otherSeparator);
    return values;
}

ImpedanceRefusal CheckPoint(const std::vector<double>& v, const ImpedanceCurve& curve)
{
    for (double x : v)
        if (!std::isfinite(x)) return ImpedanceRefusal::NotFinite;
    if (v[0] <= 0 || v[1] <= 0) return ImpedanceRefusal::NotPositive;
    if (!curve.points.empty() && v[0] <= curve.points.back().hz)
        return ImpedanceRefusal::NotIncreasing;
    return ImpedanceRefusal::None;
}

std::string_view NextLine(std::string_view text, std::size_t& at)
{
    const std::size_t start = at;
    while (at < text.size() && text[at] != '\n' && text[at] != '\r') ++at;
    const std::string_view line = text.substr(start, at - start);
    if (at < text.size() && text[at] == '\r') ++at;
    if (at < text.size() && text[at] == '\n') ++at;  // "\r\n" is one line end
    return line;
}

// Takes one line into the curve; returns why it cannot.
ImpedanceRefusal TakeLine(std::string_view line, ImpedanceCurve& curve, bool& sawWords)
{
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    if (line.empty() || line.front() == '*') return ImpedanceRefusal::None;
    const std::vector<double> v = PointColumns(line);
    if (v.empty()) {
        if (!curve.points.empty() || sawWords) return ImpedanceRefusal::NotANumber;
        sawWords = true;
        return ImpedanceRefusal::None;
    }
    const bool phase = v.size() == 3;
    if (!curve.points.empty() && phase != curve.hasPhase) return ImpedanceRefusal::ColumnsChange;
    const ImpedanceRefusal refusal = CheckPoint(v, curve);
    if (refusal != ImpedanceRefusal::None) return refusal;
    curve.hasPhase = phase;
    curve.points.push_back({v[0], v[1], phase ? v[2] : 0});
    return ImpedanceRefusal::None;
}

}  // namespace

ImpedanceRead ReadImpedance(std::string_view text)
{
    ImpedanceRead read;
    if (text.size() > MAX_IMPEDANCE_TEXT) {
        read.refusal = ImpedanceRefusal::TooLarge;
        return read;
    }
    bool sawWords = false;
    std::size_t at = 0;
    while (at < text.size()) {
        ++read.line;
        read.refusal = TakeLine(NextLine(text, at), read.curve, sawWords);
        if (read.refusal != ImpedanceRefusal::None) return read;
    }
    if (read.curve.points.size() < MIN_IMPEDANCE_POINTS)
        read.refusal = ImpedanceRefusal::TooFewPoints;
    else if (ResonancePeak(read.curve.points) < 0)
        read.refusal = ImpedanceRefusal::NoPeak;
    return read;
}

// A peak counts when the curve falls below 0.9 of it somewhere on each side: the top
// end's inductive rise has nothing lower above it, and noise does not stand that clear.
int ResonancePeak(const std::vector<ImpedancePoint>& points)
{
    const int n = static_cast<int>(points.size());
    std::vector<double> lowestAbove(points.size() + 1, HUGE_VAL);
    for (int i = n - 1; i >= 0; --i)
        lowestAbove[i] = std::fmin(lowestAbove[i + 1], points[i].ohm);
    double lowestBelow = HUGE_VAL;
    int peak = -1;
    for (int i = 0; i < n; ++i) {
        const double z = points[i].ohm;
        const bool clear = lowestBelow < 0.9 * z && lowestAbove[i + 1] < 0.9 * z;
        if (clear && (peak < 0 || z > points[peak].ohm)) peak = i;
        lowestBelow = std::fmin(lowestBelow, z);
    }
    return peak;
}
