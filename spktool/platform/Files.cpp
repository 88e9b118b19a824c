// What every system does alike; the system's own calls are behind System.h.
#include "Files.h"

#include <algorithm>

#include "System.h"

namespace {

// Tables are read whole; a driver table larger than this is not one.
constexpr std::size_t WHOLE_FILE_LIMIT = 64 << 20;

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Only the ASCII letters differ by case in an ending: the same on every system and in
// every code page.
bool EndsInIgnoringCase(const std::string& name, const std::string& ending)
{
    return name.size() > ending.size() &&
           std::equal(ending.begin(), ending.end(), name.end() - ending.size(),
                      [](char a, char b) { return LowerAscii(a) == LowerAscii(b); });
}

// ".woofer.spk.AbC123": what StageFile names a temporary file.
bool IsLeftoverName(const std::string& name, const std::string& extension)
{
    const std::size_t tail = extension.size() + 7;
    if (name.size() <= tail + 1 || name[0] != '.' ||
        name.compare(name.size() - tail, extension.size() + 1, extension + ".") != 0)
        return false;
    return std::all_of(name.end() - 6, name.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    });
}

}  // namespace

std::string JoinPath(const std::string& directory, const std::string& name)
{
    if (directory.empty())
        return name;
    const char last = directory.back();
    return last == '/' || last == '\\' ? directory + name : directory + "/" + name;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    std::uint64_t size = 0;
    if (!ReadRegularFile(path, WHOLE_FILE_LIMIT, bytes, size, error))
        return false;
    if (bytes.size() > WHOLE_FILE_LIMIT) {
        error = "larger than 64 MB, the most spktool reads of a table";
        bytes.clear();
        return false;
    }
    return true;
}

bool ReplaceFileBytes(const std::string& path, const std::string& bytes, bool replace,
                      bool readOnlyToo, std::string& error)
{
    StagedFile staged;
    return StageFile(path, bytes, replace, readOnlyToo, staged, error) &&
           CommitFile(staged, replace, error);
}

namespace {

// A file moved onto its target as part of a change that then failed: its old bytes
// back, or gone if it was new.
void Restore(const StagedFile& moved, const std::string& old)
{
    std::string ignored;
    if (!moved.existed)
        RemoveFile(moved.target);
    else
        ReplaceFileBytes(moved.target, old, true, true, ignored);
}

}  // namespace

bool CommitTogether(StagedFile& main, const std::vector<FileBytes>& beside, bool replace,
                    bool readOnlyToo,
                    const std::function<bool(StagedFile&, std::string&)>& commitMain,
                    std::string& error)
{
    std::vector<StagedFile> staged(beside.size());
    std::vector<std::string> old(beside.size());
    const auto fail = [&](const std::string& path, std::size_t moved) {
        for (StagedFile& file : staged)
            DiscardFile(file);
        DiscardFile(main);
        for (std::size_t i = 0; i < moved; ++i)
            Restore(staged[i], old[i]);
        error = path + ": cannot be written: " + error;
        return false;
    };
    // The old bytes are read before anything moves, so that a failure can put them back.
    for (std::size_t i = 0; i < beside.size(); ++i)
        if (!StageFile(beside[i].path, beside[i].bytes, replace, readOnlyToo, staged[i], error) ||
            (staged[i].existed && !ReadWholeFile(staged[i].target, old[i], error)))
            return fail(beside[i].path, 0);
    for (std::size_t i = 0; i < beside.size(); ++i)
        if (!CommitFile(staged[i], replace, error))
            return fail(beside[i].path, i);
    return commitMain(main, error) || fail(main.path, beside.size());
}

bool ReplaceTogether(const FileBytes& main, const std::vector<FileBytes>& beside, bool replace,
                     bool readOnlyToo, std::string& error)
{
    StagedFile staged;
    if (!StageFile(main.path, main.bytes, replace, readOnlyToo, staged, error)) {
        error = main.path + ": cannot be written: " + error;
        return false;
    }
    const auto commit = [&](StagedFile& file, std::string& why) {
        return CommitFile(file, replace, why);
    };
    return CommitTogether(staged, beside, replace, readOnlyToo, commit, error);
}

// The long name is what counts: Windows' own patterns ("*.json") also match the short
// 8.3 names of "*.jsonx".
std::vector<std::string> FilesEndingIn(const std::string& directory, const std::string& ending)
{
    std::vector<std::string> names = FileNamesIn(directory);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&](const std::string& name) {
                                   return !EndsInIgnoringCase(name, ending);
                               }),
                names.end());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> JsonFilesIn(const std::string& directory)
{
    return FilesEndingIn(directory, ".json");
}

int RemoveLeftovers(const std::string& directory, const std::string& extension)
{
    int removed = 0;
    for (const std::string& name : FileNamesIn(directory))
        if (IsLeftoverName(name, extension) && RemoveIfUntouched(JoinPath(directory, name), 60))
            ++removed;
    return removed;
}
