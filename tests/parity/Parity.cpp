// Computes everything the core computes for a seeded series of designs and prints it
// hashed, so that the native build and the Windows build can be compared bit for bit:
//   parity digest FIRST COUNT BLOCK   one hash per block of BLOCK designs
//   parity dump FIRST COUNT           every result of those designs in full
// The series mixes typed values, full-precision values and the awkward ones (zeros,
// subnormals, huge, negative, infinite, NaN), and uses nothing but integer arithmetic
// and the core itself, so both builds see the same inputs.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "acoustics/Alignment.h"
#include "acoustics/PortLength.h"
#include "acoustics/Response.h"
#include "numbers/NumberText.h"

namespace {

struct Random {
    std::uint64_t state;
    std::uint64_t Next()  // splitmix64
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    double Between(double low, double high)
    {
        return low + (high - low) * (static_cast<double>(Next() >> 11) * 0x1p-53);
    }
};

constexpr double INF = std::numeric_limits<double>::infinity();
const double AWKWARD[] = {0,     -0.0,   5e-324, 2.2e-308, 1e-300, 1e-80, 1e80, 1e300,
                          1.7976931348623157e308, INF, -INF,
                          std::numeric_limits<double>::quiet_NaN(), -1, -0.4, 1, 0.5};

// A number in [low, high) as a user would type it, with one or two decimals, read
// back through the program's own conversion.
double Typed(Random& r, double low, double high)
{
    const int decimals = 1 + r.Below(2);
    const int scale = decimals == 1 ? 10 : 100;
    unsigned n = static_cast<unsigned>(low * scale) +
                 static_cast<unsigned>(r.Below(static_cast<int>((high - low) * scale)));
    char digits[12], text[TYPED_NUMBER_CHARS + 1];
    int count = 0, at = 0;
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n > 0 || count <= decimals);
    while (count > 0 && at < TYPED_NUMBER_CHARS) {
        if (count == decimals)
            text[at++] = '.';
        text[at++] = digits[--count];
    }
    text[at] = '\0';
    return ReadNumber(text);
}

// One quantity of a design: typed or full precision in a usual range, negative, or
// awkward.
double Quantity(Random& r, double low, double high)
{
    const int pick = r.Below(16);
    if (pick == 0)
        return AWKWARD[r.Below(sizeof AWKWARD / sizeof AWKWARD[0])];
    if (pick == 1)
        return -r.Between(low, high);
    if (pick < 8)
        return Typed(r, low, high);
    return r.Between(low, high);
}

// FNV-1a over the bytes of every result, or the results printed in full.
struct Sink {
    std::uint64_t hash = 0xCBF29CE484222325;
    bool print = false;

    void Bytes(const void* data, std::size_t size)
    {
        for (std::size_t i = 0; i < size; ++i)
            hash = (hash ^ static_cast<const unsigned char*>(data)[i]) * 0x100000001B3;
    }
    void Number(const char* name, double value)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        for (int i = 0; i < 8; ++i) {
            unsigned char b = static_cast<unsigned char>(bits >> (8 * i));
            Bytes(&b, 1);
        }
        if (print)
            std::printf(" %s=%016llx", name, static_cast<unsigned long long>(bits));
    }
    void Text(const char* name, const char* text)
    {
        Bytes(text, std::strlen(text) + 1);
        if (print)
            std::printf(" %s=\"%s\"", name, text);
    }
    void Levels(const char* name, const int* levels)
    {
        for (int f = 1; f < RESPONSE_SIZE; ++f) {
            unsigned char b[4];
            for (int i = 0; i < 4; ++i)
                b[i] = static_cast<unsigned char>(static_cast<unsigned>(levels[f]) >> (8 * i));
            Bytes(b, 4);
        }
        if (print) {
            std::printf(" %s=", name);
            for (int f = 1; f < RESPONSE_SIZE; ++f)
                std::printf("%d%s", levels[f], f + 1 < RESPONSE_SIZE ? "," : "");
        }
    }
};

void Shown(Sink& sink, const char* name, double value, int decimals)
{
    char text[NUMBER_TEXT_SIZE];
    FormatNumber(text, value, decimals);
    sink.Text(name, text);
}

void Design(std::uint64_t index, Sink& sink)
{
    Random r{index * 0x2545F4914F6CDD1D + 1998};
    Speaker speaker = {};
    speaker.qts = Quantity(r, 0.15, 1.5);
    speaker.vas = Quantity(r, 5, 400);
    speaker.fs = Quantity(r, 15, 120);
    speaker.sealed = {Quantity(r, 5, 400), Quantity(r, 20, 150), Quantity(r, 0.4, 1.5)};
    speaker.ported = {Quantity(r, 5, 400), Quantity(r, 15, 90)};
    if (sink.print) {
        // The decimals come from the C library and are for the reader only; the
        // results line alone is compared.
        std::printf("inputs %llu: qts vas fs, sealed volume fb q, ported volume fb =",
                    static_cast<unsigned long long>(index));
        for (double v : {speaker.qts, speaker.vas, speaker.fs, speaker.sealed.volume,
                         speaker.sealed.fb, speaker.sealed.q, speaker.ported.volume,
                         speaker.ported.fb})
            std::printf(" %.17g", v);
        std::printf("\nresults %llu:", static_cast<unsigned long long>(index));
    }

    int sealed[RESPONSE_SIZE], ported[RESPONSE_SIZE];
    SealedResponse(speaker.sealed, sealed);
    PortedResponse(speaker, speaker.ported, ported);
    sink.Levels("sealed", sealed);
    sink.Levels("ported", ported);

    Sealed s = SealedAlignment(speaker.qts, speaker.vas, speaker.fs);
    Ported p = PortedAlignment(speaker.qts, speaker.vas, speaker.fs);
    sink.Number("sealedVolume", s.volume);
    sink.Number("sealedFb", s.fb);
    sink.Number("portedVolume", p.volume);
    sink.Number("portedFb", p.fb);
    Shown(sink, "sealedVolumeText", s.volume, 1);
    Shown(sink, "sealedFbText", s.fb, 1);
    Shown(sink, "portedVolumeText", p.volume, 1);
    Shown(sink, "portedFbText", p.fb, 1);
    Shown(sink, "qtsText", speaker.qts, 2);

    Sealed& box = speaker.sealed;
    box.q = SealedQFromVolume(speaker.qts, speaker.vas, box.volume, box.q);
    sink.Number("qFromVolume", box.q);
    box.q = SealedQFromFb(speaker.qts, speaker.fs, box.fb, box.q);
    sink.Number("qFromFb", box.q);

    const double diameters[] = {10, Quantity(r, 0.5, 30)};
    for (double diameter : diameters)
        for (int ports = 1; ports <= 4; ++ports) {
            double length = PortLength(speaker.ported, diameter, ports);
            sink.Number("portLength", length);
            Shown(sink, "portLengthText", length, 1);
        }

    char typed[TYPED_NUMBER_CHARS + 1];
    const char alphabet[] = "0123456789.eE+- 5x";
    for (char& c : typed)
        c = alphabet[r.Below(sizeof alphabet - 1)];
    typed[r.Below(TYPED_NUMBER_CHARS + 1)] = '\0';
    sink.Number("typed", ReadNumber(typed));
    if (sink.print)
        std::printf("\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "digest") == 0) {
        const std::uint64_t start = std::strtoull(argv[2], nullptr, 10);
        const std::uint64_t end = start + std::strtoull(argv[3], nullptr, 10);
        const std::uint64_t block = std::strtoull(argv[4], nullptr, 10);
        for (std::uint64_t first = start; first < end; first += block) {
            Sink sink;
            for (std::uint64_t i = first; i < first + block && i < end; ++i)
                Design(i, sink);
            std::printf("%llu %016llx\n", static_cast<unsigned long long>(first / block),
                        static_cast<unsigned long long>(sink.hash));
        }
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "dump") == 0) {
        const std::uint64_t first = std::strtoull(argv[2], nullptr, 10);
        const std::uint64_t count = std::strtoull(argv[3], nullptr, 10);
        Sink sink;
        sink.print = true;
        for (std::uint64_t i = first; i < first + count; ++i)
            Design(i, sink);
        return 0;
    }
    std::fprintf(stderr, "usage: parity digest FIRST COUNT BLOCK | parity dump FIRST COUNT\n");
    return 2;
}
