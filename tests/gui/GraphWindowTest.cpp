#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "acoustics/Response.h"
#include "record/Speaker.h"
#include "resources/kalvora98.h"
#include "support/GraphTest.h"
#include "win/GraphWindow.h"
#include "win/MainWindow.h"

namespace {

using GraphWindowTest = GraphTest;

bool SamePort(const Ported& a, double volume, double fb)
{
    return a.volume == volume && a.fb == fb;
}

int GraphWindowCount()
{
    int n = 0;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, GRAPH_CLASS_NAME, nullptr));)
        ++n;
    return n;
}

// Catches a class registered with other styles (a redraw-on-resize style, say),
// procedure, cursor or background.
TEST_F(GraphWindowTest, ClassUsesApplicationIconArrowCursorAndWhiteBrush)
{
    ASSERT_NE(OpenGraph(), nullptr);
    WNDCLASSEXA wc = {sizeof wc};
    ASSERT_TRUE(GetClassInfoExA(hInstance, GRAPH_CLASS_NAME, &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(wc.lpfnWndProc, ChildWndProc);
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, 0);
    EXPECT_EQ(wc.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(wc.hbrBackground, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(wc.lpszMenuName, nullptr);
}

// Catches a child window, a missing owner, another size, style or title.
TEST_F(GraphWindowTest, OpensAsAnOwned340By255ToolWindow)
{
    ASSERT_NE(OpenGraph(), nullptr);
    RECT outer, client;
    GetWindowRect(graph, &outer);
    GetClientRect(graph, &client);
    EXPECT_EQ(outer.right - outer.left, 340);
    EXPECT_EQ(outer.bottom - outer.top, 255);
    EXPECT_EQ(client.right, 328);
    EXPECT_EQ(client.bottom, 227);
    const LONG style = GetWindowLongA(graph, GWL_STYLE);
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(style & WS_CHILD, 0);
    const LONG exStyle = WS_EX_CLIENTEDGE | WS_EX_TOOLWINDOW;
    EXPECT_EQ(GetWindowLongA(graph, GWL_EXSTYLE) & exStyle, exStyle);
    EXPECT_EQ(GetWindow(graph, GW_OWNER), main);
    EXPECT_EQ(WindowText(graph), "Frequency response table");
    EXPECT_EQ(GetMenu(graph), nullptr);
    EXPECT_TRUE(IsWindowVisible(graph));
}

// Catches buttons in another order, place, font or with other IDs and texts.
TEST_F(GraphWindowTest, FourButtonsInCreationOrderAtTheirPlaces)
{
    ASSERT_NE(OpenGraph(), nullptr);
    const struct {
        const char* text;
        int id;
        RECT place;
    } expected[] = {
        {"Draw", IDC_GRAPH_DRAW, {10, 195, 70, 215}},
        {"Clear", IDC_GRAPH_CLEAR, {80, 195, 140, 215}},
        {"Close", IDC_GRAPH_CLOSE, {245, 195, 305, 215}},
        {"Enclosures...", IDC_GRAPH_ENCLOSURES, {150, 195, 235, 215}},
    };
    HWND button = GetWindow(graph, GW_CHILD);
    for (const auto& e : expected) {
        ASSERT_NE(button, nullptr) << e.text;
        char className[16] = "";
        GetClassNameA(button, className, sizeof className);
        EXPECT_STRCASEEQ(className, "Button");
        EXPECT_EQ(WindowText(button), e.text);
        EXPECT_EQ(GetDlgCtrlID(button), e.id);
        EXPECT_EQ(GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
        RECT place;
        GetWindowRect(button, &place);
        MapWindowPoints(nullptr, graph, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_TRUE(EqualRect(&place, &e.place)) << e.text;
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(button, WM_GETFONT, 0, 0)),
                  GetStockObject(ANSI_VAR_FONT));
        EXPECT_TRUE(IsWindowVisible(button));
        button = GetWindow(button, GW_HWNDNEXT);
    }
    EXPECT_EQ(button, nullptr);
}

// Catches an opening that waits for Draw, or computes other than the chosen design.
TEST_F(GraphWindowTest, OpeningComputesAndShowsRedAtOnce)
{
    Design(BOX_PORTED, "73.72", "32.41");
    ASSERT_NE(OpenGraph(), nullptr);
    EXPECT_EQ(graphNumber, 1);
    EXPECT_EQ(winNumber, 1);
    EXPECT_TRUE(SamePort(port[0], 73.72, 32.41));
    EXPECT_EQ(Levels(dBMag), Reference(BOX_PORTED));
    ShownCurves shown = Shown();
    EXPECT_GT(shown.red, 0);
    EXPECT_EQ(shown.green, 0);
    EXPECT_EQ(shown.blue, 0);
}

// Catches Draw filling the wrong graph or not repainting: green, then blue.
TEST_F(GraphWindowTest, DrawAddsGreenThenBlue)
{
    Design(BOX_SEALED, "40", "50");
    ASSERT_NE(OpenGraph(), nullptr);
    Design(BOX_SEALED, "20", "70");
    Press(IDC_GRAPH_DRAW);
    EXPECT_EQ(graphNumber, 2);
    EXPECT_EQ(Levels(dBMag2), Reference(BOX_SEALED));
    ShownCurves shown = Shown();
    EXPECT_GT(shown.red, 0);
    EXPECT_GT(shown.green, 0);
    EXPECT_EQ(shown.blue, 0);

    Design(BOX_SEALED, "80", "35");
    Press(IDC_GRAPH_DRAW);
    EXPECT_EQ(graphNumber, 3);
    EXPECT_EQ(Levels(dBMag3), Reference(BOX_SEALED));
    EXPECT_TRUE(SamePort(port[2], 80, 35));
    EXPECT_GT(Shown().blue, 0);
}

// Catches a fourth Draw that recomputes a graph or repaints.
TEST_F(GraphWindowTest, FourthDrawChangesNothing)
{
    Design(BOX_SEALED, "40", "50");
    ASSERT_NE(OpenGraph(), nullptr);
    Press(IDC_GRAPH_DRAW);
    Press(IDC_GRAPH_DRAW);
    const auto before = Levels(dBMag3);
    Design(BOX_PORTED, "73.72", "32.41");
    Press(IDC_GRAPH_DRAW);
    SendMessageA(graph, WM_COMMAND, IDC_GRAPH_DRAW, 0);
    EXPECT_EQ(graphNumber, 3);
    EXPECT_EQ(Levels(dBMag3), before);
    for (const Ported& p : port)
        EXPECT_TRUE(SamePort(p, 40, 50));
    EXPECT_FALSE(GetUpdateRect(graph, nullptr, FALSE));
}

// Catches Clear resetting `port` or the arrays, and Draw after it filling another
// graph than red.
TEST_F(GraphWindowTest, ClearThenDrawRecomputesOnlyRed)
{
    ASSERT_NE(DrawThreeSealedGraphs(), nullptr);
    const auto green = Levels(dBMag2), blue = Levels(dBMag3);

    Press(IDC_GRAPH_CLEAR);
    EXPECT_EQ(graphNumber, 0);
    ShownCurves shown = Shown();
    EXPECT_EQ(shown.red + shown.green + shown.blue, 0);
    Press(IDC_GRAPH_CLEAR);
    EXPECT_EQ(graphNumber, 0);

    Design(BOX_PORTED, "73.72", "32.41");
    Press(IDC_GRAPH_DRAW);
    EXPECT_EQ(graphNumber, 1);
    EXPECT_EQ(Levels(dBMag), Reference(BOX_PORTED));
    EXPECT_EQ(Levels(dBMag2), green);
    EXPECT_EQ(Levels(dBMag3), blue);
    EXPECT_TRUE(SamePort(port[0], 73.72, 32.41));
    EXPECT_TRUE(SamePort(port[1], 20, 70));
    EXPECT_TRUE(SamePort(port[2], 80, 35));
    shown = Shown();
    EXPECT_GT(shown.red, 0);
    EXPECT_EQ(shown.green + shown.blue, 0);
}

// Catches graphs computed from the type selected at opening instead of at each Draw.
TEST_F(GraphWindowTest, SealedRedAndPortedGreenShareOneChart)
{
    Design(BOX_SEALED, "40", "50");
    ASSERT_NE(OpenGraph(), nullptr);
    const auto sealed = Reference(BOX_SEALED);
    Design(BOX_PORTED, "73.72", "32.41");
    Press(IDC_GRAPH_DRAW);
    EXPECT_EQ(Levels(dBMag), sealed);
    EXPECT_EQ(Levels(dBMag2), Reference(BOX_PORTED));
    EXPECT_TRUE(SamePort(port[0], 40, 50));
    EXPECT_TRUE(SamePort(port[1], 73.72, 32.41));
    ShownCurves shown = Shown();
    EXPECT_GT(shown.red, 0);
    EXPECT_GT(shown.green, 0);
}

enum class CloseBy { Button, CloseMessage, SystemMenu };

class GraphCloseTest : public GraphTest, public testing::WithParamInterface<CloseBy> {
protected:
    void CloseGraph()
    {
        switch (GetParam()) {
        case CloseBy::Button:
            Click(graph, IDC_GRAPH_CLOSE);
            break;
        case CloseBy::CloseMessage:
            SendMessageA(graph, WM_CLOSE, 0, 0);
            break;
        case CloseBy::SystemMenu:
            SendMessageA(graph, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
        PumpMessages();
    }
};

// Catches a close path that leaves arrays, counters or the main window's button behind.
TEST_P(GraphCloseTest, EveryCloseFreesTheArraysAndGivesBackTheButton)
{
    Design(BOX_SEALED, "40", "50");
    ASSERT_NE(OpenGraph(), nullptr);
    Press(IDC_GRAPH_DRAW);
    Press(IDC_GRAPH_DRAW);
    EXPECT_FALSE(IsWindowEnabled(h24));
    CloseGraph();
    EXPECT_FALSE(IsWindow(graph));
    EXPECT_EQ(dBMag, nullptr);
    EXPECT_EQ(dBMag2, nullptr);
    EXPECT_EQ(dBMag3, nullptr);
    EXPECT_EQ(graphNumber, 0);
    EXPECT_EQ(winNumber, 0);
    EXPECT_TRUE(IsWindowEnabled(h24));
    EXPECT_TRUE(SamePort(port[2], 40, 50));
}

void PrintTo(CloseBy by, std::ostream* os)
{
    *os << (by == CloseBy::Button ? "Close button" : by == CloseBy::CloseMessage ? "WM_CLOSE" : "SC_CLOSE");
}

INSTANTIATE_TEST_SUITE_P(Ways, GraphCloseTest,
                         testing::Values(CloseBy::Button, CloseBy::CloseMessage,
                                         CloseBy::SystemMenu));

// Catches a reopened window that continues the old graph count or keeps the old
// arrays, or a button left disabled.
TEST_F(GraphWindowTest, ReopenedWindowStartsRedAgain)
{
    Design(BOX_SEALED, "40", "50");
    ASSERT_NE(OpenGraph(), nullptr);
    Press(IDC_GRAPH_DRAW);
    Press(IDC_GRAPH_DRAW);
    Press(IDC_GRAPH_CLOSE);
    Design(BOX_PORTED, "73.72", "32.41");
    ASSERT_NE(OpenGraph(), nullptr);
    EXPECT_FALSE(IsWindowEnabled(h24));
    EXPECT_EQ(graphNumber, 1);
    EXPECT_EQ(winNumber, 1);
    EXPECT_EQ(Levels(dBMag), Reference(BOX_PORTED));
    EXPECT_TRUE(SamePort(port[1], 40, 50));
    ShownCurves shown = Shown();
    EXPECT_GT(shown.red, 0);
    EXPECT_EQ(shown.green + shown.blue, 0);
}

// Catches a second window, and a second set of arrays, from a repeated command.
TEST_F(GraphWindowTest, AtMostOneGraphWindowExists)
{
    ASSERT_NE(OpenGraph(), nullptr);
    int* const first = dBMag;
    Command(IDC_OPEN_GRAPH);
    PumpMessages();
    EXPECT_EQ(GraphWindowCount(), 1);
    EXPECT_EQ(winNumber, 1);
    EXPECT_EQ(dBMag, first);
}

HHOOK refusal;

// A CBT hook that refuses to create any graph window.
LRESULT CALLBACK RefuseGraphWindows(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        char className[64] = "";
        GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
        if (lstrcmpA(className, GRAPH_CLASS_NAME) == 0)
            return 1;
    }
    return CallNextHookEx(refusal, code, wParam, lParam);
}

// Catches a graph window that failed to open locking the button for good.
TEST_F(GraphWindowTest, FailedOpeningLeavesTheButtonUsable)
{
    refusal = SetWindowsHookExA(WH_CBT, RefuseGraphWindows, nullptr, GetCurrentThreadId());
    Command(IDC_OPEN_GRAPH);
    UnhookWindowsHookEx(refusal);
    EXPECT_EQ(GraphWindowCount(), 0);
    EXPECT_EQ(winNumber, 0);
    EXPECT_TRUE(IsWindowEnabled(h24));
    ASSERT_NE(OpenGraph(), nullptr) << "a later try opens it";
    EXPECT_FALSE(IsWindowEnabled(h24));
}

struct WindowSize {
    int width;
    int height;
};

void PrintTo(WindowSize size, std::ostream* os)
{
    *os << size.width << "x" << size.height;
}

class GraphResizeTest : public GraphTest, public testing::WithParamInterface<WindowSize> {};

// Catches a resize that repaints only the uncovered strip (or nothing when the
// window shrinks), leaving a chart laid out for the old size; and moving buttons.
TEST_P(GraphResizeTest, ResizeRepaintsTheWholeChart)
{
    ASSERT_NE(OpenGraph(), nullptr);
    ASSERT_FALSE(GetUpdateRect(graph, nullptr, FALSE));
    SetWindowPos(graph, nullptr, 0, 0, GetParam().width, GetParam().height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(graph, &client);
    HRGN update = CreateRectRgn(0, 0, 0, 0), whole = CreateRectRgnIndirect(&client);
    GetUpdateRgn(graph, update, FALSE);
    EXPECT_TRUE(EqualRgn(update, whole));
    DeleteObject(update);
    DeleteObject(whole);
    RECT draw;
    GetWindowRect(GetDlgItem(graph, IDC_GRAPH_DRAW), &draw);
    MapWindowPoints(nullptr, graph, reinterpret_cast<POINT*>(&draw), 2);
    EXPECT_EQ(draw.top, 195);
}

INSTANTIATE_TEST_SUITE_P(Sizes, GraphResizeTest,
                         testing::Values(WindowSize{420, 300}, WindowSize{300, 230}));

// The window layer's calculations on the program's globals, without a window.
class CalcTest : public testing::Test {
protected:
    void SetUp() override
    {
        saved = speaker;
        speaker = {};
        speaker.qts = 0.4, speaker.vas = 50, speaker.fs = 30;
        speaker.ported = {40, 35};
        speaker.sealed = {25, 55, 0.8};
        graphNumber = 1;
        for (Ported& p : port)
            p = {};
        dBMag = red.data(), dBMag2 = green.data(), dBMag3 = blue.data();
    }
    void TearDown() override
    {
        dBMag = dBMag2 = dBMag3 = nullptr;
        graphNumber = 0;
        speaker = saved;
    }

    Speaker saved;
    std::vector<int> red = std::vector<int>(RESPONSE_SIZE, 12345);
    std::vector<int> green = std::vector<int>(RESPONSE_SIZE, 12345);
    std::vector<int> blue = std::vector<int>(RESPONSE_SIZE, 12345);
};

// Catches writes outside graphs 1 to 3, into the array or into `port`.
TEST_F(CalcTest, GraphNumbersOutsideOneToThreeChangeNothing)
{
    for (int number : {0, 4, -1}) {
        graphNumber = number;
        CalcSealed();
        CalcPorted();
    }
    for (const std::vector<int>* array : {&red, &green, &blue})
        EXPECT_EQ(*array, std::vector<int>(RESPONSE_SIZE, 12345));
    for (const Ported& p : port)
        EXPECT_TRUE(p.volume == 0 && p.fb == 0);
}

// Catches a calculation that fills the wrong graph's array or port entry, or passes
// the wrong design to the core.
TEST_F(CalcTest, EachGraphFillsItsOwnArrayAndPortEntry)
{
    graphNumber = 2;
    CalcPorted();
    graphNumber = 3;
    CalcSealed();
    std::vector<int> ported(RESPONSE_SIZE), sealed(RESPONSE_SIZE);
    PortedResponse(speaker, speaker.ported, ported.data());
    SealedResponse(speaker.sealed, sealed.data());
    EXPECT_EQ(red[50], 12345);
    EXPECT_EQ(green[50], ported[50]);
    EXPECT_EQ(blue[55], sealed[55]);
    EXPECT_TRUE(SamePort(port[0], 0, 0));
    EXPECT_TRUE(SamePort(port[1], 40, 35));
    EXPECT_TRUE(SamePort(port[2], 25, 55));
}

// Catches a calculation that writes through a missing array.
TEST_F(CalcTest, MissingArrayIsLeftAlone)
{
    dBMag = nullptr;
    CalcSealed();
    CalcPorted();
    EXPECT_EQ(port[0].fb, 0);
}

}  // namespace
