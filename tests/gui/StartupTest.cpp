#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "resources/kalvora98.h"
#include "support/GuiTest.h"
#include "win/MainWindow.h"

namespace {

using StartupTest = MainWindowTest;

// Catches a class registered with other styles, icons, cursor or background.
TEST_F(StartupTest, ClassUsesProgramIconsAndArrowCursor)
{
    WNDCLASSEXA wc = {sizeof wc};
    ASSERT_TRUE(GetClassInfoExA(hInstance, MAIN_CLASS_NAME, &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(wc.lpfnWndProc, WndProc);
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, 0);
    EXPECT_NE(wc.hIcon, nullptr);
    EXPECT_NE(wc.hIconSm, nullptr);
    EXPECT_EQ(wc.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(12));
    EXPECT_EQ(wc.lpszMenuName, nullptr);

    // The icons are the program's own: 32x32 large and 16x16 small.
    ICONINFO info;
    BITMAP bitmap;
    ASSERT_TRUE(GetIconInfo(wc.hIcon, &info));
    GetObjectA(info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 32);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    ASSERT_TRUE(GetIconInfo(wc.hIconSm, &info));
    GetObjectA(info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 16);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
}

// Catches a window made with another size, style or with a menu.
TEST_F(StartupTest, MainWindowIs430By340WithA422By313ClientArea)
{
    RECT outer, client;
    GetWindowRect(main, &outer);
    GetClientRect(main, &client);
    EXPECT_EQ(outer.right - outer.left, 430);
    EXPECT_EQ(outer.bottom - outer.top, 340);
    EXPECT_EQ(client.right, 422);
    EXPECT_EQ(client.bottom, 313);
    EXPECT_EQ(GetWindowLongA(main, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(GetWindowLongA(main, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_EQ(GetMenu(main), nullptr);
    EXPECT_TRUE(IsWindowVisible(main));
}

// WinMain registers the class itself: these tests start without it.
class WinMainTest : public testing::Test {
protected:
    void SetUp() override
    {
        UnregisterClassA(MAIN_CLASS_NAME, GetModuleHandleA(nullptr));
        lastQuitCode = -1;
    }
    void TearDown() override
    {
        if (HWND main = FindWindowA(MAIN_CLASS_NAME, nullptr))
            DestroyWindow(main);
        PumpMessages();
        UnregisterClassA(MAIN_CLASS_NAME, GetModuleHandleA(nullptr));
    }
    TempDirectory directory;
};

// Catches a second copy of the class going unnoticed, or more than one message.
TEST_F(WinMainTest, FailedRegistrationShowsOneSystemErrorAndReturnsZero)
{
    hInstance = GetModuleHandleA(nullptr);
    ASSERT_TRUE(RegisterMainWindowClass());
    ModalWatcher boxes;
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOW), 0);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    EXPECT_EQ(boxes.Count("System Error", "The program can't register the Window-class"), 1);
    EXPECT_EQ(boxes.Seen()[0].owner, nullptr);
    EXPECT_EQ(FindWindowA(MAIN_CLASS_NAME, nullptr), nullptr);
}

int quitCode;

void CALLBACK PostQuitFromLoop(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    PostQuitMessage(quitCode);
}

class WinMainQuitTest : public WinMainTest, public testing::WithParamInterface<int> {};

// Catches a loop that ignores the quit or returns something other than its code.
TEST_P(WinMainQuitTest, LoopEndsWithTheQuitCode)
{
    quitCode = GetParam();
    SetTimer(nullptr, 0, 50, PostQuitFromLoop);
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_MINIMIZE),
              GetParam());
    HWND main = FindWindowA(MAIN_CLASS_NAME, nullptr);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsIconic(main)) << "the requested show state is ignored";
}

INSTANTIATE_TEST_SUITE_P(Codes, WinMainQuitTest, testing::Values(0, 7));

void CALLBACK PressExit(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    HWND main = FindWindowA(MAIN_CLASS_NAME, nullptr);
    SendMessageA(main, WM_COMMAND, IDC_EXIT, 0);
}

// Catches a shut-down that does not post the quit with code 0.
TEST_F(WinMainTest, ExitButtonEndsTheProgramWithCodeZero)
{
    SetTimer(nullptr, 0, 50, PressExit);
    EXPECT_EQ(WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOW), 0);
}

// An icon group as the resource compiler stores it: the ICO header with each
// image's file offset replaced by the ID of its RT_ICON resource.
#pragma pack(push, 2)
struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupHeader {
    WORD reserved, type, count;
    GroupEntry entries[1];
};
#pragma pack(pop)

const BYTE* Resource(int id, LPCSTR type, DWORD* bytes = nullptr)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found)
        return nullptr;
    if (bytes)
        *bytes = SizeofResource(module, found);
    return static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
}

struct IconGroup {
    int id;
    std::vector<int> sizes;
};

// One image of a group: its size, 256 colours, and a transparent background.
void CheckImage(const GroupEntry& entry, int size)
{
    SCOPED_TRACE(size);
    EXPECT_EQ(entry.width, size);
    EXPECT_EQ(entry.bitCount, 8);

    DWORD bytes = 0;
    const BYTE* image = Resource(entry.id, RT_ICON, &bytes);
    ASSERT_NE(image, nullptr);
    BITMAPINFOHEADER header;
    std::memcpy(&header, image, sizeof header);
    EXPECT_EQ(header.biWidth, size);
    EXPECT_EQ(header.biHeight, 2 * size) << "colour image and mask";
    ASSERT_EQ(header.biBitCount, 8);
    ASSERT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    const DWORD colours = header.biClrUsed ? header.biClrUsed : 256;
    const int maskStride = (size + 31) / 32 * 4;
    const BYTE* palette = image + header.biSize;
    const BYTE* pixels = palette + 4 * colours;
    const BYTE* mask = pixels + size * size;
    ASSERT_EQ(bytes, header.biSize + 4 * colours + (size + maskStride) * size);

    int transparent = 0, colouredUnderMask = 0;
    std::set<DWORD> opaqueColours;
    for (int i = 0, x = 0, y = 0; i < size * size; x = ++i % size, y = i / size) {
        ASSERT_LT(pixels[i], colours);
        DWORD colour = 0;
        std::memcpy(&colour, palette + 4 * pixels[i], 3);
        if (mask[y * maskStride + x / 8] & (0x80 >> x % 8)) {
            ++transparent;
            colouredUnderMask += colour != 0;
        } else {
            opaqueColours.insert(colour);
        }
    }
    EXPECT_GT(transparent, 0);
    EXPECT_LT(transparent, size * size);
    EXPECT_EQ(colouredUnderMask, 0);
    EXPECT_GT(opaqueColours.size(), 1u);
}

class IconResourceTest : public testing::TestWithParam<IconGroup> {};

// Catches an icon with other images or sizes, stored in fewer colours, with an
// all-opaque mask (the drawing lost in a square), colour left under the mask (it
// would be XORed onto what lies behind), or drawn in a single colour.
TEST_P(IconResourceTest, EachImageOf256ColoursOnATransparentBackground)
{
    auto* group = reinterpret_cast<const GroupHeader*>(Resource(GetParam().id, RT_GROUP_ICON));
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(static_cast<std::size_t>(group->count), GetParam().sizes.size());
    for (std::size_t n = 0; n < GetParam().sizes.size(); ++n)
        CheckImage(group->entries[n], GetParam().sizes[n]);
}

INSTANTIATE_TEST_SUITE_P(Icons, IconResourceTest,
                         testing::Values(IconGroup{IDI_PROGRAM, {16, 32, 48}},
                                         IconGroup{IDI_SPEAKER_SMALL, {16}},
                                         IconGroup{IDI_KALVORA, {32}},
                                         IconGroup{IDI_KALVORA_LARGE64, {64}}));

BOOL CALLBACK TakeFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR first)
{
    *reinterpret_cast<LPSTR*>(first) = name;
    return FALSE;
}

// Catches a group of one small image coming first, which Explorer would stretch into
// the exe's icon.
TEST(IconOrderTest, ExplorerFindsTheThreeSizeGroupFirst)
{
    LPSTR first = nullptr;
    EnumResourceNamesA(GetModuleHandleA(nullptr), RT_GROUP_ICON, TakeFirstName,
                       reinterpret_cast<LONG_PTR>(&first));
    EXPECT_EQ(first, MAKEINTRESOURCEA(IDI_PROGRAM));
}

// A text of the version resource, found through its Translation entry as Explorer
// finds it; empty if there is none.
std::string VersionText(const std::vector<char>& info, const char* name)
{
    WORD* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) || length < 4)
        return "";
    char key[96];
    wsprintfA(key, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
    char* value = nullptr;
    if (!VerQueryValueA(info.data(), key, reinterpret_cast<void**>(&value), &length) || !length)
        return "";
    return value;
}

// Catches a version resource whose texts Explorer's Properties cannot find, or whose
// version numbers and version texts disagree.
TEST(VersionTest, PropertiesShowNameDescriptionAndOneVersion)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    DWORD unused = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(path, &unused));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, info.size(), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    char numbers[32];
    wsprintfA(numbers, "%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
              HIWORD(fixed->dwFileVersionLS));

    EXPECT_EQ(VersionText(info, "ProductName"), "Kalvora 98");
    EXPECT_NE(VersionText(info, "FileDescription"), "");
    EXPECT_EQ(VersionText(info, "FileVersion"), numbers);
    EXPECT_EQ(VersionText(info, "ProductVersion"), numbers);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

}  // namespace
