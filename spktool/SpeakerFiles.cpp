#include "SpeakerFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "Failure.h"
#include "Platform.h"
#include "Text.h"
#include "acoustics/Alignment.h"
#include "numbers/NumberText.h"
#include "record/Plausible.h"
#include "record/SpeakerFile.h"

namespace {

// Judged by its size first, so that a huge file costs no more than a small one.
Speaker DecodeSpeakerFile(const std::string& path, const std::string& bytes, std::uint64_t size)
{
    if (size != SPEAKER_FILE_SIZE || bytes.size() != SPEAKER_FILE_SIZE)
        BadData(path + ": " + std::to_string(size) +
                " bytes, but a speaker file has 164: damaged or not a speaker file");
    for (const SpeakerField& field : SPEAKER_FIELDS)
        if (field.isText && !std::memchr(bytes.data() + field.offset, '\0', TEXT_LIMIT + 1))
            BadData(path + ": the " + field.name + " text at offset " +
                    std::to_string(field.offset) + " has no end within its 50 bytes: damaged");
    Speaker record{};
    DecodeSpeaker(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), record);
    for (const SpeakerField& field : SPEAKER_FIELDS)
        if (!field.isText && !std::isfinite(FieldNumber(record, field)))
            BadData(path + ": " + field.name + " at offset " + std::to_string(field.offset) +
                    " is not a finite number: damaged");
    return record;
}

}  // namespace

Speaker LoadSpeakerFile(const std::string& path)
{
    std::string bytes, error;
    std::uint64_t size = 0;
    if (!ReadRegularFile(path, SPEAKER_FILE_SIZE, bytes, size, error))
        BadData(path + ": cannot be read: " + error);
    const Speaker record = DecodeSpeakerFile(path, bytes, size);
    double value;
    if (const PlausibleRange* range = ImplausibleField(record, value))
        BadData(path + ": " + range->name + " of " + Brief(value) + " " +
                OutsideText(range->low, range->high, range->unit) + " (spktool set " + path +
                " " + range->name + "=...)");
    return record;
}

void UpdateSpeakerFile(const std::string& path, bool readOnlyToo,
                       const std::function<void(Speaker&)>& change)
{
    std::string error;
    const auto update = [&](const std::string& bytes, std::uint64_t size,
                            std::vector<FileBytes>&) {
        Speaker record = DecodeSpeakerFile(path, bytes, size);
        change(record);
        return SpeakerBytes(record);
    };
    if (!LockedUpdate(path, SPEAKER_FILE_SIZE, readOnlyToo, update, error))
        BadData(error);
}

bool ReplaceSpeakerFile(const std::string& path, const Speaker& record,
                        const DriverSheet& sheet, std::string& error)
{
    const auto replace = [&](const std::string&, std::uint64_t, std::vector<FileBytes>& beside) {
        if (!IsEmpty(sheet))
            beside.push_back({SheetPath(path), EncodeSheet(sheet)});
        return SpeakerBytes(record);
    };
    return LockedUpdate(path, SPEAKER_FILE_SIZE, true, replace, error);
}

std::string SpeakerBytes(const Speaker& record)
{
    unsigned char bytes[SPEAKER_FILE_SIZE];
    EncodeSpeaker(record, bytes);
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

void RefuseToReplace(const std::string& path, bool replace)
{
    if (const std::string kind = NotAFile(path); !kind.empty())
        BadData(path + ": cannot be written: " + kind);
    if (!replace && PathExists(path))
        BadData(path + ": exists already (--force replaces it)");
}

namespace {

// The folder and the name of a path, "." for a bare name.
std::pair<std::string, std::string> Split(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? path.substr(0, 1) : path.substr(0, slash), path.substr(slash + 1)};
}

// The same file, or one not there yet under the same name in the same folder (a sheet
// not written yet would be read as the driver's once the output is there).
bool Names(const std::string& output, const std::string& file)
{
    if (SameExistingFile(output, file))
        return true;
    const auto [outputFolder, outputName] = Split(output);
    const auto [folder, name] = Split(file);
    return Lower(outputName) == Lower(name) && SameExistingFile(outputFolder, folder);
}

}  // namespace

void RefuseInputs(const std::string& output, const std::vector<std::string>& inputs)
{
    for (const std::string& input : inputs)
        for (const std::string& file : {input, SheetPath(input)})
            if (Names(output, file))
                BadData(output + ": is " + (file == input ? "" : "the driver sheet of ") +
                        "an input of this command (" + input + "): choose another name");
}

void WriteWholeFile(const std::string& path, const std::string& bytes, bool replace)
{
    RefuseToReplace(path, replace);
    std::string error;
    if (!ReplaceFileBytes(path, bytes, replace, replace, error))
        BadData(path + ": cannot be written: " + error);
}

std::string SheetPath(const std::string& speakerPath)
{
    const std::size_t dot = speakerPath.rfind('.');
    const bool spk = dot != std::string::npos && Lower(speakerPath.substr(dot)) == ".spk";
    return (spk ? speakerPath.substr(0, dot) : speakerPath) + ".txt";
}

namespace {

// The sheet beside a speaker file as it is on disk: the user's text and what it says.
// Larger than any hand-annotated sheet: a sparse or wrong file is refused before it is
// read into memory.
constexpr std::size_t MOST_SHEET_BYTES = 16 << 20;

// A sheet as its user saved it: the text to edit, and how it was written. Notepad saves
// UTF-8, with or without a byte order mark, older editors Windows-1252; classic Mac
// editors end lines with CR alone. The sheet's texts are read in Windows-1252, as the
// speaker file holds them, and written back in the encoding they came in.
struct SheetOnDisk {
    bool exists;
    std::string text;  // as on disk
    DriverSheet sheet;
    bool utf8 = false, crOnly = false;
};

// UTF-8 in Windows-1252 with its line ends and tabs kept, which the code page's
// conversion of a field's text leaves out.
std::string SheetWindows1252(std::string_view utf8)
{
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = 0; at <= utf8.size(); ++at)
        if (at == utf8.size() || utf8[at] == '\n' || utf8[at] == '\r' || utf8[at] == '\t') {
            out += LossyWindows1252(utf8.substr(from, at - from));
            if (at < utf8.size())
                out += utf8[at];
            from = at + 1;
        }
    return out;
}

// The text in Windows-1252 with LF or CR LF line ends and no byte order mark, as the
// sheet's reader takes it.
std::string Readable(SheetOnDisk& disk)
{
    std::string text = disk.text;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3), disk.utf8 = true;
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    disk.utf8 = disk.utf8 || (!ascii && IsUtf8(text));
    disk.crOnly = text.find('\r') != std::string::npos && text.find('\n') == std::string::npos;
    if (disk.crOnly)
        text = WithLineFeeds(std::move(text));
    return disk.utf8 ? SheetWindows1252(text) : text;
}

SheetOnDisk ReadSheet(const std::string& speakerPath)
{
    const std::string path = SheetPath(speakerPath);
    SheetOnDisk disk{PathExists(path), "", EmptySheet()};
    if (!disk.exists)
        return disk;
    std::string error;
    std::uint64_t size = 0;
    if (!ReadRegularFile(path, MOST_SHEET_BYTES, disk.text, size, error))
        BadData(path + ": cannot be read: " + error);
    if (size > MOST_SHEET_BYTES)
        BadData(path + ": " + std::to_string(size) + " bytes, more than a driver sheet's " +
                std::to_string(MOST_SHEET_BYTES >> 20) + " MB: not a driver sheet");
    int line = 0;
    // The reader quotes the sheet's own text, which it has in Windows-1252.
    if (!DecodeSheet(Readable(disk), disk.sheet, line, error))
        BadData(path + ":" + std::to_string(line) + ": " + FromWindows1252(error));
    return disk;
}

// The sheet's part of a change: the user's own text edited in the lines whose values
// changed, a new sheet when there was none and there is something to keep, or nothing.
void SheetChange(const std::string& speakerPath, const SheetOnDisk& disk,
                 const DriverSheet& sheet, std::vector<FileBytes>& beside)
{
    if (!disk.exists) {
        if (!IsEmpty(sheet))
            beside.push_back({SheetPath(speakerPath), EncodeSheet(sheet)});
        return;
    }
    std::vector<SheetEntry> changed = ChangedEntries(disk.sheet, sheet);
    if (changed.empty())
        return;
    if (disk.utf8)
        for (SheetEntry& entry : changed)
            entry.text = FromWindows1252(entry.text);
    // The line editor takes LF and CR LF; CR alone goes back as it came.
    std::string edited = EditedSheet(disk.crOnly ? WithLineFeeds(disk.text) : disk.text, changed);
    if (disk.crOnly)
        for (char& c : edited)
            c = c == '\n' ? '\r' : c;
    beside.push_back({SheetPath(speakerPath), edited});
}

// The record's new bytes, with the sheet's change put `beside` them. A fresh file that
// may not replace anything has no sheet to edit: an existing one is the change's to
// refuse.
std::string Changed(const std::string& path, Speaker record, bool readSheet,
                    const std::function<void(Speaker&, DriverSheet&)>& change,
                    std::vector<FileBytes>& beside)
{
    const SheetOnDisk disk = readSheet ? ReadSheet(path) : SheetOnDisk{false, "", EmptySheet()};
    DriverSheet sheet = disk.sheet;
    change(record, sheet);
    SheetChange(path, disk, sheet, beside);
    return SpeakerBytes(record);
}

}  // namespace

DriverSheet LoadSheet(const std::string& speakerPath)
{
    return ReadSheet(speakerPath).sheet;
}

void ChangeSpeakerFile(const std::string& path, bool fresh, bool force,
                       const std::function<void(Speaker&, DriverSheet&)>& change)
{
    std::string bytes, error;
    std::uint64_t size = 0;
    // A fresh file in the place of an existing one takes that one's lock, so that a set
    // of it at the same moment is whole before or after, never half of each.
    if (!fresh || (force && ReadRegularFile(path, 0, bytes, size, error))) {
        const auto update = [&](const std::string& old, std::uint64_t oldSize,
                                std::vector<FileBytes>& beside) {
            const Speaker record = fresh ? Speaker{} : DecodeSpeakerFile(path, old, oldSize);
            return Changed(path, record, true, change, beside);
        };
        if (!LockedUpdate(path, SPEAKER_FILE_SIZE, force, update, error))
            BadData(error);
        return;
    }
    std::vector<FileBytes> beside;
    bytes = Changed(path, Speaker{}, force, change, beside);
    if (!ReplaceTogether({path, bytes}, beside, force, force, error))
        BadData(error);
}

void StoreModel(Speaker& record, DriverSheet& sheet, const std::string& utf8,
                const std::string& where)
{
    std::string text, bad;
    if (!ToWindows1252(utf8, text, bad))
        BadData(where + "model: " + bad);
    // Windows-1252 has one byte a character, so the cut is always on a whole one.
    sheet.model = text.size() > TEXT_LIMIT ? text : "";
    if (text.size() > TEXT_LIMIT) {
        text.resize(TEXT_LIMIT);
        Warn(where + "model name shortened to the 49 characters a speaker file holds: " +
             Quoted(FromWindows1252(text)));
    }
    std::memset(record.model, 0, sizeof record.model);
    std::memcpy(record.model, text.data(), text.size());
}

void StoreText(char* field, const std::string& utf8, const std::string& what)
{
    std::string text, bad;
    if (!ToWindows1252(utf8, text, bad))
        BadData(what + ": " + bad);
    if (text.size() > TEXT_LIMIT)
        BadData(what + ": " + std::to_string(text.size()) +
                " characters, but the file holds at most 49");
    std::memset(field, 0, TEXT_LIMIT + 1);
    std::memcpy(field, text.data(), text.size());
}

namespace {

// The driver first, then the sealed volume and Fb in the order given, then an explicit
// sealed Q: the derived Q follows the driver as typed, and a Q given outright wins.
int Stage(const std::string& name)
{
    return name == "sealed.q" ? 2 : name == "sealed.volume" || name == "sealed.fb" ? 1 : 0;
}

void AssignSheet(DriverSheet& sheet, const std::string& name, const std::string& value)
{
    if (name == "maker") {
        std::string bad;
        if (!ToWindows1252(value, sheet.maker, bad))
            BadData("maker: " + bad);
        return;
    }
    const int index = FindSheetValue(name);
    std::string error;
    if (value.empty())
        sheet.value[index] = EmptySheet().value[index];
    else if (!ReadSheetNumber(index, value, sheet.value[index], error))
        BadData(name + ": " + error);
}

void Assign(Speaker& record, DriverSheet& sheet, const std::string& name,
            const std::string& value)
{
    const SpeakerField* field = FindSpeakerField(name);
    if (!field) {
        AssignSheet(sheet, name, value);
        return;
    }
    if (name == "model") {
        StoreModel(record, sheet, value, "");
        return;
    }
    if (field->isText) {
        StoreText(field->text(record), value, name);
        return;
    }
    // The program reads the first 9 characters of a field and takes what leads them;
    // spktool takes only values that mean the same to both.
    if (!IsTypedNumber(value))
        BadData(name + ": " + Quoted(value) + " is not a number");
    if (value.size() > TYPED_NUMBER_CHARS)
        BadData(name + ": " + Quoted(value) + " is longer than the 9 characters a field takes");
    const double number = ReadNumber(value.c_str());
    if (!std::isfinite(number))
        BadData(name + ": " + Quoted(value) + " is too large");
    if (const PlausibleRange* range = SpeakerRange(name); !IsPlausible(*range, number))
        BadData(name + ": " + Quoted(value) + " " +
                OutsideText(range->low, range->high, range->unit));
    *field->number(record) = number;
    Sealed& sealed = record.sealed;
    if (name == "sealed.volume")
        sealed.q = SealedQFromVolume(record.qts, record.vas, sealed.volume, sealed.q);
    else if (name == "sealed.fb")
        sealed.q = SealedQFromFb(record.qts, record.fs, sealed.fb, sealed.q);
}

}  // namespace

void ApplyAssignments(Speaker& record, DriverSheet& sheet,
                      const std::vector<std::string>& assignments)
{
    std::vector<std::pair<std::string, std::string>> parsed;
    for (const std::string& assignment : assignments) {
        const std::size_t equals = assignment.find('=');
        if (equals == std::string::npos)
            BadCommandLine(assignment + ": expected field=value");
        std::string name = Lower(assignment.substr(0, equals));
        if (!FindSpeakerField(name) && name != "maker" && FindSheetValue(name) < 0) {
            std::string names;
            for (const SpeakerField& field : SPEAKER_FIELDS)
                names += (names.empty() ? "" : ", ") + std::string(field.name);
            names += "; in the driver sheet: maker";
            for (const SheetValueName& value : SHEET_VALUE_NAMES)
                names += ", " + std::string(value.name);
            for (const char* line : SHEET_SYSTEM_NAMES)
                names += ", " + std::string(line);
            BadCommandLine(name + ": no such field (fields: " + names + ")");
        }
        parsed.emplace_back(std::move(name), assignment.substr(equals + 1));
    }
    for (int stage = 0; stage < 3; ++stage)
        for (const auto& [name, value] : parsed)
            if (Stage(name) == stage)
                Assign(record, sheet, name, value);
}
