#include "pictures/Pictures.h"

#include "Text.h"

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
std::string SvgText(int x, int y, const std::string& text, const std::string& colour)
{
    return "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y + 11) +
           "\" fill=\"" + colour + "\">" + MarkupText(text) + "</text>\n";
}


// The lines of one pen make one path.
class SvgPainter final : public ChartPainter {
public:
    explicit SvgPainter(std::string& svg) : svg_(svg) {}

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
                std::to_string(CHART_CURVE_WIDTH) +
                "\" stroke-linejoin=\"round\" stroke-linecap=\"round\" points=\"";
        for (const ChartPoint& p : points)
            svg_ += (&p == points ? "" : " ") + std::to_string(p.x) + "," + std::to_string(p.y);
        svg_ += "\"/>\n";
    }

private:
    std::string& svg_;
};

}  // namespace

std::string SvgPicture(const std::vector<std::string>& titles, int width, int height,
                       const Paint& paint)
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
        svg += SvgText(t.left, CHART_TITLE_LINE * static_cast<int>(k) + 2, titles[k],
                       Hex(CHART_CURVE_COLOURS[k]));
    svg += "<g transform=\"translate(0," + std::to_string(lines) + ")\">\n";
    SvgPainter painter(svg);
    paint(painter);
    return svg + "</g>\n</g>\n</svg>\n";
}
