#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <ostream>
#include <functional>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "record/Speaker.h"
#include "resources/kalvora98.h"
#include "support/DialogLook.h"
#include "support/GuiTest.h"
#include "win/MainWindow.h"
#include "win/PortDialog.h"

namespace {

const char TITLE[] = "Port dimension...";
const char DIAMETER_STATUS[] = "Change the port diameter";
const char HELP_TEXT[] = "Command not implemented yet\n\n NOTE: If the length < 0 then you\n"
                         "    should increase the diameter";
const int PORT_BUTTONS[] = {IDC_PORTS_1, IDC_PORTS_2, IDC_PORTS_3, IDC_PORTS_4};

std::string Length(HWND dialog) { return ItemText(dialog, IDC_PORT_LENGTH); }
std::string Status(HWND dialog) { return ItemText(dialog, IDC_PORT_STATUS); }

void TypeDiameter(HWND dialog, const char* text)
{
    SetDlgItemTextA(dialog, IDC_PORT_DIAMETER, text);
}

std::vector<int> CheckedButtons(HWND dialog)
{
    std::vector<int> checked;
    for (int id : PORT_BUTTONS)
        if (IsDlgButtonChecked(dialog, id) == BST_CHECKED)
            checked.push_back(id);
    return checked;
}

// The ported design of a 50 litre box tuned to 35 Hz, entered through the fields.
class PortDialogTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        Command(IDC_PORTED);
        SetField(IDC_VOLUME, "50");
        SetField(IDC_FB, "35");
    }

    // Opens the dialog with the Port button and runs `script` inside it, then clicks
    // Close, which must end it. Message boxes opened on the way are answered with OK.
    void Open(const std::function<void(HWND)>& script)
    {
        dialog = nullptr;
        ModalWatcher watcher([&](HWND window, int) {
            if (WindowText(window) != TITLE) {
                boxLooks.push_back(LookAt(window));
                PressOk(window);
                return;
            }
            dialog = window;
            script(window);
            Click(window, IDC_PORT_CLOSE);
            if (IsWindowVisible(window)) {
                ADD_FAILURE() << "Close did not end the dialog";
                EndDialog(window, 0);
            }
        });
        Command(IDC_PORT);
        seen = watcher.Seen();
        EXPECT_NE(dialog, nullptr) << "the dialog never opened";
    }

    HWND dialog = nullptr;
    std::vector<ModalWindow> seen;
    std::vector<BoxLook> boxLooks;
};

struct Control {
    int id;
    const char* className;
    const char* text;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
};

constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE;

const Control PORT_TEMPLATE[] = {
    {-1, "STATIC", "Port length and diameter depending on the current Fb and enclosure volume",
     CHILD | SS_LEFT, 0, 3, 8, 124, 20},
    {-1, "STATIC", "Port diameter:", CHILD | SS_LEFT, 0, 3, 32, 50, 9},
    {IDC_PORT_DIAMETER, "EDIT", "", CHILD | ES_LEFT | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE,
     53, 29, 28, 13},
    {-1, "STATIC", "cm", CHILD | SS_LEFT, 0, 85, 32, 20, 13},
    {-1, "STATIC", "Port length:", CHILD | SS_LEFT, 0, 3, 51, 44, 9},
    {IDC_PORT_LENGTH, "EDIT", "", CHILD | ES_LEFT | WS_BORDER | WS_TABSTOP, WS_EX_CLIENTEDGE,
     53, 49, 28, 13},
    {-1, "STATIC", "cm", CHILD | SS_LEFT, 0, 85, 52, 20, 13},
    {IDC_PORTS_1, "BUTTON", "1 Port", CHILD | BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 0,
     14, 68, 44, 13},
    {IDC_PORTS_2, "BUTTON", "2 Ports", CHILD | BS_AUTORADIOBUTTON | WS_TABSTOP, 0, 14, 81, 44,
     13},
    {IDC_PORTS_3, "BUTTON", "3 Ports", CHILD | BS_AUTORADIOBUTTON | WS_TABSTOP, 0, 63, 68, 44,
     13},
    {IDC_PORTS_4, "BUTTON", "4 Ports", CHILD | BS_AUTORADIOBUTTON | WS_TABSTOP, 0, 63, 81, 44,
     13},
    {IDC_PORT_HELP, "BUTTON", "Help", CHILD | BS_PUSHBUTTON | BS_CENTER | WS_TABSTOP | WS_GROUP,
     0, 11, 102, 40, 14},
    {IDC_PORT_CLOSE, "BUTTON", "Close", CHILD | BS_PUSHBUTTON | BS_CENTER | WS_TABSTOP, 0, 64,
     102, 40, 14},
    {IDC_PORT_STATUS, "msctls_statusbar32", "StatusWindow3", CHILD | CCS_BOTTOM, 0, 0, 126, 117,
     12},
};

// Catches a template with another caption, size, font, a close box, a default button,
// or controls missing, reordered (the tab order) or styled otherwise.
TEST(PortTemplateTest, Is130By138WithItsControlsInTabOrder)
{
    DialogTemplate t;
    ASSERT_TRUE(ReadDialogTemplate(GetModuleHandleA(nullptr), IDD_PORT, t));
    EXPECT_EQ(t.title, TITLE);
    EXPECT_EQ(t.cx, 130);
    EXPECT_EQ(t.cy, 138);
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.font, "MS Sans Serif");
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME |
                                          DS_CENTER | DS_3DLOOK | DS_CONTEXTHELP | DS_SETFONT));
    EXPECT_EQ(t.exStyle, static_cast<DWORD>(WS_EX_CONTEXTHELP));
    ASSERT_EQ(t.items.size(), std::size(PORT_TEMPLATE));
    for (size_t i = 0; i < t.items.size(); ++i) {
        const TemplateItem& item = t.items[i];
        const Control& want = PORT_TEMPLATE[i];
        SCOPED_TRACE(testing::Message() << "control " << i << " \"" << want.text << "\"");
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(lstrcmpiA(item.className.c_str(), want.className), 0) << item.className;
        EXPECT_EQ(item.text, want.text);
        EXPECT_EQ(item.style, want.style);
        EXPECT_EQ(item.exStyle, want.exStyle);
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
    }
}

// Catches a dialog that opens with other values, checks no button, leaves the
// template's status text, leaves the Length field editable or takes the focus away
// from the Diameter field.
TEST_F(PortDialogTest, OpensAt10cmWithOnePort)
{
    Open([&](HWND d) {
        EXPECT_EQ(ItemText(d, IDC_PORT_DIAMETER), "10.0");
        EXPECT_EQ(Length(d), "31.1");
        EXPECT_EQ(CheckedButtons(d), std::vector<int>{IDC_PORTS_1});
        EXPECT_EQ(Status(d), DIAMETER_STATUS);
        char part[64] = "";
        SendDlgItemMessageA(d, IDC_PORT_STATUS, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(part));
        EXPECT_STREQ(part, DIAMETER_STATUS);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_PORT_LENGTH)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_PORT_DIAMETER)));
        EXPECT_EQ(GetFocus(), GetDlgItem(d, IDC_PORT_DIAMETER));
        EXPECT_EQ(GetWindow(d, GW_OWNER), main);
        EXPECT_FALSE(IsWindowEnabled(main)) << "not modal";
        EXPECT_EQ(GetWindowLongA(d, GWL_STYLE) & WS_SYSMENU, 0) << "has a close box";
    });
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, TITLE);
    EXPECT_TRUE(IsWindowEnabled(main));
}

struct PortCount {
    int id;
    const char* length;
    const char* status;
};

void PrintTo(const PortCount& p, std::ostream* os) { *os << p.status; }

class PortCountTest : public PortDialogTest, public testing::WithParamInterface<PortCount> {};

// Catches a button mapped to the wrong number of ports or status text, or a count
// that does not reach the calculation.
TEST_P(PortCountTest, ButtonSetsTheCountAndItsStatus)
{
    Open([&](HWND d) {
        Click(d, GetParam().id == IDC_PORTS_4 ? IDC_PORTS_1 : IDC_PORTS_4);
        Click(d, GetParam().id);
        EXPECT_EQ(Length(d), GetParam().length);
        EXPECT_EQ(Status(d), GetParam().status);
        EXPECT_EQ(CheckedButtons(d), std::vector<int>{GetParam().id});
    });
}

INSTANTIATE_TEST_SUITE_P(Table, PortCountTest,
                         testing::Values(PortCount{IDC_PORTS_1, "31.1", "Use 1 port"},
                                         PortCount{IDC_PORTS_2, "69.6", "Use 2 ports"},
                                         PortCount{IDC_PORTS_3, "108.1", "Use 3 ports"},
                                         PortCount{IDC_PORTS_4, "146.6", "Use 4 ports"}));

struct Typed {
    const char* diameter;
    const char* length;
};

void PrintTo(const Typed& t, std::ostream* os) { *os << "diameter \"" << t.diameter << "\""; }

class TypedDiameterTest : public PortDialogTest, public testing::WithParamInterface<Typed> {};

// Catches a diameter read past 9 characters, refused when it is not a number or
// negative, a length rounded away from its sign or cut short, and a status text that
// is not brought back to the diameter.
TEST_P(TypedDiameterTest, LengthForOnePort)
{
    Open([&](HWND d) {
        Click(d, IDC_PORTS_2);
        Click(d, IDC_PORTS_1);
        TypeDiameter(d, GetParam().diameter);
        EXPECT_EQ(Length(d), GetParam().length);
        EXPECT_EQ(Status(d), DIAMETER_STATUS);
        EXPECT_EQ(ItemText(d, IDC_PORT_DIAMETER), GetParam().diameter) << "typing was undone";
    });
}

INSTANTIATE_TEST_SUITE_P(Table, TypedDiameterTest,
                         testing::Values(Typed{"2", "0.1"}, Typed{"1", "-0.3"}, Typed{"", "0.0"},
                                         Typed{"abc", "0.0"}, Typed{"-10", "45.8"},
                                         // Only "000000002" counts, not the 25 it spells.
                                         Typed{"0000000025", "0.1"},
                                         Typed{"1e6", "384693145551.0"}));

// Catches typing that resets the port count or keeps the button's status text.
TEST_F(PortDialogTest, TypingWithThreePortsRecalculatesForThree)
{
    Open([&](HWND d) {
        Click(d, IDC_PORTS_3);
        ASSERT_EQ(Status(d), "Use 3 ports");
        TypeDiameter(d, "5");
        EXPECT_EQ(Length(d), "25.2");
        EXPECT_EQ(Status(d), DIAMETER_STATUS);
        EXPECT_EQ(CheckedButtons(d), std::vector<int>{IDC_PORTS_3});
        TypeDiameter(d, "7");
        EXPECT_EQ(Length(d), "51.4");
    });
}

// Catches Enter, Escape or the system close ending the dialog, and a procedure that
// claims messages it does not handle or disowns commands.
TEST_F(PortDialogTest, OnlyCloseEndsIt)
{
    Open([&](HWND d) {
        Click(d, IDC_PORTS_2);
        SendMessageA(d, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(IsWindowVisible(d)) << "Enter ended it";
        SendMessageA(d, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(IsWindowVisible(d)) << "Escape ended it";
        SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(IsWindowVisible(d)) << "SC_CLOSE ended it";
        SendMessageA(d, WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindowVisible(d)) << "WM_CLOSE ended it";
        EXPECT_EQ(Length(d), "69.6");
        EXPECT_EQ(Status(d), "Use 2 ports");

        EXPECT_EQ(PortDlgProc(d, WM_COMMAND, IDOK, 0), TRUE);
        EXPECT_EQ(PortDlgProc(d, WM_COMMAND, 999, 0), TRUE);
        EXPECT_EQ(PortDlgProc(d, WM_NULL, 0, 0), FALSE);
        EXPECT_EQ(PortDlgProc(d, WM_CLOSE, 0, 0), FALSE);
    });
    ASSERT_EQ(seen.size(), 1u) << "a message box appeared";
}

// Catches a result other than the Close command's wParam, whatever its notification.
TEST_F(PortDialogTest, CloseEndsItWithItsWParam)
{
    const WPARAM close = MAKEWPARAM(IDC_PORT_CLOSE, BN_DOUBLECLICKED);
    ModalWatcher watcher([&](HWND d, int) {
        SendMessageA(d, WM_COMMAND, close, reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_PORT_CLOSE)));
        if (IsWindowVisible(d)) {
            ADD_FAILURE() << "Close did not end the dialog";
            EndDialog(d, 0);
        }
    });
    INT_PTR result =
        DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_PORT), main, PortDlgProc, 0);
    EXPECT_EQ(result, static_cast<INT_PTR>(close));
}

// Catches state kept from an earlier opening.
TEST_F(PortDialogTest, ReopeningStartsAt10cmAndOnePort)
{
    Open([&](HWND d) {
        Click(d, IDC_PORTS_4);
        TypeDiameter(d, "5");
    });
    Open([&](HWND d) {
        EXPECT_EQ(ItemText(d, IDC_PORT_DIAMETER), "10.0");
        EXPECT_EQ(Length(d), "31.1");
        EXPECT_EQ(CheckedButtons(d), std::vector<int>{IDC_PORTS_1});
        EXPECT_EQ(Status(d), DIAMETER_STATUS);
    });
}

// Catches the dialog writing the record or the enclosure type.
TEST_F(PortDialogTest, SpeakerIsBitIdenticalAfterClose)
{
    Speaker before = speaker;
    Open([&](HWND d) {
        Click(d, IDC_PORTS_3);
        TypeDiameter(d, "7.5");
        Click(d, IDC_PORT_HELP);
        TypeDiameter(d, "");
    });
    EXPECT_EQ(std::memcmp(&before, &speaker, sizeof speaker), 0);
    EXPECT_EQ(boxType, BOX_PORTED);
    EXPECT_EQ(Field(IDC_VOLUME), "50");
    EXPECT_EQ(Field(IDC_FB), "35");
}

// Catches another text, caption, owner, icon or buttons in the help box, or a help
// box that ends the dialog.
TEST_F(PortDialogTest, HelpShowsItsNoteAndKeepsTheDialogOpen)
{
    Open([&](HWND d) { Click(d, IDC_PORT_HELP); });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].caption, "System message");
    EXPECT_EQ(seen[1].text, HELP_TEXT);
    EXPECT_EQ(seen[1].owner, dialog);
    ASSERT_EQ(boxLooks.size(), 1u);
    EXPECT_EQ(boxLooks[0].buttons, std::vector<int>{IDOK});
    EXPECT_FALSE(boxLooks[0].icon);
}

// Catches a zero volume shown as "inf" or "nan", or the status left behind.
TEST_F(PortDialogTest, ZeroVolumeShowsNoLength)
{
    SetField(IDC_VOLUME, "0");
    Open([&](HWND d) {
        EXPECT_EQ(Length(d), "---");
        EXPECT_EQ(Status(d), DIAMETER_STATUS);
        TypeDiameter(d, "0");
        EXPECT_EQ(Length(d), "---");
        Click(d, IDC_PORTS_2);
        EXPECT_EQ(Length(d), "---");
        EXPECT_EQ(Status(d), "Use 2 ports");
    });
}

// Catches the dialog reading the sealed design when the sealed enclosure is selected.
TEST_F(PortDialogTest, UsesThePortedDesignWhateverTheType)
{
    Command(IDC_SEALED);
    SetField(IDC_VOLUME, "20");
    SetField(IDC_FB, "80");
    Open([&](HWND d) { EXPECT_EQ(Length(d), "31.1"); });
}

}  // namespace
