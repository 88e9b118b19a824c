#include "SpeakerFiles.h"

#include <cmath>
#include <cstring>

#include "CoreBridge.h"
#include "Failure.h"
#include "Platform.h"
#include "Text.h"
#include "numbers/NumberText.h"
#include "record/SpeakerFile.h"

const std::vector<std::string> FIELD_NAMES = {
    "model", "qts", "fs", "vas", "info", "sealed.volume", "sealed.fb", "sealed.q",
    "ported.volume", "ported.fb"};

namespace {

struct NumberField {
    const char* name;
    std::size_t offset;
    double Speaker::*member;
    double Sealed::*sealed;
    double Ported::*ported;
};

const NumberField NUMBERS[] = {
    {"qts", OFFSET_QTS, &Speaker::qts, nullptr, nullptr},
    {"fs", OFFSET_FS, &Speaker::fs, nullptr, nullptr},
    {"vas", OFFSET_VAS, &Speaker::vas, nullptr, nullptr},
    {"sealed.volume", OFFSET_SEALED_VOLUME, nullptr, &Sealed::volume, nullptr},
    {"sealed.fb", OFFSET_SEALED_FB, nullptr, &Sealed::fb, nullptr},
    {"sealed.q", OFFSET_SEALED_Q, nullptr, &Sealed::q, nullptr},
    {"ported.volume", OFFSET_PORTED_VOLUME, nullptr, nullptr, &Ported::volume},
    {"ported.fb", OFFSET_PORTED_FB, nullptr, nullptr, &Ported::fb},
};

double& Member(Speaker& record, const NumberField& field)
{
    if (field.member)
        return record.*field.member;
    if (field.sealed)
        return record.sealed.*field.sealed;
    return record.ported.*field.ported;
}

const NumberField* FindNumber(const std::string& name)
{
    for (const NumberField& field : NUMBERS)
        if (name == field.name)
            return &field;
    return nullptr;
}

}  // namespace

Speaker LoadSpeakerFile(const std::string& path)
{
    std::string bytes, error;
    if (!ReadWholeFile(path, bytes, error))
        BadData(path + ": cannot be read: " + error);
    if (bytes.size() != SPEAKER_FILE_SIZE)
        BadData(path + ": " + std::to_string(bytes.size()) +
                " bytes, but a speaker file has 164: damaged or not a speaker file");
    for (const std::size_t offset : {OFFSET_MODEL, OFFSET_INFO})
        if (!std::memchr(bytes.data() + offset, '\0', 50))
            BadData(path + ": the " + (offset == OFFSET_MODEL ? "model" : "info") +
                    " text at offset " + std::to_string(offset) +
                    " has no end within its 50 bytes: damaged");
    Speaker record{};
    DecodeSpeaker(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), record);
    for (const NumberField& field : NUMBERS)
        if (!std::isfinite(Member(record, field)))
            BadData(path + ": " + field.name + " at offset " + std::to_string(field.offset) +
                    " is not a finite number: damaged");
    return record;
}

std::string SpeakerBytes(const Speaker& record)
{
    unsigned char bytes[SPEAKER_FILE_SIZE];
    EncodeSpeaker(record, bytes);
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

void RefuseToReplace(const std::string& path, bool replace)
{
    if (!replace && PathExists(path))
        BadData(path + ": exists already (--force replaces it)");
}

void WriteWholeFile(const std::string& path, const std::string& bytes, bool replace)
{
    RefuseToReplace(path, replace);
    std::string error;
    const std::string temporary = WriteTemporaryBeside(path, bytes, error);
    if (temporary.empty() || !MoveIntoPlace(temporary, path, replace, error))
        BadData(path + ": cannot be written: " + error);
}

void SaveSpeakerFile(const std::string& path, const Speaker& record, bool replace)
{
    WriteWholeFile(path, SpeakerBytes(record), replace);
}

void StoreText(char (&field)[50], const std::string& utf8, const std::string& what)
{
    std::string text, bad;
    if (!ToWindows1252(utf8, text, bad))
        BadData(what + ": " + bad);
    if (text.size() > TEXT_LIMIT)
        BadData(what + ": " + std::to_string(text.size()) +
                " characters, but the file holds at most 49");
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.data(), text.size());
}

namespace {

// The driver first, then the sealed volume and Fb in the order given, then an explicit
// sealed Q: the derived Q follows the driver as typed, and a Q given outright wins.
int Stage(const std::string& name)
{
    return name == "sealed.q" ? 2 : name == "sealed.volume" || name == "sealed.fb" ? 1 : 0;
}

void Assign(Speaker& record, const std::string& name, const std::string& value)
{
    if (name == "model" || name == "info") {
        StoreText(name == "model" ? record.model : record.info, value, name);
        return;
    }
    const NumberField* field = FindNumber(name);
    // The program reads the first 9 characters of a field and takes what leads them;
    // spktool takes only values that mean the same to both.
    if (!IsTypedNumber(value))
        BadData(name + ": '" + value + "' is not a number");
    if (value.size() > TYPED_NUMBER_CHARS)
        BadData(name + ": '" + value + "' is longer than the 9 characters a field takes");
    const double number = ReadNumber(value.c_str());
    if (!std::isfinite(number))
        BadData(name + ": '" + value + "' is too large");
    Member(record, *field) = number;
    if (name == "sealed.volume")
        DeriveSealedQFromVolume(record);
    else if (name == "sealed.fb")
        DeriveSealedQFromFb(record);
}

}  // namespace

void ApplyAssignments(Speaker& record, const std::vector<std::string>& assignments)
{
    std::vector<std::pair<std::string, std::string>> parsed;
    for (const std::string& assignment : assignments) {
        const std::size_t equals = assignment.find('=');
        if (equals == std::string::npos)
            BadCommandLine(assignment + ": expected field=value");
        std::string name = Lower(assignment.substr(0, equals));
        if (name != "model" && name != "info" && !FindNumber(name))
            BadCommandLine(name + ": no such field (fields: model, qts, fs, vas, info, "
                                  "sealed.volume, sealed.fb, sealed.q, ported.volume, ported.fb)");
        parsed.emplace_back(std::move(name), assignment.substr(equals + 1));
    }
    for (int stage = 0; stage < 3; ++stage)
        for (const auto& [name, value] : parsed)
            if (Stage(name) == stage)
                Assign(record, name, value);
}
