#include "Chart.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "Designs.h"
#include "CommandLine.h"
#include "Failure.h"
#include "Limits.h"
#include "SpeakerFiles.h"
#include "Text.h"
#include "acoustics/Figures.h"
#include "chart/Chart.h"
#include "chart/Plot.h"

namespace {

constexpr int MAX_DESIGNS = 3;
constexpr int MAX_SIDE = 4096;  // a bitmap of at most 48 MB
const char* const COLOUR_NAMES[MAX_DESIGNS] = {"red", "green", "blue"};

struct Design {
    std::string file;
    bool ported;
    Speaker record;
    int levels[RESPONSE_SIZE];
    std::shared_ptr<const Limits> limits;  // for --plot only
    double xmax = 0;
};

// "FILE:sealed" or "FILE:ported". A colon followed by a path or a file name belongs to
// the path ("C:\drivers\a.spk"), since a design's name has no dot and no separator.
Design LoadDesign(const std::string& text)
{
    Design d{text, false, {}, {}, nullptr, 0};
    if (const auto colon = text.rfind(':'); colon != std::string::npos) {
        const std::string name = text.substr(colon + 1);
        if (name.find_first_of("./\\") == std::string::npos) {
            if (name != "sealed" && name != "ported")
                BadCommandLine(text + ": unknown design '" + name + "' (sealed or ported)");
            d.file = text.substr(0, colon);
            d.ported = name == "ported";
        }
    }
    d.record = LoadSpeakerFile(d.file);
    if (const std::string why = Unusable(d.record, d.ported); !why.empty())
        BadData(d.file + ": " + why);
    DesignResponse(d.record, d.ported, d.levels);
    return d;
}

void ReadSize(const std::string& size, int& width, int& height)
{
    const auto fail = [&] {
        BadCommandLine("--size: '" + size + "' is not WIDTHxHEIGHT, each from 1 to " +
                       std::to_string(MAX_SIDE));
    };
    const auto x = size.find('x');
    if (x == std::string::npos || x == 0 || x + 1 == size.size() || x > 4 || size.size() - x > 5)
        fail();
    for (std::size_t i = 0; i < size.size(); ++i)
        if (i != x && (size[i] < '0' || size[i] > '9'))
            fail();
    width = height = 0;
    int* side = &width;  // no strtol: spktool.exe keeps to the imports it has
    for (std::size_t i = 0; i < size.size(); ++i) {
        if (i == x)
            side = &height;
        else
            *side = 10 * *side + (size[i] - '0');
    }
    if (width < 1 || height < 1 || width > MAX_SIDE || height > MAX_SIDE)
        fail();
}

// What the Enclosures dialog would say of the design, with the driver's name, in
// UTF-8: the model from the file's Windows-1252, or the file's name as given.
std::string Title(const Design& d)
{
    const std::string name = d.record.model[0] ? FromWindows1252(d.record.model) : d.file;
    const double volume = d.ported ? d.record.ported.volume : d.record.sealed.volume;
    const double fb = d.ported ? d.record.ported.fb : d.record.sealed.fb;
    return name + (d.ported ? ": ported box, " : ": sealed box, ") + Fixed(volume, 1) +
           " l, Fb " + Fixed(fb, 1) + " Hz";
}

// ---- SVG ----------------------------------------------------------------------------
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

constexpr ChartColour BLACK = {0, 0, 0};

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

// The levels of each design, for the chart's curves.
std::vector<const int*> Levels(const std::vector<Design>& designs)
{
    std::vector<const int*> levels;
    for (const Design& d : designs)
        levels.push_back(d.levels);
    return levels;
}

// Paints the chart below the title lines.
using Paint = std::function<void(ChartPainter&)>;

std::string Svg(const std::vector<Design>& designs, int width, int height, const Paint& paint)
{
    const int titles = CHART_TITLE_LINE * static_cast<int>(designs.size());
    const ChartTable t = LayOutChart(width, height);
    const std::string w = std::to_string(width), h = std::to_string(height + titles);
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" +
                      h + "\" viewBox=\"0 0 " + w + " " + h + "\">\n"
                      "<rect width=\"" + w + "\" height=\"" + h + "\" fill=\"#ffffff\"/>\n"
                      "<g font-family=\"MS Sans Serif, Arial, Helvetica, sans-serif\" "
                      "font-size=\"12\" xml:space=\"preserve\">\n";
    for (std::size_t k = 0; k < designs.size(); ++k)
        svg += SvgText(t.left, CHART_TITLE_LINE * static_cast<int>(k) + 2, Title(designs[k]),
                       Hex(CHART_CURVE_COLOURS[k]));
    svg += "<g transform=\"translate(0," + std::to_string(titles) + ")\">\n";
    SvgPainter painter(svg);
    paint(painter);
    return svg + "</g>\n</g>\n</svg>\n";
}

// ---- Windows bitmap -------------------------------------------------------------------

// The printable ASCII characters, 5 x 7 pixels each, a row a byte, its top bit the
// leftmost of five. The letters with a descender start at the x-height and are drawn
// two rows lower.
const std::uint8_t GLYPHS[95][7] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04},
    {0x0A, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00}, {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A},
    {0x04, 0x0F, 0x14, 0x0E, 0x05, 0x1E, 0x04}, {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03},
    {0x0C, 0x12, 0x14, 0x08, 0x15, 0x12, 0x0D}, {0x04, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00},
    {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}, {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08},
    {0x00, 0x04, 0x15, 0x0E, 0x15, 0x04, 0x00}, {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00},
    {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}, {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}, {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00},
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
    {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}, {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x04, 0x08},
    {0x02, 0x04, 0x08, 0x10, 0x08, 0x04, 0x02}, {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00},
    {0x08, 0x04, 0x02, 0x01, 0x02, 0x04, 0x08}, {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04},
    {0x0E, 0x11, 0x01, 0x0D, 0x15, 0x15, 0x0E}, {0x0E, 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11},
    {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}, {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E},
    {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}, {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F},
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}, {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F},
    {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}, {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}, {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11},
    {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}, {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11},
    {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}, {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},
    {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}, {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D},
    {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}, {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E},
    {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}, {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}, {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A},
    {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}, {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04},
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}, {0x0E, 0x08, 0x08, 0x08, 0x08, 0x08, 0x0E},
    {0x00, 0x10, 0x08, 0x04, 0x02, 0x01, 0x00}, {0x0E, 0x02, 0x02, 0x02, 0x02, 0x02, 0x0E},
    {0x04, 0x0A, 0x11, 0x00, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F},
    {0x08, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F},
    {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x1E}, {0x00, 0x00, 0x0E, 0x10, 0x10, 0x11, 0x0E},
    {0x01, 0x01, 0x0D, 0x13, 0x11, 0x11, 0x0F}, {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E},
    {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}, {0x0F, 0x11, 0x11, 0x11, 0x0F, 0x01, 0x0E},
    {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x11}, {0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E},
    {0x02, 0x00, 0x06, 0x02, 0x02, 0x12, 0x0C}, {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12},
    {0x0C, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}, {0x00, 0x00, 0x1A, 0x15, 0x15, 0x11, 0x11},
    {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11}, {0x00, 0x00, 0x0E, 0x11, 0x11, 0x11, 0x0E},
    {0x1E, 0x11, 0x11, 0x11, 0x1E, 0x10, 0x10}, {0x0F, 0x11, 0x11, 0x11, 0x0F, 0x01, 0x01},
    {0x00, 0x00, 0x16, 0x19, 0x10, 0x10, 0x10}, {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E},
    {0x08, 0x08, 0x1C, 0x08, 0x08, 0x09, 0x06}, {0x00, 0x00, 0x11, 0x11, 0x11, 0x13, 0x0D},
    {0x00, 0x00, 0x11, 0x11, 0x11, 0x0A, 0x04}, {0x00, 0x00, 0x11, 0x11, 0x15, 0x15, 0x0A},
    {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11}, {0x11, 0x11, 0x11, 0x11, 0x0F, 0x01, 0x0E},
    {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F}, {0x02, 0x04, 0x04, 0x08, 0x04, 0x04, 0x02},
    {0x04, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}, {0x08, 0x04, 0x04, 0x02, 0x04, 0x04, 0x08},
    {0x00, 0x00, 0x08, 0x15, 0x02, 0x00, 0x00},
};

// Windows-1252's accented letters drawn as their base letters (0xC0 to 0xFF); every
// other character the bitmap font lacks shows as '?'.
char Drawable(unsigned char c)
{
    static const char BASE[] = "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYTsaaaaaaaceeeeiiiidnooooo/ouuuuyty";
    if (c >= 0x20 && c < 0x7F)
        return static_cast<char>(c);
    return c >= 0xC0 ? BASE[c - 0xC0] : '?';
}

class Raster {
public:
    Raster(int width, int height) : width_(width), height_(height), rgb_(3u * width * height, 255)
    {
    }

    void Pixel(int x, int y, const ChartColour& c)
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return;
        unsigned char* p = &rgb_[3u * (static_cast<unsigned>(y) * width_ + x)];
        p[0] = c.red;
        p[1] = c.green;
        p[2] = c.blue;
    }

    // GDI's LineTo for the chart's straight lines: the last pixel is left out.
    void Line(ChartPoint a, ChartPoint b, const ChartColour& c)
    {
        const int dx = (b.x > a.x) - (b.x < a.x), dy = (b.y > a.y) - (b.y < a.y);
        for (; a.x != b.x || a.y != b.y; a.x += dx, a.y += dy)
            Pixel(a.x, a.y, c);
    }

    // A pen 2 pixels wide: a 2 x 2 dot at every step of the segment, ends included.
    void WideSegment(ChartPoint a, ChartPoint b, const ChartColour& c)
    {
        const int dx = b.x > a.x ? b.x - a.x : a.x - b.x, dy = b.y > a.y ? a.y - b.y : b.y - a.y;
        const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
        for (int error = dx + dy;;) {
            for (int i = -1; i <= 0; ++i)
                for (int j = -1; j <= 0; ++j)
                    Pixel(a.x + i, a.y + j, c);
            if (a.x == b.x && a.y == b.y)
                return;
            const int twice = 2 * error;
            if (twice >= dy)
                error += dy, a.x += sx;
            if (twice <= dx)
                error += dx, a.y += sy;
        }
    }

    void Text(int x, int y, const std::string& text, const ChartColour& c)
    {
        for (unsigned char ch : text) {
            const char drawn = Drawable(ch);
            const std::uint8_t* glyph = GLYPHS[drawn - 0x20];
            const bool descends = std::string_view("gpqy").find(drawn) != std::string_view::npos;
            const int top = y + (descends ? 5 : 3);
            for (int row = 0; row < 7; ++row)
                for (int column = 0; column < 5; ++column)
                    if (glyph[row] & (0x10 >> column))
                        Pixel(x + column, top + row, c);
            x += 6;
        }
    }

    // A bottom-up 24-bit BMP: every reader has understood it since Windows 3.0.
    std::string Bmp() const
    {
        const unsigned stride = (3u * width_ + 3) & ~3u, image = stride * height_;
        std::string bmp;
        const auto put = [&](std::uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i)
                bmp += static_cast<char>(v >> (8 * i));
        };
        bmp += "BM";
        put(54 + image, 4), put(0, 4), put(54, 4);
        put(40, 4), put(width_, 4), put(height_, 4), put(1, 2), put(24, 2), put(0, 4);
        put(image, 4), put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);  // 72 dpi
        for (int y = height_ - 1; y >= 0; --y) {
            for (int x = 0; x < width_; ++x) {
                const unsigned char* p = &rgb_[3u * (static_cast<unsigned>(y) * width_ + x)];
                bmp += {static_cast<char>(p[2]), static_cast<char>(p[1]), static_cast<char>(p[0])};
            }
            bmp.append(stride - 3u * width_, '\0');
        }
        return bmp;
    }

private:
    int width_, height_;
    std::vector<unsigned char> rgb_;
};

// The chart lies `top` pixels down, under the title lines.
class BitmapPainter final : public ChartPainter {
public:
    BitmapPainter(Raster& raster, int top) : raster_(raster), top_(top) {}

    void BeginLines(const ChartColour* colour) override { colour_ = colour ? *colour : BLACK; }
    void EndLines() override {}
    void Frame(int left, int top, int right, int bottom) override
    {
        Line({left, top}, {right, top});
        Line({right, top}, {right, bottom});
        Line({right, bottom}, {left, bottom});
        Line({left, bottom}, {left, top});
    }
    void Line(ChartPoint from, ChartPoint to) override
    {
        raster_.Line(Down(from), Down(to), colour_);
    }
    void Text(const ChartLabel& label) override
    {
        raster_.Text(label.x, top_ + label.y, label.text, BLACK);
    }
    void Curve(const ChartPoint (&points)[CHART_CURVE_POINTS], const ChartColour& colour) override
    {
        for (int i = 1; i < CHART_CURVE_POINTS; ++i)
            raster_.WideSegment(Down(points[i - 1]), Down(points[i]), colour);
    }

private:
    ChartPoint Down(ChartPoint p) const { return {p.x, top_ + p.y}; }

    Raster& raster_;
    int top_;
    ChartColour colour_ = BLACK;
};

std::string Bitmap(const std::vector<Design>& designs, int width, int height, const Paint& paint)
{
    const int titles = CHART_TITLE_LINE * static_cast<int>(designs.size());
    Raster r(width, height + titles);
    for (std::size_t k = 0; k < designs.size(); ++k)
        r.Text(5, CHART_TITLE_LINE * static_cast<int>(k) + 2, LossyWindows1252(Title(designs[k])),
               CHART_CURVE_COLOURS[k]);
    BitmapPainter painter(r, titles);
    paint(painter);
    return r.Bmp();
}

// ---- Charts of the limits ---------------------------------------------------------------

const char* const QUANTITIES[] = {"spl", "excursion", "port-speed", "group-delay", "impedance"};

// The curves and the sheet's Xmax of each design. A ported box needs its ports, as
// `limits` does; a power that changes nothing is 1 W when not given.
void LoadLimitsOf(std::vector<Design>& designs, const PlotRequest& plot)
{
    const bool powered = plot.quantity != "group-delay" && plot.quantity != "impedance";
    if (powered && plot.power == 0)
        BadCommandLine("chart --plot " + plot.quantity + " needs --power");
    for (Design& d : designs) {
        if (!d.ported && plot.quantity == "port-speed")
            BadCommandLine(d.file + ": a sealed box has no port for --plot port-speed "
                           "(FILE:ported)");
        if (d.ported && (plot.diameter == 0 || plot.ports == 0))
            BadCommandLine(d.file + ": chart --plot of a ported box needs --diameter and "
                           "--ports");
        LimitsDriver driver;
        double pe;
        auto limits = std::make_shared<Limits>();
        LoadLimits(d.file, d.record, d.ported, plot.power == 0 ? 1 : plot.power, plot.diameter,
                   plot.ports, driver, pe, *limits);
        d.limits = limits;
        d.xmax = driver.xmax;
    }
}

const double* Values(const Limits& l, const std::string& quantity)
{
    return quantity == "spl"          ? l.spl
           : quantity == "excursion"  ? l.excursion
           : quantity == "port-speed" ? l.portSpeed
           : quantity == "group-delay" ? l.groupDelay
                                       : l.impedance;
}

std::string PlotTitle(const PlotRequest& plot)
{
    const std::string at = ", for " + Fixed(plot.power, 1) + " W";
    return plot.quantity == "spl"          ? "SPL at 1 m, dB" + at
           : plot.quantity == "excursion"  ? "Cone excursion, mm" + at
           : plot.quantity == "port-speed" ? "Port air speed, m/s" + at
           : plot.quantity == "group-delay" ? std::string("Group delay, ms")
                                            : std::string("Impedance, ohm (without Le)");
}

// Draws the plot of the designs' limits: the value axis spans their curves, from 0 for
// all but the SPL, and the limit each should stay under.
Paint PlotPainting(const std::vector<Design>& designs, const PlotRequest& plot, int width,
                   int height)
{
    return [&designs, &plot, width, height](ChartPainter& painter) {
        std::vector<const double*> values;
        double low = plot.quantity == "spl" ? 1e300 : 0, high = -1e300;
        for (const Design& d : designs) {
            values.push_back(Values(*d.limits, plot.quantity));
            for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
                const double v = values.back()[f];
                if (v > -1e300 && v < 1e300)
                    low = v < low ? v : low, high = v > high ? v : high;
            }
        }
        std::vector<double> limits;
        std::vector<std::string> names;
        if (plot.quantity == "port-speed") {
            limits.push_back(AUDIBLE_PORT_SPEED);
            names.push_back(Fixed(AUDIBLE_PORT_SPEED, 0) + " m/s, audible");
        }
        for (const Design& d : designs)
            if (plot.quantity == "excursion" &&
                std::find(limits.begin(), limits.end(), d.xmax) == limits.end()) {
                limits.push_back(d.xmax);
                names.push_back("Xmax " + Fixed(d.xmax, 1) + " mm");
            }
        std::vector<const char*> limitNames;
        for (const std::string& name : names)
            limitNames.push_back(name.c_str());
        const std::string title = PlotTitle(plot);
        const PlotTable t = LayOutPlot(width, height, title.c_str(), low, high, limits.data(),
                                       limitNames.data(), static_cast<int>(limits.size()));
        PaintPlot(t, values.data(), static_cast<int>(values.size()), painter);
    };
}

const char XML_DECLARATION[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::vector<Design> LoadDesigns(const std::vector<std::string>& designTexts,
                                const PlotRequest& plot)
{
    std::vector<Design> designs;
    for (const std::string& design : designTexts)
        designs.push_back(LoadDesign(design));
    if (!plot.quantity.empty())
        LoadLimitsOf(designs, plot);
    return designs;
}

// The level chart, or the plot of a limit; `designs` must outlive the painting.
Paint Painting(const std::vector<Design>& designs, const PlotRequest& plot, int width,
               int height)
{
    if (!plot.quantity.empty())
        return PlotPainting(designs, plot, width, height);
    return [&designs, width, height](ChartPainter& painter) {
        const ChartTable t = LayOutChart(width, height);
        PaintChartTable(t, painter);
        PaintChartCurves(t, Levels(designs).data(), static_cast<int>(designs.size()), painter);
    };
}

}  // namespace

std::string ChartCommand(const std::vector<std::string>& designTexts, const std::string& out,
                         const std::string& size, bool bmp, bool force,
                         const PlotRequest& plot)
{
    if (designTexts.size() > MAX_DESIGNS)
        BadCommandLine("chart draws at most three designs (red, green, blue), not " +
                       std::to_string(designTexts.size()));
    int width = CHART_DEFAULT_WIDTH, height = CHART_DEFAULT_HEIGHT;
    if (!size.empty())
        ReadSize(size, width, height);
    if (plot.quantity.empty() && (plot.power != 0 || plot.diameter != 0 || plot.ports != 0))
        BadCommandLine("chart: --power, --diameter and --ports are for --plot");
    if (!plot.quantity.empty() &&
        std::find(std::begin(QUANTITIES), std::end(QUANTITIES), plot.quantity) ==
            std::end(QUANTITIES))
        BadCommandLine("chart: unknown --plot '" + plot.quantity +
                       "' (spl, excursion, port-speed, group-delay or impedance)");
    RefuseToReplace(out, force);
    const std::vector<Design> designs = LoadDesigns(designTexts, plot);
    // Complete in a temporary file first: a failure leaves no half-written picture.
    WriteWholeFile(out, bmp ? Bitmap(designs, width, height, Painting(designs, plot, width, height))
                            : XML_DECLARATION + Svg(designs, width, height,
                                                    Painting(designs, plot, width, height)),
                   force);

    const int titles = CHART_TITLE_LINE * static_cast<int>(designs.size());
    std::string report = out + ": " + std::to_string(width) + " x " +
                         std::to_string(height + titles) + " pixels\n";
    for (std::size_t k = 0; k < designs.size(); ++k) {
        const std::string colour = COLOUR_NAMES[k];
        report += colour + std::string(7 - colour.size(), ' ') +
                  Title(designs[k]) + "\n";
    }
    return report;
}

std::string ChartSvg(const std::vector<std::string>& designTexts, int width, int height,
                     const PlotRequest& plot)
{
    const std::vector<Design> designs = LoadDesigns(designTexts, plot);
    return Svg(designs, width, height, Painting(designs, plot, width, height));
}

void DeclareChart(CLI::App& command, ChartOptions& o)
{
    command.add_option("DESIGN", o.designs, "FILE:sealed or FILE:ported (FILE alone: sealed, "
                       "as Open shows it); up to three")->required();
    command.add_option("-o,--output", o.out, "the picture to write")->required();
    command.add_option("--size", o.size, "the chart's WIDTHxHEIGHT in pixels, as the graph "
                       "window's client area (328x227); the title lines come on top");
    command.add_flag("--bmp", o.bmp, "a 24-bit Windows bitmap instead of SVG");
    command.add_flag("--force", o.force, "replace an existing picture");
    command.add_option("--plot", o.plot, "instead of the levels, a curve of spktool limits: "
                       "spl, excursion, port-speed, group-delay or impedance, from the driver "
                       "sheet");
    DeclareSystem(command, o.system, SYSTEM_POWER | SYSTEM_PORTS);
    command.footer(command.get_footer() + "\n\n--power, --diameter and --ports are for --plot.");
}

int RunChart(const ChartOptions& o)
{
    const PlotRequest plot = {o.plot, o.system.power, o.system.diameter, o.system.ports};
    return Printed(ChartCommand(o.designs, o.out, o.size, o.bmp, o.force, plot));
}
