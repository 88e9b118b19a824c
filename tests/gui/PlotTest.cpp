#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "acoustics/Response.h"
#include "support/Pixels.h"
#include "win/GraphWindow.h"

namespace {

// The client area of a new graph window, and the chart's edges in it.
constexpr int WIDTH = 328, HEIGHT = 227;
constexpr int LEFT = 5, TOP = 5, RIGHT = 303, BOTTOM = 167, ZERO_DB = 65;

class PlotTest : public testing::Test {
protected:
    void SetUp() override
    {
        dBMag = red.data();
        dBMag2 = green.data();
        dBMag3 = blue.data();
    }
    void TearDown() override
    {
        dBMag = dBMag2 = dBMag3 = nullptr;
        graphNumber = 0;
    }
    // As the graph window paints: the table, then the curves while any are shown.
    static void Paint(const Canvas& canvas, const SizedWindow& window, int graphs)
    {
        graphNumber = graphs;
        DrawTable(canvas.Dc(), window.Handle());
        if (graphs > 0)
            DrawGraph(canvas.Dc(), window.Handle());
    }
    static void Level(std::vector<int>& levels, int dB) { levels.assign(RESPONSE_SIZE, dB); }

    std::vector<int> red = std::vector<int>(RESPONSE_SIZE);
    std::vector<int> green = std::vector<int>(RESPONSE_SIZE);
    std::vector<int> blue = std::vector<int>(RESPONSE_SIZE);
    SizedWindow window{WIDTH, HEIGHT};
    Canvas canvas{WIDTH, HEIGHT};
};

// Catches a frame laid out from other margins of the client rectangle.
TEST_F(PlotTest, FrameRunsAlongTheChartEdges)
{
    Paint(canvas, window, 0);
    const POINT onFrame[] = {{LEFT, TOP},     {RIGHT, TOP}, {RIGHT, BOTTOM}, {LEFT, BOTTOM},
                             {150, TOP},      {150, BOTTOM}, {LEFT, 100},    {RIGHT, 100}};
    for (POINT p : onFrame)
        EXPECT_EQ(canvas.Pixel(p.x, p.y), BLACK) << p.x << "," << p.y;
    const POINT outside[] = {{150, TOP - 1}, {150, BOTTOM + 1}, {LEFT - 1, 100}, {RIGHT + 1, 100}};
    for (POINT p : outside)
        EXPECT_EQ(canvas.Pixel(p.x, p.y), WHITE) << p.x << "," << p.y;
}

// Catches a grid with another spacing, count or start, or a black 0 dB line.
TEST_F(PlotTest, TwentySixHorizontalLinesSixPixelsApartWithABlueZeroDbLine)
{
    Paint(canvas, window, 0);
    std::vector<int> rows;
    for (int y = TOP + 1; y < BOTTOM; ++y)
        if (canvas.Pixel(15, y) != WHITE)
            rows.push_back(y);
    std::vector<int> expected;
    for (int y = 11; y <= 161; y += 6)
        expected.push_back(y);
    ASSERT_EQ(rows, expected);
    for (int y : rows)
        EXPECT_EQ(canvas.Pixel(15, y), y == ZERO_DB ? BLUE : BLACK) << "y " << y;
    for (int x = LEFT; x < RIGHT; ++x)
        ASSERT_EQ(canvas.Pixel(x, ZERO_DB), BLUE) << "x " << x;
}

// Catches vertical lines at the frame edge, off the 10 Hz steps, or one too many.
TEST_F(PlotTest, FourteenVerticalLinesTwentyPixelsApart)
{
    Paint(canvas, window, 0);
    std::vector<int> columns;
    for (int x = LEFT + 1; x < RIGHT; ++x)
        if (canvas.Pixel(x, BOTTOM - 3) != WHITE)
            columns.push_back(x);
    std::vector<int> expected;
    for (int x = 25; x <= 285; x += 20)
        expected.push_back(x);
    EXPECT_EQ(columns, expected);
}

struct GridCase {
    int clientWidth;
    int lines;
};

void PrintTo(const GridCase& c, std::ostream* os)
{
    *os << "client width " << c.clientWidth;
}

class VerticalGridTest : public PlotTest, public testing::WithParamInterface<GridCase> {};

// Catches a wrong count for the frame width, and a grid line laid over a frame edge:
// in R2_NOT mode a pixel drawn twice turns white again.
TEST_P(VerticalGridTest, CountFollowsTheFrameWidth)
{
    const int width = GetParam().clientWidth, right = width - 25;
    SizedWindow sized(width, HEIGHT);
    Canvas wide(width, HEIGHT);
    SetROP2(wide.Dc(), R2_NOT);
    Paint(wide, sized, 0);
    int lines = 0;
    for (int x = LEFT + 1; x < right; ++x)
        lines += wide.Pixel(x, BOTTOM - 3) != WHITE;
    EXPECT_EQ(lines, GetParam().lines);
    EXPECT_EQ(wide.Pixel(LEFT, BOTTOM - 3), BLACK);
    EXPECT_EQ(wide.Pixel(right, BOTTOM - 3), BLACK);
}

// Client width minus 30 is the frame width: 298, 300, 301, 20 and 21.
INSTANTIATE_TEST_SUITE_P(FrameWidths, VerticalGridTest,
                         testing::Values(GridCase{328, 14}, GridCase{330, 14}, GridCase{331, 15},
                                         GridCase{50, 0}, GridCase{51, 1}));

struct LabelCase {
    int clientWidth;
    int clientHeight;
};

void PrintTo(const LabelCase& c, std::ostream* os)
{
    *os << c.clientWidth << "x" << c.clientHeight;
}

class LabelTest : public PlotTest, public testing::WithParamInterface<LabelCase> {};

// Catches a label moved, spaced differently (" +9" is not "+9"), or anchored to the
// wrong edge: each must look exactly like its text drawn alone at its place.
TEST_P(LabelTest, EachLabelSitsAtItsPlace)
{
    const int width = GetParam().clientWidth, height = GetParam().clientHeight;
    const int right = width - 25, bottom = height - 60;
    SizedWindow sized(width, height);
    Canvas chart(width, height);
    Paint(chart, sized, 0);
    const struct {
        std::string text;
        int x;
        int y;
    } labels[] = {
        {"20", 38, bottom + 1},          {"40", 78, bottom + 1},
        {"60", 118, bottom + 1},         {"80", 158, bottom + 1},
        {"100", 194, bottom + 1},        {"Hz", right - 15, bottom + 1},
        {"  0", right + 1, bottom - 110}, {" +9", right + 1, bottom - 128},
        {" -9", right + 1, bottom - 92}, {" dB", right + 1, bottom - 14},
    };
    for (const auto& label : labels) {
        Canvas alone(width, height);
        TextOutA(alone.Dc(), label.x, label.y, label.text.c_str(), label.text.size());
        SIZE size;
        GetTextExtentPoint32A(alone.Dc(), label.text.c_str(), label.text.size(), &size);
        int differences = 0;
        for (int y = label.y; y < label.y + size.cy; ++y)
            for (int x = label.x; x < label.x + size.cx; ++x)
                differences += chart.Pixel(x, y) != alone.Pixel(x, y);
        EXPECT_EQ(differences, 0) << '"' << label.text << '"';
    }
}

INSTANTIATE_TEST_SUITE_P(ClientSizes, LabelTest,
                         testing::Values(LabelCase{WIDTH, HEIGHT}, LabelCase{400, 300}));

// Catches a wrong scale or offset on either axis: -3 dB at 50 Hz is (106, 71).
TEST_F(PlotTest, LevelAtFiftyHertzIsDrawnAtItsPixel)
{
    red[50] = -3;
    Paint(canvas, window, 1);
    EXPECT_EQ(canvas.Pixel(106, 71), RED);
    EXPECT_NE(canvas.Pixel(106, 73), RED);
    EXPECT_EQ(canvas.Pixel(100, ZERO_DB), RED);  // 0 dB on each side
}

// Catches a curve that stops short of 149 Hz or reads on past it.
TEST_F(PlotTest, LastPointIs149HertzAtX304)
{
    Level(red, 20);
    for (int f = 150; f < RESPONSE_SIZE; ++f)
        red[f] = -200;
    Paint(canvas, window, 1);
    EXPECT_EQ(canvas.Pixel(304, BOTTOM - 142), RED);
    for (int x = 305; x < WIDTH; ++x)
        for (int y = 0; y < HEIGHT; ++y)
            ASSERT_NE(canvas.Pixel(x, y), RED) << x << "," << y;
}

class BottomEdgeTest : public PlotTest, public testing::WithParamInterface<int> {};

// Catches a missing or misplaced clamp: deep levels would leave the chart downwards.
TEST_P(BottomEdgeTest, DeepLevelsRestOnTheBottomEdge)
{
    Level(red, GetParam());
    Paint(canvas, window, 1);
    EXPECT_EQ(canvas.Pixel(106, BOTTOM), RED);
    EXPECT_NE(canvas.Pixel(106, BOTTOM + 1), RED);
    EXPECT_NE(canvas.Pixel(106, BOTTOM + 2), RED);
}

INSTANTIATE_TEST_SUITE_P(Levels, BottomEdgeTest, testing::Values(-51, -52, -200));

// Catches a clamp at the top of the frame: +60 dB belongs at bottom - 222.
TEST_F(PlotTest, HighLevelsRiseAboveTheFrame)
{
    Canvas tall(WIDTH, HEIGHT + 100, 100);
    Level(red, 60);
    Paint(tall, window, 1);
    EXPECT_EQ(tall.Pixel(106, BOTTOM - 222), RED);
    EXPECT_NE(tall.Pixel(106, TOP), RED);
}

// Catches a curve that starts from wherever the pen last was instead of the corner.
TEST_F(PlotTest, EveryCurveRisesFromTheBottomLeftCorner)
{
    Paint(canvas, window, 1);  // 0 dB everywhere: from (5, 167) up to (8, 65)
    EXPECT_EQ(canvas.Pixel(LEFT + 1, 150), RED);
}

struct CurveCase {
    int graphs;
    COLORREF atRed, atGreen, atBlue;  // where each curve's own level lies
};

void PrintTo(const CurveCase& c, std::ostream* os)
{
    *os << "graphNumber " << c.graphs;
}

class CurveTest : public PlotTest, public testing::WithParamInterface<CurveCase> {};

// Catches wrong colours, curves drawn beyond graphNumber, or none for values above 3.
TEST_P(CurveTest, GraphNumberDecidesWhichCurvesAreDrawn)
{
    Level(red, -3);   // y 71
    Level(green, -9); // y 83
    Level(blue, 9);   // y 47
    Paint(canvas, window, GetParam().graphs);
    EXPECT_EQ(canvas.Pixel(106, 71), GetParam().atRed);
    EXPECT_EQ(canvas.Pixel(106, 83), GetParam().atGreen);
    EXPECT_EQ(canvas.Pixel(106, 47), GetParam().atBlue);
}

// Where a curve is not drawn, its level's grid line shows.
INSTANTIATE_TEST_SUITE_P(Graphs, CurveTest,
                         testing::Values(CurveCase{0, BLACK, BLACK, BLACK},
                                         CurveCase{1, RED, BLACK, BLACK},
                                         CurveCase{2, RED, GREEN, BLACK},
                                         CurveCase{3, RED, GREEN, BLUE},
                                         CurveCase{4, RED, GREEN, BLUE}));

class DrawingOrderTest : public PlotTest, public testing::WithParamInterface<CurveCase> {};

// Catches curves drawn in another order: the latest graph lies on top.
TEST_P(DrawingOrderTest, LaterCurvesCoverEarlierOnes)
{
    Level(red, -3);
    Level(green, -3);
    Level(blue, -3);
    Paint(canvas, window, GetParam().graphs);
    EXPECT_EQ(canvas.Pixel(106, 71), GetParam().atRed);
}

INSTANTIATE_TEST_SUITE_P(Graphs, DrawingOrderTest,
                         testing::Values(CurveCase{1, RED}, CurveCase{2, GREEN},
                                         CurveCase{3, BLUE}));

// Catches a missing array being read: the window goes on without it.
TEST_F(PlotTest, MissingArrayIsSkipped)
{
    Level(red, -3);
    Level(blue, 9);
    dBMag2 = nullptr;
    Paint(canvas, window, 3);
    EXPECT_EQ(canvas.Count(GREEN), 0);
    EXPECT_GT(canvas.Count(RED), 0);
    EXPECT_GT(canvas.CountOffRow(BLUE, ZERO_DB), 0);
}

// Catches a pen left selected (it could not be deleted and would leak on every
// paint) and a frame and grid drawn with a pen of the plot's own.
TEST_F(PlotTest, FrameUsesTheCurrentPenAndEveryPenIsGivenBack)
{
    const COLORREF grey = RGB(128, 128, 128);
    HPEN pen = CreatePen(PS_SOLID, 1, grey);
    SelectObject(canvas.Dc(), pen);
    Paint(canvas, window, 3);
    EXPECT_EQ(canvas.Pixel(150, TOP), grey);
    EXPECT_EQ(canvas.Pixel(25, 100), grey);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PEN), pen);
    SelectObject(canvas.Dc(), GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

}  // namespace
