#include "record/SpeakerFile.h"

#include <bit>
#include <cstdint>
#include <cstring>

const SpeakerField SPEAKER_FIELDS[SPEAKER_FIELD_COUNT] = {
    {"model", OFFSET_MODEL, true, "", 0, [](Speaker& s) { return s.model; }, nullptr},
    {"qts", OFFSET_QTS, false, "", 2, nullptr, [](Speaker& s) { return &s.qts; }},
    {"fs", OFFSET_FS, false, "Hz", 1, nullptr, [](Speaker& s) { return &s.fs; }},
    {"vas", OFFSET_VAS, false, "l", 1, nullptr, [](Speaker& s) { return &s.vas; }},
    {"info", OFFSET_INFO, true, "", 0, [](Speaker& s) { return s.info; }, nullptr},
    {"sealed.volume", OFFSET_SEALED_VOLUME, false, "l", 1, nullptr,
     [](Speaker& s) { return &s.sealed.volume; }},
    {"sealed.fb", OFFSET_SEALED_FB, false, "Hz", 1, nullptr,
     [](Speaker& s) { return &s.sealed.fb; }},
    // The window never shows the sealed Q; three decimals tell Q values apart.
    {"sealed.q", OFFSET_SEALED_Q, false, "", 3, nullptr, [](Speaker& s) { return &s.sealed.q; }},
    {"ported.volume", OFFSET_PORTED_VOLUME, false, "l", 1, nullptr,
     [](Speaker& s) { return &s.ported.volume; }},
    {"ported.fb", OFFSET_PORTED_FB, false, "Hz", 1, nullptr,
     [](Speaker& s) { return &s.ported.fb; }},
};

namespace {

// How many bytes of the field at `offset` (of `size` bytes) a file of `length` reaches.
std::size_t Reached(std::size_t offset, std::size_t size, std::size_t length)
{
    if (length <= offset)
        return 0;
    return length - offset < size ? length - offset : size;
}

constexpr std::size_t TEXT_SIZE = sizeof Speaker::model;

void DecodeText(const unsigned char* bytes, std::size_t length, std::size_t offset, char* text,
                LeadByteTest isLeadByte)
{
    std::memcpy(text, bytes + offset, Reached(offset, TEXT_SIZE, length));
    if (!std::memchr(text, '\0', TEXT_SIZE))
        text[TEXT_SIZE - 1] = '\0';
    EndOnWholeCharacter(text, isLeadByte);
}

// A double cut by the end of the file keeps the bytes the file does not reach.
void DecodeNumber(const unsigned char* bytes, std::size_t length, std::size_t offset,
                  double& value)
{
    std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < Reached(offset, 8, length); ++i) {
        bits &= ~(std::uint64_t{0xFF} << (8 * i));
        bits |= std::uint64_t{bytes[offset + i]} << (8 * i);
    }
    value = std::bit_cast<double>(bits);
}

}  // namespace

// Only a walk from the start can tell a lead byte from the second byte of the
// character before it: both ranges overlap in every double-byte code page.
void EndOnWholeCharacter(char* text, LeadByteTest isLeadByte)
{
    if (!isLeadByte)
        return;
    for (char* c = text; *c; ++c) {
        if (!isLeadByte(static_cast<unsigned char>(*c)))
            continue;
        if (c[1] == '\0') {
            *c = '\0';
            return;
        }
        ++c;
    }
}

void EncodeSpeaker(const Speaker& record, unsigned char (&bytes)[SPEAKER_FILE_SIZE])
{
    for (const SpeakerField& field : SPEAKER_FIELDS) {
        if (field.isText) {
            std::memcpy(bytes + field.offset, FieldText(record, field), TEXT_SIZE);
            continue;
        }
        std::uint64_t bits = std::bit_cast<std::uint64_t>(FieldNumber(record, field));
        for (int i = 0; i < 8; ++i)
            bytes[field.offset + i] = static_cast<unsigned char>(bits >> (8 * i));
    }
}

void DecodeSpeaker(const unsigned char* bytes, std::size_t length, Speaker& record,
                   LeadByteTest isLeadByte)
{
    for (const SpeakerField& field : SPEAKER_FIELDS) {
        if (field.isText)
            DecodeText(bytes, length, field.offset, field.text(record), isLeadByte);
        else
            DecodeNumber(bytes, length, field.offset, *field.number(record));
    }
}
