// The core's warnings in words, one place for each kind, so that the messages, the JSON
// and the page say them alike.
#pragma once
#include <string>
#include <vector>

#include "acoustics/Figures.h"
#include "acoustics/Limits.h"
#include "record/DriverSheet.h"

// "below 20 Hz, from 25 to 43 Hz and at 60 Hz": a range from 1 Hz is "below" the hertz
// after it, one up to 299 Hz "above" the hertz before it.
std::string RangesText(const std::vector<HzRange>& ranges);

// "the excursion passes Xmax of 5.0 mm below 51 Hz, up to 9.12 mm at 20 Hz"
std::string LimitsWarningText(const LimitsWarning& warning);

// "the box resonates at 8.0 Hz, below 10 Hz: the rule was not made for it"
std::string ProposalWarningText(const ProposalWarning& warning);

// "Vas 100.0 is 16.2 % from the 86.1 that Cms and Sd give"; "the sheet's sensitivity of
// 92.0 dB is more than 2 dB from both levels that Fs, Vas and Qes give: 86.8 dB for 1 W
// and 90.5 dB for 2.83 V into Re"
std::string DriverWarningText(const DriverWarning& warning);

// A list of warnings in words, in its order.
std::vector<std::string> WarningTexts(const std::vector<LimitsWarning>& warnings);
std::vector<std::string> WarningTexts(const std::vector<ProposalWarning>& warnings);
std::vector<std::string> WarningTexts(const std::vector<DriverWarning>& warnings);
