#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "resources/kalvora98.h"
#include "support/GuiTest.h"
#include "win/MainWindow.h"

namespace {

enum Kind { GROUP_BOX, LABEL, FIELD, PUSH, RADIO };

struct Expected {
    const char* className;
    const char* text;
    Kind kind;
    bool group;
    int x, y, width, height;
    int id;
};

constexpr int NONE = 0xFFFF;

const Expected controls[] = {
    {"Button", "  Speaker  ", GROUP_BOX, true, 4, 4, 200, 180, 30001},
    {"Button", "  Enclosure  ", GROUP_BOX, true, 212, 4, 205, 180, 30002},
    {"Button", "  Graph  ", GROUP_BOX, true, 212, 190, 205, 53, 30003},
    {"Static", "Model:", LABEL, false, 12, 30, 35, 15, NONE},
    {"Static", "Qts:", LABEL, false, 12, 60, 50, 15, NONE},
    {"Static", "Fs:", LABEL, false, 12, 90, 50, 15, NONE},
    {"Static", "Info:", LABEL, false, 12, 120, 50, 15, NONE},
    {"Button", "Open...", PUSH, true, 20, 150, 50, 22, 30009},
    {"Button", "Save...", PUSH, false, 90, 150, 50, 22, 30010},
    {"Edit", "", FIELD, true, 50, 25, 140, 20, 30004},
    {"Edit", "0.00", FIELD, false, 50, 55, 40, 20, 30005},
    {"Edit", "0.0", FIELD, false, 50, 85, 40, 20, 30007},
    {"Edit", "0.0", FIELD, false, 150, 55, 40, 20, 30006},
    {"Edit", "", FIELD, false, 50, 115, 140, 20, 30008},
    {"Static", "Vas:", LABEL, false, 120, 60, 30, 15, NONE},
    {"Static", "Volume:", LABEL, false, 220, 80, 50, 15, NONE},
    {"Edit", "0.0", FIELD, false, 270, 75, 45, 20, 30020},
    {"Static", "Fb:", LABEL, false, 333, 80, 25, 15, NONE},
    {"Edit", "0.0", FIELD, false, 358, 75, 45, 20, 30021},
    {"Button", "Sealed enclosure", RADIO, false, 220, 22, 120, 22, 30011},
    {"Button", "Ported enclosure", RADIO, false, 220, 45, 120, 22, 30012},
    {"Button", "Optimize", PUSH, false, 220, 115, 60, 22, 30013},
    {"Button", "Port...", PUSH, false, 220, 150, 60, 22, 30023},
    {"Button", "Open graph window...", PUSH, true, 220, 210, 120, 22, 30016},
    {"Button", "Help", PUSH, true, 220, 257, 50, 25, 30018},
    {"Button", "About", PUSH, false, 290, 257, 50, 25, 30017},
    {"Button", "Exit", PUSH, false, 360, 257, 50, 25, 30019},
};

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        children.push_back(c);
    return children;
}

DWORD KindStyle(Kind kind)
{
    switch (kind) {
    case GROUP_BOX: return BS_GROUPBOX;
    case LABEL: return SS_LEFT;
    case FIELD: return ES_LEFT | WS_TABSTOP;
    case PUSH: return BS_PUSHBUTTON | WS_TABSTOP;
    case RADIO: return BS_AUTORADIOBUTTON | WS_TABSTOP;
    }
    return 0;
}

using LayoutTest = MainWindowTest;

// Catches a control missing, moved, renamed, re-styled or created out of order.
TEST_F(LayoutTest, ControlsInCreationOrder)
{
    std::vector<HWND> children = Children(main);
    ASSERT_EQ(children.size(), std::size(controls) + 1) << "27 controls and the status bar";
    HGDIOBJ font = GetStockObject(ANSI_VAR_FONT);
    for (size_t i = 0; i < std::size(controls); ++i) {
        const Expected& e = controls[i];
        HWND c = children[i];
        SCOPED_TRACE("control h" + std::to_string(i + 1) + " \"" + e.text + "\"");
        char className[32] = "";
        GetClassNameA(c, className, sizeof className);
        EXPECT_EQ(lstrcmpiA(className, e.className), 0) << className;
        EXPECT_EQ(WindowText(c), e.text);
        EXPECT_EQ(GetDlgCtrlID(c) & 0xFFFF, e.id);
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, e.x);
        EXPECT_EQ(r.top, e.y);
        EXPECT_EQ(r.right - r.left, e.width);
        EXPECT_EQ(r.bottom - r.top, e.height);

        LONG style = GetWindowLongA(c, GWL_STYLE);
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
        EXPECT_EQ(style & 0xFFFF, KindStyle(e.kind) & 0xFFFF);
        // Checking a radio button moves the tab stop to it, as Windows does.
        bool tabStop = e.kind == RADIO ? IsDlgButtonChecked(main, e.id) == BST_CHECKED
                                       : (KindStyle(e.kind) & WS_TABSTOP) != 0;
        EXPECT_EQ((style & WS_TABSTOP) != 0, tabStop);
        EXPECT_EQ((style & WS_GROUP) != 0, e.group);
        EXPECT_EQ((GetWindowLongA(c, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0, e.kind == FIELD);
        if (e.kind == FIELD)
            EXPECT_EQ(style & ES_AUTOHSCROLL, 0) << "fields do not scroll sideways";
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(c, WM_GETFONT, 0, 0)), font);
    }
}

// Catches the status bar missing, mis-numbered or with another greeting.
TEST_F(LayoutTest, StatusBarIsLastAndGreets)
{
    HWND status = Children(main).back();
    char className[32] = "";
    GetClassNameA(status, className, sizeof className);
    EXPECT_STREQ(className, STATUSCLASSNAMEA);
    EXPECT_EQ(GetDlgCtrlID(status), IDC_STATUS);
    EXPECT_EQ(WindowText(status), "Welcome to Kalvora BETA 2.0");
}

// Catches controls that move with the window, or a status bar that does not follow it.
TEST_F(LayoutTest, ResizingMovesOnlyTheStatusBar)
{
    SetWindowPos(main, nullptr, 0, 0, 600, 500, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    RECT client, status, exit;
    GetClientRect(main, &client);
    GetWindowRect(GetDlgItem(main, IDC_STATUS), &status);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&status), 2);
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(status.right - status.left, client.right);
    GetWindowRect(GetDlgItem(main, IDC_EXIT), &exit);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&exit), 2);
    EXPECT_EQ(exit.left, 360);
    EXPECT_EQ(exit.top, 257);
}

// Catches the start-up state of the enclosure buttons and the keyboard focus.
TEST_F(LayoutTest, StartsSealedWithPortDisabledAndFocusInModel)
{
    EXPECT_EQ(IsDlgButtonChecked(main, IDC_SEALED), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(main, IDC_PORTED), BST_UNCHECKED);
    EXPECT_FALSE(IsWindowEnabled(h23));
    EXPECT_EQ(h23, GetDlgItem(main, IDC_PORT));
    EXPECT_EQ(h24, GetDlgItem(main, IDC_OPEN_GRAPH));
    EXPECT_TRUE(IsWindowEnabled(h24));
    EXPECT_EQ(GetFocus(), GetDlgItem(main, IDC_MODEL));
}

}  // namespace
