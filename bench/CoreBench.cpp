// What one redraw of the graph window and one file open or save cost: a response
// curve of 299 points, and the 164 bytes of a speaker file each way.
#include <cmath>
#include <cstring>

#include <benchmark/benchmark.h>

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

}  // namespace
