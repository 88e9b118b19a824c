// The 164-byte speaker file: ten fields, no header, little-endian doubles.
// Encoding and decoding are pure so that they behave the same on every host.
#pragma once
#include <cstddef>
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
