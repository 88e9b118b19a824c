// The boxes Optimize proposes, and the sealed Q that follows the Volume and Fb fields.
#pragma once
#include "record/Speaker.h"

// Total Q of 0.707, the Butterworth alignment: the flattest closed-box response.
// The volume divisor is Qr squared, not Qr squared minus one: the proposed boxes, and
// the designs saved with them, have always been this size. Needs qts > 0.
Sealed SealedAlignment(double qts, double vas, double fs);

// Empirical vented alignment: box volume and tuning as power laws of Qts. Needs qts > 0.
Ported PortedAlignment(double qts, double vas, double fs);

// Closed box: Q = Qts * sqrt(Vas/Vb + 1), from speaker.sealed.volume. A zero volume or
// a negative root keeps the old Q, so an empty Volume field cannot make it NaN.
void SealedQFromVolume();

// The box raises resonance and Q alike: Q = Qts * Fb/Fs. An Fs of 0 keeps the old Q.
void SealedQFromFb();
