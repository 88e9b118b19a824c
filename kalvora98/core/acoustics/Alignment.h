// The boxes Optimize proposes, and the sealed Q that follows the Volume and Fb fields.
#pragma once
#include "record/Speaker.h"

// Total Q of 0.707, the Butterworth alignment: the flattest closed-box response.
// The volume divisor is Qr squared, not Qr squared minus one: the proposed boxes, and
// the designs saved with them, have always been this size. Needs qts > 0.
Sealed SealedAlignment(double qts, double vas, double fs);

// Empirical vented alignment: box volume and tuning as power laws of Qts. Needs qts > 0.
Ported PortedAlignment(double qts, double vas, double fs);

// The sealed box's Q as the Volume and Fb fields set it, given the Q it has now. Where a
// relation gives no number (a zero volume or Fs, a negative root, NaN among the inputs)
// the old Q stays, so an empty field cannot make it NaN.

// Closed box: Q = Qts * sqrt(Vas/Vb + 1).
double SealedQFromVolume(double qts, double vas, double volume, double q);

// The box raises resonance and Q alike: Q = Qts * Fb/Fs.
double SealedQFromFb(double qts, double fs, double fb, double q);
