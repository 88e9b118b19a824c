#include "win/GraphWindow.h"

#include <cstdlib>

#include "acoustics/Response.h"
#include "resources/kalvora98.h"
#include "win/MainWindow.h"

int* dBMag;
int* dBMag2;
int* dBMag3;
int graphNumber;
Ported port[3];
int winNumber;
const char GRAPH_CLASS_NAME[] = "KalvoraChildWindow";

namespace {

constexpr int GRAPHS = 3;
constexpr int WINDOW_WIDTH = 340, WINDOW_HEIGHT = 255;
constexpr int BUTTON_Y = 195, BUTTON_HEIGHT = 20;

// In creation order; on screen Enclosures sits between Clear and Close. The buttons
// never move: a larger window only gives the chart more room.
const struct {
    const char* text;
    int id;
    int x;
    int width;
} buttons[] = {
    {"Draw", IDC_GRAPH_DRAW, 10, 60},
    {"Clear", IDC_GRAPH_CLEAR, 80, 60},
    {"Close", IDC_GRAPH_CLOSE, 245, 60},
    {"Enclosures...", IDC_GRAPH_ENCLOSURES, 150, 85},
};

// Created hidden so they appear once, already in the small font.
void CreateButtons(HWND hwnd)
{
    auto font = reinterpret_cast<WPARAM>(GetStockObject(ANSI_VAR_FONT));
    for (const auto& b : buttons) {
        HWND hButton = CreateWindowExA(0, "BUTTON", b.text, WS_CHILD | BS_PUSHBUTTON, b.x,
                                       BUTTON_Y, b.width, BUTTON_HEIGHT, hwnd,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)),
                                       hInstance, nullptr);
        SendMessageA(hButton, WM_SETFONT, font, MAKELPARAM(TRUE, 0));
        ShowWindow(hButton, SW_SHOWNORMAL);
    }
}

void FreeArrays()
{
    std::free(dBMag);
    std::free(dBMag2);
    std::free(dBMag3);
    dBMag = dBMag2 = dBMag3 = nullptr;
}

// Zeroed, so a graph that no calculation fills (an unknown enclosure type) draws as
// a flat line instead of whatever the heap held. A failed allocation leaves a null
// pointer, which the calculations and the plot skip.
void AllocateArrays()
{
    FreeArrays();
    dBMag = static_cast<int*>(std::calloc(RESPONSE_SIZE, sizeof(int)));
    dBMag2 = static_cast<int*>(std::calloc(RESPONSE_SIZE, sizeof(int)));
    dBMag3 = static_cast<int*>(std::calloc(RESPONSE_SIZE, sizeof(int)));
}

// The array of the graph being computed, or null when there is nothing to fill.
int* TargetArray()
{
    switch (graphNumber) {
    case 1: return dBMag;
    case 2: return dBMag2;
    case 3: return dBMag3;
    default: return nullptr;
    }
}

// Fills graph `graphNumber` from the record as it stands now: a snapshot that later
// changes of the design do not touch.
void ComputeGraph()
{
    if (boxType == BOX_SEALED)
        CalcSealed();
    else if (boxType == BOX_PORTED)
        CalcPorted();
}

void OnCreate(HWND hwnd)
{
    CreateButtons(hwnd);
    AllocateArrays();
    ++graphNumber;
    ComputeGraph();
}

void OnPaint(HWND hwnd)
{
    PAINTSTRUCT pStruct;
    HDC hdc = BeginPaint(hwnd, &pStruct);
    DrawTable(hdc, hwnd);
    if (graphNumber > 0)
        DrawGraph(hdc, hwnd);
    EndPaint(hwnd, &pStruct);
}

// With three graphs shown the chart is full: Draw then does nothing at all.
void DrawNextGraph(HWND hwnd)
{
    if (++graphNumber > GRAPHS) {
        graphNumber = GRAPHS;
        return;
    }
    ComputeGraph();
    InvalidateRgn(hwnd, nullptr, TRUE);
}

// The arrays and `port` stay: the Enclosures dialog still lists the cleared graphs.
void ClearGraphs(HWND hwnd)
{
    InvalidateRgn(hwnd, nullptr, TRUE);
    graphNumber = 0;
}

// Runs however the window goes: Close, the close box, or the main window taking its
// owned windows with it. So the arrays are always freed and the main window's
// button always comes back.
void OnDestroy()
{
    FreeArrays();
    graphNumber = 0;
    if (winNumber > 0)  // a window that failed late in its creation was never counted
        --winNumber;
    EnableWindow(h24, TRUE);
}

void OnCommand(HWND hwnd, int id)
{
    switch (id) {
    case IDC_GRAPH_DRAW:
        DrawNextGraph(hwnd);
        break;
    case IDC_GRAPH_CLEAR:
        ClearGraphs(hwnd);
        break;
    case IDC_GRAPH_CLOSE:
        DestroyWindow(hwnd);
        break;
    case IDC_GRAPH_ENCLOSURES:
        DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_ENCLOSURES), hwnd, DspEnclosuresDlgProc,
                        0);
        break;
    }
}

// From the second opening on the class exists already; that failure is harmless.
void RegisterGraphClass()
{
    WNDCLASSEXA w = {};
    w.cbSize = sizeof w;
    w.style = CS_DBLCLKS;
    w.lpfnWndProc = ChildWndProc;
    w.hInstance = hInstance;
    w.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    w.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    w.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    w.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    w.lpszClassName = GRAPH_CLASS_NAME;
    RegisterClassExA(&w);
}

}  // namespace

void CalcSealed()
{
    if (int* target = TargetArray()) {
        port[graphNumber - 1] = {speaker.sealed.volume, speaker.sealed.fb};
        SealedResponse(speaker.sealed, target);
    }
}

void CalcPorted()
{
    if (int* target = TargetArray()) {
        port[graphNumber - 1] = speaker.ported;
        PortedResponse(speaker, speaker.ported, target);
    }
}

void openWindow(HWND hDlg)
{
    RegisterGraphClass();
    HWND hwnd = CreateWindowExA(WS_EX_CLIENTEDGE | WS_EX_TOOLWINDOW, GRAPH_CLASS_NAME,
                                "Frequency response table", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, WINDOW_WIDTH, WINDOW_HEIGHT, hDlg, nullptr,
                                hInstance, nullptr);
    if (!hwnd)  // no window, nothing to count
        return;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    ++winNumber;
}

LRESULT CALLBACK ChildWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        OnCreate(hwnd);
        return 0;
    case WM_PAINT:
        OnPaint(hwnd);
        return 0;
    case WM_SIZE:  // the frame follows the client size, so the old chart is all wrong
        InvalidateRgn(hwnd, nullptr, TRUE);
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_COMMAND:
        OnCommand(hwnd, LOWORD(wParam));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
