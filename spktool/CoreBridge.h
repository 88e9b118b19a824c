// The designs of a speaker file as spktool checks and computes them.
#pragma once
#include <string>

#include "acoustics/Response.h"
#include "record/Speaker.h"

// The levels 1..299 Hz as the graph window stores them (element 0 unused).
inline void StoredLevels(const Speaker& record, bool ported, int (&levels)[RESPONSE_SIZE])
{
    DesignResponse(record, ported, levels);
}

// Why the design has no response (a zero or negative value it divides by), or "" when
// it has one.
std::string Unusable(const Speaker& s, bool ported);
