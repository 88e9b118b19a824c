// Frequency responses of the current designs, in whole decibels on a 1 Hz grid.
#pragma once
#include "record/Speaker.h"

// Element f (1..299) is the level at f Hz relative to the passband; element 0 is unused.
constexpr int RESPONSE_SIZE = 300;

// Levels outside this range, or not finite, are stored at its edges.
constexpr int LEVEL_FLOOR = -999;
constexpr int LEVEL_CEILING = 999;

extern int* dBMag;      // graph 1, red
extern int* dBMag2;     // graph 2, green
extern int* dBMag3;     // graph 3, blue
extern int graphNumber; // graphs shown, and the graph the next calculation fills
extern Ported port[3];  // volume and Fb each graph was computed for

// Truncates toward zero, then adds 1 when the remainder is at least 0.5: positive
// values round half up, negative ones are truncated (-2.7 gives -2).
int Round(double x);

// A level in dB as stored in a response array.
int StoredLevel(double level);

// The unrounded level in dB at f Hz (1..299) that CalcSealed or CalcPorted stores
// rounded: 10 log10 of the response's power relative to the passband.
double SealedLevel(const Sealed& box, int f);
double PortedLevel(const Speaker& driver, int f);

// Fill the array of graph `graphNumber` (1..3) and its `port` entry from the
// sealed (second-order) or ported (fourth-order, box loss Q of 7) design.
// Any other graph number, or a graph whose array does not exist, changes nothing.
void CalcSealed();
void CalcPorted();
