#include "record/SpeakerFile.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace {

// Calls visit(offset, member) for each number of the record, in file order.
// Works for a const record (encoding) and a mutable one (decoding).
template <class Record, class Visit>
void ForEachNumber(Record& s, Visit visit)
{
    visit(OFFSET_QTS, s.qts);
    visit(OFFSET_FS, s.fs);
    visit(OFFSET_VAS, s.vas);
    visit(OFFSET_SEALED_VOLUME, s.sealed.volume);
    visit(OFFSET_SEALED_FB, s.sealed.fb);
    visit(OFFSET_SEALED_Q, s.sealed.q);
    visit(OFFSET_PORTED_VOLUME, s.ported.volume);
    visit(OFFSET_PORTED_FB, s.ported.fb);
}

// How many bytes of the field at `offset` (of `size` bytes) a file of `length` reaches.
std::size_t Reached(std::size_t offset, std::size_t size, std::size_t length)
{
    if (length <= offset)
        return 0;
    return length - offset < size ? length - offset : size;
}

void DecodeText(const unsigned char* bytes, std::size_t length, std::size_t offset,
                char (&text)[50], LeadByteTest isLeadByte)
{
    std::memcpy(text, bytes + offset, Reached(offset, sizeof text, length));
    if (!std::memchr(text, '\0', sizeof text))
        text[sizeof text - 1] = '\0';
    EndOnWholeCharacter(text, isLeadByte);
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
    std::memcpy(bytes + OFFSET_MODEL, record.model, sizeof record.model);
    std::memcpy(bytes + OFFSET_INFO, record.info, sizeof record.info);
    ForEachNumber(record, [&](std::size_t offset, double value) {
        std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
        for (int i = 0; i < 8; ++i)
            bytes[offset + i] = static_cast<unsigned char>(bits >> (8 * i));
    });
}

void DecodeSpeaker(const unsigned char* bytes, std::size_t length, Speaker& record,
                   LeadByteTest isLeadByte)
{
    DecodeText(bytes, length, OFFSET_MODEL, record.model, isLeadByte);
    DecodeText(bytes, length, OFFSET_INFO, record.info, isLeadByte);
    ForEachNumber(record, [&](std::size_t offset, double& value) {
        // A double cut by the end of the file keeps the bytes the file does not reach.
        std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
        for (std::size_t i = 0; i < Reached(offset, 8, length); ++i) {
            bits &= ~(std::uint64_t{0xFF} << (8 * i));
            bits |= std::uint64_t{bytes[offset + i]} << (8 * i);
        }
        value = std::bit_cast<double>(bits);
    });
}
