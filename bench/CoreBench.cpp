// What one redraw of the graph window and one file open or save cost: a response
// curve of 299 points, and the 164 bytes of a speaker file each way.
#include <cstring>

#include <benchmark/benchmark.h>

#include "acoustics/Response.h"
#include "record/SpeakerFile.h"

namespace {

// A typical woofer with both designs, as the optimiser would propose them.
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

template <void (*Calc)()>
void BM_Curve(benchmark::State& state)
{
    SetUpDriver();
    int levels[RESPONSE_SIZE];
    dBMag = levels;
    graphNumber = 1;
    for (auto _ : state) {
        Calc();
        benchmark::DoNotOptimize(levels);
        benchmark::ClobberMemory();
    }
    dBMag = nullptr;
}
BENCHMARK(BM_Curve<CalcSealed>)->Name("CalcSealed");
BENCHMARK(BM_Curve<CalcPorted>)->Name("CalcPorted");

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
