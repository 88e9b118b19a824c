#include "graph/GraphWindow.h"

int winNumber;
const char GRAPH_CLASS_NAME[] = "KalvoraChildWindow";

void openWindow(HWND) {}  // placeholder until the graph window lands
LRESULT CALLBACK ChildWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
