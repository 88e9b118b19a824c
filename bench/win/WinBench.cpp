// What the user waits for in the Windows build: the main window from creation to its
// first paint, one full paint of the response chart, and the graph window from opening
// to its first paint. The main window is set against a bare window with the same
// controls and no program behind it, so the figure says what the program adds to what
// the platform costs anyway.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "acoustics/Response.h"
#include "resources/kalvora98.h"
#include "win/GraphWindow.h"
#include "win/MainWindow.h"

namespace {

constexpr int DEFAULT_RUNS = 50;
constexpr int CHART_WIDTH = 328, CHART_HEIGHT = 227;  // the graph window's client area
constexpr double CHART_GOAL_MS = 1.0;
constexpr double MAIN_WINDOW_GOAL_RATIO = 1.2;

double Milliseconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Timing {
    double median;
    double lowest;
    double highest;
};

Timing Summarise(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    return {median, times.front(), times.back()};
}

// A figure of a window that did not open, or of a chart without its curves, would time
// something else than it says.
void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "win_bench: %s\n", what);
        std::exit(1);
    }
}

void Report(const char* what, const Timing& t)
{
    std::printf("  %-46s %9.3f ms  (%.3f - %.3f)\n", what, t.median, t.lowest, t.highest);
}

// Takes what the windows left behind, the main window's quit message included, so
// that the next run starts with an empty queue.
void Drain()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The program reads and writes "default.spk" in the working directory; a directory of
// its own keeps the runs away from the user's files.
class ScratchDirectory {
public:
    ScratchDirectory()
    {
        char base[MAX_PATH] = "";
        GetTempPathA(sizeof base, base);
        char name[MAX_PATH + 32];
        for (int i = 0;; ++i) {
            std::snprintf(name, sizeof name, "%skalvora-bench-%lu-%d", base,
                          GetCurrentProcessId(), i);
            if (CreateDirectoryA(name, nullptr))
                break;
        }
        path = name;
        GetCurrentDirectoryA(sizeof previous, previous);
        SetCurrentDirectoryA(path.c_str());
    }
    ~ScratchDirectory()
    {
        DeleteFileA("default.spk");
        SetCurrentDirectoryA(previous);
        RemoveDirectoryA(path.c_str());
    }

private:
    std::string path;
    char previous[MAX_PATH] = "";
};

// One control of the main window as the platform sees it once created.
struct ControlCopy {
    std::string className;
    std::string text;
    DWORD style;
    DWORD exStyle;
    RECT place;  // in the parent's client coordinates
    int id;
    HFONT font;
};

// The 27 controls of the real main window, read back from a live one, so the bare
// window cannot drift from what the program builds. The status bar is the program's
// own addition and stays out.
std::vector<ControlCopy> CopyControls(HWND main)
{
    std::vector<ControlCopy> controls;
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = "";
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, STATUSCLASSNAMEA) == 0)
            continue;
        char text[256] = "";
        GetWindowTextA(child, text, sizeof text);
        RECT place;
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&place), 2);
        controls.push_back({className, text, static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)),
                            static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE)), place,
                            GetDlgCtrlID(child),
                            reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0))});
    }
    return controls;
}

const char BARE_CLASS_NAME[] = "KalvoraBenchBare";

void RegisterBareClass(HWND main)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(GetClassLongPtrA(main, GCLP_HBRBACKGROUND));
    wc.lpszClassName = BARE_CLASS_NAME;
    RegisterClassExA(&wc);
}

HWND CreateBareWindow(const std::vector<ControlCopy>& controls)
{
    HWND bare = CreateWindowExA(0, BARE_CLASS_NAME, "Kalvora 98 BETA 2.0",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                430, 340, nullptr, nullptr, hInstance, nullptr);
    for (const ControlCopy& c : controls) {
        HWND child = CreateWindowExA(c.exStyle, c.className.c_str(), c.text.c_str(), c.style,
                                     c.place.left, c.place.top, c.place.right - c.place.left,
                                     c.place.bottom - c.place.top, bare,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                     hInstance, nullptr);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), TRUE);
    }
    return bare;
}

template <typename Make>
double TimeFirstPaint(Make make)
{
    const double start = Milliseconds();
    HWND window = make();
    Require(window != nullptr, "a window was not created");
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    const double elapsed = Milliseconds() - start;
    DestroyWindow(window);
    Drain();
    return elapsed;
}

void Command(HWND window, int id)
{
    SendMessageA(window, WM_COMMAND, id, reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// A driver with a sealed design for the red curve and two ported ones for green and
// blue: three curves computed by the graph window itself.
HWND OpenThreeCurveGraph(HWND main)
{
    SetDlgItemTextA(main, IDC_QTS, "0.35");
    SetDlgItemTextA(main, IDC_VAS, "100");
    SetDlgItemTextA(main, IDC_FS, "30");
    SetDlgItemTextA(main, IDC_VOLUME, "24.5");
    SetDlgItemTextA(main, IDC_FB, "60.6");
    Command(main, IDC_OPEN_GRAPH);
    HWND graph = FindWindowA(GRAPH_CLASS_NAME, nullptr);
    Command(main, IDC_PORTED);
    SetDlgItemTextA(main, IDC_VOLUME, "73.7");
    SetDlgItemTextA(main, IDC_FB, "32.4");
    Command(graph, IDC_GRAPH_DRAW);
    SetDlgItemTextA(main, IDC_VOLUME, "40");
    SetDlgItemTextA(main, IDC_FB, "45");
    Command(graph, IDC_GRAPH_DRAW);
    Drain();
    Require(graph && graphNumber == 3 && dBMag3, "the graph window did not draw three curves");
    return graph;
}

struct ChartTimes {
    std::vector<double> whole;
    std::vector<double> table;  // frame, grid, 0 dB line and labels
};

ChartTimes TimeChartPaints(HWND graph, int runs)
{
    RECT client;
    GetClientRect(graph, &client);
    if (client.right != CHART_WIDTH || client.bottom != CHART_HEIGHT)
        std::printf("  note: the graph window's client area is %ld x %ld, not %d x %d\n",
                    client.right, client.bottom, CHART_WIDTH, CHART_HEIGHT);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, CHART_WIDTH, CHART_HEIGHT);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);

    ChartTimes times;
    for (int i = 0; i < runs; ++i) {
        PatBlt(memory, 0, 0, CHART_WIDTH, CHART_HEIGHT, WHITENESS);
        const double start = Milliseconds();
        DrawTable(memory, graph);
        const double tableEnd = Milliseconds();
        DrawGraph(memory, graph);
        times.whole.push_back(Milliseconds() - start);
        times.table.push_back(tableEnd - start);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return times;
}

double TimeGraphOpening(HWND main)
{
    const double start = Milliseconds();
    openWindow(main);
    HWND graph = FindWindowA(GRAPH_CLASS_NAME, nullptr);
    UpdateWindow(graph);
    const double elapsed = Milliseconds() - start;
    Require(graph != nullptr, "the graph window did not open");
    SendMessageA(graph, WM_CLOSE, 0, 0);
    Drain();
    return elapsed;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : DEFAULT_RUNS;
    hInstance = GetModuleHandleA(nullptr);
    ScratchDirectory scratch;
    RegisterMainWindowClass();

    // The first window loads the controls' code and fonts; it is no run of its own.
    HWND first = CreateMainWindow();
    UpdateWindow(first);
    const std::vector<ControlCopy> controls = CopyControls(first);
    RegisterBareClass(first);
    DestroyWindow(first);
    Drain();
    TimeFirstPaint([&] { return CreateBareWindow(controls); });

    // Alternating, so that a slower spell of the machine falls on both alike.
    std::vector<double> mainTimes, bareTimes;
    for (int i = 0; i < runs; ++i) {
        mainTimes.push_back(TimeFirstPaint(CreateMainWindow));
        bareTimes.push_back(TimeFirstPaint([&] { return CreateBareWindow(controls); }));
    }

    HWND main = CreateMainWindow();
    UpdateWindow(main);
    HWND graph = OpenThreeCurveGraph(main);
    const ChartTimes chartTimes = TimeChartPaints(graph, runs);
    SendMessageA(graph, WM_CLOSE, 0, 0);
    Drain();

    TimeGraphOpening(main);
    std::vector<double> graphTimes;
    for (int i = 0; i < runs; ++i)
        graphTimes.push_back(TimeGraphOpening(main));
    DestroyWindow(main);
    Drain();

    const Timing mainWindow = Summarise(mainTimes);
    const Timing bareWindow = Summarise(bareTimes);
    const Timing chart = Summarise(chartTimes.whole);
    std::printf("Medians of %d runs (lowest - highest):\n", runs);
    Report("main window, creation to first paint", mainWindow);
    std::printf("  %-46s %9zu controls\n", "bare window of the same size and controls",
                controls.size());
    Report("bare window, creation to first paint", bareWindow);
    const double ratio = mainWindow.median / bareWindow.median;
    std::printf("  %-46s %9.2f     (goal at most %.1f: %s)\n", "main window / bare window",
                ratio, MAIN_WINDOW_GOAL_RATIO, ratio <= MAIN_WINDOW_GOAL_RATIO ? "met" : "NOT met");
    Report("chart paint, 3 curves, 328 x 227 memory DC", chart);
    std::printf("  %-46s %9s     (goal under %.0f ms: %s)\n", "", "", CHART_GOAL_MS,
                chart.median < CHART_GOAL_MS ? "met" : "NOT met");
    Report("  of which the table without curves", Summarise(chartTimes.table));
    Report("graph window, opening to first paint", Summarise(graphTimes));
    return 0;
}
