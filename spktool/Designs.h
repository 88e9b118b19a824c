// Whether a speaker file's design can be computed, in spktool's words.
#pragma once
#include <string>

#include "record/Speaker.h"

// Why the design has no response (a zero or negative value it divides by), or "" when
// it has one.
std::string Unusable(const Speaker& s, bool ported);

// The command that gives the design every value Unusable asks for, with the units as
// placeholders: "spktool set woofer.spk sealed.fb=HZ sealed.q=Q"; "" when it has them.
std::string CompletingCommand(const std::string& file, const Speaker& s, bool ported);
