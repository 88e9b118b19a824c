// The relations between a driver's small-signal parameters, in SI units, from which
// spktool derives what a datasheet leaves out: A. N. Thiele, "Loudspeakers in Vented
// Boxes" (1961), and R. H. Small, "Direct-Radiator Loudspeaker System Analysis",
// J. Audio Eng. Soc. 20 (1972). The window program does not link them.
#pragma once

// Air at 20 °C.
constexpr double AIR_DENSITY = 1.204;  // kg/m³
constexpr double SOUND_SPEED = 343.2;  // m/s

// 1/Qts = 1/Qes + 1/Qms: the damping through the voice coil and the suspension's own
// loss add. Gives either Q from Qts and the other; positive only when `q` is above Qts.
double OtherQ(double qts, double q);

// η0 = 4π² Fs³ Vas / (c³ Qes), the reference efficiency in half space. Vas in m³.
double ReferenceEfficiency(double fs, double vas, double qes);

// The level at 1 m in half space for 1 W into Re, from η0.
double Sensitivity(double efficiency);

// The level η0 gives, read both ways a datasheet rates it: for 1 W into Re, and for
// 2.83 V into Re, the 1 W of an 8 ohm load, which is 10·log10(8/Re) dB more. Vas in m³,
// Re in ohm.
struct RatedSensitivity {
    double watt, volts;  // dB at 1 m
};
RatedSensitivity SensitivityOf(double fs, double vas, double qes, double re);

// Cms = Vas / (ρ0 c² Sd²), m/N: Vas is the air as stiff as the suspension. Vas in m³,
// Sd in m².
double Compliance(double vas, double sd);

// Mms = 1 / (ωs² Cms), kg: the mass that resonates with Cms at Fs.
double MovingMass(double fs, double cms);

// Fs = 1 / (2π sqrt(Mms Cms)), Hz: the same relation the other way round.
double Resonance(double mms, double cms);

// Bl² = ωs Mms Re / Qes, (T·m)²: Qes is the damping the motor gives through Re.
double ForceFactorSquared(double fs, double mms, double re, double qes);
