// Feeds spktool's importers any bytes as a CSV table, a qspeakers database, a Boxed
// driver file or a WinISD driver file, and checks what must hold for every input: each
// driver it accepts is a record the program can use, and an input with any fault plans
// no file at all (unless the bad rows are to be skipped), and every text it brings, and
// the input itself, make JSON that parses. A broken rule traps, so that
// libFuzzer keeps the input.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "Json.h"
#include "import/Importers.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

bool Terminated(const char (&text)[50])
{
    return std::memchr(text, '\0', sizeof text) != nullptr && std::strlen(text) <= 49;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ImportResult result;
    ImportText("source.csv", bytes, result);
    for (const ImportedDriver& driver : result.drivers) {
        const Speaker& r = driver.record;
        Check(Terminated(r.model) && Terminated(r.info));
        Check(r.qts > 0 && r.fs > 0 && r.vas > 0);
        Check(r.sealed.volume >= 0 && r.ported.volume >= 0 && r.ported.fb >= 0);
        // A sheet value of 0 or less, or an infinity from a huge number times its unit's
        // factor, would reach every later calculation.
        for (const double value : driver.sheet.value)
            Check(!IsKnown(value) || (value > 0 && value < HUGE_VAL));
    }

    // spktool's JSON escapes every control character and replaces what is not UTF-8.
    nlohmann::ordered_json texts = {{"input", bytes}};
    for (const ImportedDriver& driver : result.drivers)
        texts["drivers"].push_back({driver.name, driver.where, driver.record.model,
                                    driver.record.info, driver.sheet.maker, driver.sheet.model});
    Check(nlohmann::json::accept(JsonText(texts)));

    const bool hadErrors = !result.errors.empty();
    ImportResult copy = result;
    const auto nothingExists = [](const std::string&) { return false; };
    Check(!hadErrors || PlanImport(copy, "out", false, false, nothingExists).empty());

    // Skipping the bad rows plans every good one, each a safe name inside "out".
    const auto planned = PlanImport(result, "out", false, true, nothingExists);
    Check(planned.size() == result.drivers.size());
    for (const PlannedFile& file : planned) {
        const std::string name = file.path.substr(4);
        Check(file.path.compare(0, 4, "out/") == 0 && name.size() > 4);
        Check(name.find_first_of("/\\:*?\"<>|") == std::string::npos);
        Check(name.front() != ' ' && name.compare(name.size() - 4, 4, ".spk") == 0);
    }
    return 0;
}
