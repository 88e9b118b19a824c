// A driver's small-signal parameters fitted to its measured impedance: the classic
// reading of the resonance peak (R. H. Small, "Direct-Radiator Loudspeaker System
// Analysis", J. Audio Eng. Soc. 20 (1972); V. Dickason, "Loudspeaker Design Cookbook")
// refined by least squares over the whole curve. spktool's fit command uses them; the
// window program does not link them.
#pragma once
#include <complex>

#include "acoustics/Impedance.h"

// The driver as an impedance, in SI units: Re, the voice coil's inductance (Le in series
// with L2 parallel R2; l2 = 0 is a plain Le) and the motional resonance by Fs, Qms, Qes.
struct DriverImpedance {
    double re;   // ohm
    double fs;   // Hz
    double qms;
    double qes;
    double le;   // H
    double l2;   // H
    double r2;   // ohm
};

std::complex<double> ImpedanceAt(const DriverImpedance& d, double hz);

enum class FitGrade { Excellent, Good, Fair, Poor };

// What may make a fit's figures doubtful; a fit's `warnings` holds any of these bits.
enum FitWarning : unsigned {
    FIT_NOISY = 1,        // the points scatter by more than 2 % about the model
    FIT_SHORT_BELOW = 2,  // the curve starts above half Fs
    FIT_SHORT_ABOVE = 4,  // the curve ends below 5 Fs
    FIT_MISSES = 8,       // the model misses the curve by more than 3 % r.m.s.
};

struct ImpedanceFit {
    DriverImpedance driver;  // the lossy-inductance model, whose Re, Fs and Q's are the fit's
    double simpleLe;         // H, the inductance fitted as a plain Le
    double qts;
    double errorPercent;     // r.m.s. of the magnitude's misfit, per cent of the magnitude
    FitGrade grade;
    unsigned warnings;       // FitWarning bits
    bool magnitudeOnly;      // the curve had no phase
};

// Fits a curve that ReadImpedance accepted (at least MIN_IMPEDANCE_POINTS, with a peak).
// A positive `heldRe` (ohm) holds Re there, an ohmmeter's reading of the coil, and fits
// the rest: a curve that starts well above Fs/2, or a coil warmed by the sweep, leaves
// Re the least certain of the fitted values.
ImpedanceFit FitImpedance(const ImpedanceCurve& curve, double heldRe = 0);

// The classic first reading, before any refinement: Re from the lowest frequency, Fs at
// the peak, Qms and Qes from where the curve crosses sqrt(r0)·Re; le from the top point.
DriverImpedance ClassicEstimate(const ImpedanceCurve& curve);

// What a second measurement gives, in SI units. NaN where it needs Sd and none is given.
struct DriverMechanics {
    double mms;   // kg
    double cms;   // m/N
    double bl;    // T·m
    double rms;   // kg/s
    double vas;   // m³
    double efficiency;       // η0
    double sensitivityWatt;  // dB, 1 W at 1 m
    double sensitivityVolts; // dB, 2.83 V at 1 m
};

// The added-mass method: the same driver with `addedKg` stuck to its cone resonates at
// the loaded fit's Fs. Sd in m², NaN when unknown.
DriverMechanics ByAddedMass(const ImpedanceFit& free, const ImpedanceFit& loaded,
                            double addedKg, double sd);

// The delta-compliance method: the driver on a sealed box of net `volume` m³, whose air
// stiffens the suspension: Vas = Vb (Fc Qec / (Fs Qes) - 1). Sd in m², NaN when unknown.
DriverMechanics ByKnownVolume(const ImpedanceFit& free, const ImpedanceFit& boxed,
                              double volume, double sd);
