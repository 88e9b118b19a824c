// The program's own calculations on a record of spktool's choosing. The response
// arrays and the port length work on the global `speaker`, as the windows do; for them
// the record is lent to the global for the length of one call. Every number comes from
// the very code the program runs.
#pragma once
#include <string>

#include "acoustics/Response.h"
#include "record/Speaker.h"

// The levels 1..299 Hz as the graph window stores them (element 0 unused).
void StoredLevels(const Speaker& record, bool ported, int (&levels)[RESPONSE_SIZE]);

// The level in dB before rounding.
double ExactLevel(const Speaker& record, bool ported, int f);

// What the Optimize button leaves in the record: the proposal, then the sealed Q the
// Volume and Fb fields derive from it as they are written.
Speaker Optimized(const Speaker& record, bool ported);

// The sealed Q that typing a volume or an Fb into the main window derives.
void DeriveSealedQFromVolume(Speaker& record);
void DeriveSealedQFromFb(Speaker& record);

// The Port dialog's length, cm.
double PortLength(const Speaker& record, double diameter, int ports);

// The Q and resonance the sealed box's volume gives the driver, Qts * sqrt(Vas/Vb + 1)
// and Fs * sqrt(Vas/Vb + 1); false when the volume gives none.
bool TrueSealedAlignment(const Speaker& record, double& q, double& fc);

// Why the design has no response (a zero or negative value it divides by), or "" when
// it has one.
std::string Unusable(const Speaker& s, bool ported);
