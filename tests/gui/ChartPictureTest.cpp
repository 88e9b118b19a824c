// The chart as a picture outside the program, against the graph window's own painting
// of the same designs. tests/spktool/chart-picture.sh has spktool draw the designs as
// SVG, renders it with a real renderer and runs this test with KALVORA_CHART_PICTURE
// (the rendering as a binary PPM) and KALVORA_CHART_DESIGNS ("FILE:sealed" or
// "FILE:ported", separated by ';'); without them it is skipped.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "acoustics/Response.h"
#include "chart/Chart.h"
#include "record/SpeakerFile.h"
#include "support/GuiTest.h"
#include "support/Pixels.h"
#include "win/GraphWindow.h"
#include "win/MainWindow.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* At(int x, int y) const { return &rgb[3 * (y * width + x)]; }
};

bool ReadPpm(const char* path, Picture& p)
{
    std::vector<unsigned char> bytes = ReadFileBytes(path);
    std::istringstream header(std::string(bytes.begin(), bytes.end()));
    std::string magic;
    int maximum = 0;
    header >> magic >> p.width >> p.height >> maximum;
    const std::size_t start = static_cast<std::size_t>(header.tellg()) + 1;
    if (magic != "P6" || maximum != 255 || bytes.size() != start + 3u * p.width * p.height)
        return false;
    p.rgb.assign(bytes.begin() + start, bytes.end());
    return true;
}

// A rendered pixel counts as a curve's colour when that channel is strong and the
// other two weak: antialiased edges blend into white or black and count as neither.
bool Looks(const unsigned char* rgb, int channel)
{
    for (int c = 0; c < 3; ++c)
        if (c == channel ? rgb[c] < 160 : rgb[c] > 100)
            return false;
    return true;
}

// Catches a picture whose curves, grid origin or scales differ from the window's: each
// curve's pixels (the blue one with the 0 dB line) must lie within one pixel of the
// same colour in the other picture, both ways.
TEST(ChartPictureTest, CurvesLieWithinOnePixelOfTheWindows)
{
    const char* picturePath = std::getenv("KALVORA_CHART_PICTURE");
    const char* designList = std::getenv("KALVORA_CHART_DESIGNS");
    if (!picturePath || !designList)
        GTEST_SKIP() << "run by tests/spktool/chart-picture.sh";
    Picture picture;
    ASSERT_TRUE(ReadPpm(picturePath, picture)) << picturePath;

    std::vector<std::vector<int>> levels;
    std::stringstream list(designList);
    for (std::string design; std::getline(list, design, ';');) {
        const std::size_t colon = design.rfind(':');
        Speaker s = {};
        const std::vector<unsigned char> bytes = ReadFileBytes(design.substr(0, colon));
        ASSERT_EQ(bytes.size(), SPEAKER_FILE_SIZE) << design;
        DecodeSpeaker(bytes.data(), bytes.size(), s);
        speaker = s;
        levels.emplace_back(RESPONSE_SIZE);
        dBMag = dBMag2 = dBMag3 = levels.back().data();
        graphNumber = 1;  // the graph window's calculations, on its array of the moment
        design.substr(colon + 1) == "ported" ? CalcPorted() : CalcSealed();
    }
    const int n = static_cast<int>(levels.size());
    dBMag = levels[0].data();
    dBMag2 = levels[n > 1 ? 1 : 0].data();
    dBMag3 = levels[n > 2 ? 2 : 0].data();
    graphNumber = n;
    SizedWindow window(CHART_DEFAULT_WIDTH, CHART_DEFAULT_HEIGHT);
    Canvas canvas(CHART_DEFAULT_WIDTH, CHART_DEFAULT_HEIGHT);
    DrawTable(canvas.Dc(), window.Handle());
    DrawGraph(canvas.Dc(), window.Handle());
    dBMag = dBMag2 = dBMag3 = nullptr;
    graphNumber = 0;

    const int top = CHART_TITLE_LINE * n;
    ASSERT_EQ(picture.width, CHART_DEFAULT_WIDTH);
    ASSERT_EQ(picture.height, CHART_DEFAULT_HEIGHT + top);
    const auto withinOne = [](int x, int y, auto&& matches) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (matches(x + dx, y + dy))
                    return true;
        return false;
    };
    const auto inside = [](int x, int y) {
        return x >= 0 && y >= 0 && x < CHART_DEFAULT_WIDTH && y < CHART_DEFAULT_HEIGHT;
    };
    for (int k = 0; k < n; ++k) {
        const ChartColour& c = CHART_CURVE_COLOURS[k];
        const COLORREF colour = RGB(c.red, c.green, c.blue);
        const auto inWindow = [&](int x, int y) { return inside(x, y) && canvas.Pixel(x, y) == colour; };
        const auto inPicture = [&](int x, int y) { return inside(x, y) && Looks(picture.At(x, y + top), k); };
        int missing = 0, extra = 0, drawn = 0;
        for (int y = 0; y < CHART_DEFAULT_HEIGHT; ++y) {
            for (int x = 0; x < CHART_DEFAULT_WIDTH; ++x) {
                drawn += inWindow(x, y);
                missing += inWindow(x, y) && !withinOne(x, y, inPicture);
                extra += inPicture(x, y) && !withinOne(x, y, inWindow);
            }
        }
        EXPECT_GT(drawn, 300) << "curve " << k + 1;
        EXPECT_EQ(missing, 0) << "curve " << k + 1 << ": window pixels the picture lacks";
        EXPECT_EQ(extra, 0) << "curve " << k + 1 << ": picture pixels the window lacks";
    }
}

}  // namespace
