#include "Wording.h"

#include "Text.h"

namespace {

// On the 1 Hz grid a range from its first hertz is all below the next one up.
std::string RangeText(const HzRange& r)
{
    const auto hz = [](int f) { return std::to_string(f); };
    if (r.from == r.to)
        return "at " + hz(r.from) + " Hz";
    if (r.from == LOWEST_HZ && r.to != HIGHEST_HZ)
        return "below " + hz(r.to + 1) + " Hz";
    if (r.to == HIGHEST_HZ && r.from != LOWEST_HZ)
        return "above " + hz(r.from - 1) + " Hz";
    return "from " + hz(r.from) + " to " + hz(r.to) + " Hz";
}

std::string UpTo(const Extreme& largest, int decimals, const char* unit)
{
    return "up to " + Fixed(largest.value, decimals) + " " + unit + " at " +
           std::to_string(largest.hz) + " Hz";
}

// The quantity a driver warning is about, and the decimals it is shown with.
struct Quantity {
    const char* name;
    int decimals;
    const char* from;  // what gives the expected value
};

Quantity QuantityOf(DriverWarning::Code code)
{
    switch (code) {
    case DriverWarning::QTS_UNREAL: return {"Qts", 2, ""};
    case DriverWarning::FS_UNREAL: return {"Fs", 1, ""};
    case DriverWarning::VAS_UNREAL: return {"Vas", 2, ""};
    case DriverWarning::QTS_NOT_QES_QMS: return {"1/Qts", 3, "1/Qes + 1/Qms"};
    case DriverWarning::VAS_NOT_CMS_SD: return {"Vas", 1, "Cms and Sd"};
    case DriverWarning::FS_NOT_MMS_CMS: return {"Fs", 1, "Mms and Cms"};
    case DriverWarning::BL_NOT_FS_MMS_RE_QES: return {"Bl squared", 1, "Fs, Mms, Re and Qes"};
    case DriverWarning::SENSITIVITY_NOT_FS_VAS_QES: return {"sensitivity", 1, "Fs, Vas and Qes"};
    }
    return {"?", 1, "?"};
}

}  // namespace

std::string RangesText(const std::vector<HzRange>& ranges)
{
    std::string text;
    for (std::size_t i = 0; i < ranges.size(); ++i)
        text += (i == 0 ? "" : i + 1 == ranges.size() ? " and " : ", ") + RangeText(ranges[i]);
    return text;
}

std::string LimitsWarningText(const LimitsWarning& w)
{
    switch (w.code) {
    case LimitsWarning::EXCURSION_OVER_XMAX:
        return "the excursion passes Xmax of " + Fixed(w.limit, 1) + " mm " +
               RangesText(w.ranges) + ", " + UpTo(w.largest, 2, "mm");
    case LimitsWarning::PORT_AUDIBLE:
        return "the port air speed passes " + Plain(w.limit) + " m/s " +
               RangesText(w.ranges) + ", " + UpTo(w.largest, 1, "m/s") +
               ": the port may be heard";
    case LimitsWarning::POWER_OVER_PE:
        return Fixed(w.largest.value, 1) + " W is more than the driver's Pe of " +
               Fixed(w.limit, 1) + " W";
    }
    return "";
}

std::string ProposalWarningText(const ProposalWarning& w)
{
    switch (w.code) {
    case ProposalWarning::BOX_OVER_TEN_VAS:
        return "the box of " + Fixed(w.value, 1) + " l is more than ten times Vas (" +
               Fixed(w.vas, 1) + " l): the rule was not made for it";
    case ProposalWarning::TUNED_BELOW_10_HZ:
        return "the box resonates at " + Fixed(w.value, 1) +
               " Hz, below 10 Hz: the rule was not made for it";
    }
    return "";
}

std::string DriverWarningText(const DriverWarning& w)
{
    const Quantity q = QuantityOf(w.code);
    if (w.code == DriverWarning::SENSITIVITY_NOT_FS_VAS_QES)
        return "the sheet's sensitivity of " + Fixed(w.value, 1) + " dB is more than " +
               Plain(SENSITIVITY_TOLERANCE_DB) + " dB from both levels that " + q.from +
               " give: " + Fixed(w.expected, 1) + " dB for 1 W and " + Fixed(w.atVolts, 1) +
               " dB for 2.83 V into Re";
    const std::string value = std::string(q.name) + " " + Fixed(w.value, q.decimals);
    if (!*q.from)
        return value + " is outside what real drivers have (" + Fixed(w.low, q.decimals) +
               " to " + Fixed(w.high, q.decimals) + ")";
    return value + " is " + Fixed(100 * w.apart, 1) + " % from the " +
           Fixed(w.expected, q.decimals) + " that " + q.from + " give";
}

std::vector<std::string> WarningTexts(const std::vector<LimitsWarning>& warnings)
{
    std::vector<std::string> texts;
    for (const LimitsWarning& warning : warnings)
        texts.push_back(LimitsWarningText(warning));
    return texts;
}

std::vector<std::string> WarningTexts(const std::vector<ProposalWarning>& warnings)
{
    std::vector<std::string> texts;
    for (const ProposalWarning& warning : warnings)
        texts.push_back(ProposalWarningText(warning));
    return texts;
}

std::vector<std::string> WarningTexts(const std::vector<DriverWarning>& warnings)
{
    std::vector<std::string> texts;
    for (const DriverWarning& warning : warnings)
        texts.push_back(DriverWarningText(warning));
    return texts;
}
