#include <cstring>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "record/SpeakerFile.h"

namespace {

Speaker Sample()
{
    Speaker s = {};
    std::strcpy(s.model, "Peerless 830869");
    std::strcpy(s.info, "8 inch woofer, paper cone");
    s.qts = 0.33;
    s.vas = 51.7;
    s.fs = 28.4;
    s.ported = {73.72, 32.41};
    s.sealed = {24.5, 60.6, 0.7071067811865476};
    return s;
}

// Catches fields swapped, shifted or lost on the way through the file, sealed.q included.
TEST(SpeakerFileTest, RoundTripIsBitForBit)
{
    Speaker original = Sample();
    original.sealed.q = std::numeric_limits<double>::denorm_min();
    original.ported.fb = -0.0;
    unsigned char bytes[SPEAKER_FILE_SIZE];
    EncodeSpeaker(original, bytes);
    Speaker decoded;
    std::memset(&decoded, 0xAB, sizeof decoded);
    DecodeSpeaker(bytes, sizeof bytes, decoded);
    EXPECT_EQ(std::memcmp(decoded.model, original.model, sizeof decoded.model), 0);
    EXPECT_EQ(std::memcmp(decoded.info, original.info, sizeof decoded.info), 0);
    for (auto member : {&Speaker::qts, &Speaker::vas, &Speaker::fs})
        EXPECT_EQ(std::memcmp(&(decoded.*member), &(original.*member), 8), 0);
    EXPECT_EQ(std::memcmp(&decoded.sealed, &original.sealed, sizeof decoded.sealed), 0);
    EXPECT_EQ(std::memcmp(&decoded.ported, &original.ported, sizeof decoded.ported), 0);
}

// Catches the host's struct order leaking into the file: fs before vas, little-endian.
TEST(SpeakerFileTest, OffsetsAndBytesOfAKnownDriver)
{
    Speaker s = {};
    s.qts = 0.5;
    s.fs = 40;
    s.vas = 30;
    s.sealed.volume = 1;
    s.ported.volume = 2;
    unsigned char bytes[SPEAKER_FILE_SIZE];
    EncodeSpeaker(s, bytes);
    const std::vector<unsigned char> at50(bytes + 50, bytes + 58), at58(bytes + 58, bytes + 66),
        at66(bytes + 66, bytes + 74), at124(bytes + 124, bytes + 132),
        at148(bytes + 148, bytes + 156);
    EXPECT_EQ(at50, (std::vector<unsigned char>{0, 0, 0, 0, 0, 0, 0xE0, 0x3F}));
    EXPECT_EQ(at58, (std::vector<unsigned char>{0, 0, 0, 0, 0, 0, 0x44, 0x40}));
    EXPECT_EQ(at66, (std::vector<unsigned char>{0, 0, 0, 0, 0, 0, 0x3E, 0x40}));
    EXPECT_EQ(at124, (std::vector<unsigned char>{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    EXPECT_EQ(at148, (std::vector<unsigned char>{0, 0, 0, 0, 0, 0, 0x00, 0x40}));
}

struct ShortFile {
    std::size_t length;
    bool modelFromFile, qtsFromFile, infoFromFile, portedFbFromFile;
};

class ShortFileTest : public testing::TestWithParam<ShortFile> {};

// Catches a short file that clears or invents the bytes it does not reach.
TEST_P(ShortFileTest, FillsOnlyWhatItReaches)
{
    Speaker fromFile = Sample();
    unsigned char bytes[SPEAKER_FILE_SIZE];
    EncodeSpeaker(fromFile, bytes);
    Speaker record = {};
    std::strcpy(record.model, "old");
    record.qts = 9;
    std::strcpy(record.info, "old info");
    record.ported.fb = 99;
    DecodeSpeaker(bytes, GetParam().length, record);
    EXPECT_EQ(std::strcmp(record.model, GetParam().modelFromFile ? fromFile.model : "old"), 0);
    EXPECT_EQ(record.qts, GetParam().qtsFromFile ? fromFile.qts : 9);
    EXPECT_EQ(std::strcmp(record.info, GetParam().infoFromFile ? fromFile.info : "old info"), 0);
    EXPECT_EQ(record.ported.fb, GetParam().portedFbFromFile ? fromFile.ported.fb : 99);
}

INSTANTIATE_TEST_SUITE_P(Lengths, ShortFileTest,
                         testing::Values(ShortFile{0, false, false, false, false},
                                         ShortFile{50, true, false, false, false},
                                         ShortFile{58, true, true, false, false},
                                         ShortFile{124, true, true, true, false},
                                         ShortFile{164, true, true, true, true}));

// Catches a double cut by the end of the file being zeroed instead of kept.
TEST(SpeakerFileTest, CutDoubleKeepsTheBytesNotReached)
{
    Speaker fromFile = {};
    fromFile.qts = 0.5;  // 00 00 00 00 00 00 E0 3F
    unsigned char bytes[SPEAKER_FILE_SIZE];
    EncodeSpeaker(fromFile, bytes);
    Speaker record = {};
    record.qts = -2;  // 00 00 00 00 00 00 00 C0
    DecodeSpeaker(bytes, 50 + 7, record);
    EXPECT_EQ(record.qts, -32768.0);  // C0 E0 00..: the top byte stays the record's
}

// Catches an unterminated text field being read past its 50 bytes.
TEST(SpeakerFileTest, TextWithoutNulKeepsFirst49Characters)
{
    unsigned char bytes[SPEAKER_FILE_SIZE];
    std::memset(bytes, 'A', sizeof bytes);
    Speaker record = {};
    DecodeSpeaker(bytes, sizeof bytes, record);
    EXPECT_EQ(std::strlen(record.model), 49u);
    EXPECT_EQ(std::strlen(record.info), 49u);
    // A file cut inside the field leaves old bytes after it: still terminated.
    std::memset(&record, 'B', sizeof record);
    DecodeSpeaker(bytes, 20, record);
    EXPECT_EQ(std::strlen(record.model), 49u);
    EXPECT_EQ(std::string(record.model, 21), std::string(20, 'A') + "B");
}

// Catches bytes after the first 164 reaching the record.
TEST(SpeakerFileTest, IgnoresBytesAfter164)
{
    std::vector<unsigned char> bytes(400, 0x7F);
    unsigned char record164[SPEAKER_FILE_SIZE];
    EncodeSpeaker(Sample(), record164);
    std::memcpy(bytes.data(), record164, sizeof record164);
    Speaker record = {};
    DecodeSpeaker(bytes.data(), bytes.size(), record);
    EXPECT_EQ(record.ported.fb, Sample().ported.fb);
}

// Code page 932's lead bytes; its second bytes (0x40-0xFC) overlap them.
bool IsLeadByte932(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

struct Ending {
    const char* text;
    const char* kept;
};

class EndingTest : public testing::TestWithParam<Ending> {};

// Catches a cut that looks only at the last byte (a second byte in the lead range is
// whole) or that keeps a lead byte whose second byte is the NUL.
TEST_P(EndingTest, KeepsWholeCharactersOnly)
{
    char text[8];
    std::strcpy(text, GetParam().text);
    EndOnWholeCharacter(text, IsLeadByte932);
    EXPECT_STREQ(text, GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(CodePage932, EndingTest,
                         testing::Values(Ending{"ab", "ab"}, Ending{"a\x83", "a"},
                                         Ending{"\x83\x5C", "\x83\x5C"},
                                         Ending{"\x83\x83", "\x83\x83"},
                                         Ending{"\x83\x83\x83", "\x83\x83"}, Ending{"", ""}));

}  // namespace
