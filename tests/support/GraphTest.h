// The graph window driven through the real main window, as a user drives it.
#pragma once
#include <windows.h>

#include <vector>

#include "support/GuiTest.h"

// The curve pixels the graph window shows; blue counts off the blue 0 dB line.
struct ShownCurves {
    int red;
    int green;
    int blue;
};

class GraphTest : public MainWindowTest {
protected:
    void SetUp() override;
    // Types a design into the main window's fields with its enclosure type selected.
    void Design(int type, const char* volume, const char* fb);
    // The main window's Open graph window button; the graph window once painted.
    HWND OpenGraph();
    // Opens the graph window with a sealed 40 l box at 50 Hz, then draws 20 l at 70 Hz
    // and 80 l at 35 Hz; the graph window, or null if it did not open.
    HWND DrawThreeSealedGraphs();
    // A button of the graph window, then whatever it asked to be repainted.
    void Press(int id);
    ShownCurves Shown();

    HWND graph = nullptr;
};

// Elements 1 to 299 of a response array.
std::vector<int> Levels(const int* levels);
// What the core computes for the design of `type` (BOX_SEALED or BOX_PORTED) of
// `speaker`, aside from the graphs and `port`.
std::vector<int> Reference(int type);
