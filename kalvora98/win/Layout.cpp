#include "win/MainWindow.h"

#include "resources/kalvora98.h"

HWND h23;
HWND h24;

namespace {

constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE;
constexpr DWORD GROUP_BOX = CHILD | BS_GROUPBOX | WS_GROUP;
constexpr DWORD LABEL = CHILD | SS_LEFT;
// No ES_AUTOHSCROLL: typing stops when the text fills the field.
constexpr DWORD FIELD = CHILD | ES_LEFT | WS_TABSTOP;
constexpr DWORD PUSH = CHILD | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD RADIO = CHILD | BS_AUTORADIOBUTTON | WS_TABSTOP;
constexpr int NO_ID = -1;  // labels nobody addresses

struct ControlPlace {
    const char* className;
    const char* text;
    DWORD style;
    int x, y, width, height;
    int id;
};

// In creation order; the position in this table is the control's handle number.
constexpr ControlPlace controls[] = {
    {"BUTTON", "  Speaker  ", GROUP_BOX, 4, 4, 200, 180, IDC_SPEAKER_GROUP},
    {"BUTTON", "  Enclosure  ", GROUP_BOX, 212, 4, 205, 180, IDC_ENCLOSURE_GROUP},
    {"BUTTON", "  Graph  ", GROUP_BOX, 212, 190, 205, 53, IDC_GRAPH_GROUP},
    {"STATIC", "Model:", LABEL, 12, 30, 35, 15, NO_ID},
    {"STATIC", "Qts:", LABEL, 12, 60, 50, 15, NO_ID},
    {"STATIC", "Fs:", LABEL, 12, 90, 50, 15, NO_ID},
    {"STATIC", "Info:", LABEL, 12, 120, 50, 15, NO_ID},
    {"BUTTON", "Open...", PUSH | WS_GROUP, 20, 150, 50, 22, IDC_OPEN},
    {"BUTTON", "Save...", PUSH, 90, 150, 50, 22, IDC_SAVE},
    {"EDIT", "", FIELD | WS_GROUP, 50, 25, 140, 20, IDC_MODEL},
    {"EDIT", "", FIELD, 50, 55, 40, 20, IDC_QTS},
    {"EDIT", "", FIELD, 50, 85, 40, 20, IDC_FS},
    {"EDIT", "", FIELD, 150, 55, 40, 20, IDC_VAS},
    {"EDIT", "", FIELD, 50, 115, 140, 20, IDC_INFO},
    {"STATIC", "Vas:", LABEL, 120, 60, 30, 15, NO_ID},
    {"STATIC", "Volume:", LABEL, 220, 80, 50, 15, NO_ID},
    {"EDIT", "", FIELD, 270, 75, 45, 20, IDC_VOLUME},
    {"STATIC", "Fb:", LABEL, 333, 80, 25, 15, NO_ID},
    {"EDIT", "", FIELD, 358, 75, 45, 20, IDC_FB},
    {"BUTTON", "Sealed enclosure", RADIO, 220, 22, 120, 22, IDC_SEALED},
    {"BUTTON", "Ported enclosure", RADIO, 220, 45, 120, 22, IDC_PORTED},
    {"BUTTON", "Optimize", PUSH, 220, 115, 60, 22, IDC_OPTIMIZE},
    {"BUTTON", "Port...", PUSH, 220, 150, 60, 22, IDC_PORT},
    {"BUTTON", "Open graph window...", PUSH | WS_GROUP, 220, 210, 120, 22, IDC_OPEN_GRAPH},
    {"BUTTON", "Help", PUSH | WS_GROUP, 220, 257, 50, 25, IDC_HELP_BUTTON},
    {"BUTTON", "About", PUSH, 290, 257, 50, 25, IDC_ABOUT},
    {"BUTTON", "Exit", PUSH, 360, 257, 50, 25, IDC_EXIT},
};

constexpr int CONTROL_COUNT = sizeof controls / sizeof controls[0];

}  // namespace

void DrawWindowContents(HWND hwnd)
{
    HWND handles[CONTROL_COUNT];
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const ControlPlace& c = controls[i];
        DWORD exStyle = lstrcmpA(c.className, "EDIT") == 0 ? WS_EX_CLIENTEDGE : 0;
        handles[i] = CreateWindowExA(exStyle, c.className, c.text, c.style, c.x, c.y, c.width,
                                     c.height, hwnd, reinterpret_cast<HMENU>(INT_PTR{c.id}),
                                     hInstance, nullptr);
    }
    WPARAM font = reinterpret_cast<WPARAM>(GetStockObject(ANSI_VAR_FONT));
    for (HWND h : handles)
        SendMessageA(h, WM_SETFONT, font, TRUE);
    h23 = handles[22];
    h24 = handles[23];
    SetFocus(handles[9]);
}
