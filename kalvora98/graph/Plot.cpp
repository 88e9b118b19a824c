#include "graph/GraphWindow.h"

void DrawTable(HDC, HWND) {}  // placeholder until the plot lands
void DrawGraph(HDC, HWND) {}
