// What a real driver and a box that can be built have. A number outside is a slip of
// the keyboard, a wrong unit or a damaged file, and every figure computed from it would
// be nonsense (or not a number at all), so spktool refuses it with its range.
#pragma once
#include <string>
#include <string_view>

#include "record/Speaker.h"

struct PlausibleRange {
    const char* name;  // the speaker field's: "qts", "ported.fb"
    const char* unit;  // "" for a ratio
    double low, high;  // both included
};

// The speaker file's numbers. 0 is a value not entered, which is always allowed.
constexpr int SPEAKER_RANGE_COUNT = 8;
extern const PlausibleRange SPEAKER_RANGES[SPEAKER_RANGE_COUNT];

// The words for a value outside low to high: "is outside 0.05 to 100 mm, what a real
// driver has".
std::string OutsideText(double low, double high, const char* unit);

// The range of the speaker field of that name; null for a text.
const PlausibleRange* SpeakerRange(std::string_view name);

// Whether a speaker file's number may be computed with: 0, or within its range.
bool IsPlausible(const PlausibleRange& range, double value);

// The first of the record's numbers, in the order above, that is neither 0 nor within
// its range (NaN is outside every range); null when there is none.
const PlausibleRange* ImplausibleField(const Speaker& s, double& value);
