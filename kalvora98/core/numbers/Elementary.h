// The logarithm and power the program computes with, made of IEEE double and integer
// operations only, so that every build and every Windows gives the same bits: the C
// libraries differ (glibc, Wine's msvcrt and Microsoft's each round log10 and pow their
// own way, and mingw's pow works in the x87 unit).
#pragma once

// Base-10 logarithm, correctly rounded to nearest. log10(0) is -infinity and a
// negative or NaN argument gives NaN; exact powers of ten give their exponent.
double Log10(double x);

// x raised to y, correctly rounded to nearest (subnormal results included), with the
// special values of C's pow: Pow(x, 0) is 1, a negative x with a non-integer y is NaN,
// Pow(0, y < 0) is infinity.
double Pow(double x, double y);

// x times 2 to the power e, rounded once (exact unless the result is subnormal).
double ScaleBinary(double x, int e);
