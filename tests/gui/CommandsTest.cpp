#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "record/SpeakerFile.h"
#include "resources/kalvora98.h"
#include "support/GuiTest.h"
#include "win/MainWindow.h"

namespace {

using CommandsTest = MainWindowTest;

// Catches a switch that shows the other type's design or loses an edit.
TEST_F(CommandsTest, SealedAndPortedEachShowTheirOwnDesign)
{
    SetField(IDC_VOLUME, "24.49");
    SetField(IDC_FB, "60.6");
    Command(IDC_PORTED);
    EXPECT_EQ(Field(IDC_VOLUME), "0.0");
    EXPECT_EQ(Field(IDC_FB), "0.0");
    SetField(IDC_VOLUME, "73.7");
    SetField(IDC_FB, "32.4");
    Command(IDC_SEALED);
    EXPECT_EQ(Field(IDC_VOLUME), "24.5");
    EXPECT_EQ(Field(IDC_FB), "60.6");
    Command(IDC_PORTED);
    EXPECT_EQ(Field(IDC_VOLUME), "73.7");
    EXPECT_EQ(Field(IDC_FB), "32.4");
    EXPECT_EQ(boxType, BOX_PORTED);
    EXPECT_EQ(IsDlgButtonChecked(main, IDC_PORTED), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(main, IDC_SEALED), BST_UNCHECKED);
}

// Catches the Port button following anything but the last enclosure button.
TEST_F(CommandsTest, PortButtonEnabledOnlyAfterPorted)
{
    EXPECT_FALSE(IsWindowEnabled(h23));
    Command(IDC_SEALED);
    EXPECT_FALSE(IsWindowEnabled(h23));
    Command(IDC_PORTED);
    EXPECT_TRUE(IsWindowEnabled(h23));
    Command(IDC_PORTED);
    EXPECT_TRUE(IsWindowEnabled(h23));
    Command(IDC_SEALED);
    EXPECT_FALSE(IsWindowEnabled(h23));
}

// Catches the Sealed button re-deriving nothing: it rewrites the fields from the record.
TEST_F(CommandsTest, SealedAgainRewritesFieldsFromTheRecord)
{
    SetField(IDC_QTS, "0.4");
    SetField(IDC_FS, "30");
    SetField(IDC_FB, "45");
    speaker.sealed.fb = 50;
    speaker.sealed.q = 0.1;
    Command(IDC_SEALED);
    EXPECT_EQ(Field(IDC_FB), "50.0");
    EXPECT_DOUBLE_EQ(speaker.sealed.q, 50 / 30.0 * 0.4);
}

COLORREF ScreenPixel(HWND window, int x, int y)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC hdc = GetDC(window);
    COLORREF colour = GetPixel(hdc, x, y);
    ReleaseDC(window, hdc);
    return colour;
}

bool Dark(COLORREF c)
{
    return GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128;
}

// Catches the enclosure picture not following the selected type, or a missing logo.
TEST_F(CommandsTest, PicturesFollowTheEnclosureType)
{
    // Inside the box, where only the ported drawing has its port tube.
    constexpr int tubeX = 340 + 40, tubeY = 110 + 46;
    EXPECT_FALSE(Dark(ScreenPixel(main, tubeX, tubeY)));
    EXPECT_TRUE(Dark(ScreenPixel(main, 340 + 8, 110 + 30))) << "the box wall";
    Command(IDC_PORTED);
    EXPECT_TRUE(Dark(ScreenPixel(main, tubeX, tubeY)));
    Command(IDC_SEALED);
    EXPECT_FALSE(Dark(ScreenPixel(main, tubeX, tubeY)));
    // The logo's red underline.
    EXPECT_EQ(ScreenPixel(main, 4 + 100, 190 + 85), RGB(255, 0, 0));
}

struct Message {
    int command;
    const char* text;
};

class MessageTest : public CommandsTest, public testing::WithParamInterface<Message> {};

// Catches a changed blank, line feed or caption in the Help and About texts.
TEST_P(MessageTest, ShowsItsTextExactly)
{
    ModalWatcher boxes;
    Command(GetParam().command);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].caption, "Kalvora 98 BETA 2");
    EXPECT_EQ(boxes.Seen()[0].owner, main);
    std::string text = boxes.Seen()[0].text;
    if (GetParam().command == IDC_ABOUT) {
        // The closing line is ours; the first two and the final line feed are fixed.
        EXPECT_EQ(text.rfind(GetParam().text, 0), 0u) << text;
        EXPECT_EQ(text.back(), '\n');
        EXPECT_EQ(text.find('\n', std::strlen(GetParam().text)), text.size() - 1);
    } else {
        EXPECT_EQ(text.rfind(GetParam().text, 0), 0u) << text;
        EXPECT_NE(text.find("\n2: Check if there is anything in the files help.htm or help.txt\n"
                            "3: Write an e-mail to "),
                  std::string::npos);
        EXPECT_NE(text.back(), '\n');
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, MessageTest,
    testing::Values(Message{IDC_ABOUT, "Kalvora 98 BETA 2, 1998-06-01\n\n"},
                    Message{IDC_HELP_BUTTON,
                            "                                      No help added yet\n"
                            "\n"
                            "                                       For help do this:\n"
                            "\n"
                            "1: Check the WEB-page, "}));

enum Way { EXIT_BUTTON, CLOSE_BOX, ALT_F4 };

class ShutDownTest : public CommandsTest, public testing::WithParamInterface<Way> {};

// Catches a way out that skips writing default.spk or quits with another code.
TEST_P(ShutDownTest, WritesDefaultSpkAndQuitsWithZero)
{
    SetField(IDC_MODEL, "Leaving");
    SetField(IDC_QTS, "0.45");
    SetField(IDC_VAS, "33");
    SetField(IDC_FS, "41");
    lastQuitCode = -1;
    switch (GetParam()) {
    case EXIT_BUTTON: Command(IDC_EXIT); break;
    case CLOSE_BOX: SendMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case ALT_F4: SendMessageA(main, WM_SYSKEYDOWN, VK_F4, 1 << 29); break;
    }
    PumpMessages();
    EXPECT_EQ(lastQuitCode, 0);
    EXPECT_TRUE(IsWindow(main)) << "the window lives until the loop has ended";
    std::vector<unsigned char> bytes = ReadFileBytes("default.spk");
    ASSERT_EQ(bytes.size(), SPEAKER_FILE_SIZE);
    Speaker saved = {};
    DecodeSpeaker(bytes.data(), bytes.size(), saved);
    EXPECT_STREQ(saved.model, "Leaving");
    EXPECT_EQ(saved.qts, 0.45);
    EXPECT_EQ(saved.vas, 33);
    EXPECT_EQ(saved.fs, 41);
}

INSTANTIATE_TEST_SUITE_P(Ways, ShutDownTest, testing::Values(EXIT_BUTTON, CLOSE_BOX, ALT_F4));

// Catches a first start that invents values, or an exit that leaves no file behind.
TEST_F(CommandsTest, FirstStartShowsEmptyFieldsAndExitCreatesTheFile)
{
    EXPECT_EQ(Field(IDC_MODEL), "");
    EXPECT_EQ(Field(IDC_INFO), "");
    EXPECT_EQ(Field(IDC_QTS), "0.00");
    for (int id : {IDC_VAS, IDC_FS, IDC_VOLUME, IDC_FB})
        EXPECT_EQ(Field(id), "0.0");
    EXPECT_TRUE(ReadFileBytes("default.spk").empty()) << "start-up writes nothing";
    Command(IDC_EXIT);
    PumpMessages();
    std::vector<unsigned char> bytes = ReadFileBytes("default.spk");
    EXPECT_EQ(bytes, std::vector<unsigned char>(SPEAKER_FILE_SIZE, 0));
}

// Catches an exit save that fails silently.
TEST_F(CommandsTest, ExitReportsAnUnwritableDefaultSpk)
{
    ASSERT_TRUE(CreateDirectoryA("default.spk", nullptr));
    ModalWatcher boxes([](HWND box, int) { SendMessageA(box, WM_COMMAND, IDNO, 0); });
    Command(IDC_EXIT);
    PumpMessages();
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].caption, "System Error");
    EXPECT_EQ(boxes.Seen()[0].text.rfind(
                  "The program can't save the file " + directory.File("default.spk") + "\n", 0),
              0u);
    EXPECT_EQ(lastQuitCode, 0) << "No: exit without saving";
}

}  // namespace
