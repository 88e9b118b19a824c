// Frequency responses of a sealed and a ported design, in whole decibels on a 1 Hz grid.
#pragma once
#include "record/Speaker.h"

// The grid: whole hertz from 1 to 299. In a response array element f is the level at
// f Hz relative to the passband; element 0 is never computed or read.
constexpr int LOWEST_HZ = 1;
constexpr int HIGHEST_HZ = 299;
constexpr int RESPONSE_SIZE = HIGHEST_HZ + 1;

// Levels outside this range, or not finite, are stored at its edges.
constexpr int LEVEL_FLOOR = -999;
constexpr int LEVEL_CEILING = 999;

// Truncates toward zero, then adds 1 when the remainder is at least 0.5: positive
// values round half up, negative ones are truncated (-2.7 gives -2).
int Round(double x);

// A level in dB as stored in a response array.
int StoredLevel(double level);

// The unrounded level in dB at f Hz (1..299) that the responses below store rounded:
// 10 log10 of the response's power relative to the passband. The ported box reads the
// driver's qts, vas and fs.
double SealedLevel(const Sealed& box, int f);
double PortedLevel(const Speaker& driver, const Ported& box, int f);

// Fill elements 1..299 of `levels` (RESPONSE_SIZE ints) with the stored levels of the
// sealed (second-order) or ported (fourth-order, box loss Q of 7) design.
void SealedResponse(const Sealed& box, int* levels);
void PortedResponse(const Speaker& driver, const Ported& box, int* levels);
