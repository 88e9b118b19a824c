#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "record/SpeakerFile.h"
#include "resources/kalvora98.h"
#include "support/FileDialog.h"
#include "support/GuiTest.h"
#include "win/MainWindow.h"
#include "win/SpeakerIo.h"

namespace {

Speaker Driver()
{
    Speaker s = {};
    std::strcpy(s.model, "SB17NRX");
    std::strcpy(s.info, "6.5 inch, paper cone");
    s.qts = 0.347;
    s.vas = 24.01;
    s.fs = 37.25;  // an exact tie: shown 37.3, away from zero
    s.sealed = {9.96, 66.07, 0.615};
    s.ported = {20.04, 36.3};
    return s;
}

std::vector<unsigned char> Encoded(const Speaker& s)
{
    unsigned char bytes[SPEAKER_FILE_SIZE];
    EncodeSpeaker(s, bytes);
    return {bytes, bytes + sizeof bytes};
}

Speaker Decoded(const std::vector<unsigned char>& bytes)
{
    Speaker s = {};
    DecodeSpeaker(bytes.data(), bytes.size(), s);
    return s;
}

class FileCommandsTest : public MainWindowTest {
protected:
    std::string WriteDriver(const char* name, const Speaker& s = Driver())
    {
        std::string path = directory.File(name);
        EXPECT_TRUE(WriteFileBytes(path, Encoded(s)));
        return path;
    }
    // Opens `path` through the Open button and its dialog.
    void OpenThroughDialog(const std::string& path)
    {
        ModalWatcher dialogs([&](HWND dialog, int) { ChooseFile(dialog, path); });
        Command(IDC_OPEN);
        ASSERT_EQ(dialogs.Seen().size(), 1u);
        EXPECT_EQ(dialogs.Seen()[0].caption, "Open loudspeaker...");
    }
    void TypeDriverIntoFields()
    {
        SetField(IDC_MODEL, "Typed");
        SetField(IDC_QTS, "0.5");
        SetField(IDC_VAS, "30");
        SetField(IDC_FS, "40");
        SetField(IDC_INFO, "typed info");
        SetField(IDC_VOLUME, "12.5");
        SetField(IDC_FB, "55");
    }
};

// Catches an open that leaves the ported design on show, or leaves Ported checked and
// Port enabled while the fields show the sealed design.
TEST_F(FileCommandsTest, OpenWhilePortedShowsTheSealedDesign)
{
    Command(IDC_PORTED);
    OpenThroughDialog(WriteDriver("driver.spk"));
    EXPECT_EQ(boxType, BOX_SEALED);
    EXPECT_EQ(Field(IDC_MODEL), "SB17NRX");
    EXPECT_EQ(Field(IDC_QTS), "0.35");
    EXPECT_EQ(Field(IDC_VAS), "24.0");
    EXPECT_EQ(Field(IDC_FS), "37.3");
    EXPECT_EQ(Field(IDC_VOLUME), "10.0");
    EXPECT_EQ(Field(IDC_FB), "66.1");
    EXPECT_EQ(Field(IDC_INFO), "6.5 inch, paper cone");
    EXPECT_EQ(IsDlgButtonChecked(main, IDC_SEALED), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(main, IDC_PORTED), BST_UNCHECKED);
    EXPECT_FALSE(IsWindowEnabled(h23));
    EXPECT_EQ(WindowText(main), "Kalvora BETA 2 - SB17NRX");
}

struct OpenCase {
    const char* name;
    bool portedBefore;
};

class OpenRecordTest : public FileCommandsTest, public testing::WithParamInterface<OpenCase> {};

// Catches half-filled fields reaching the record while the file is shown: every
// member must hold the file's value, none the text the fields showed before.
TEST_P(OpenRecordTest, RecordHoldsTheFileNotTheOldFields)
{
    TypeDriverIntoFields();
    if (GetParam().portedBefore)
        Command(IDC_PORTED);
    OpenSpeaker(WriteDriver("driver.spk").c_str(), main);
    Speaker expected = Driver();
    // The sealed Q is re-derived from the shown Fb only while sealed was selected.
    if (!GetParam().portedBefore)
        expected.sealed.q = expected.sealed.fb / expected.fs * expected.qts;
    EXPECT_EQ(std::memcmp(&speaker, &expected, sizeof expected), 0);
    EXPECT_EQ(running, 1);
}

INSTANTIATE_TEST_SUITE_P(Selections, OpenRecordTest,
                         testing::Values(OpenCase{"sealed", false}, OpenCase{"ported", true}),
                         [](const auto& info) { return info.param.name; });

// Catches a failed open being silent, or changing the record.
TEST_F(FileCommandsTest, OpeningAMissingFileReportsAndKeepsTheRecord)
{
    TypeDriverIntoFields();
    Speaker before = speaker;
    std::string missing = directory.File("missing.spk");
    ModalWatcher boxes;
    OpenSpeaker(missing.c_str(), main);
    EXPECT_EQ(boxes.Count("System Error", "The program can't open the file " + missing), 1);
    EXPECT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(std::memcmp(&speaker, &before, sizeof before), 0);
    EXPECT_EQ(Field(IDC_VOLUME), "12.5");
    EXPECT_EQ(WindowText(main), "Kalvora BETA 2 - Typed");
}

// Catches the title losing its trailing blank with an empty model name.
TEST_F(FileCommandsTest, TitleWithEmptyModelEndsInDashAndBlank)
{
    Speaker unnamed = Driver();
    unnamed.model[0] = '\0';
    OpenSpeaker(WriteDriver("unnamed.spk", unnamed).c_str(), main);
    EXPECT_EQ(WindowText(main), "Kalvora BETA 2 - ");
    SetField(IDC_MODEL, "Named");
    SaveSpeaker(directory.File("named.spk").c_str(), main);
    EXPECT_EQ(WindowText(main), "Kalvora BETA 2 - Named");
}

// Catches a save that writes other bytes than the fields show, or not 164 of them.
TEST_F(FileCommandsTest, SaveWritesWhatTheFieldsShow)
{
    TypeDriverIntoFields();
    ModalWatcher dialogs([&](HWND dialog, int) { ChooseFile(dialog, directory.File("typed")); });
    Command(IDC_SAVE);
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    EXPECT_EQ(dialogs.Seen()[0].caption, "Save loudspkeaker");
    std::vector<unsigned char> bytes = ReadFileBytes(directory.File("typed.SPK"));
    ASSERT_EQ(bytes.size(), SPEAKER_FILE_SIZE) << "the default extension is appended";
    EXPECT_EQ(bytes, Encoded(speaker));
    Speaker saved = Decoded(bytes);
    EXPECT_STREQ(saved.model, "Typed");
    EXPECT_EQ(saved.qts, 0.5);
    EXPECT_EQ(saved.fs, 40);
    EXPECT_EQ(saved.sealed.volume, 12.5);
    EXPECT_EQ(saved.sealed.fb, 55);
}

// Catches a dialog without the speaker filter, or an Open that accepts missing files.
TEST_F(FileCommandsTest, DialogsOfferTheSpeakerFilter)
{
    std::vector<std::vector<std::string>> types;
    ModalWatcher dialogs([&](HWND dialog, int) {
        types.push_back(FileTypes(dialog));
        Cancel(dialog);
    });
    Command(IDC_OPEN);
    Command(IDC_SAVE);
    std::vector<std::string> expected = {"Speaker files (*.spk)", "All Files (*.*)"};
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[0], expected);
    EXPECT_EQ(types[1], expected);
}

// Catches the shared file name being lost between the dialogs.
TEST_F(FileCommandsTest, SecondDialogStartsFromTheFirstChoice)
{
    std::string path = WriteDriver("first.spk");
    std::vector<std::string> offered;
    ModalWatcher dialogs([&](HWND dialog, int index) {
        offered.push_back(OfferedFileName(dialog));
        if (index == 0)
            ChooseFile(dialog, path);
        else
            Cancel(dialog);
    });
    Command(IDC_OPEN);
    Command(IDC_SAVE);
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_NE(offered[0], "first.spk");
    EXPECT_EQ(offered[1], "first.spk");
}

// Catches a save that overwrites without asking.
TEST_F(FileCommandsTest, SaveAsksBeforeOverwriting)
{
    std::string path = WriteDriver("old.spk");
    SetField(IDC_MODEL, "Replacement");
    std::vector<std::string> captions;
    ModalWatcher dialogs([&](HWND window, int index) {
        captions.push_back(WindowText(window));
        if (index == 0)
            ChooseFile(window, path);
        else
            SendMessageA(window, WM_COMMAND, IDYES, 0);  // the overwrite question
    });
    Command(IDC_SAVE);
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_STREQ(Decoded(ReadFileBytes(path)).model, "Replacement");
}

// Catches a failed save reported as success, or one that destroys what was there.
TEST_F(FileCommandsTest, FailedSaveReportsAndKeepsThePreviousFile)
{
    std::string target = directory.File("taken");
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
    std::string inside = WriteDriver("taken\\keep.spk");
    ModalWatcher boxes;
    SaveSpeaker(target.c_str(), main);
    EXPECT_EQ(boxes.Count("System Error", "The program can't save the file " + target), 1);
    EXPECT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(ReadFileBytes(inside), Encoded(Driver()));

    // Nothing is left behind beside the target.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(directory.File("*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << found.cFileName;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

// Catches a save into a missing directory creating anything or staying silent.
TEST_F(FileCommandsTest, SaveIntoMissingDirectoryReports)
{
    std::string target = directory.File("nowhere\\driver.spk");
    ModalWatcher boxes;
    SaveSpeaker(target.c_str(), main);
    EXPECT_EQ(boxes.Count("System Error", "The program can't save the file " + target), 1);
    EXPECT_TRUE(ReadFileBytes(target).empty());
}

// Fails as on Windows 95, 98 and ME, which export MoveFileExA but do not implement it.
BOOL WINAPI MoveFileExNotImplemented(LPCSTR, LPCSTR, DWORD)
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

std::vector<std::string> FileNames(const TempDirectory& directory)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(directory.File("*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct ReplaceCase {
    const char* name;
    MoveFileExFunction move;
    bool targetExists;
};

// Puts MoveFileExA back after a test that replaced it.
class MoveFileTest : public FileCommandsTest {
protected:
    void TearDown() override
    {
        moveFileEx = MoveFileExA;
        FileCommandsTest::TearDown();
    }
};

class SaveReplaceTest : public MoveFileTest, public testing::WithParamInterface<ReplaceCase> {};

// Catches a save that leaves the old bytes or a temporary file, touches another file
// or fails where MoveFileExA is not implemented.
TEST_P(SaveReplaceTest, OnlyTheTargetChanges)
{
    moveFileEx = GetParam().move;
    std::vector<unsigned char> other(100, 0x33);
    ASSERT_TRUE(WriteFileBytes(directory.File("other.spk"), other));
    std::string path = directory.File("driver.spk");
    if (GetParam().targetExists)
        ASSERT_TRUE(WriteFileBytes(path, std::vector<unsigned char>(400, 0x55)));
    SetField(IDC_MODEL, "New");
    ModalWatcher boxes;
    SaveSpeaker(path.c_str(), main);
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_EQ(ReadFileBytes(path), Encoded(speaker));
    EXPECT_EQ(ReadFileBytes(directory.File("other.spk")), other);
    EXPECT_EQ(FileNames(directory), (std::vector<std::string>{"driver.spk", "other.spk"}));
}

INSTANTIATE_TEST_SUITE_P(
    Moves, SaveReplaceTest,
    testing::Values(ReplaceCase{"Replacing", MoveFileExA, true},
                    ReplaceCase{"ReplacingWithoutMoveFileEx", MoveFileExNotImplemented, true},
                    ReplaceCase{"NewWithoutMoveFileEx", MoveFileExNotImplemented, false}),
    [](const auto& info) { return info.param.name; });

// Catches default.spk being read through anything but the same file code.
TEST_F(FileCommandsTest, StartUpReadsDefaultSpk)
{
    DestroyWindow(main);
    PumpMessages();
    WriteDriver("default.spk");
    speaker = {};
    CreateMain();
    EXPECT_EQ(Field(IDC_MODEL), "SB17NRX");
    EXPECT_EQ(Field(IDC_FB), "66.1");
    EXPECT_EQ(WindowText(main), "Kalvora BETA 2 - SB17NRX");
    EXPECT_EQ(speaker.ported.fb, 36.3);
}

struct Browse {
    const char* label;
    int command;       // the button whose dialog browses into the other folder
    const char* name;  // the file chosen there; none: the dialog is cancelled
};

class StartFolderTest : public FileCommandsTest, public testing::WithParamInterface<Browse> {};

std::string CurrentDirectory()
{
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof current, current);
    return current;
}

// Catches the exit save following the current directory that a file dialog moved:
// it would overwrite that folder's own default.spk and lose the driver left here.
TEST_P(StartFolderTest, ExitSavesIntoTheFolderTheProgramStartedIn)
{
    TempDirectory other;
    SetCurrentDirectoryA(directory.Path().c_str());
    const std::vector<unsigned char> othersOwn = Encoded(Driver());
    ASSERT_TRUE(WriteFileBytes(other.File("default.spk"), othersOwn));
    ModalWatcher dialogs([&](HWND dialog, int) {
        ChooseFile(dialog, other.Path());  // a folder's name browses into it
        if (GetParam().name)
            ChooseFile(dialog, GetParam().name);
        else
            Cancel(dialog);
    });
    Command(GetParam().command);
    ASSERT_EQ(dialogs.Seen().size(), 1u);
    ASSERT_EQ(CurrentDirectory(), other.Path()) << "the dialog did not move the directory";

    SetField(IDC_MODEL, "Left here");
    Command(IDC_EXIT);
    PumpMessages();
    EXPECT_STREQ(Decoded(ReadFileBytes(directory.File("default.spk"))).model, "Left here");
    EXPECT_EQ(ReadFileBytes(other.File("default.spk")), othersOwn);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, StartFolderTest,
                         testing::Values(Browse{"OpenItsDefaultSpk", IDC_OPEN, "default.spk"},
                                         Browse{"OpenCancelled", IDC_OPEN, nullptr},
                                         Browse{"SaveThere", IDC_SAVE, "saved.spk"}),
                         [](const auto& row) { return std::string(row.param.label); });

// Start folders that an ANSI full path cannot name. Each is made under `base` and
// becomes the current directory.
bool EnterFolderTooDeep(const std::string& base)
{
    std::string deep = base;
    while (deep.size() < MAX_PATH - 10) {  // 250 characters: "\default.spk" does not fit
        deep += '\\' + std::string(std::min<size_t>(60, MAX_PATH - 11 - deep.size()), 'd');
        if (!CreateDirectoryA(deep.c_str(), nullptr))
            return false;
    }
    return SetCurrentDirectoryA(deep.c_str());
}

bool EnterFolderOutsideTheCodePage(const std::string& base)
{
    std::wstring name(base.begin(), base.end());  // the temporary folder's path is ASCII
    name += L"\\\x0416\x0436\x4E2D";               // Cyrillic and Chinese letters
    return CreateDirectoryW(name.c_str(), nullptr) && SetCurrentDirectoryW(name.c_str());
}

struct Unnamable {
    const char* label;
    bool (*enter)(const std::string& base);
};

class UnnamableStartFolderTest : public FileCommandsTest,
                                 public testing::WithParamInterface<Unnamable> {};

// Catches a path kept from an earlier start, a cut one or one with '?' for letters,
// where the start folder's full path cannot be had: the exit save must still land
// in that folder, under the relative name.
TEST_P(UnnamableStartFolderTest, ExitSavesThereByTheRelativeName)
{
    DestroyWindow(main);
    PumpMessages();
    DeleteFileA(directory.File("default.spk").c_str());  // the first window's exit save
    ASSERT_TRUE(GetParam().enter(directory.Path()));
    CreateMain();
    SetField(IDC_MODEL, "Left here");
    ModalWatcher boxes;
    Command(IDC_EXIT);
    PumpMessages();
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_STREQ(Decoded(ReadFileBytes("default.spk")).model, "Left here");
    EXPECT_TRUE(ReadFileBytes(directory.File("default.spk")).empty()) << "the earlier start's";
}

INSTANTIATE_TEST_SUITE_P(Folders, UnnamableStartFolderTest,
                         testing::Values(Unnamable{"TooDeep", EnterFolderTooDeep},
                                         Unnamable{"OutsideTheCodePage",
                                                   EnterFolderOutsideTheCodePage}),
                         [](const auto& row) { return std::string(row.param.label); });

// Enter presses the button drawn as the default one.
void PressDefault(HWND box)
{
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if ((GetWindowLongA(c, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            return Click(box, GetDlgCtrlID(c));
    ADD_FAILURE() << "no default button";
    PressOk(box);
}

class HeldDefaultTest : public FileCommandsTest, public testing::WithParamInterface<DWORD> {
protected:
    HeldDefaultTest() { createInSetUp = false; }
};

// Catches a start-up read that another program's open handle makes fail in silence,
// after which the exit replaced the saved driver with empty fields.
TEST_P(HeldDefaultTest, SavedDriverSurvivesTheExit)
{
    std::string path = WriteDriver("default.spk");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, GetParam(), nullptr, OPEN_EXISTING,
                              0, nullptr);
    ModalWatcher boxes([](HWND box, int) { PressDefault(box); });
    CreateMain();
    CloseHandle(held);  // the exit could write it now
    lastQuitCode = -1;
    Command(IDC_EXIT);
    PumpMessages();
    EXPECT_EQ(lastQuitCode, 0);
    if (GetParam()) {  // a reader that shares the file does not stop the program
        EXPECT_TRUE(boxes.Seen().empty());
        EXPECT_EQ(Field(IDC_MODEL), "SB17NRX");
        return;
    }
    ASSERT_EQ(boxes.Seen().size(), 2u);
    EXPECT_EQ(boxes.Count("System Error", "The program can't open the file " + path), 1);
    EXPECT_EQ(boxes.Seen()[1].text.rfind("The program could not read the file ", 0), 0u);
    EXPECT_EQ(ReadFileBytes(path), Encoded(Driver())) << "Enter keeps the old file";
}

INSTANTIATE_TEST_SUITE_P(Sharing, HeldDefaultTest,
                         testing::Values(0, FILE_SHARE_READ | FILE_SHARE_WRITE));

BOOL WINAPI MoveFileExDenied(LPCSTR, LPCSTR, DWORD)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

struct Answer {
    const char* label;
    int button;
    bool quits;
    const char* saved;  // the model default.spk ends with
};

class FailedExitSaveTest : public MoveFileTest, public testing::WithParamInterface<Answer> {};

// Catches an exit that quits after a failed save and loses the driver on screen, or
// a user trapped by a folder that can never be written.
TEST_P(FailedExitSaveTest, UserChoosesWhatHappens)
{
    std::string path = WriteDriver("default.spk");
    SetField(IDC_MODEL, "On screen");
    moveFileEx = MoveFileExDenied;
    lastQuitCode = -1;
    ModalWatcher boxes([button = GetParam().button](HWND box, int) {
        moveFileEx = MoveFileExA;  // a retry finds the disk writable again
        SendMessageA(box, WM_COMMAND, button, 0);
    });
    Command(IDC_EXIT);
    PumpMessages();
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Seen()[0].caption, "System Error");
    EXPECT_EQ(boxes.Seen()[0].text.rfind("The program can't save the file " + path + "\n", 0), 0u);
    EXPECT_EQ(lastQuitCode, GetParam().quits ? 0 : -1);
    EXPECT_STREQ(Decoded(ReadFileBytes(path)).model, GetParam().saved);
    if (GetParam().quits)
        return;
    Command(IDC_EXIT);  // back in the program, the next exit works as ever
    PumpMessages();
    EXPECT_EQ(lastQuitCode, 0);
    EXPECT_STREQ(Decoded(ReadFileBytes(path)).model, "On screen");
}

INSTANTIATE_TEST_SUITE_P(Answers, FailedExitSaveTest,
                         testing::Values(Answer{"TryAgain", IDYES, true, "On screen"},
                                         Answer{"ExitWithoutSaving", IDNO, true, "SB17NRX"},
                                         Answer{"BackToTheProgram", IDCANCEL, false, "SB17NRX"}),
                         [](const auto& row) { return std::string(row.param.label); });

// Code page 932, where the second byte of a character can be '\' (0x5C) and a cut
// text can end in a lead byte. These run in a process of their own with that code
// page (the CTest entry gui_tests_cp932); elsewhere they are skipped.
const std::string SO = "\x83\x5C";  // ソ
const std::string HYOU = "\x95\x5C";  // 表

class DoubleByteTest : public FileCommandsTest, public testing::WithParamInterface<std::string> {
protected:
    void SetUp() override
    {
        if (GetACP() != 932) {
            if (std::getenv("KALVORA_EXPECT_CP932"))
                FAIL() << "code page " << GetACP() << ", not 932: is the locale there?";
            GTEST_SKIP() << "needs code page 932";
        }
        FileCommandsTest::SetUp();
    }
};

// Catches a byte-wise search for the last '\' that finds one inside a character and
// asks for the temporary file in a folder that does not exist.
TEST_P(DoubleByteTest, SavesBackAFileJustOpened)
{
    std::string path = WriteDriver(GetParam().c_str());
    ModalWatcher boxes;
    OpenSpeaker(path.c_str(), main);
    SetField(IDC_MODEL, ("New " + SO).c_str());
    SaveSpeaker(path.c_str(), main);
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_EQ(ReadFileBytes(path), Encoded(speaker));
}

// ソニー.spk and 予定表.spk
INSTANTIATE_TEST_SUITE_P(Names, DoubleByteTest,
                         testing::Values(SO + "\x83\x6A\x81\x5B.spk",
                                         "\x97\x5C\x92\xE8" + HYOU + ".spk"));

// Catches a text cut at byte 49 between the two bytes of a character, typed or read
// from a file written elsewhere: the title read on past the text's end.
TEST_F(DoubleByteTest, TextsEndOnAWholeCharacter)
{
    const std::string kept(48, 'a');
    SetField(IDC_MODEL, (kept + SO).c_str());
    SetField(IDC_INFO, (kept + HYOU).c_str());
    EXPECT_EQ(std::string(speaker.model), kept);
    EXPECT_EQ(std::string(speaker.info), kept);

    Speaker s = Driver();
    std::strcpy(s.model, ("ab" + SO + "\x83").c_str());
    OpenSpeaker(WriteDriver("elsewhere.spk", s).c_str(), main);
    EXPECT_EQ(Field(IDC_MODEL), "ab" + SO);
    EXPECT_EQ(WindowText(main), "Kalvora BETA 2 - ab" + SO);
}

}  // namespace
