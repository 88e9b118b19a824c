#include "support/GraphTest.h"

#include "acoustics/Response.h"
#include "record/Speaker.h"
#include "resources/kalvora98.h"
#include "support/Pixels.h"
#include "win/GraphWindow.h"
#include "win/MainWindow.h"

void GraphTest::SetUp()
{
    MainWindowTest::SetUp();
    SetField(IDC_QTS, "0.35");
    SetField(IDC_VAS, "80");
    SetField(IDC_FS, "30");
}

void GraphTest::Design(int type, const char* volume, const char* fb)
{
    Command(type == BOX_PORTED ? IDC_PORTED : IDC_SEALED);
    SetField(IDC_VOLUME, volume);
    SetField(IDC_FB, fb);
}

HWND GraphTest::OpenGraph()
{
    Command(IDC_OPEN_GRAPH);
    PumpMessages();
    graph = FindWindowA(GRAPH_CLASS_NAME, nullptr);
    return graph;
}

HWND GraphTest::DrawThreeSealedGraphs()
{
    Design(BOX_SEALED, "40", "50");
    if (!OpenGraph())
        return nullptr;
    Design(BOX_SEALED, "20", "70");
    Press(IDC_GRAPH_DRAW);
    Design(BOX_SEALED, "80", "35");
    Press(IDC_GRAPH_DRAW);
    return graph;
}

void GraphTest::Press(int id)
{
    SendMessageA(graph, WM_COMMAND, id, reinterpret_cast<LPARAM>(GetDlgItem(graph, id)));
    PumpMessages();
}

ShownCurves GraphTest::Shown()
{
    constexpr int ZERO_DB_Y = 65;  // in a graph window of the size it opens with
    RECT client;
    GetClientRect(graph, &client);
    Canvas screen(client.right, client.bottom);
    CopyClient(graph, screen);
    return {screen.Count(RED), screen.Count(GREEN), screen.CountOffRow(BLUE, ZERO_DB_Y)};
}

std::vector<int> Levels(const int* levels)
{
    return levels ? std::vector<int>(levels + 1, levels + RESPONSE_SIZE) : std::vector<int>();
}

std::vector<int> Reference(int type)
{
    std::vector<int> levels(RESPONSE_SIZE);
    if (type == BOX_PORTED)
        PortedResponse(speaker, speaker.ported, levels.data());
    else
        SealedResponse(speaker.sealed, levels.data());
    return Levels(levels.data());
}
