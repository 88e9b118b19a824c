#include "win/MainWindow.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstring>

#include "resources/kalvora98.h"
#include "win/GraphWindow.h"
#include "win/Optimizer.h"
#include "win/PortDialog.h"
#include "win/SpeakerIo.h"

Speaker speaker;
int boxType = BOX_SEALED;

namespace {

// Pictures live in memory DCs from creation to shut-down.
HDC hmdcSealed;
HDC hmdcPorted;
HDC hmdcLogo;
HWND hStatus;
bool shutDown;  // Wine destroys the window at process exit: save only once
// "default.spk" was there but could not be read at start-up (another program held
// it, say): it may hold a driver the fields never showed, so the exit must not
// replace it without asking.
bool defaultUnread;

// Shared by the Open and Save dialogs: what one sets stays set for the next.
char szFullFileName[MAX_PATH];
const char szFilter[120] = "Speaker files (*.spk)\0*.SPK\0All Files (*.*)\0*.*\0";
OPENFILENAMEA ofn;

// The file dialogs move the current directory to wherever the user browsed, so the
// remembered driver's full path is fixed at creation, before any dialog can open.
// Without it, the exit save would overwrite a "default.spk" in that other folder.
char szDefaultFile[MAX_PATH] = "default.spk";

constexpr int PICTURE_X = 340, PICTURE_Y = 110, PICTURE_SIZE = 64;
constexpr int LOGO_X = 4, LOGO_Y = 190, LOGO_WIDTH = 200, LOGO_HEIGHT = 93;

const char ABOUT_TEXT[] =
    "Kalvora 98 BETA 2, 1998-06-01\n"
    "\n"
    "Freeware: build a good box and enjoy the bass.\n";

const char HELP_TEXT[] =
    "                                      No help added yet\n"
    "\n"
    "                                       For help do this:\n"
    "\n"
    "1: Check the WEB-page, http://www.kalvora98.example/\n"
    "2: Check if there is anything in the files help.htm or help.txt\n"
    "3: Write an e-mail to kalvora98@kalvora98.example";

HDC LoadPicture(HDC hdc, int id)
{
    HDC picture = CreateCompatibleDC(hdc);
    SelectObject(picture, LoadBitmapA(hInstance, MAKEINTRESOURCEA(id)));
    return picture;
}

void ReleasePicture(HDC& picture)
{
    if (!picture)
        return;
    HGDIOBJ bitmap = GetCurrentObject(picture, OBJ_BITMAP);
    DeleteDC(picture);
    DeleteObject(bitmap);
    picture = nullptr;
}

void DrawEnclosurePicture(HDC hdc)
{
    HDC picture = boxType == BOX_SEALED ? hmdcSealed
                : boxType == BOX_PORTED ? hmdcPorted
                                        : nullptr;
    if (picture)
        BitBlt(hdc, PICTURE_X, PICTURE_Y, PICTURE_SIZE, PICTURE_SIZE, picture, 0, 0, SRCCOPY);
}

// At once, on the window's own DC, when the enclosure type changes.
void ShowEnclosurePicture(HWND hwnd)
{
    HDC hdc = GetDC(hwnd);
    DrawEnclosurePicture(hdc);
    ReleaseDC(hwnd, hdc);
}

// Falls back to the relative name where the full path does not fit or is not
// representable in the ANSI code page (the A functions then give '?' for a letter).
// A byte-wise search is safe here: no double-byte character has '?' (0x3F) as its
// second byte, which is always 0x40 or above.
void FixDefaultFile()
{
    DWORD length = GetFullPathNameA("default.spk", sizeof szDefaultFile, szDefaultFile, nullptr);
    if (length == 0 || length >= sizeof szDefaultFile || std::strchr(szDefaultFile, '?'))
        std::strcpy(szDefaultFile, "default.spk");
}

void OnCreate(HWND hwnd)
{
    shutDown = false;
    InitCommonControls();
    DrawWindowContents(hwnd);
    hStatus = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Welcome to Kalvora BETA 2.0", hwnd,
                                  IDC_STATUS);
    CheckRadioButton(hwnd, IDC_SEALED, IDC_PORTED, IDC_SEALED);
    EnableWindow(h23, FALSE);
    FixDefaultFile();
    defaultUnread = OpenSpeaker(szDefaultFile, hwnd, true) == OPEN_FAILED;
    running = 1;

    HDC hdc = GetDC(hwnd);
    hmdcSealed = LoadPicture(hdc, IDB_SEALED);
    hmdcPorted = LoadPicture(hdc, IDB_PORTED);
    hmdcLogo = LoadPicture(hdc, IDB_LOGO);
    ReleaseDC(hwnd, hdc);
}

void OnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    DrawEnclosurePicture(hdc);
    BitBlt(hdc, LOGO_X, LOGO_Y, LOGO_WIDTH, LOGO_HEIGHT, hmdcLogo, 0, 0, SRCCOPY);
    EndPaint(hwnd, &ps);
}

// Exit button, close box and destroy all end here. The pictures stay until the
// program really ends: the user may go back to it from the exit's questions.
void ShutDown(HWND hwnd, bool mayGoBack)
{
    if (shutDown)
        return;
    shutDown = true;
    if (!EndProgram(hwnd, mayGoBack)) {
        shutDown = false;
        return;
    }
    ReleasePicture(hmdcSealed);
    ReleasePicture(hmdcPorted);
    ReleasePicture(hmdcLogo);
}

enum ExitChoice { EXIT_SAVE, EXIT_KEEP, EXIT_BACK };

// Only an explicit Yes replaces the unread file; Enter keeps it.
ExitChoice AskReplaceUnreadDefault(HWND hwnd)
{
    char text[256 + MAX_PATH];
    wsprintfA(text,
              "The program could not read the file %s when it started, so it may still "
              "hold the driver you saved last.\n\nReplace it with the driver shown now?\n\n"
              "Yes: replace the file and exit\nNo: keep the old file and exit\n"
              "Cancel: go back to the program",
              szDefaultFile);
    switch (MessageBoxA(hwnd, text, "Kalvora 98 BETA 2", MB_YESNOCANCEL | MB_DEFBUTTON2)) {
    case IDYES: return EXIT_SAVE;
    case IDNO: return EXIT_KEEP;
    default: return EXIT_BACK;
    }
}

// A folder that can never be written must not trap the user, and the driver on
// screen must not be lost to a full disk: the user decides.
ExitChoice AskAfterFailedSave(HWND hwnd)
{
    char text[256 + MAX_PATH];
    wsprintfA(text,
              "The program can't save the file %s\n\nYes: try again\n"
              "No: exit without saving\nCancel: go back to the program (to save elsewhere)",
              szDefaultFile);
    switch (MessageBoxA(hwnd, text, "System Error", MB_YESNOCANCEL | MB_DEFBUTTON3)) {
    case IDYES: return EXIT_SAVE;
    case IDNO: return EXIT_KEEP;
    default: return EXIT_BACK;
    }
}

// Shows the chosen design from the record: the fields have kept it up to date.
void SelectEnclosure(HWND hwnd, int type)
{
    running = 0;
    boxType = type;
    CheckRadioButton(hwnd, IDC_SEALED, IDC_PORTED, type == BOX_SEALED ? IDC_SEALED : IDC_PORTED);
    double volume = type == BOX_SEALED ? speaker.sealed.volume : speaker.ported.volume;
    double fb = type == BOX_SEALED ? speaker.sealed.fb : speaker.ported.fb;
    SetFieldNumber(hwnd, IDC_VOLUME, volume, 1);
    SetFieldNumber(hwnd, IDC_FB, fb, 1);
    running = 1;
    ShowEnclosurePicture(hwnd);
    EnableWindow(h23, type == BOX_PORTED);
}

void PrepareFileDialog(HWND hwnd, const char* title, DWORD flags)
{
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = hwnd;
    ofn.lpstrFilter = szFilter;
    ofn.lpstrFile = szFullFileName;
    ofn.nMaxFile = sizeof szFullFileName;
    ofn.lpstrInitialDir = nullptr;
    ofn.lpstrTitle = title;
    ofn.Flags = flags;
}

// Opening shows the file's sealed design, so the buttons and the picture must say so:
// with Ported still checked, a volume typed for the ported box would overwrite the
// sealed one, and Optimize would design a sealed box.
void OpenCommand(HWND hwnd)
{
    PrepareFileDialog(hwnd, "Open loudspeaker...", OFN_EXPLORER | OFN_FILEMUSTEXIST);
    if (!GetOpenFileNameA(&ofn))
        return;
    OpenSpeaker(szFullFileName, hwnd);
    CheckRadioButton(hwnd, IDC_SEALED, IDC_PORTED, IDC_SEALED);
    ShowEnclosurePicture(hwnd);
    EnableWindow(h23, FALSE);
}

void SaveCommand(HWND hwnd)
{
    GetSpeakerData(hwnd);
    PrepareFileDialog(hwnd, "Save loudspkeaker", OFN_EXPLORER | OFN_OVERWRITEPROMPT);
    ofn.nFilterIndex = 1;
    ofn.lpstrDefExt = "SPK";
    if (GetSaveFileNameA(&ofn))
        SaveSpeaker(szFullFileName, hwnd);
}

// The button stays disabled while a graph window is open. Should the window fail to
// open, the button stays usable rather than locking the user out of graphs for good.
void OpenGraphCommand(HWND hwnd)
{
    if (winNumber < 1)
        openWindow(hwnd);
    EnableWindow(h24, winNumber < 1);
}

void OnCommand(HWND hwnd, int id)
{
    switch (id) {
    case IDC_MODEL:
    case IDC_QTS:
    case IDC_VAS:
    case IDC_FS:
    case IDC_INFO:
    case IDC_VOLUME:
    case IDC_FB:
        FieldNotified(hwnd, id);
        break;
    case IDC_OPEN:
        OpenCommand(hwnd);
        break;
    case IDC_SAVE:
        SaveCommand(hwnd);
        break;
    case IDC_SEALED:
        SelectEnclosure(hwnd, BOX_SEALED);
        break;
    case IDC_PORTED:
        SelectEnclosure(hwnd, BOX_PORTED);
        break;
    case IDC_OPTIMIZE:
        OptimizeEnclosure(hwnd);
        break;
    case IDC_OPEN_GRAPH:
        OpenGraphCommand(hwnd);
        break;
    case IDC_ABOUT:
        MessageBoxA(hwnd, ABOUT_TEXT, "Kalvora 98 BETA 2", MB_OK);
        break;
    case IDC_HELP_BUTTON:
        MessageBoxA(hwnd, HELP_TEXT, "Kalvora 98 BETA 2", MB_OK);
        break;
    case IDC_EXIT:
        ShutDown(hwnd, true);
        break;
    case IDC_PORT:
        DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_PORT), hwnd, PortDlgProc, 0);
        break;
    }
}

}  // namespace

HINSTANCE hInstance;

const char MAIN_CLASS_NAME[] = "KalvoraClass";

ATOM RegisterMainWindowClass()
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(IDI_KALVORA));
    // LoadIcon would stretch the 16x16 image to the large size.
    wc.hIconSm = static_cast<HICON>(LoadImageA(hInstance, MAKEINTRESOURCEA(IDI_SPEAKER_SMALL),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INACTIVEBORDER + 1);
    wc.lpszClassName = MAIN_CLASS_NAME;
    return RegisterClassExA(&wc);
}

HWND CreateMainWindow()
{
    return CreateWindowExA(0, MAIN_CLASS_NAME, "Kalvora 98 BETA 2.0",
                           WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                           430, 340, nullptr, nullptr, hInstance, nullptr);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        OnCreate(hwnd);
        return 0;
    case WM_PAINT:
        OnPaint(hwnd);
        return 0;
    case WM_SIZE:
        SendMessageA(hStatus, WM_SIZE, wParam, lParam);
        return 0;
    case WM_CLOSE:  // not passed on: the window lives until the loop has ended
        ShutDown(hwnd, true);
        return 0;
    case WM_DESTROY:  // too late to go back to the program
        ShutDown(hwnd, false);
        return 0;
    case WM_COMMAND:
        OnCommand(hwnd, LOWORD(wParam));
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool EndProgram(HWND hwnd, bool mayGoBack)
{
    GetSpeakerData(hwnd);
    if (!mayGoBack) {  // the window is going: keep an unread file, report a failure
        if (!defaultUnread)
            SaveSpeaker(szDefaultFile, hwnd);
        PostQuitMessage(0);
        return true;
    }
    ExitChoice choice = defaultUnread ? AskReplaceUnreadDefault(hwnd) : EXIT_SAVE;
    while (choice == EXIT_SAVE && !SaveSpeaker(szDefaultFile, hwnd, false))
        choice = AskAfterFailedSave(hwnd);
    if (choice == EXIT_BACK)
        return false;
    PostQuitMessage(0);
    return true;
}
