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

// The closed box the driver makes in a sealed volume (R. H. Small, "Closed-Box
// Loudspeaker Systems, Part I: Analysis", J. Audio Eng. Soc. 20, 1972): with the
// compliance ratio a = Vas/Vb, Qtc = Qts * sqrt(a + 1) and fc = Fs * sqrt(a + 1). These
// are the box's true Q and resonance, which the stored design's need not be. False when
// the volume is not positive or the ratio is negative.
bool ClosedBox(double qts, double vas, double fs, double volume, double& qtc, double& fc);

// The same relations solved for the volume that gives a Qtc: Vb = Vas / ((Qtc/Qts)^2 - 1),
// fc = Fs * Qtc/Qts. False when the driver's Qts is not positive or not below the Qtc.
bool ClosedBoxForQtc(double qts, double vas, double fs, double qtc, Sealed& box);

// What the Optimize button leaves in the record: the proposal for the sealed or the
// ported design, and for the sealed one the Q that the Volume and then the Fb field
// derive as the proposal is written into them. Needs qts > 0.
Speaker Optimized(const Speaker& record, bool ported);
