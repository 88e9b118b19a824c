// Thousands of seeded random user actions on the real windows, in this process: hostile
// field texts, enclosure switches, Optimize, the Port dialog, the graph window with its
// buttons and the Enclosures dialog, speaker files saved and opened. Afterwards the
// process must still be able to create nearly as many GDI objects as before.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "acoustics/Response.h"
#include "numbers/NumberText.h"
#include "record/Speaker.h"
#include "record/SpeakerFile.h"
#include "resources/kalvora98.h"
#include "support/FileDialog.h"
#include "support/GuiTest.h"
#include "win/GraphWindow.h"
#include "win/MainWindow.h"
#include "win/SpeakerIo.h"

namespace {

// KALVORA_SOAK_SEED replaces it, to look at other sequences or to rerun a failing one.
constexpr unsigned DEFAULT_SEED = 19980601;
constexpr int ACTIONS = 5000;
constexpr int MIN_CHART_PAINTS = 10000;
constexpr int MIN_GRAPH_OPENINGS = 1000;
// Each action with the graph window open ends with this many full repaints of it.
constexpr int REPAINTS_PER_ACTION = 3;
// Wine refuses GDI objects beyond about 65,480 per process; the cap only stops the
// count on a system without such a limit, where it would measure nothing.
constexpr int PEN_CAP = 70000;
constexpr int LEAK_ALLOWANCE = 100;
constexpr auto HANG_LIMIT = std::chrono::seconds(60);

const int FIELDS[] = {IDC_MODEL, IDC_QTS, IDC_VAS, IDC_FS, IDC_INFO, IDC_VOLUME, IDC_FB};
const int PORT_BUTTONS[] = {IDC_PORTS_1, IDC_PORTS_2, IDC_PORTS_3, IDC_PORTS_4};

const char PORT_TITLE[] = "Port dimension...";
const char ENCLOSURES_TITLE[] = "Enclosures...";
const char OPEN_TITLE[] = "Open loudspeaker...";
const char SAVE_TITLE[] = "Save loudspkeaker";
const char SYSTEM_MESSAGE[] = "System message";
const char SYSTEM_ERROR[] = "System Error";
const char MAIN_CAPTION[] = "Kalvora 98 BETA 2";

// What a number field must take without harm: overflow, NaN, infinity, negative zero,
// denormals, exponents cut at 9 characters, bytes above 127, a decimal comma.
const char* const HOSTILE_TEXTS[] = {
    "",       "1e999", "-1e999", "nan",          "-nan", "inf",      "-0",
    "0",      "1e-320", "-1",    "12abc",        "7,5",  " 7",       "\xe9\xff",
    "1e30",   "-1e30", "0x1p8",  "123456789012", "1e30000000", "-.5e-3", "\x80\x81\x8d\x9d",
};

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c >= 32 && c < 127 && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        }
    }
    return out + "\"";
}

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// Records are compared as their file bytes: a NaN is then equal to itself.
std::vector<unsigned char> Encoded(const Speaker& s)
{
    unsigned char bytes[SPEAKER_FILE_SIZE];
    EncodeSpeaker(s, bytes);
    return {bytes, bytes + sizeof bytes};
}

// The names of the file fields in which two encoded records differ.
std::string DifferingFields(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    std::string names;
    for (const SpeakerField& f : SPEAKER_FIELDS)
        if (std::memcmp(a.data() + f.offset, b.data() + f.offset,
                        f.isText ? sizeof speaker.model : sizeof(double)) != 0)
            names += std::string(names.empty() ? "" : ", ") + f.name;
    return names;
}

// How many GDI objects this process can still create. Wine's GetGuiResources always
// answers 0, so the head room is counted instead, with pens deleted again at once.
int GdiHeadroom()
{
    std::vector<HPEN> pens;
    pens.reserve(PEN_CAP);
    while (static_cast<int>(pens.size()) < PEN_CAP) {
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
        if (!pen)
            break;
        pens.push_back(pen);
    }
    for (HPEN pen : pens)
        DeleteObject(pen);
    return static_cast<int>(pens.size());
}

// What runs now, for the two failures that end the process before GoogleTest can
// say where they happened: a crash, and an action that never returns.
struct Progress {
    unsigned seed = 0;
    std::atomic<int> action{-1};
    char what[512] = "";
} progress;

void PrintProgress(const char* failure)
{
    std::fprintf(stderr, "\nSoak %s at action %d of seed %u: %s\n", failure,
                 progress.action.load(), progress.seed, progress.what);
    std::fflush(stderr);
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* e)
{
    char failure[64];
    std::snprintf(failure, sizeof failure, "crashed (exception 0x%08lx)",
                  e->ExceptionRecord->ExceptionCode);
    PrintProgress(failure);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

// Ends the process when one action has run for HANG_LIMIT: a hang would otherwise
// only meet CTest's timeout, without a word about the action.
class HangWatch {
public:
    HangWatch()
        : thread([this] {
              int last = -2;
              auto since = std::chrono::steady_clock::now();
              while (!stop) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(200));
                  const int now = progress.action;
                  if (now != last) {
                      last = now;
                      since = std::chrono::steady_clock::now();
                  } else if (std::chrono::steady_clock::now() - since > HANG_LIMIT) {
                      PrintProgress("hung");
                      TerminateProcess(GetCurrentProcess(), 4);
                  }
              }
          })
    {
    }
    ~HangWatch()
    {
        stop = true;
        thread.join();
    }

private:
    std::atomic<bool> stop{false};
    std::thread thread;
};

// Counts the graph window's paints on their way to the program's own procedure.
WNDPROC graphProcedure;
int chartPaints;

LRESULT CALLBACK CountPaints(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT)
        ++chartPaints;
    return CallWindowProcA(graphProcedure, hwnd, msg, wParam, lParam);
}

unsigned SeedFromEnvironment()
{
    char text[32] = "";
    if (GetEnvironmentVariableA("KALVORA_SOAK_SEED", text, sizeof text) > 0)
        return static_cast<unsigned>(std::strtoul(text, nullptr, 10));
    return DEFAULT_SEED;
}

class SoakTest : public MainWindowTest {
protected:
    using Action = void (SoakTest::*)();
    struct Choice {
        Action action;
        int weight;
    };

    void SetUp() override
    {
        MainWindowTest::SetUp();
        seed = SeedFromEnvironment();
        random.seed(seed);
        progress.seed = seed;
        previousFilter = SetUnhandledExceptionFilter(ReportCrash);
    }

    void TearDown() override
    {
        SetUnhandledExceptionFilter(previousFilter);
        progress.action = -1;
        MainWindowTest::TearDown();
    }

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
    bool OneIn(int n) { return Pick(n) == 0; }

    std::string RandomText()
    {
        switch (Pick(5)) {
        case 0:
        case 1:
            return HOSTILE_TEXTS[Pick(std::size(HOSTILE_TEXTS))];
        case 2: {  // a plausible number, as a user would type one
            char text[32];
            std::snprintf(text, sizeof text, "%.*f", Pick(4),
                          std::uniform_real_distribution<double>(-20, 500)(random));
            return text;
        }
        case 3: {  // longer than every field's buffer
            std::string text(60, ' ');
            for (char& c : text)
                c = static_cast<char>(' ' + Pick(95));
            return text;
        }
        default: {  // any bytes but NUL
            std::string text(1 + Pick(20), ' ');
            for (char& c : text)
                c = static_cast<char>(1 + Pick(255));
            return text;
        }
        }
    }

    void Describe(const std::string& what)
    {
        description = what;
        std::snprintf(progress.what, sizeof progress.what, "%s", what.c_str());
    }

    // Every modal window runs its script here, inside its own modal loop.
    void RunModal(HWND window)
    {
        const std::string caption = WindowText(window);
        seenCaptions.push_back(caption);
        if (caption == PORT_TITLE)
            PortScript(window);
        else if (caption == ENCLOSURES_TITLE)
            EnclosuresScript(window);
        else if (caption == OPEN_TITLE || caption == SAVE_TITLE)
            ChooseFile(window, chosenFile);
        else
            PressOk(window);
    }

    // Only the Close button may end these dialogs; a dialog it leaves open would
    // keep the whole soak waiting.
    void CloseDialog(HWND dialog, int closeId)
    {
        Click(dialog, closeId);
        if (IsWindowVisible(dialog)) {
            ADD_FAILURE() << WindowText(dialog) << ": Close did not end the dialog";
            EndDialog(dialog, 0);
        }
    }

    void PortScript(HWND dialog)
    {
        for (int steps = Pick(6); steps > 0; --steps) {
            switch (Pick(6)) {
            case 0:
            case 1:
                SetDlgItemTextA(dialog, IDC_PORT_DIAMETER, RandomText().c_str());
                break;
            case 2:
            case 3:
                Click(dialog, PORT_BUTTONS[Pick(4)]);
                break;
            case 4:  // Enter and Escape: ignored, the dialog stays
                SendMessageA(dialog, WM_COMMAND, OneIn(2) ? IDOK : IDCANCEL, 0);
                break;
            default:
                expectedCaptions.push_back(SYSTEM_MESSAGE);
                Click(dialog, IDC_PORT_HELP);
                break;
            }
        }
        CloseDialog(dialog, IDC_PORT_CLOSE);
    }

    // Whatever the designs were, NaN and infinity included, the rows show them whole.
    void EnclosuresScript(HWND dialog)
    {
        const int rows[3][2] = {{IDC_ENCL_RED_VOLUME, IDC_ENCL_RED_FB},
                                {IDC_ENCL_GREEN_VOLUME, IDC_ENCL_GREEN_FB},
                                {IDC_ENCL_BLUE_VOLUME, IDC_ENCL_BLUE_FB}};
        char text[NUMBER_TEXT_SIZE];
        for (int graphIndex = 0; graphIndex < 3; ++graphIndex) {
            FormatNumber(text, port[graphIndex].volume, 1);
            EXPECT_EQ(ItemText(dialog, rows[graphIndex][0]), text) << "graph " << graphIndex + 1;
            FormatNumber(text, port[graphIndex].fb, 1);
            EXPECT_EQ(ItemText(dialog, rows[graphIndex][1]), text) << "graph " << graphIndex + 1;
        }
        if (OneIn(4)) {
            expectedCaptions.push_back(SYSTEM_MESSAGE);
            Click(dialog, IDC_ENCL_HELP);
        }
        if (OneIn(3))
            SetDlgItemTextA(dialog, IDC_ENCL_GREEN_VOLUME, RandomText().c_str());
        if (OneIn(3))
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        CloseDialog(dialog, IDC_ENCL_CLOSE);
    }

    void TypeIntoField()
    {
        const int id = FIELDS[Pick(std::size(FIELDS))];
        const std::string text = RandomText();
        Describe("type " + Quoted(text) + " into field " + std::to_string(id));
        SetField(id, text.c_str());
    }

    // Focus changes notify the fields too, and the Volume and Fb fields re-derive Q.
    void FocusField()
    {
        const int id = FIELDS[Pick(std::size(FIELDS))];
        Describe("focus field " + std::to_string(id));
        SetFocus(GetDlgItem(main, id));
    }

    void SelectEnclosure()
    {
        const bool ported = OneIn(2);
        Describe(ported ? "Ported" : "Sealed");
        Command(ported ? IDC_PORTED : IDC_SEALED);
        portedSelected = ported;
    }

    void Optimize()
    {
        Describe("Optimize with qts " + Number(speaker.qts));
        if (!(speaker.qts > 0))
            expectedCaptions.push_back(SYSTEM_MESSAGE);
        Command(IDC_OPTIMIZE);
    }

    // A user reaches the Port button only with the ported enclosure selected, and
    // clicking it takes the focus from a field, whose notification copies the fields
    // into the record. The dialog itself must leave the record alone.
    void PortDialog()
    {
        Describe("Port dialog");
        if (!IsWindowEnabled(h23)) {
            Command(IDC_PORTED);
            portedSelected = true;
        }
        SetFocus(h23);
        const std::vector<unsigned char> before = Encoded(speaker);
        expectedCaptions.push_back(PORT_TITLE);
        Command(IDC_PORT);
        EXPECT_EQ(DifferingFields(Encoded(speaker), before), "") << "changed by the Port dialog";
    }

    void OpenGraph()
    {
        Describe("open the graph window");
        Command(IDC_OPEN_GRAPH);
        graph = FindWindowA(GRAPH_CLASS_NAME, nullptr);
        ASSERT_NE(graph, nullptr) << "no graph window";
        ++graphOpenings;
        graphProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(graph, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountPaints)));
        PumpMessages();
    }

    // The Close button, the close box and the system menu's Close.
    void CloseGraph()
    {
        switch (Pick(3)) {
        case 0:
            Describe("graph window: Close button");
            Click(graph, IDC_GRAPH_CLOSE);
            break;
        case 1:
            Describe("graph window: WM_CLOSE");
            SendMessageA(graph, WM_CLOSE, 0, 0);
            break;
        default:
            Describe("graph window: SC_CLOSE");
            SendMessageA(graph, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
        EXPECT_FALSE(IsWindow(graph)) << "the graph window is still there";
        graph = nullptr;
    }

    void ToggleGraph()
    {
        if (graph)
            CloseGraph();
        else
            OpenGraph();
    }

    // The graph window's own buttons; with no window open the user opens one first.
    bool NeedGraph()
    {
        if (!graph)
            OpenGraph();
        return graph != nullptr;
    }

    void Draw()
    {
        if (!NeedGraph())
            return;
        Describe("graph window: Draw at " + std::to_string(graphNumber));
        Click(graph, IDC_GRAPH_DRAW);
    }

    void Clear()
    {
        if (!NeedGraph())
            return;
        Describe("graph window: Clear");
        Click(graph, IDC_GRAPH_CLEAR);
    }

    void Enclosures()
    {
        if (!NeedGraph())
            return;
        Describe("graph window: Enclosures");
        expectedCaptions.push_back(ENCLOSURES_TITLE);
        Click(graph, IDC_GRAPH_ENCLOSURES);
    }

    // From nothing at all to far larger than the screen; the chart lays itself out
    // from whatever client area there is.
    void ResizeGraph()
    {
        if (!NeedGraph())
            return;
        const int width = Pick(4) == 0 ? Pick(40) : 40 + Pick(1200);
        const int height = Pick(4) == 0 ? Pick(40) : 40 + Pick(900);
        Describe("graph window: resize to " + std::to_string(width) + " x " +
                 std::to_string(height));
        SetWindowPos(graph, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    }

    std::string SoakFile() { return directory.File("soak" + std::to_string(Pick(3)) + ".spk"); }

    // What was saved must be what the record held, and read back as the same record.
    void CheckSaved(const std::string& path)
    {
        const std::vector<unsigned char> bytes = ReadFileBytes(path);
        ASSERT_EQ(bytes.size(), SPEAKER_FILE_SIZE) << path;
        EXPECT_EQ(DifferingFields(bytes, Encoded(speaker)), "") << path << " holds another record";
        Speaker decoded = {};
        DecodeSpeaker(bytes.data(), bytes.size(), decoded);
        EXPECT_TRUE(Encoded(decoded) == bytes) << path << " does not decode to what was saved";
    }

    void Save()
    {
        const std::string path = SoakFile();
        Describe("SaveSpeaker " + path);
        SaveSpeaker(path.c_str(), main);
        CheckSaved(path);
    }

    // What the record must be after opening `path`: the bytes the file has over the
    // record as it is (a short or missing file leaves the rest).
    struct Opening {
        Speaker expected;
        bool sealedBefore;
    };

    Opening ExpectOpening(const std::string& path)
    {
        Opening opening = {speaker, boxType == BOX_SEALED};
        const std::vector<unsigned char> bytes = ReadFileBytes(path);
        DecodeSpeaker(bytes.data(), bytes.size(), opening.expected);
        return opening;
    }

    // With the sealed enclosure selected, filling the Volume and Fb fields re-derives
    // the sealed Q, so then that member may differ from the file.
    void CheckOpened(const Opening& opening)
    {
        std::string differing = DifferingFields(Encoded(speaker), Encoded(opening.expected));
        if (opening.sealedBefore && differing == "sealed.q")
            differing.clear();
        EXPECT_EQ(differing, "") << "the record is not what the file holds";
        EXPECT_EQ(boxType, BOX_SEALED);
        EXPECT_EQ(WindowText(main), std::string("Kalvora BETA 2 - ") + speaker.model);
    }

    // A file saved here, one that is missing, or one of random bytes and length.
    void Open()
    {
        std::string path = SoakFile();
        switch (Pick(4)) {
        case 0:
        case 1:
            break;
        case 2:
            path = directory.File("missing.spk");
            break;
        default: {
            std::vector<unsigned char> junk(Pick(2 * SPEAKER_FILE_SIZE));
            for (unsigned char& b : junk)
                b = static_cast<unsigned char>(Pick(256));
            ASSERT_TRUE(WriteFileBytes(path, junk));
            break;
        }
        }
        Describe("OpenSpeaker " + path);
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            expectedCaptions.push_back(SYSTEM_ERROR);
        const Opening opening = ExpectOpening(path);
        OpenSpeaker(path.c_str(), main);
        CheckOpened(opening);
    }

    // Rarely: the same through the Save and Open buttons and the system's dialogs.
    void SaveThroughDialog()
    {
        chosenFile = directory.File("dialog" + std::to_string(++dialogFiles) + ".spk");
        Describe("Save button, " + chosenFile);
        expectedCaptions.push_back(SAVE_TITLE);
        Command(IDC_SAVE);
        CheckSaved(chosenFile);
    }

    void OpenThroughDialog()
    {
        if (dialogFiles == 0)
            return SaveThroughDialog();
        chosenFile = directory.File("dialog" + std::to_string(1 + Pick(dialogFiles)) + ".spk");
        Describe("Open button, " + chosenFile);
        expectedCaptions.push_back(OPEN_TITLE);
        const Opening opening = ExpectOpening(chosenFile);
        Command(IDC_OPEN);
        portedSelected = false;  // the Open button shows the sealed design, buttons too
        CheckOpened(opening);
    }

    void AboutOrHelp()
    {
        const bool about = OneIn(2);
        Describe(about ? "About" : "Help");
        expectedCaptions.push_back(MAIN_CAPTION);
        Command(about ? IDC_ABOUT : IDC_HELP_BUTTON);
    }

    static constexpr Choice CHOICES[] = {
        {&SoakTest::TypeIntoField, 200},    {&SoakTest::FocusField, 30},
        {&SoakTest::SelectEnclosure, 60},   {&SoakTest::Optimize, 20},
        {&SoakTest::PortDialog, 12},        {&SoakTest::ToggleGraph, 360},
        {&SoakTest::Draw, 80},              {&SoakTest::Clear, 30},
        {&SoakTest::Enclosures, 10},        {&SoakTest::ResizeGraph, 30},
        {&SoakTest::Save, 40},              {&SoakTest::Open, 40},
        {&SoakTest::SaveThroughDialog, 1},  {&SoakTest::OpenThroughDialog, 1},
        {&SoakTest::AboutOrHelp, 4},
    };

    Action PickAction()
    {
        int total = 0;
        for (const Choice& c : CHOICES)
            total += c.weight;
        int n = Pick(total);
        for (const Choice& c : CHOICES) {
            if (n < c.weight)
                return c.action;
            n -= c.weight;
        }
        return CHOICES[0].action;
    }

    void RepaintGraph()
    {
        if (!graph)
            return;
        for (int i = 0; i < REPAINTS_PER_ACTION; ++i)
            RedrawWindow(graph, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }

    // What must hold between any two actions.
    void CheckState()
    {
        ASSERT_TRUE(IsWindow(main));
        EXPECT_TRUE(IsWindowEnabled(main)) << "a modal window is left over";
        EXPECT_EQ(running, 1);
        EXPECT_TRUE(boxType == BOX_SEALED || boxType == BOX_PORTED) << boxType;
        EXPECT_EQ(IsWindowEnabled(h23) != 0, portedSelected) << "Port button";
        EXPECT_EQ(winNumber, graph ? 1 : 0);
        EXPECT_EQ(FindWindowA(GRAPH_CLASS_NAME, nullptr), graph);
        EXPECT_EQ(IsWindowEnabled(h24) != 0, graph == nullptr) << "Open graph window button";
        EXPECT_TRUE(graphNumber >= 0 && graphNumber <= 3) << graphNumber;
        if (!graph) {
            EXPECT_EQ(graphNumber, 0);
            // Freed arrays must not stay reachable for a later calculation or paint.
            EXPECT_TRUE(!dBMag && !dBMag2 && !dBMag3) << "response arrays kept after closing";
        }
        EXPECT_EQ(seenCaptions, expectedCaptions) << "modal windows";
    }

    void RunAction(Action action)
    {
        seenCaptions.clear();
        expectedCaptions.clear();
        (this->*action)();
        PumpMessages();
        RepaintGraph();
        CheckState();
    }

    // Runs every action once, so that what the platform keeps after a first use (class
    // data, fonts, the file dialogs' images) is in place before the head room is taken.
    void WarmUp()
    {
        for (const Choice& c : CHOICES)
            RunAction(c.action);
        if (graph)
            CloseGraph();
        PumpMessages();
    }

    unsigned seed = 0;
    std::mt19937 random;
    std::string description;
    HWND graph = nullptr;
    bool portedSelected = false;
    int graphOpenings = 0;
    int dialogFiles = 0;
    std::string chosenFile;
    std::vector<std::string> seenCaptions;
    std::vector<std::string> expectedCaptions;
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
};

// Catches crashes, hangs, short or wrong speaker files, modal windows unasked or left
// open, graph counters and buttons out of step with the window, and leaked GDI objects.
TEST_F(SoakTest, SurvivesThousandsOfRandomActionsWithoutLeaking)
{
    std::printf("soak seed %u (set KALVORA_SOAK_SEED to change it)\n", seed);
    HangWatch hangWatch;
    ModalWatcher modals([this](HWND window, int) { RunModal(window); });
    const auto start = std::chrono::steady_clock::now();

    Describe("warm-up");
    WarmUp();
    ASSERT_FALSE(HasFailure()) << "warm-up";
    const int headroomBefore = GdiHeadroom();
    ASSERT_LT(headroomBefore, PEN_CAP) << "no GDI limit found: the leak check would be blind";
    graphOpenings = 0;
    chartPaints = 0;

    int done = 0;
    for (; done < ACTIONS && !HasFailure(); ++done) {
        progress.action = done;
        const Action action = PickAction();
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", action " << done);
        RunAction(action);
        if (HasFailure())
            ADD_FAILURE() << "first failure at action " << done << ": " << description;
    }
    if (graph)
        CloseGraph();
    PumpMessages();
    const int headroomAfter = GdiHeadroom();

    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("soak: %d actions, %d chart paints, %d graph window openings in %.1f s\n",
                done, chartPaints, graphOpenings, seconds);
    std::printf("soak: GDI head room %d objects before, %d after\n", headroomBefore,
                headroomAfter);
    if (done == ACTIONS) {
        EXPECT_GE(chartPaints, MIN_CHART_PAINTS);
        EXPECT_GE(graphOpenings, MIN_GRAPH_OPENINGS);
    }
    EXPECT_LT(headroomBefore - headroomAfter, LEAK_ALLOWANCE) << "GDI objects leaked";

    // The orderly exit still writes the record it was left with.
    Describe("Exit");
    lastQuitCode = -1;
    Command(IDC_EXIT);
    PumpMessages();
    EXPECT_EQ(lastQuitCode, 0);
    CheckSaved(directory.File("default.spk"));
}

}  // namespace
