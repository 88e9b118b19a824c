#include "acoustics/Figures.h"

#include <cmath>

#include "acoustics/Alignment.h"
#include "numbers/Elementary.h"
#include "numbers/Units.h"

bool ClosedBox(double qts, double vas, double fs, double volume, double& qtc, double& fc)
{
    const double ratio = vas / volume + 1;
    if (!(volume > 0) || !(ratio >= 0))
        return false;
    const double root = Pow(ratio, 0.5);
    qtc = qts * root;
    fc = fs * root;
    return true;
}

bool ClosedBoxLevels(const Speaker& record, double* levels)
{
    Sealed box = {record.sealed.volume, 0, 0};
    if (!ClosedBox(record.qts, record.vas, record.fs, box.volume, box.q, box.fb))
        return false;
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f)
        levels[f] = SealedLevel(box, f);
    return true;
}

bool ClosedBoxForQtc(double qts, double vas, double fs, double qtc, Sealed& box)
{
    const double ratio = qtc / qts;
    if (!(qts > 0) || !(ratio > 1))
        return false;
    box = {vas / (ratio * ratio - 1), fs * ratio, qtc};
    return true;
}

Speaker Optimized(const Speaker& record, bool ported)
{
    Speaker result = record;
    if (ported) {
        result.ported = PortedAlignment(record.qts, record.vas, record.fs);
        return result;
    }
    Sealed& box = result.sealed;
    box = SealedAlignment(record.qts, record.vas, record.fs);
    box.q = SealedQFromVolume(record.qts, record.vas, box.volume, box.q);
    box.q = SealedQFromFb(record.qts, record.fs, box.fb, box.q);
    return result;
}

void DesignResponse(const Speaker& record, bool ported, int* levels)
{
    if (ported)
        PortedResponse(record, record.ported, levels);
    else
        SealedResponse(record.sealed, levels);
}

void DesignLevels(const Speaker& record, bool ported, double* levels)
{
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f)
        levels[f] = ported ? PortedLevel(record, record.ported, f) : SealedLevel(record.sealed, f);
}

Crossing RisesThrough(const double* levels, double level)
{
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f) {
        if (levels[f] >= level) {
            if (f == LOWEST_HZ)
                return {Crossing::BELOW, 0};
            const double low = levels[f - 1], high = levels[f];
            // A level too low for a double (-inf) leaves nothing to interpolate.
            if (!std::isfinite(low) || !std::isfinite(high))
                return {Crossing::AT, static_cast<double>(f)};
            return {Crossing::AT, (f - 1) + (level - low) / (high - low)};
        }
    }
    return {Crossing::ABOVE, 0};
}

ResponseFigures FiguresOf(const double* levels)
{
    ResponseFigures figures = {RisesThrough(levels, -3), RisesThrough(levels, -6),
                               RisesThrough(levels, -10), LOWEST_HZ};
    for (int f = LOWEST_HZ; f <= HIGHEST_HZ; ++f)
        if (levels[f] > levels[figures.peakHz])
            figures.peakHz = f;
    // The level a high-pass settles at is 0 dB; one that overshoots comes back down to
    // it from above, so the level at 299 Hz may stand a little over it.
    const double settled = std::fmax(0.0, levels[HIGHEST_HZ]);
    if (!(levels[figures.peakHz] - settled >= LEAST_PEAK_DB))
        figures.peakHz = NO_PEAK;
    return figures;
}

double SmallestVentArea(double fb, double sd, double xmax)
{
    const double vd = sd * 1e-4 * xmax * 1e-3;
    return 0.8 * fb * vd * 1e4;
}

double PortDiameterForArea(double area, int numberOfPorts)
{
    return std::sqrt(4 * area / (PI * numberOfPorts));
}

std::vector<ProposalWarning> ProposalWarnings(const Speaker& proposal, bool ported)
{
    const double volume = ported ? proposal.ported.volume : proposal.sealed.volume;
    const double fb = ported ? proposal.ported.fb : proposal.sealed.fb;
    std::vector<ProposalWarning> warnings;
    if (volume > 10 * proposal.vas)
        warnings.push_back({ProposalWarning::BOX_OVER_TEN_VAS, volume, proposal.vas});
    if (fb < 10)
        warnings.push_back({ProposalWarning::TUNED_BELOW_10_HZ, fb, proposal.vas});
    return warnings;
}
