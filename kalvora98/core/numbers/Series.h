// The exponential, the natural logarithm, the sine and cosine and the arc tangent as
// spktool's fit and its plots use them: summed from their series in IEEE double
// operations alone, so that the native build and the Windows one (whose msvcrt rounds
// exp, log and atan2 its own way) print the same figures. They are within a few units
// in the last place, not correctly rounded as Log10 and Pow are; the window program
// does not link them.
#pragma once

// e^x; infinity above 709.78, 0 below -745.2, NaN for NaN.
double Exp(double x);

// The natural logarithm: -infinity at 0, NaN below 0 and for NaN.
double Ln(double x);

// The sine and the cosine of an angle in degrees; both NaN for an angle not finite.
struct SineCosine {
    double sine;
    double cosine;
};
SineCosine SinCosDegrees(double degrees);

// The angle of the point (x, y) in degrees, -180 to 180, as C's atan2 gives it in
// radians; NaN when either is NaN.
double Atan2Degrees(double y, double x);
