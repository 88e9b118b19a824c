// The 164-byte speaker file: ten fields, no header, little-endian doubles.
// Encoding and decoding are pure so that they behave the same on every host.
#pragma once
#include <cstddef>
#include <string_view>

#include "record/Speaker.h"

constexpr std::size_t SPEAKER_FILE_SIZE = 164;

// Field offsets. The file order is not the order of Speaker: fs before vas, and
// the sealed design before the ported one.
constexpr std::size_t OFFSET_MODEL = 0;
constexpr std::size_t OFFSET_QTS = 50;
constexpr std::size_t OFFSET_FS = 58;
constexpr std::size_t OFFSET_VAS = 66;
constexpr std::size_t OFFSET_INFO = 74;
constexpr std::size_t OFFSET_SEALED_VOLUME = 124;
constexpr std::size_t OFFSET_SEALED_FB = 132;
constexpr std::size_t OFFSET_SEALED_Q = 140;
constexpr std::size_t OFFSET_PORTED_VOLUME = 148;
constexpr std::size_t OFFSET_PORTED_FB = 156;

// The record's fields in file order: the one list that the file codec and everything
// that names, shows or sets a field walk.
struct SpeakerField {
    const char* name;    // as spktool and its tables name it: "qts", "sealed.volume"
    std::size_t offset;  // in the file
    bool isText;         // 49 bytes and a NUL; otherwise a little-endian double
    const char* unit;    // of a number, as shown: "", "Hz" or "l"
    int decimals;        // of a number, as shown
    char* (*text)(Speaker& record);
    double* (*number)(Speaker& record);
};

constexpr int SPEAKER_FIELD_COUNT = 10;
extern const SpeakerField SPEAKER_FIELDS[SPEAKER_FIELD_COUNT];

// The field of that name, or null. Inline: only spktool looks fields up by name.
inline const SpeakerField* FindSpeakerField(std::string_view name)
{
    for (const SpeakerField& field : SPEAKER_FIELDS)
        if (name == field.name)
            return &field;
    return nullptr;
}

inline double FieldNumber(const Speaker& record, const SpeakerField& field)
{
    return *field.number(const_cast<Speaker&>(record));
}
inline const char* FieldText(const Speaker& record, const SpeakerField& field)
{
    return field.text(const_cast<Speaker&>(record));
}

// Whether a byte opens a double-byte character in the system's code page (932, 936,
// 949 and 950 have them). Null: every character is one byte.
using LeadByteTest = bool (*)(unsigned char byte);

// Cuts the NUL-terminated `text` before a last lead byte whose second byte would be
// the NUL. Windows converts such a text taking the NUL for the second byte and reads
// on past the end. Lead bytes followed by a second byte are whole characters.
void EndOnWholeCharacter(char* text, LeadByteTest isLeadByte);

void EncodeSpeaker(const Speaker& record, unsigned char (&bytes)[SPEAKER_FILE_SIZE]);

// Reads the first `length` bytes of a file into `record`. A short file overwrites
// only the bytes it reaches (a cut double keeps its remaining bytes); bytes after
// the first 164 are ignored. The texts come out NUL-terminated whatever the file holds,
// and with `isLeadByte` never end inside a double-byte character.
void DecodeSpeaker(const unsigned char* bytes, std::size_t length, Speaker& record,
                   LeadByteTest isLeadByte = nullptr);
