#include "acoustics/ImpedanceFit.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "acoustics/SmallSignal.h"
#include "numbers/Elementary.h"
#include "numbers/Series.h"
#include "numbers/Units.h"

namespace {

constexpr int MAX_PARAMETERS = 7;
// Above this many points the fit works on every k-th: a few hundred points pin the
// parameters, and a 64 MB file must not keep the user waiting.
constexpr std::size_t MAX_FIT_POINTS = 1000;
constexpr int MAX_ITERATIONS = 200;
// Enough to tell which start of the lossy model leads to the deepest valley.
constexpr int TRIAL_ITERATIONS = 25;

using Complex = std::complex<double>;

// |z| without the C library's hypot, which spktool.exe does not import.
double Magnitude(Complex z)
{
    return std::sqrt(z.real() * z.real() + z.imag() * z.imag());
}

// The parameters are fitted as logarithms, so that none turns negative and a step is
// the same fraction of a small inductance as of a large resistance.
struct Parameters {
    double x[MAX_PARAMETERS];
    int count;  // 5: a plain Le, 7: Le with L2 parallel R2
};

DriverImpedance DriverOf(const Parameters& p)
{
    const double* x = p.x;
    return {Exp(x[0]), Exp(x[1]), Exp(x[2]), Exp(x[3]), Exp(x[4]),
            p.count > 5 ? Exp(x[5]) : 0, p.count > 5 ? Exp(x[6]) : 0};
}

Parameters ParametersOf(const DriverImpedance& d, int count)
{
    Parameters p{{Ln(d.re), Ln(d.fs), Ln(d.qms), Ln(d.qes), Ln(d.le), 0, 0}, count};
    if (count > 5) {
        p.x[5] = Ln(d.l2);
        p.x[6] = Ln(d.r2);
    }
    return p;
}

struct Problem {
    std::vector<ImpedancePoint> points;
    std::vector<Complex> measured;  // with the phase, when the curve has one
    bool phase;
    bool holdRe;  // Re stays where it starts
};

// The misfit relative to the measured magnitude: real and imaginary parts when the
// curve has a phase, the magnitude alone when not.
void Residuals(const Problem& problem, const Parameters& p, std::vector<double>& r)
{
    const DriverImpedance d = DriverOf(p);
    r.clear();
    for (std::size_t i = 0; i < problem.points.size(); ++i) {
        const double ohm = problem.points[i].ohm;
        const Complex z = ImpedanceAt(d, problem.points[i].hz);
        if (!problem.phase) {
            r.push_back(Magnitude(z) / ohm - 1);
            continue;
        }
        r.push_back((z.real() - problem.measured[i].real()) / ohm);
        r.push_back((z.imag() - problem.measured[i].imag()) / ohm);
    }
}

double SumOfSquares(const std::vector<double>& r)
{
    double sum = 0;
    for (double v : r) sum += v * v;
    return sum;
}

// Solves a·x = b for n unknowns by Gaussian elimination with partial pivoting; false
// when the matrix is singular.
bool Solve(double (&a)[MAX_PARAMETERS][MAX_PARAMETERS], double (&b)[MAX_PARAMETERS], int n)
{
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int row = col + 1; row < n; ++row)
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) pivot = row;
        if (!(std::fabs(a[pivot][col]) > 1e-300)) return false;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (int row = col + 1; row < n; ++row) {
            const double f = a[row][col] / a[col][col];
            for (int k = col; k < n; ++k) a[row][k] -= f * a[col][k];
            b[row] -= f * b[col];
        }
    }
    for (int row = n - 1; row >= 0; --row) {
        for (int k = row + 1; k < n; ++k) b[row] -= a[row][k] * b[k];
        b[row] /= a[row][row];
    }
    return true;
}

struct Normal {
    double a[MAX_PARAMETERS][MAX_PARAMETERS];  // JᵀJ
    double g[MAX_PARAMETERS];                  // Jᵀr
};

// The normal equations of the linearised problem, by forward differences.
Normal NormalEquations(const Problem& problem, const Parameters& p, const std::vector<double>& r)
{
    constexpr double STEP = 1e-7;
    const int n = p.count;
    std::vector<std::vector<double>> jacobian(n);
    std::vector<double> moved;
    for (int k = 0; k < n; ++k) {
        // A held parameter has no slope: its normal equation then gives a step of 0.
        if (k == 0 && problem.holdRe) {
            jacobian[k].assign(r.size(), 0);
            continue;
        }
        Parameters q = p;
        q.x[k] += STEP;
        Residuals(problem, q, moved);
        jacobian[k].resize(r.size());
        for (std::size_t i = 0; i < r.size(); ++i) jacobian[k][i] = (moved[i] - r[i]) / STEP;
    }
    Normal normal{};
    for (int j = 0; j < n; ++j) {
        for (int k = 0; k <= j; ++k) {
            double sum = 0;
            for (std::size_t i = 0; i < r.size(); ++i) sum += jacobian[j][i] * jacobian[k][i];
            normal.a[j][k] = normal.a[k][j] = sum;
        }
        double sum = 0;
        for (std::size_t i = 0; i < r.size(); ++i) sum += jacobian[j][i] * r[i];
        normal.g[j] = sum;
    }
    return normal;
}

// One damped step from `p`; true when it lowered the cost (then `p`, `r`, `cost` move).
bool TryStep(const Problem& problem, const Normal& normal, double lambda, Parameters& p,
             std::vector<double>& r, double& cost)
{
    const int n = p.count;
    double a[MAX_PARAMETERS][MAX_PARAMETERS];
    double b[MAX_PARAMETERS];
    for (int j = 0; j < n; ++j) {
        for (int k = 0; k < n; ++k) a[j][k] = normal.a[j][k];
        a[j][j] += lambda * normal.a[j][j] + 1e-12;
        b[j] = -normal.g[j];
    }
    if (!Solve(a, b, n)) return false;
    Parameters q = p;
    for (int k = 0; k < n; ++k) q.x[k] += std::clamp(b[k], -2.0, 2.0);
    std::vector<double> moved;
    Residuals(problem, q, moved);
    const double movedCost = SumOfSquares(moved);
    if (!(movedCost < cost)) return false;
    p = q;
    r.swap(moved);
    cost = movedCost;
    return true;
}

// Levenberg–Marquardt: Gauss–Newton steps, damped towards gradient descent while they
// fail to lower the sum of squares.
Parameters LeastSquares(const Problem& problem, Parameters p, int iterations = MAX_ITERATIONS)
{
    std::vector<double> r;
    Residuals(problem, p, r);
    double cost = SumOfSquares(r);
    double lambda = 1e-3;
    for (int iteration = 0; iteration < iterations && lambda < 1e12; ++iteration) {
        const Normal normal = NormalEquations(problem, p, r);
        const double before = cost;
        while (lambda < 1e12 && !TryStep(problem, normal, lambda, p, r, cost)) lambda *= 4;
        lambda = std::max(lambda / 3, 1e-9);
        if (before - cost < 1e-6 * before) break;
    }
    return p;
}

double Cost(const Problem& problem, const Parameters& p)
{
    std::vector<double> r;
    Residuals(problem, p, r);
    return SumOfSquares(r);
}

Problem ProblemOf(const ImpedanceCurve& curve, bool holdRe)
{
    Problem problem{{}, {}, curve.hasPhase, holdRe};
    const std::size_t every = (curve.points.size() + MAX_FIT_POINTS - 1) / MAX_FIT_POINTS;
    for (std::size_t i = 0; i < curve.points.size(); i += every) {
        const ImpedancePoint& point = curve.points[i];
        const SineCosine turn = SinCosDegrees(point.deg);
        problem.points.push_back(point);
        problem.measured.emplace_back(point.ohm * turn.cosine, point.ohm * turn.sine);
    }
    return problem;
}

// The lossy model from the plain one, from a few corner frequencies of L2 with R2, so
// that the fit does not settle in whichever valley the first guess lies nearest.
Parameters LossyFit(const Problem& problem, const DriverImpedance& plain, double topHz)
{
    Parameters best = ParametersOf({plain.re, plain.fs, plain.qms, plain.qes, plain.le,
                                    plain.le * 1e-3, plain.re}, 7);
    double bestCost = Cost(problem, best);
    for (double corner : {topHz / 30, topHz / 8, topHz / 2}) {
        DriverImpedance start = plain;
        start.le = plain.le / 2;
        start.l2 = plain.le;
        start.r2 = 2 * PI * corner * start.l2;
        const Parameters p = LeastSquares(problem, ParametersOf(start, 7), TRIAL_ITERATIONS);
        const double cost = Cost(problem, p);
        if (cost < bestCost) {
            best = p;
            bestCost = cost;
        }
    }
    return LeastSquares(problem, best);
}

}  // namespace

// Le in series with L2 parallel R2: the voice coil's inductance loses to eddy currents
// in the pole piece as frequency rises, which a lossless inductance with a resistance
// across it models (W. M. Leach, "Loudspeaker Voice-Coil Inductance Losses", J. Audio
// Eng. Soc. 50 (2002)); here with constant elements and the plain Le left in series.
// The motional part is the parallel resonance Re·Qms/Qes at Fs with quality Qms.
// Written out in real arithmetic, not with std::complex's division, which libgcc and
// compiler-rt round each their own way.
std::complex<double> ImpedanceAt(const DriverImpedance& d, double hz)
{
    const double w = 2 * PI * hz;
    const double ws = 2 * PI * d.fs;
    double re = d.re, im = w * d.le;
    if (d.l2 > 0) {  // jwL2 R2 / (R2 + jwL2) = (w²L2² R2 + j w L2 R2²) / (R2² + w²L2²)
        const double x = w * d.l2, r2 = d.r2;
        const double denominator = r2 * r2 + x * x;
        re += x * x * r2 / denominator;
        im += x * r2 * r2 / denominator;
    }
    const double resonance = d.re * d.qms / d.qes;  // over 1 + jy
    const double y = d.qms * (w / ws - ws / w);
    const double denominator = 1 + y * y;
    return {re + resonance / denominator, im - resonance * y / denominator};
}

namespace {

// Where the curve crosses `level` walking from `peak` by `step`, interpolated on a
// logarithmic frequency axis; NaN when it never does.
double Crossing(const std::vector<ImpedancePoint>& points, int peak, int step, double level)
{
    for (int i = peak + step; i >= 0 && i < static_cast<int>(points.size()); i += step) {
        if (points[i].ohm >= level) continue;
        const ImpedancePoint& a = points[i - step];
        const ImpedancePoint& b = points[i];
        const double t = (a.ohm - level) / (a.ohm - b.ohm);
        return a.hz * Pow(b.hz / a.hz, t);
    }
    return NAN;
}

}  // namespace

DriverImpedance ClassicEstimate(const ImpedanceCurve& curve)
{
    const std::vector<ImpedancePoint>& points = curve.points;
    const int peak = std::max(ResonancePeak(points), 1);
    const double re = points.front().ohm;
    const double fs = points[peak].hz;
    const double r0 = std::max(points[peak].ohm / re, 1.5);
    const double level = re * std::sqrt(r0);
    double f1 = Crossing(points, peak, -1, level);
    double f2 = Crossing(points, peak, +1, level);
    if (std::isnan(f1)) f1 = std::isnan(f2) ? fs / 1.5 : fs * fs / f2;
    if (std::isnan(f2)) f2 = fs * fs / f1;
    const double qms = fs * std::sqrt(r0) / (f2 - f1);
    const ImpedancePoint& top = points.back();
    const double reactance = std::sqrt(std::max(top.ohm * top.ohm - re * re, 1e-4 * re * re));
    return {re, fs, qms, qms / (r0 - 1), reactance / (2 * PI * top.hz), 0, 0};
}

namespace {

FitGrade GradeOf(double errorPercent)
{
    if (errorPercent < 1) return FitGrade::Excellent;
    if (errorPercent < 2) return FitGrade::Good;
    if (errorPercent < 4) return FitGrade::Fair;
    return FitGrade::Poor;
}

// The r.m.s. misfit of the magnitude in per cent, and the scatter of the points about
// the model: a point less its neighbours' mean cancels what the model misses smoothly
// and leaves 1.5 times the variance of independent noise.
void Judge(const ImpedanceCurve& curve, ImpedanceFit& fit)
{
    std::vector<double> miss;
    for (const ImpedancePoint& point : curve.points)
        miss.push_back(Magnitude(ImpedanceAt(fit.driver, point.hz)) / point.ohm - 1);
    double scatter = 0;
    for (std::size_t i = 1; i + 1 < miss.size(); ++i) {
        const double d = miss[i] - (miss[i - 1] + miss[i + 1]) / 2;
        scatter += d * d;
    }
    const double n = static_cast<double>(miss.size());
    fit.errorPercent = 100 * std::sqrt(SumOfSquares(miss) / n);
    fit.grade = GradeOf(fit.errorPercent);
    const double fs = fit.driver.fs;
    fit.warnings = 0;
    if (std::sqrt(scatter / (1.5 * (n - 2))) > 0.02) fit.warnings |= FIT_NOISY;
    if (curve.points.front().hz > fs / 2) fit.warnings |= FIT_SHORT_BELOW;
    if (curve.points.back().hz < 5 * fs) fit.warnings |= FIT_SHORT_ABOVE;
    if (fit.errorPercent > 3) fit.warnings |= FIT_MISSES;
}

}  // namespace

ImpedanceFit FitImpedance(const ImpedanceCurve& curve, double heldRe)
{
    const Problem problem = ProblemOf(curve, heldRe > 0);
    DriverImpedance start = ClassicEstimate(curve);
    if (heldRe > 0) start.re = heldRe;
    const DriverImpedance plain = DriverOf(LeastSquares(problem, ParametersOf(start, 5)));
    ImpedanceFit fit{};
    fit.driver = DriverOf(LossyFit(problem, plain, curve.points.back().hz));
    fit.simpleLe = plain.le;
    fit.qts = fit.driver.qms * fit.driver.qes / (fit.driver.qms + fit.driver.qes);
    fit.magnitudeOnly = !curve.hasPhase;
    Judge(curve, fit);
    return fit;
}

namespace {

// Bl, Rms, Vas and the efficiency once Mms and Cms are known.
DriverMechanics Complete(const DriverImpedance& d, double mms, double cms, double vas)
{
    DriverMechanics m{};
    m.mms = mms;
    m.cms = cms;
    m.bl = std::sqrt(ForceFactorSquared(d.fs, mms, d.re, d.qes));
    m.rms = 2 * PI * d.fs * mms / d.qms;
    m.vas = vas;
    m.efficiency = ReferenceEfficiency(d.fs, vas, d.qes);
    const RatedSensitivity level = SensitivityOf(d.fs, vas, d.qes, d.re);
    m.sensitivityWatt = vas > 0 ? level.watt : NAN;
    m.sensitivityVolts = vas > 0 ? level.volts : NAN;
    return m;
}

}  // namespace

// The added mass lowers Fs by sqrt(Mms / (Mms + M)), so Mms = M / ((Fs / Fm)² - 1).
DriverMechanics ByAddedMass(const ImpedanceFit& free, const ImpedanceFit& loaded,
                            double addedKg, double sd)
{
    const DriverImpedance& d = free.driver;
    const double ratio = d.fs / loaded.driver.fs;
    const double mms = ratio > 1 ? addedKg / (ratio * ratio - 1) : NAN;
    const double cms = 1 / (4 * PI * PI * d.fs * d.fs * mms);
    const double vas = AIR_DENSITY * SOUND_SPEED * SOUND_SPEED * sd * sd * cms;
    return Complete(d, mms, cms, vas);
}

DriverMechanics ByKnownVolume(const ImpedanceFit& free, const ImpedanceFit& boxed,
                              double volume, double sd)
{
    const DriverImpedance& d = free.driver;
    const double rise = boxed.driver.fs * boxed.driver.qes / (d.fs * d.qes);
    const double vas = rise > 1 ? volume * (rise - 1) : NAN;
    const double cms = Compliance(vas, sd);
    return Complete(d, MovingMass(d.fs, cms), cms, vas);
}
