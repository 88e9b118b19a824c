// Feeds the speaker-file decoder files of every length, and record contents of every
// kind, and checks what must hold for any of them. A broken rule traps, so that
// libFuzzer keeps the input.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "record/SpeakerFile.h"

namespace {

constexpr std::size_t TEXT_SIZE = sizeof(Speaker::model);

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

// The record's bytes before the decode come from the input read backwards, so the
// fuzzer steers them too: old texts with and without a NUL, old doubles of any bits.
Speaker Prefilled(const std::uint8_t* data, std::size_t size)
{
    unsigned char bytes[sizeof(Speaker)];
    for (std::size_t i = 0; i < sizeof bytes; ++i)
        bytes[i] = size ? data[size - 1 - i % size] : 0xAB;
    Speaker record;
    std::memcpy(&record, bytes, sizeof record);
    return record;
}

// One field as the decoder must see it: the bytes the file reaches, then the bytes
// the record held before.
struct Source {
    unsigned char bytes[TEXT_SIZE];
};

Source SourceOf(const std::uint8_t* data, std::size_t size, std::size_t offset,
                const void* before, std::size_t fieldSize)
{
    Source source;
    std::memcpy(source.bytes, before, fieldSize);
    for (std::size_t i = 0; i < fieldSize && offset + i < size; ++i)
        source.bytes[i] = data[offset + i];
    return source;
}

// A reader takes a text up to its first NUL. If the source holds one, the text is
// the source's; if not, the decoder may cut it where it likes within the field.
void CheckText(const void* text, const unsigned char* source)
{
    const char* nul = static_cast<const char*>(std::memchr(text, '\0', TEXT_SIZE));
    Check(nul != nullptr);
    std::size_t length = nul - static_cast<const char*>(text);
    Check(std::memcmp(text, source, length) == 0);
    const unsigned char* sourceNul =
        static_cast<const unsigned char*>(std::memchr(source, '\0', TEXT_SIZE));
    Check(!sourceNul || static_cast<std::size_t>(sourceNul - source) == length);
}

// A double is a bit pattern here: each byte comes from the file where it reaches,
// from the old record where it does not, in little-endian order whatever the host.
void CheckNumber(double value, const Source& source)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i)
        Check(static_cast<unsigned char>(bits >> (8 * i)) == source.bytes[i]);
}

template <class Member>
void CheckField(const std::uint8_t* data, std::size_t size, std::size_t offset,
                const Member& before, const Member& after)
{
    Source source = SourceOf(data, size, offset, &before, sizeof before);
    if constexpr (std::is_array_v<Member>)
        CheckText(after, source.bytes);
    else
        CheckNumber(after, source);
}

void CheckRecord(const std::uint8_t* data, std::size_t size, const Speaker& before,
                 const Speaker& after)
{
    CheckField(data, size, OFFSET_MODEL, before.model, after.model);
    CheckField(data, size, OFFSET_QTS, before.qts, after.qts);
    CheckField(data, size, OFFSET_FS, before.fs, after.fs);
    CheckField(data, size, OFFSET_VAS, before.vas, after.vas);
    CheckField(data, size, OFFSET_INFO, before.info, after.info);
    CheckField(data, size, OFFSET_SEALED_VOLUME, before.sealed.volume, after.sealed.volume);
    CheckField(data, size, OFFSET_SEALED_FB, before.sealed.fb, after.sealed.fb);
    CheckField(data, size, OFFSET_SEALED_Q, before.sealed.q, after.sealed.q);
    CheckField(data, size, OFFSET_PORTED_VOLUME, before.ported.volume, after.ported.volume);
    CheckField(data, size, OFFSET_PORTED_FB, before.ported.fb, after.ported.fb);
}

// Saving what a whole file gave gives the file back: every number byte for byte,
// every text as a reader takes it. After a text's NUL the bytes carry no meaning.
void CheckReencoding(const std::uint8_t* data, const unsigned char (&bytes)[SPEAKER_FILE_SIZE])
{
    CheckText(bytes + OFFSET_MODEL, data + OFFSET_MODEL);
    CheckText(bytes + OFFSET_INFO, data + OFFSET_INFO);
    Check(std::memcmp(bytes + OFFSET_QTS, data + OFFSET_QTS, OFFSET_INFO - OFFSET_QTS) == 0);
    Check(std::memcmp(bytes + OFFSET_SEALED_VOLUME, data + OFFSET_SEALED_VOLUME,
                      SPEAKER_FILE_SIZE - OFFSET_SEALED_VOLUME) == 0);
}

// Code page 932's lead bytes, the most common double-byte code page.
bool IsLeadByte932(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// In a double-byte code page a text is the single-byte reading but for a last lead
// byte without its second byte, and never ends inside a character.
void CheckWholeCharacters(const char* single, const char* dbcs)
{
    std::size_t kept = std::strlen(dbcs), length = std::strlen(single);
    Check(std::memcmp(single, dbcs, kept) == 0);
    Check(kept == length ||
          (kept + 1 == length && IsLeadByte932(static_cast<unsigned char>(single[kept]))));
    for (const char* c = dbcs; *c; ++c)
        if (IsLeadByte932(static_cast<unsigned char>(*c)))
            Check(*++c != '\0');
}

void CheckDoubleByteDecode(const std::uint8_t* data, std::size_t size, const Speaker& before,
                           const Speaker& decoded)
{
    Speaker dbcs = before;
    DecodeSpeaker(data, size, dbcs, IsLeadByte932);
    CheckWholeCharacters(decoded.model, dbcs.model);
    CheckWholeCharacters(decoded.info, dbcs.info);
    unsigned char expected[SPEAKER_FILE_SIZE], bytes[SPEAKER_FILE_SIZE];
    EncodeSpeaker(decoded, expected);
    EncodeSpeaker(dbcs, bytes);
    Check(std::memcmp(bytes + OFFSET_QTS, expected + OFFSET_QTS, OFFSET_INFO - OFFSET_QTS) == 0);
    Check(std::memcmp(bytes + OFFSET_SEALED_VOLUME, expected + OFFSET_SEALED_VOLUME,
                      SPEAKER_FILE_SIZE - OFFSET_SEALED_VOLUME) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Speaker before = Prefilled(data, size);
    Speaker decoded = before;
    DecodeSpeaker(data, size, decoded);
    CheckRecord(data, size, before, decoded);
    CheckDoubleByteDecode(data, size, before, decoded);

    if (size >= SPEAKER_FILE_SIZE) {
        unsigned char bytes[SPEAKER_FILE_SIZE];
        EncodeSpeaker(decoded, bytes);
        CheckReencoding(data, bytes);
        // Bytes past the first 164 must make no difference at all, not even after a NUL.
        Speaker cut = before;
        DecodeSpeaker(data, SPEAKER_FILE_SIZE, cut);
        unsigned char cutBytes[SPEAKER_FILE_SIZE];
        EncodeSpeaker(cut, cutBytes);
        Check(std::memcmp(cutBytes, bytes, sizeof bytes) == 0);
    }
    return 0;
}
