// The driver sheet: the datasheet values that the 164-byte speaker file cannot hold,
// kept in a plain-text file beside it, in a datasheet's units. Only spktool reads and
// writes it; the window program never links it.
#pragma once
#include <string>
#include <string_view>
#include <vector>

enum SheetValue {
    SHEET_IMPEDANCE, SHEET_RE, SHEET_LE, SHEET_QES, SHEET_QMS, SHEET_BL, SHEET_SD, SHEET_XMAX,
    SHEET_VD, SHEET_MMS, SHEET_CMS, SHEET_RMS, SHEET_PE, SHEET_SENSITIVITY, SHEET_DISPLACEMENT,
    SHEET_DIAMETER, SHEET_CUTOUT, SHEET_DEPTH, SHEET_L2, SHEET_R2, SHEET_VALUES
};

struct SheetValueName {
    const char* name;     // as the sheet and spktool's set name it: "sd", "xmax"
    const char* unit;     // ASCII, as the sheet writes it: "cm2", "mm", "" for a ratio
    const char* meaning;  // for the sheet's header and messages
    // What any real driver has, both ends included: a value outside is a slip of the
    // keyboard or a wrong unit, and every figure computed from it would be nonsense.
    double low, high;
};
extern const SheetValueName SHEET_VALUE_NAMES[SHEET_VALUES];

// The system the driver plays in, one line each under the name of spktool's option that
// says the same ("drivers = 2", "highpass = 18:2", "isobaric = yes"). The sheet keeps
// their texts as written; spktool reads them as it reads its command line.
constexpr int SHEET_SYSTEM_LINES = 14;
extern const char* const SHEET_SYSTEM_NAMES[SHEET_SYSTEM_LINES];

// The index of a system line's name ("drivers"), or -1.
int FindSheetSystem(std::string_view name);

// Texts in the speaker file's code page, Windows-1252; a value that is not known is NaN.
struct DriverSheet {
    std::string maker;
    std::string model;  // the whole name, which the speaker file may hold cut short
    double value[SHEET_VALUES];
    std::string system[SHEET_SYSTEM_LINES];  // empty: not given
    int systemLine[SHEET_SYSTEM_LINES] = {};  // where DecodeSheet found each, else 0
};

DriverSheet EmptySheet();
bool IsKnown(double value);
bool IsEmpty(const DriverSheet& sheet);

// The index of a value's name ("sd"), or -1.
int FindSheetValue(std::string_view name);

// The sheet's text: a header that names every value with its unit, then one line per
// value, "name = value", unknown values left empty, then the system lines that are given;
// CR LF line ends, so that Notepad shows the lines on every Windows. Numbers are the
// shortest text that reads back to the same double.
std::string EncodeSheet(const DriverSheet& sheet);

// One entry of a sheet by its name ("maker", "model", "xmax") and its text after the
// '=' as the sheet writes it ("6.5 mm"; "" for a value not known).
struct SheetEntry {
    std::string name;
    std::string text;
};

// The entries whose text differs between `before` and `after`, in the sheet's order:
// what an edit of a sheet file has to change and nothing more.
std::vector<SheetEntry> ChangedEntries(const DriverSheet& before, const DriverSheet& after);

// The text of a sheet with each entry's line given its new text where it stands, or
// appended at the end when the sheet has no such line (an empty text is not appended).
// Everything else is kept byte for byte: comments, order, lines spktool does not know,
// the line ends, and each changed line's own name, indent and blank after the '='.
std::string EditedSheet(std::string_view original, const std::vector<SheetEntry>& entries);

// A value as the sheet writes it: the shortest decimal text that reads back to the same
// double ("330", "6.5").
std::string SheetNumber(double value);

// Reads a sheet's text. Lines are "name = value" in any order, blank, or comments
// starting with ';'. A number may take a decimal comma and be followed by its unit; a
// system line's text is kept as it stands, with its line. On failure returns false with
// the 1-based line and what is wrong with it.
bool DecodeSheet(std::string_view text, DriverSheet& sheet, int& line, std::string& error);

// Reads one value as a sheet line gives it ("6.5", "6,5 mm"); false with the reason.
bool ReadSheetNumber(int index, std::string_view text, double& value, std::string& error);

// Qes as the sheet gives it, or from Qts and the sheet's Qms (OtherQ) when it gives a
// Qms above Qts and no Qes; NaN when neither.
double SheetQes(double qts, const DriverSheet& sheet);

// How far, dB, a sheet's sensitivity may lie from both levels that Fs, Vas and Qes give
// (for 1 W and for 2.83 V into Re) before it is not the same driver's.
constexpr double SENSITIVITY_TOLERANCE_DB = 2;

// What does not hold together among a driver's values, for spktool to put in words:
// Qts, Fs or Vas outside what any real driver has (0 is a value not entered yet, and no
// warning), 1/Qts against 1/Qes + 1/Qms (3 %), Vas against Cms and Sd, Fs against Mms
// and Cms, Bl² against Fs, Mms, Re and Qes (5 %), the sensitivity against both levels
// that Fs, Vas, Qes and Re give (SENSITIVITY_TOLERANCE_DB).
struct DriverWarning {
    enum Code {
        QTS_UNREAL, FS_UNREAL, VAS_UNREAL,  // value outside low to high
        QTS_NOT_QES_QMS,       // value 1/Qts against expected 1/Qes + 1/Qms
        VAS_NOT_CMS_SD,        // value Vas, l, against what Cms and Sd give
        FS_NOT_MMS_CMS,        // value Fs against what Mms and Cms give
        BL_NOT_FS_MMS_RE_QES,  // value Bl² against what Fs, Mms, Re and Qes give
        SENSITIVITY_NOT_FS_VAS_QES,  // value dB against expected (1 W) and atVolts
    } code;
    double value;
    double low, high;        // the *_UNREAL range, else 0
    double expected, apart;  // the others': |value - expected| / expected; else 0
    // The sensitivity's: expected is the level for 1 W, this the one for 2.83 V, and
    // apart the dB to the nearer of them; else 0.
    double atVolts;
};

// The warnings in the order above.
std::vector<DriverWarning> DriverWarnings(double qts, double vas, double fs,
                                          const DriverSheet& sheet);
