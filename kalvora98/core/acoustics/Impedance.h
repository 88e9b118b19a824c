// Impedance curves as measurement programs write them (the ZMA text: frequency in Hz,
// magnitude in ohm, phase in degrees, one point a line). The text exports of REW
// (comment lines that start with '*') and of ARTA's LIMP and DATS (one header line of
// words, then the columns) are the same three columns and read alike. spktool fits a
// driver's parameters to them; the window program does not link them.
#pragma once
#include <cstddef>
#include <string_view>
#include <vector>

// A curve's text larger than this is refused before it is read: measurement programs
// write a few thousand points, and a huge file is more likely the wrong one.
constexpr std::size_t MAX_IMPEDANCE_TEXT = 64u * 1024 * 1024;

// Fewer points cannot pin down the resonance and the voice coil at once.
constexpr int MIN_IMPEDANCE_POINTS = 20;

struct ImpedancePoint {
    double hz;
    double ohm;  // magnitude
    double deg;  // phase; 0 when the curve has none
};

struct ImpedanceCurve {
    std::vector<ImpedancePoint> points;  // frequency increasing
    bool hasPhase = false;
};

// Why a text is not a curve. Each comes with the line it was found on.
enum class ImpedanceRefusal {
    None,
    TooLarge,        // the text is over MAX_IMPEDANCE_TEXT (line 0)
    NotANumber,      // a line that is neither a header nor 2 or 3 numbers
    ColumnsChange,   // a line with another count of columns than the first
    NotFinite,       // inf or nan
    NotPositive,     // a frequency or an impedance <= 0
    NotIncreasing,   // a frequency not above the one before
    TooFewPoints,    // fewer than MIN_IMPEDANCE_POINTS (the last line)
    NoPeak,          // no resonance peak inside the range (the peak's line, or the last)
};

struct ImpedanceRead {
    ImpedanceCurve curve;
    ImpedanceRefusal refusal = ImpedanceRefusal::None;
    int line = 0;  // 1-based line of the refusal
};

// Reads a curve: header lines beginning with '*' anywhere, or one line of words before
// the first point; columns apart by blanks, tabs, commas or semicolons; a decimal comma
// where the columns are not apart by commas. Two columns are a magnitude without phase.
ImpedanceRead ReadImpedance(std::string_view text);

// The index of the resonance peak: the highest point that stands clear of lower points
// on both sides, so that the voice coil's rise at the top end is not taken for it.
// -1 when there is none.
int ResonancePeak(const std::vector<ImpedancePoint>& points);
