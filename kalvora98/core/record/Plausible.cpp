#include "record/Plausible.h"

#include "numbers/NumberStrings.h"
#include "record/SpeakerFile.h"

// Qts from 0.01 to 100, far beyond any driver (a horn driver's is some 0.1, a woofer's
// seldom above 2): a Qts out of the usual is warned, and refused only where figures
// would break; Fs and the tunings over the audible range and beyond; volumes from a millilitre
// to a hundred cubic metres. The sealed Q follows from the volume typed, so it may be
// far from any alignment.
const PlausibleRange SPEAKER_RANGES[SPEAKER_RANGE_COUNT] = {
    {"qts", "", 0.01, 100},
    {"fs", "Hz", 1, 20000},
    {"vas", "l", 0.001, 100000},
    {"sealed.volume", "l", 0.001, 100000},
    {"sealed.fb", "Hz", 1, 20000},
    {"sealed.q", "", 0.01, 1000},
    {"ported.volume", "l", 0.001, 100000},
    {"ported.fb", "Hz", 1, 20000},
};

std::string OutsideText(double low, double high, const char* unit)
{
    return "is outside " + Brief(low) + " to " + Brief(high) + (*unit ? " " : "") + unit +
           ", what a real driver has";
}

const PlausibleRange* SpeakerRange(std::string_view name)
{
    for (const PlausibleRange& range : SPEAKER_RANGES)
        if (name == range.name)
            return &range;
    return nullptr;
}

bool IsPlausible(const PlausibleRange& range, double value)
{
    return value == 0 || (value >= range.low && value <= range.high);
}

const PlausibleRange* ImplausibleField(const Speaker& s, double& value)
{
    for (const PlausibleRange& range : SPEAKER_RANGES) {
        value = FieldNumber(s, *FindSpeakerField(range.name));
        if (!IsPlausible(range, value))
            return &range;
    }
    return nullptr;
}
