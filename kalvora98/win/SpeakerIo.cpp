#include "win/SpeakerIo.h"

#include <cstring>

#include "record/SpeakerFile.h"
#include "resources/kalvora98.h"
#include "win/MainWindow.h"

MoveFileExFunction moveFileEx = MoveFileExA;

namespace {

// `head` followed by `tail`, cut to the buffer; no printf machinery for two strings.
template <std::size_t N>
void JoinText(char (&text)[N], const char* head, const char* tail)
{
    lstrcpynA(text, head, N);
    int used = lstrlenA(text);
    lstrcpynA(text + used, tail, static_cast<int>(N) - used);
}

void ReportFileError(HWND hwnd, const char* what, const char* filename)
{
    char text[64 + MAX_PATH];
    JoinText(text, what, filename);
    MessageBoxA(hwnd, text, "System Error", MB_OK);
}

// The last separator, found character by character: in the double-byte code pages
// the second byte of a character can be 0x5C, so a byte-wise search for a backslash
// finds one inside a name such as "ソニー.spk" (932) and cuts the folder there.
const char* LastSeparator(const char* path)
{
    const char* last = nullptr;
    for (const char* c = path; *c; c = CharNextA(c))
        if (*c == '\\' || *c == '/')
            last = c;
    return last;
}

// A unique temporary file in the target's own directory, so that the final
// MoveFileEx is a rename on one volume.
bool CreateTempBeside(const char* filename, char (&temp)[MAX_PATH])
{
    char directory[MAX_PATH] = ".";
    if (const char* slash = LastSeparator(filename)) {
        std::size_t length = slash - filename + 1;
        if (length >= sizeof directory)
            return false;
        std::memcpy(directory, filename, length);
        directory[length] = '\0';
    }
    return GetTempFileNameA(directory, "spk", 0, temp) != 0;
}

bool WriteAll(HANDLE file, const unsigned char* bytes, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, bytes, size, &written, nullptr) && written == size;
}

// Writes the record into the temporary file and makes sure it has reached the disk.
bool WriteTemp(HANDLE file)
{
    unsigned char bytes[SPEAKER_FILE_SIZE];
    EncodeSpeaker(speaker, bytes);
    bool written = WriteAll(file, bytes, sizeof bytes) && FlushFileBuffers(file);
    return CloseHandle(file) && written;
}

// Windows 95, 98 and ME export MoveFileExA but fail it as not implemented. There the
// old file is deleted and the complete temporary file takes its name; should that
// move fail, the temporary file holds the only copy and stays.
bool ReplaceWithTemp(const char* temp, const char* filename)
{
    if (moveFileEx(temp, filename, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    if (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED &&
        (DeleteFileA(filename) || GetLastError() == ERROR_FILE_NOT_FOUND))
        return MoveFileA(temp, filename) != 0;
    DeleteFileA(temp);
    return false;
}

// The file's first `size` bytes or as many as it has; false if reading failed (a
// region another program has locked, a network drive gone), so nothing half-read
// reaches the record.
bool ReadUpTo(HANDLE file, unsigned char* bytes, DWORD size, DWORD& total)
{
    total = 0;
    while (total < size) {
        DWORD got = 0;
        if (!ReadFile(file, bytes + total, size - total, &got, nullptr))
            return false;
        if (got == 0)
            break;
        total += got;
    }
    return true;
}

// Reading shares the file both ways: a viewer, an indexer or a sync client that has
// it open must not stop the program. FILE_SHARE_DELETE is left out: Windows 9x
// refuses the whole call with it.
OpenResult ReadSpeakerFile(const char* filename)
{
    HANDLE file = CreateFileA(filename, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? OPEN_MISSING
                                                                              : OPEN_FAILED;
    }
    unsigned char bytes[SPEAKER_FILE_SIZE];
    DWORD length = 0;
    bool read = ReadUpTo(file, bytes, sizeof bytes, length);
    CloseHandle(file);
    if (!read)
        return OPEN_FAILED;
    DecodeSpeaker(bytes, length, speaker, IsSystemLeadByte);
    return OPEN_READ;
}

}  // namespace

void SetSpeakerTitle(HWND hwnd)
{
    char title[sizeof "Kalvora BETA 2 - " + sizeof speaker.model];
    JoinText(title, "Kalvora BETA 2 - ", speaker.model);
    SetWindowTextA(hwnd, title);
}

bool IsSystemLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

bool SaveSpeaker(const char* filename, HWND hwnd, bool reportFailure)
{
    char temp[MAX_PATH] = "";
    HANDLE file = INVALID_HANDLE_VALUE;
    if (CreateTempBeside(filename, temp))
        file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    GetSpeakerData(hwnd);

    bool saved = false;
    if (file != INVALID_HANDLE_VALUE && WriteTemp(file))
        saved = ReplaceWithTemp(temp, filename);
    else if (temp[0])
        DeleteFileA(temp);
    if (!saved && reportFailure)
        ReportFileError(hwnd, "The program can't save the file ", filename);
    SetSpeakerTitle(hwnd);
    return saved;
}

OpenResult OpenSpeaker(const char* filename, HWND hwnd, bool missingIsExpected)
{
    running = 0;
    OpenResult result = ReadSpeakerFile(filename);
    if (result == OPEN_FAILED || (result == OPEN_MISSING && !missingIsExpected))
        ReportFileError(hwnd, "The program can't open the file ", filename);

    // boxType changes only after the writes, so the sealed Q is re-derived from
    // the fields only if the sealed enclosure was already selected.
    SetDlgItemTextA(hwnd, IDC_MODEL, speaker.model);
    SetFieldNumber(hwnd, IDC_QTS, speaker.qts, 2);
    SetFieldNumber(hwnd, IDC_VAS, speaker.vas, 1);
    SetFieldNumber(hwnd, IDC_FS, speaker.fs, 1);
    SetFieldNumber(hwnd, IDC_VOLUME, speaker.sealed.volume, 1);
    SetFieldNumber(hwnd, IDC_FB, speaker.sealed.fb, 1);
    SetDlgItemTextA(hwnd, IDC_INFO, speaker.info);
    boxType = BOX_SEALED;
    running = 1;
    SetSpeakerTitle(hwnd);
    return result;
}
