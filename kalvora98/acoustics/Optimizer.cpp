#include "acoustics/Optimizer.h"

#include <cmath>

#include "mainwindow/MainWindow.h"
#include "record/Speaker.h"
#include "resources/kalvora98.h"

namespace {

constexpr double TARGET_Q = 0.707;  // Butterworth alignment: flattest closed-box response

// Volume first, Fb second: the Fb field's notification recomputes sealed.q from
// Fb/Fs, which gives back the target Q; the other order would leave the Q of the
// volume relation, sqrt(0.707^2 + qts^2).
void ShowDesign(HWND hwnd, double volume, double fb)
{
    SetFieldNumber(hwnd, IDC_VOLUME, "%2.1f", volume);
    SetFieldNumber(hwnd, IDC_FB, "%2.1f", fb);
}

// The volume divisor is Qr squared, not Qr squared minus one: the proposed boxes,
// and the designs saved with them, have always been this size.
void OptimizeSealed(HWND hwnd)
{
    speaker.sealed.q = TARGET_Q;
    double Qr = speaker.sealed.q / speaker.qts;
    double Vr = std::pow(Qr, 2);
    speaker.sealed.volume = speaker.vas / Vr;
    speaker.sealed.fb = Qr * speaker.fs;
    ShowDesign(hwnd, speaker.sealed.volume, speaker.sealed.fb);
}

// Empirical vented alignment: box volume and tuning as power laws of Qts.
void OptimizePorted(HWND hwnd)
{
    speaker.ported.volume = 15 * std::pow(speaker.qts, 2.87) * speaker.vas;
    speaker.ported.fb = 0.42 * speaker.fs * std::pow(speaker.qts, -0.9);
    ShowDesign(hwnd, speaker.ported.volume, speaker.ported.fb);
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
            OptimizeSealed(hwnd);
            break;
        case BOX_PORTED:
            OptimizePorted(hwnd);
            break;
        }
    }
    running = 1;
}
