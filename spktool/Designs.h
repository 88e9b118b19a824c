// Whether a speaker file's design can be computed, in spktool's words.
#pragma once
#include <string>

#include "record/Speaker.h"

// Why the design has no response (a zero or negative value it divides by), or "" when
// it has one.
std::string Unusable(const Speaker& s, bool ported);
