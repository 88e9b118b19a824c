// What one redraw of the graph window and one file open or save cost: a response
// curve of 299 points, and the 164 bytes of a speaker file each way.
#include <cmath>
#include <cstring>

#include <benchmark/benchmark.h>

#include "acoustics/ImpedanceFit.h"
#include "acoustics/Response.h"
#include "numbers/Elementary.h"
#include "record/SpeakerFile.h"

namespace {

Speaker speaker;

// A typical woofer with a sealed and a ported design of usual size.
void SetUpDriver()
{
    speaker = {};
    std::strcpy(speaker.model, "Peerless 830869");
    std::strcpy(speaker.info, "8 inch woofer, paper cone");
    speaker.qts = 0.4;
    speaker.vas = 50;
    speaker.fs = 30;
    speaker.sealed = {24.5, 50, 0.707};
    speaker.ported = {40, 35};
}

// The argument is the sealed box's Fb: at 50 Hz most points lie in the passband,
// where no logarithm is needed; at 2000 Hz none does, the worst case.
template <bool ported>
void BM_Curve(benchmark::State& state)
{
    SetUpDriver();
    speaker.sealed.fb = static_cast<double>(state.range(0));
    int levels[RESPONSE_SIZE];
    for (auto _ : state) {
        if (ported)
            PortedResponse(speaker, speaker.ported, levels);
        else
            SealedResponse(speaker.sealed, levels);
        benchmark::DoNotOptimize(levels);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Curve<false>)->Name("CalcSealed")->Arg(50)->Arg(2000);
BENCHMARK(BM_Curve<true>)->Name("CalcPorted")->Arg(50);

// The program's correctly rounded log10, once per point of the sealed curve: what a
// curve would cost if every level took it, where the passband and the level table
// leave it only the levels within 10^-4 dB of a rounding edge.
void BM_Log10PerCurve(benchmark::State& state)
{
    SetUpDriver();
    const double fb = speaker.sealed.fb;
    const double q = speaker.sealed.q;
    double ratios[RESPONSE_SIZE];
    for (int f = 1; f < RESPONSE_SIZE; ++f) {
        double Fr = (f / fb) * (f / fb);
        ratios[f] = Fr * Fr / (Fr / (q * q) + (Fr - 1) * (Fr - 1));
    }
    for (auto _ : state) {
        for (int f = 1; f < RESPONSE_SIZE; ++f)
            benchmark::DoNotOptimize(Log10(ratios[f]));
    }
}
BENCHMARK(BM_Log10PerCurve)->Name("Log10PerCurve");

void BM_EncodeSpeaker(benchmark::State& state)
{
    SetUpDriver();
    unsigned char bytes[SPEAKER_FILE_SIZE];
    for (auto _ : state) {
        EncodeSpeaker(speaker, bytes);
        benchmark::DoNotOptimize(bytes);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_EncodeSpeaker)->Name("EncodeSpeaker");

void BM_DecodeSpeaker(benchmark::State& state)
{
    SetUpDriver();
    unsigned char bytes[SPEAKER_FILE_SIZE];
    EncodeSpeaker(speaker, bytes);
    Speaker record;
    for (auto _ : state) {
        DecodeSpeaker(bytes, sizeof bytes, record);
        benchmark::DoNotOptimize(record);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DecodeSpeaker)->Name("DecodeSpeaker");

// A fit of a 400-point measurement, 10 Hz to 20 kHz, of a woofer whose inductance is
// lossy; the goal is 20 ms. A slight ripple keeps the points off the model.
void BM_FitImpedance(benchmark::State& state)
{
    const DriverImpedance woofer{6.2, 33.5, 3.5, 0.58, 0.5e-3, 0.6e-3, 4};
    ImpedanceCurve curve{{}, true};
    for (int i = 0; i < 400; ++i) {
        const double hz = 10 * std::pow(2000.0, i / 399.0);
        const std::complex<double> z = ImpedanceAt(woofer, hz) * (1 + 0.01 * std::sin(7.0 * i));
        curve.points.push_back({hz, std::abs(z), std::arg(z) * 180 / 3.141592653589793});
    }
    for (auto _ : state) benchmark::DoNotOptimize(FitImpedance(curve));
}
BENCHMARK(BM_FitImpedance)->Name("FitImpedance400")->Unit(benchmark::kMillisecond);

}  // namespace
