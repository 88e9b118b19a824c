#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "acoustics/Response.h"
#include "record/Speaker.h"
#include "resources/kalvora98.h"
#include "support/DialogLook.h"
#include "support/DialogRun.h"
#include "support/GraphTest.h"
#include "support/Pixels.h"
#include "win/GraphWindow.h"
#include "win/MainWindow.h"

namespace {

const char TITLE[] = "Enclosures...";
// Red, green, blue; volume then Fb.
const int ROW_FIELDS[] = {IDC_ENCL_RED_VOLUME,  IDC_ENCL_RED_FB,  IDC_ENCL_GREEN_VOLUME,
                          IDC_ENCL_GREEN_FB,    IDC_ENCL_BLUE_VOLUME, IDC_ENCL_BLUE_FB};

using Rows = std::vector<std::string>;

bool stillOpen;

// Runs from the dialog's own modal loop, after whatever the test sent or posted has
// been handled; a dialog that was ended is gone by then, and its timer with it.
void CALLBACK CloseIfStillOpen(HWND dialog, UINT, UINT_PTR id, DWORD)
{
    KillTimer(dialog, id);
    stillOpen = true;
    Click(dialog, IDC_ENCL_CLOSE);
}

class EnclosuresDialogTest : public GraphTest {
protected:
    // Opens the dialog with the graph window's button and runs `script` inside it; the
    // script must end it. Message boxes opened on the way are answered with OK.
    void Open(const std::function<void(HWND)>& script)
    {
        run = RunDialog(TITLE, [&] { Press(IDC_GRAPH_ENCLOSURES); }, script);
        EXPECT_NE(run.dialog, nullptr) << "the dialog never opened";
    }

    Rows Shown()
    {
        Rows rows;
        Open([&](HWND d) {
            for (int id : ROW_FIELDS)
                rows.push_back(ItemText(d, id));
            Click(d, IDC_ENCL_CLOSE);
        });
        return rows;
    }

    DialogRun run;
};

constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE;
constexpr DWORD FIELD = CHILD | ES_CENTER | WS_BORDER;

// As the resource compiler writes it: style, extended style, x, y, width, height, ID,
// class, text ("#n" for bitmap resource n).
const TemplateItem ENCLOSURES_TEMPLATE[] = {
    {CHILD | SS_CENTER, 0, 67, 5, 44, 18, -1, "STATIC", "Enclosure volume"},
    {CHILD | SS_CENTER, 0, 123, 6, 44, 7, -1, "STATIC", "Fb"},
    {CHILD | SS_BITMAP, 0, 6, 27, 8, 8, -1, "STATIC", "#4"},
    {CHILD | SS_LEFT, 0, 20, 27, 44, 12, -1, "STATIC", "Red graph: "},
    {CHILD | SS_BITMAP, 0, 6, 43, 8, 8, -1, "STATIC", "#5"},
    {CHILD | SS_LEFT, 0, 20, 43, 44, 14, -1, "STATIC", "Green graph:"},
    {CHILD | SS_BITMAP, 0, 6, 59, 8, 8, -1, "STATIC", "#7"},
    {CHILD | SS_LEFT, 0, 20, 60, 44, 14, -1, "STATIC", "Blue graph:"},
    {CHILD | BS_PUSHBUTTON | BS_CENTER | WS_GROUP, 0, 24, 82, 44, 14, IDC_ENCL_HELP, "BUTTON", "Help"},
    {CHILD | BS_PUSHBUTTON | BS_CENTER, 0, 103, 82, 44, 14, IDC_ENCL_CLOSE, "BUTTON", "Close"},
    {FIELD, 0, 68, 26, 25, 13, IDC_ENCL_RED_VOLUME, "EDIT", ""},
    {FIELD, 0, 68, 57, 25, 13, IDC_ENCL_BLUE_VOLUME, "EDIT", ""},
    {FIELD, 0, 68, 41, 25, 13, IDC_ENCL_GREEN_VOLUME, "EDIT", ""},
    {FIELD, 0, 125, 26, 25, 13, IDC_ENCL_RED_FB, "EDIT", ""},
    {FIELD, 0, 125, 41, 25, 13, IDC_ENCL_GREEN_FB, "EDIT", ""},
    {FIELD, 0, 125, 57, 25, 13, IDC_ENCL_BLUE_FB, "EDIT", ""},
    {CHILD | SS_LEFT, 0, 100, 28, 8, 13, -1, "STATIC", "l"},
    {CHILD | SS_LEFT, 0, 100, 43, 8, 13, -1, "STATIC", "l"},
    {CHILD | SS_LEFT, 0, 154, 60, 14, 13, -1, "STATIC", "Hz"},
    {CHILD | SS_LEFT, 0, 100, 60, 8, 13, -1, "STATIC", "l"},
    {CHILD | SS_LEFT, 0, 153, 44, 15, 13, -1, "STATIC", "Hz"},
    {CHILD | SS_LEFT, 0, 153, 29, 15, 13, -1, "STATIC", "Hz"},
};

std::string Describe(const TemplateItem& item)
{
    char text[256];
    std::snprintf(text, sizeof text, "%d %s \"%s\" style %08lX ex %08lX at %d,%d %dx%d",
                  item.id, item.className.c_str(), item.text.c_str(), item.style, item.exStyle,
                  item.x, item.y, item.cx, item.cy);
    return text;
}

std::string Describe(const DialogTemplate& t)
{
    char text[256];
    std::snprintf(text, sizeof text, "\"%s\" %dx%d, %d pt %s, style %08lX ex %08lX",
                  t.title.c_str(), t.cx, t.cy, t.pointSize, t.font.c_str(), t.style, t.exStyle);
    return text;
}

// Catches a template with another caption, size, style or font, or controls missing,
// reordered, given tab stops or styled otherwise (a read-only field, say).
TEST(EnclosuresTemplateTest, Is178By105ToolDialogWithItsControlsInOrder)
{
    DialogTemplate t;
    ASSERT_TRUE(ReadDialogTemplate(GetModuleHandleA(nullptr), IDD_ENCLOSURES, t));
    const DWORD style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                        DS_CENTER | DS_3DLOOK | DS_SETFONT;
    EXPECT_EQ(Describe(t), Describe({style, WS_EX_TOOLWINDOW, 178, 105, TITLE, 8, "MS Sans Serif"}));
    ASSERT_EQ(t.items.size(), std::size(ENCLOSURES_TEMPLATE));
    for (size_t i = 0; i < t.items.size(); ++i)
        EXPECT_EQ(Describe(t.items[i]), Describe(ENCLOSURES_TEMPLATE[i])) << "control " << i;
}

struct Swatch {
    int id;
    COLORREF colour;
};

void PrintTo(const Swatch& s, std::ostream* os)
{
    *os << "bitmap " << s.id;
}

class SwatchTest : public testing::TestWithParam<Swatch> {};

// Catches a swatch of another size, depth or colour than the curve of its row.
TEST_P(SwatchTest, IsAnEightByEightFourBitBlockOfTheCurveColour)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(GetParam().id), RT_BITMAP);
    ASSERT_NE(found, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(
        LockResource(LoadResource(instance, found)));
    EXPECT_EQ(header->biWidth, 8);
    EXPECT_EQ(header->biHeight, 8);
    EXPECT_EQ(header->biBitCount, 4);

    Canvas canvas(8, 8);
    HBITMAP bitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(GetParam().id));
    HDC source = CreateCompatibleDC(canvas.Dc());
    HGDIOBJ previous = SelectObject(source, bitmap);
    BitBlt(canvas.Dc(), 0, 0, 8, 8, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(bitmap);
    EXPECT_EQ(canvas.Count(GetParam().colour), 64);
}

INSTANTIATE_TEST_SUITE_P(Rows, SwatchTest,
                         testing::Values(Swatch{IDB_SWATCH_RED, RED},
                                         Swatch{IDB_SWATCH_GREEN, GREEN},
                                         Swatch{IDB_SWATCH_BLUE, BLUE}));

// Catches values in the wrong rows or format, a dialog not owned by the graph window,
// or one that leaves the graph window usable while it is open.
TEST_F(EnclosuresDialogTest, FirstOpeningShowsThePortedDesignInTheRedRow)
{
    Design(BOX_PORTED, "73.72", "32.41");
    ASSERT_NE(OpenGraph(), nullptr);
    EXPECT_EQ(Shown(), (Rows{"73.7", "32.4", "0.0", "0.0", "0.0", "0.0"}));
    ASSERT_EQ(run.seen.size(), 1u);
    EXPECT_EQ(run.seen[0].owner, graph);
    Open([&](HWND d) {
        EXPECT_FALSE(IsWindowEnabled(graph)) << "not modal";
        Click(d, IDC_ENCL_CLOSE);
    });
    EXPECT_TRUE(IsWindowEnabled(graph));
}

// Catches rows reset by Clear, or the sealed box's Q or another figure shown as Fb.
TEST_F(EnclosuresDialogTest, ClearAndDrawReplaceOnlyTheRedRow)
{
    ASSERT_NE(DrawThreeSealedGraphs(), nullptr);
    EXPECT_EQ(Shown(), (Rows{"40.0", "50.0", "20.0", "70.0", "80.0", "35.0"}));
    Press(IDC_GRAPH_CLEAR);
    EXPECT_EQ(Shown(), (Rows{"40.0", "50.0", "20.0", "70.0", "80.0", "35.0"}));
    Design(BOX_PORTED, "73.72", "32.41");
    Press(IDC_GRAPH_DRAW);
    EXPECT_EQ(Shown(), (Rows{"73.7", "32.4", "20.0", "70.0", "80.0", "35.0"}));
}

// Catches typed text that is read back into `port` or kept between openings.
TEST_F(EnclosuresDialogTest, TypedTextIsGoneOnReopening)
{
    Design(BOX_SEALED, "40", "50");
    ASSERT_NE(OpenGraph(), nullptr);
    Open([&](HWND d) {
        for (int id : ROW_FIELDS)
            SetDlgItemTextA(d, id, "123");
        Click(d, IDC_ENCL_CLOSE);
    });
    EXPECT_EQ(Shown(), (Rows{"40.0", "50.0", "0.0", "0.0", "0.0", "0.0"}));
    EXPECT_EQ(port[1].volume, 0.0);
}

// Catches the swatch bitmaps left behind: the statics that load them never delete
// them, so each opening would leak three GDI objects.
TEST_F(EnclosuresDialogTest, ClosingReleasesTheSwatchBitmaps)
{
    ASSERT_NE(OpenGraph(), nullptr);
    std::vector<HGDIOBJ> swatches;
    Open([&](HWND d) {
        for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (HGDIOBJ image = reinterpret_cast<HGDIOBJ>(
                    SendMessageA(c, STM_GETIMAGE, IMAGE_BITMAP, 0)))
                swatches.push_back(image);
        for (HGDIOBJ image : swatches)
            EXPECT_EQ(GetObjectType(image), static_cast<DWORD>(OBJ_BITMAP));
        Click(d, IDC_ENCL_CLOSE);
    });
    ASSERT_EQ(swatches.size(), 3u);
    for (HGDIOBJ image : swatches)
        EXPECT_EQ(GetObjectType(image), 0u) << "bitmap still alive";
}

// A way the user might try to get rid of the dialog, as the dialog receives it; keys
// are posted so that the modal loop's dialog navigation turns them into commands.
struct Dismissal {
    const char* name;
    UINT msg;
    WPARAM wParam;
    bool post;
};

void PrintTo(const Dismissal& d, std::ostream* os)
{
    *os << d.name;
}

class EnclosuresDismissTest : public EnclosuresDialogTest,
                              public testing::WithParamInterface<Dismissal> {};

// Catches the usual EndDialog on IDOK or IDCANCEL: only the Close button ends it.
TEST_P(EnclosuresDismissTest, DialogStaysOpen)
{
    ASSERT_NE(OpenGraph(), nullptr);
    stillOpen = false;
    Open([&](HWND d) {
        const Dismissal& way = GetParam();
        if (way.post)
            PostMessageA(d, way.msg, way.wParam, 0);
        else
            SendMessageA(d, way.msg, way.wParam, 0);
        SetTimer(d, 2, 100, CloseIfStillOpen);
    });
    EXPECT_TRUE(stillOpen);
}

INSTANTIATE_TEST_SUITE_P(Ways, EnclosuresDismissTest,
                         testing::Values(Dismissal{"IDOK", WM_COMMAND, IDOK, false},
                                         Dismissal{"IDCANCEL", WM_COMMAND, IDCANCEL, false},
                                         Dismissal{"close box", WM_SYSCOMMAND, SC_CLOSE, false},
                                         Dismissal{"WM_CLOSE", WM_CLOSE, 0, false},
                                         Dismissal{"Enter", WM_KEYDOWN, VK_RETURN, true},
                                         Dismissal{"Escape", WM_KEYDOWN, VK_ESCAPE, true}));

// Catches another text, title, owner, icon or buttons, or Help ending the dialog.
TEST_F(EnclosuresDialogTest, HelpSaysItIsNotImplementedYet)
{
    ASSERT_NE(OpenGraph(), nullptr);
    stillOpen = false;
    Open([&](HWND d) {
        Click(d, IDC_ENCL_HELP);
        SetTimer(d, 2, 100, CloseIfStillOpen);
    });
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(run.seen.size(), 2u);
    EXPECT_EQ(run.seen[1].caption, "System message");
    EXPECT_EQ(run.seen[1].text, "Command not implemented yet");
    EXPECT_EQ(run.seen[1].owner, run.dialog);
    ASSERT_EQ(run.boxLooks.size(), 1u);
    EXPECT_EQ(run.boxLooks[0].buttons, std::vector<int>{IDOK});
    EXPECT_FALSE(run.boxLooks[0].icon);
}

struct LongValue {
    double value;
    const char* text;
};

void PrintTo(const LongValue& v, std::ostream* os)
{
    *os << v.text;
}

class EnclosuresLongValueTest : public EnclosuresDialogTest,
                                public testing::WithParamInterface<LongValue> {};

// Catches texts cut to a fixed buffer: values of any size are shown whole.
TEST_P(EnclosuresLongValueTest, IsShownWhole)
{
    ASSERT_NE(OpenGraph(), nullptr);
    port[1] = {GetParam().value, 0};
    port[2] = {0, 1e300};
    Rows rows = Shown();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[2], GetParam().text);
    EXPECT_EQ(rows[5].size(), 303u);  // 301 digits, the point and one decimal
}

INSTANTIATE_TEST_SUITE_P(Values, EnclosuresLongValueTest,
                         testing::Values(LongValue{999999.94, "999999.9"},
                                         LongValue{10000000, "10000000.0"},
                                         LongValue{-1000000, "-1000000.0"},
                                         LongValue{123456789012.0, "123456789012.0"}));

}  // namespace
