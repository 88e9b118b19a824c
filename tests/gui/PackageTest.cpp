// Checks of the unpacked release package, run by tests/release/check-package.sh: it
// names the package folder in KALVORA_PACKAGE and the table the sample drivers were
// made from in KALVORA_SAMPLES. Without them these tests are skipped.
#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "resources/kalvora98.h"
#include "support/GuiTest.h"
#include "win/MainWindow.h"
#include "win/SpeakerIo.h"

namespace {

std::string Environment(const char* name)
{
    char value[MAX_PATH] = "";
    GetEnvironmentVariableA(name, value, sizeof value);
    return value;
}

std::string FileText(const std::string& path)
{
    std::vector<unsigned char> bytes = ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

// The table's rows, each split at "|" and trimmed; comments and blank lines left out.
std::vector<std::vector<std::string>> TableRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.find_first_not_of(" \r") == std::string::npos || line[0] == '#')
            continue;
        std::vector<std::string> cells;
        std::istringstream parts(line);
        for (std::string cell; std::getline(parts, cell, '|');) {
            std::size_t first = cell.find_first_not_of(' ');
            std::size_t last = cell.find_last_not_of(" \r");
            cells.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
        }
        rows.push_back(cells);
    }
    return rows;
}

BOOL CALLBACK CollectButton(HWND child, LPARAM lParam)
{
    char className[16] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Button") == 0 &&
        (GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX)
        reinterpret_cast<std::vector<std::string>*>(lParam)->push_back(WindowText(child));
    return TRUE;
}

// Whether a field shows its whole text, measured as the edit control draws it: in the
// field's own font, within its client area less the edit control's margins.
testing::AssertionResult ShowsWholeText(HWND field)
{
    std::string text = WindowText(field);
    HDC dc = GetDC(field);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(field, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(field, dc);
    RECT client;
    GetClientRect(field, &client);
    DWORD margins = static_cast<DWORD>(SendMessageA(field, EM_GETMARGINS, 0, 0));
    int room = client.right - LOWORD(margins) - HIWORD(margins);
    if (size.cx <= room)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << '"' << text << "\" is " << size.cx << " pixels wide, "
                                       << "the field shows " << room;
}

class PackageTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        package = Environment("KALVORA_PACKAGE");
        samples = Environment("KALVORA_SAMPLES");
        if (package.empty() || samples.empty())
            GTEST_SKIP() << "run by tests/release/check-package.sh";
        MainWindowTest::SetUp();
    }
    std::string package, samples;
};

// Catches a sample file whose bytes say something else than its row of the table:
// a field out of place, a number mis-encoded, a name cut short; or a model or info
// text that the field cuts off on screen.
TEST_F(PackageTest, EachSampleOpensWithTheFieldsOfItsRow)
{
    auto rows = TableRows(FileText(samples));
    ASSERT_FALSE(rows.empty());
    for (const auto& row : rows) {
        ASSERT_EQ(row.size(), 11u);
        SCOPED_TRACE(row[0]);
        OpenSpeaker((package + "\\samples\\" + row[0]).c_str(), main);
        EXPECT_EQ(WindowText(main), "Kalvora BETA 2 - " + row[1]);
        EXPECT_EQ(Field(IDC_MODEL), row[1]);
        EXPECT_EQ(Field(IDC_QTS), row[2]);
        EXPECT_EQ(Field(IDC_VAS), row[3]);
        EXPECT_EQ(Field(IDC_FS), row[4]);
        EXPECT_EQ(Field(IDC_INFO), row[5]);
        EXPECT_TRUE(ShowsWholeText(GetDlgItem(main, IDC_MODEL)));
        EXPECT_TRUE(ShowsWholeText(GetDlgItem(main, IDC_INFO)));
        EXPECT_EQ(Field(IDC_VOLUME), row[6]);
        EXPECT_EQ(Field(IDC_FB), row[7]);
        Command(IDC_PORTED);
        EXPECT_EQ(Field(IDC_VOLUME), row[9]);
        EXPECT_EQ(Field(IDC_FB), row[10]);
    }
}

// Catches a help file that leaves a button of the main window unexplained.
TEST_F(PackageTest, HelpNamesEveryMainWindowButton)
{
    std::string help = FileText(package + "\\help.htm");
    ASSERT_FALSE(help.empty());
    std::vector<std::string> buttons;
    EnumChildWindows(main, CollectButton, reinterpret_cast<LPARAM>(&buttons));
    EXPECT_EQ(buttons.size(), 10u);
    for (const std::string& button : buttons)
        EXPECT_NE(help.find("<b>" + button + "</b>"), std::string::npos) << button;
}

}  // namespace
