#include "win/Optimizer.h"

#include "acoustics/Alignment.h"
#include "record/Speaker.h"
#include "resources/kalvora98.h"
#include "win/MainWindow.h"

namespace {

// Volume first, Fb second: the Fb field's notification recomputes sealed.q from
// Fb/Fs, which gives back the target Q; the other order would leave the Q of the
// volume relation, sqrt(0.707^2 + qts^2).
void ShowDesign(HWND hwnd, double volume, double fb)
{
    SetFieldNumber(hwnd, IDC_VOLUME, volume, 1);
    SetFieldNumber(hwnd, IDC_FB, fb, 1);
}

}  // namespace

// Both alignments divide by Qts or raise it to non-integer powers, so a Qts that is
// not positive (a NaN typed in included) is refused before anything is touched.
void OptimizeEnclosure(HWND hwnd)
{
    running = 0;
    if (!(speaker.qts > 0)) {
        MessageBoxA(hwnd, "Optimize needs a Qts greater than 0", "System message", MB_OK);
    } else {
        switch (boxType) {
        case BOX_SEALED:
            speaker.sealed = SealedAlignment(speaker.qts, speaker.vas, speaker.fs);
            ShowDesign(hwnd, speaker.sealed.volume, speaker.sealed.fb);
            break;
        case BOX_PORTED:
            speaker.ported = PortedAlignment(speaker.qts, speaker.vas, speaker.fs);
            ShowDesign(hwnd, speaker.ported.volume, speaker.ported.fb);
            break;
        }
    }
    running = 1;
}
