#include "pictures/Pictures.h"

#include "Text.h"
#include "acoustics/Response.h"
#include "numbers/Elementary.h"

namespace {

// GDI draws a 1-pixel line through pixel centres and leaves out its last pixel; pixel
// (x, y) is the square from (x, y) to (x + 1, y + 1) here, so lines run half a pixel
// in, and end where GDI's stop.

std::string Hex(const ChartColour& c)
{
    const char digits[] = "0123456789abcdef";
    std::string out = "#";
    for (unsigned char v : {c.red, c.green, c.blue})
        out += {digits[v >> 4], digits[v & 15]};
    return out;
}

std::string Half(int v)  // v + 0.5
{
    return v >= 0 ? std::to_string(v) + ".5" : "-" + std::to_string(-v - 1) + ".5";
}

// A text's top-left corner at (x, y): the baseline lies a font's ascent below it.
std::string SvgText(int x, int y, const std::string& text, const std::string& colour,
                    const std::string& more = "")
{
    return "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y + 11) +
           "\" fill=\"" + colour + "\"" + more + ">" + MarkupText(text) + "</text>\n";
}

// The widest of the fonts a reader may get (DejaVu Sans stands in for Arial on many
// Linux systems) averages about 7.5 pixels a character at 12 pixels.
constexpr double TITLE_CHAR_PIXELS = 7.5;

int Characters(const std::string& utf8)
{
    int n = 0;
    for (unsigned char c : utf8)
        n += (c & 0xC0) != 0x80;
    return n;
}

// A design's title squeezed into the `room` pixels the picture has, should the reader's
// font make it longer: cut at the picture's edge it would lose the box's tuning.
std::string TitleText(int x, int y, const PictureTitle& title, int room)
{
    std::string fit;
    if (Characters(title.text) * TITLE_CHAR_PIXELS > room && room > 0)
        fit = " textLength=\"" + std::to_string(room) + "\" lengthAdjust=\"spacingAndGlyphs\"";
    return SvgText(x, y, title.text, Hex(title.colour), fit);
}

// Where curves coincide the later one would hide the earlier: each curve after the
// first colour is dashed, so the one beneath shows through its gaps. Keyed to the
// colour, so that a design is drawn alike on every chart.
std::string Dashes(const ChartColour& c)
{
    const auto is = [&c](const ChartColour& d) {
        return c.red == d.red && c.green == d.green && c.blue == d.blue;
    };
    if (is(CHART_CURVE_COLOURS[1]))
        return "\" stroke-dasharray=\"6 5";
    if (is(CHART_CURVE_COLOURS[2]))
        return "\" stroke-dasharray=\"1 5";
    return "";
}


// The lines of one pen make one path.
class SvgPainter final : public ChartPainter {
public:
    SvgPainter(std::string& svg, bool dashed) : svg_(svg), dashed_(dashed) {}

    void BeginLines(const ChartColour* colour) override
    {
        svg_ += "<path fill=\"none\" stroke=\"" + Hex(colour ? *colour : BLACK) + "\" d=\"";
    }
    void EndLines() override { svg_ += "\"/>\n"; }
    void Frame(int left, int top, int right, int bottom) override
    {
        svg_ += "M" + Half(left) + " " + Half(top) + "H" + Half(right) + "V" + Half(bottom) +
                "H" + Half(left) + "Z";
    }
    void Line(ChartPoint from, ChartPoint to) override
    {
        if (from.y == to.y)
            svg_ += "M" + std::to_string(from.x) + " " + Half(from.y) + "H" + std::to_string(to.x);
        else
            svg_ += "M" + Half(from.x) + " " + std::to_string(from.y) + "V" + std::to_string(to.y);
    }
    void Text(const ChartLabel& label) override
    {
        svg_ += SvgText(label.x, label.y, FromWindows1252(label.text), Hex(BLACK));
    }
    void Curve(const ChartPoint (&points)[CHART_CURVE_POINTS], const ChartColour& colour) override
    {
        svg_ += "<polyline fill=\"none\" stroke=\"" + Hex(colour) + "\" stroke-width=\"" +
                std::to_string(CHART_CURVE_WIDTH) + (dashed_ ? Dashes(colour) : "") +
                "\" stroke-linejoin=\"round\" stroke-linecap=\"round\" points=\"";
        for (const ChartPoint& p : points)
            svg_ += (&p == points ? "" : " ") + std::to_string(p.x) + "," + std::to_string(p.y);
        svg_ += "\"/>\n";
    }

private:
    std::string& svg_;
    bool dashed_;
};

}  // namespace

std::string SvgPicture(const std::vector<PictureTitle>& titles, int width, int height,
                       const Paint& paint, bool dashed)
{
    const int lines = CHART_TITLE_LINE * static_cast<int>(titles.size());
    const ChartTable t = LayOutChart(width, height);
    const std::string w = std::to_string(width), h = std::to_string(height + lines);
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" +
                      h + "\" viewBox=\"0 0 " + w + " " + h + "\">\n"
                      "<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"#ffffff\"/>\n"
                      "<g font-family=\"MS Sans Serif, Arial, Helvetica, sans-serif\" "
                      "font-size=\"12\" xml:space=\"preserve\">\n";
    for (std::size_t k = 0; k < titles.size(); ++k)
        svg += TitleText(t.left, CHART_TITLE_LINE * static_cast<int>(k) + 2, titles[k],
                         width - 2 * t.left);
    svg += "<g transform=\"translate(0," + std::to_string(lines) + ")\">\n";
    SvgPainter painter(svg, dashed);
    paint(painter);
    return svg + "</g>\n</g>\n</svg>\n";
}

namespace {

// A whole number of pixels at `at`, moving `at` past it; false where there is none.
bool ReadPixel(const std::string& text, std::size_t& at, int& value)
{
    value = 0;
    const std::size_t start = at;
    while (at < text.size() && at - start < 6 && text[at] >= '0' && text[at] <= '9')
        value = value * 10 + (text[at++] - '0');
    return at > start;
}

bool Skip(const std::string& text, std::size_t& at, const char* expected)
{
    const std::string e = expected;
    if (text.compare(at, e.size(), e) != 0)
        return false;
    at += e.size();
    return true;
}

}  // namespace

std::string MarkFrequency(const std::string& svg, double hz, const std::string& label)
{
    // The frame is the first black path the painter draws, "M<l>.5 <t>.5H<r>.5V<b>.5".
    const std::string frame = "<path fill=\"none\" stroke=\"#000000\" d=\"M";
    const std::size_t group = svg.find("<g transform=");
    std::size_t at = svg.find(frame, group == std::string::npos ? 0 : group);
    const std::size_t end = svg.rfind("</g>\n</g>\n</svg>");
    int left, top, right, bottom;
    if (!(hz >= LOWEST_HZ && hz <= HIGHEST_HZ) || group == std::string::npos ||
        at == std::string::npos || end == std::string::npos || end < at)
        return svg;
    at += frame.size();
    if (!(ReadPixel(svg, at, left) && Skip(svg, at, ".5 ") && ReadPixel(svg, at, top) &&
          Skip(svg, at, ".5H") && ReadPixel(svg, at, right) && Skip(svg, at, ".5V") &&
          ReadPixel(svg, at, bottom) && right > left))
        return svg;
    // The plot's axis: logarithmic from 1 Hz at the left edge to HIGHEST_HZ at the right.
    const int x = left + static_cast<int>((right - left) * Log10(hz) / Log10(HIGHEST_HZ) + 0.5);
    const std::string mark =
        "<path fill=\"none\" stroke=\"#a00000\" stroke-dasharray=\"4 3\" d=\"M" + Half(x) + " " +
        std::to_string(top) + "V" + std::to_string(bottom + 1) + "\"/>\n" +
        SvgText(x - 3, bottom - 16, label, "#a00000", " text-anchor=\"end\"");
    return svg.substr(0, end) + mark + svg.substr(end);
}
