#include "acoustics/Alignment.h"
#include "numbers/NumberText.h"
#include "record/Speaker.h"
#include "record/SpeakerFile.h"
#include "resources/kalvora98.h"
#include "win/MainWindow.h"
#include "win/SpeakerIo.h"

int running;

namespace {

double ReadField(HWND hwnd, int id)
{
    char text[TYPED_NUMBER_CHARS + 1];
    GetDlgItemTextA(hwnd, id, text, sizeof text);
    return ReadNumber(text);
}

// A text longer than the record's 49 bytes is cut at byte 49, which can fall between
// the two bytes of a double-byte character.
template <std::size_t N>
void ReadTextField(HWND hwnd, int id, char (&text)[N])
{
    GetDlgItemTextA(hwnd, id, text, N);
    EndOnWholeCharacter(text, IsSystemLeadByte);
}

}  // namespace

void GetSpeakerData(HWND hwnd)
{
    ReadTextField(hwnd, IDC_MODEL, speaker.model);
    speaker.qts = ReadField(hwnd, IDC_QTS);
    speaker.vas = ReadField(hwnd, IDC_VAS);
    speaker.fs = ReadField(hwnd, IDC_FS);
    ReadTextField(hwnd, IDC_INFO, speaker.info);
    double& volume = boxType == BOX_SEALED ? speaker.sealed.volume : speaker.ported.volume;
    double& fb = boxType == BOX_SEALED ? speaker.sealed.fb : speaker.ported.fb;
    volume = ReadField(hwnd, IDC_VOLUME);
    fb = ReadField(hwnd, IDC_FB);
}

// Runs for every notification of a field, focus changes included, and inside the
// program's own SetDlgItemTextA calls, where `running` is 0.
void FieldNotified(HWND hwnd, int id)
{
    if (running)
        GetSpeakerData(hwnd);
    if (boxType != BOX_SEALED)
        return;
    Sealed& sealed = speaker.sealed;
    if (id == IDC_VOLUME)
        sealed.q = SealedQFromVolume(speaker.qts, speaker.vas, sealed.volume, sealed.q);
    else if (id == IDC_FB)
        sealed.q = SealedQFromFb(speaker.qts, speaker.fs, sealed.fb, sealed.q);
}

void SetFieldNumber(HWND hwnd, int id, double value, int decimals)
{
    char text[NUMBER_TEXT_SIZE];
    FormatNumber(text, value, decimals);
    SetDlgItemTextA(hwnd, id, text);
}
