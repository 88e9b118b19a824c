// Where each imported driver is written: one file each, named from its model.
#include <map>
#include <set>

#include "Importers.h"
#include "Platform.h"
#include "Text.h"

std::vector<PlannedFile> PlanImport(ImportResult& result, const std::string& directory,
                                    bool replace, bool skipBad,
                                    const std::function<bool(const std::string&)>& exists)
{
    std::vector<PlannedFile> planned;
    std::set<std::string> taken;  // lower case: Windows does not tell "A" from "a"
    // The next number to try for each name, so that a thousand drivers of one name do
    // not each count up through all the others.
    std::map<std::string, int> next;
    for (const ImportedDriver& driver : result.drivers) {
        const std::string base = SafeFileName(driver.name);
        std::string name = base + ".spk";
        int& n = next.try_emplace(Lower(base), 2).first->second;
        for (; taken.count(Lower(name)); ++n)
            name = base + " (" + std::to_string(n) + ").spk";
        taken.insert(Lower(name));
        const std::string path = JoinPath(directory, name);
        if (!replace && exists(path)) {
            result.errors.push_back(driver.where + ": " + path +
                                    " exists already (--force replaces it)");
            continue;
        }
        planned.push_back({path, driver.where, driver.record, driver.sheet});
    }
    if (!result.errors.empty() && !skipBad)
        planned.clear();
    return planned;
}
