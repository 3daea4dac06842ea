#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "AudioFormat.h"
#include "NotifyTable.h"
#include "SampleConvert.h"
#include "SettingsBlock.h"

using namespace qv;

namespace {

struct Block {
    uint8_t b[40] = {};
    size_t size = 16;
    Block(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint16_t blockAlign = 0)
    {
        put16(0, tag);
        put16(2, channels);
        put32(4, rate);
        put32(8, 12345);  // nonsense byte rate: must be recomputed
        put16(12, blockAlign);
        put16(14, bits);
    }
    void put16(size_t at, uint16_t v)
    {
        b[at] = v & 0xFF;
        b[at + 1] = v >> 8;
    }
    void put32(size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    // WAVE_FORMAT_EXTENSIBLE with the given sub-format tag (1 PCM, 3 float, else other).
    void extensible(uint16_t subTag, uint16_t validBits)
    {
        put16(0, 0xFFFE);
        put16(16, 22);
        put16(18, validBits);
        const uint8_t tail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        put32(24, subTag);
        std::memcpy(b + 28, tail, sizeof tail);
        size = 40;
    }
};

}  // namespace

TEST(AudioFormat, AcceptsSixteenBitAndFloatInOneOrTwoChannels)
{
    StreamFormat f;
    Block mono16(1, 1, 44100, 16, 7);  // wrong block alignment, no cbSize: accepted and repaired
    ASSERT_TRUE(acceptAudioFormat(mono16.b, 16, SubFormat::Unknown, f));
    EXPECT_EQ(f.tag, 1);
    EXPECT_EQ(f.blockAlign, 2);
    EXPECT_EQ(f.avgBytesPerSec, 88200u);
    EXPECT_EQ(f.cbSize, 0);

    Block stereoFloat(3, 2, 48000, 32);
    ASSERT_TRUE(acceptAudioFormat(stereoFloat.b, 18, SubFormat::Unknown, f));
    EXPECT_EQ(f.tag, 3);
    EXPECT_EQ(f.blockAlign, 8);
    EXPECT_EQ(f.avgBytesPerSec, 384000u);
}

TEST(AudioFormat, RefusesOtherDepthsChannelsAndShortBlocks)
{
    StreamFormat f;
    EXPECT_FALSE(acceptAudioFormat(Block(1, 2, 44100, 8).b, 16, SubFormat::Unknown, f));
    EXPECT_FALSE(acceptAudioFormat(Block(1, 2, 44100, 24).b, 16, SubFormat::Unknown, f));
    EXPECT_FALSE(acceptAudioFormat(Block(3, 2, 44100, 64).b, 16, SubFormat::Unknown, f));
    EXPECT_FALSE(acceptAudioFormat(Block(3, 1, 44100, 16).b, 16, SubFormat::Unknown, f));
    EXPECT_FALSE(acceptAudioFormat(Block(1, 3, 44100, 16).b, 16, SubFormat::Unknown, f));
    EXPECT_FALSE(acceptAudioFormat(Block(1, 0, 44100, 16).b, 16, SubFormat::Unknown, f));
    EXPECT_FALSE(acceptAudioFormat(Block(1, 2, 44100, 16).b, 15, SubFormat::Unknown, f));
    EXPECT_FALSE(acceptAudioFormat(nullptr, 16, SubFormat::Unknown, f));
}

TEST(AudioFormat, ExtensibleTakesItsSubFormat)
{
    StreamFormat f;
    Block pcm(0, 2, 44100, 16);
    pcm.extensible(1, 16);
    ASSERT_TRUE(acceptAudioFormat(pcm.b, pcm.size, SubFormat::Unknown, f));
    EXPECT_EQ(f.tag, 1);

    Block flt(0, 1, 44100, 32);
    flt.extensible(3, 32);
    ASSERT_TRUE(acceptAudioFormat(flt.b, flt.size, SubFormat::Unknown, f));
    EXPECT_EQ(f.tag, 3);

    Block packed24(0, 2, 44100, 32);  // 24 valid bits in a 32-bit PCM container
    packed24.extensible(1, 24);
    EXPECT_FALSE(acceptAudioFormat(packed24.b, packed24.size, SubFormat::Pcm, f));

    Block floatAs16(0, 2, 44100, 16);
    floatAs16.extensible(3, 16);
    EXPECT_FALSE(acceptAudioFormat(floatAs16.b, floatAs16.size, SubFormat::Unknown, f));

    Block other(0, 2, 44100, 16);
    other.extensible(0x55, 16);
    EXPECT_FALSE(acceptAudioFormat(other.b, other.size, SubFormat::Pcm, f));  // block wins over the subtype

    // A block cut off before its sub-format: the media subtype decides.
    Block cut(0, 2, 44100, 32);
    cut.extensible(3, 32);
    EXPECT_TRUE(acceptAudioFormat(cut.b, 18, SubFormat::Float, f));
    EXPECT_EQ(f.tag, 3);
    EXPECT_FALSE(acceptAudioFormat(cut.b, 18, SubFormat::Unknown, f));
}

TEST(SampleConvert, RoundsTowardZeroAndClamps)
{
    const uint8_t in[4] = {0x00, 0x80, 0xFF, 0x7F};  // -32768, 32767
    float f[2];
    pcm16ToFloat(in, f, 2);
    EXPECT_EQ(f[0], -1.0f);
    EXPECT_EQ(f[1], 32767.0f / 32768.0f);

    EXPECT_EQ(floatToPcm16Sample(-1.0f), -32768);
    EXPECT_EQ(floatToPcm16Sample(1.0f), 32767);
    EXPECT_EQ(floatToPcm16Sample(7.5f), 32767);
    EXPECT_EQ(floatToPcm16Sample(-1.00001f), -32768);
    EXPECT_EQ(floatToPcm16Sample(0.99999f), 32767);
    EXPECT_EQ(floatToPcm16Sample(-0.5f / 32768.0f), 0);
    EXPECT_EQ(floatToPcm16Sample(1.9f / 32768.0f), 1);
    EXPECT_EQ(floatToPcm16Sample(-1.9f / 32768.0f), -1);
    EXPECT_EQ(floatToPcm16Sample(std::numeric_limits<float>::quiet_NaN()), 0);

    // Every 16-bit value survives the trip unchanged, at any byte offset.
    uint8_t buffer[2 * 65536 + 1];
    for (int v = 0; v < 65536; ++v) {
        buffer[1 + 2 * v] = static_cast<uint8_t>(v & 0xFF);
        buffer[2 + 2 * v] = static_cast<uint8_t>(v >> 8);
    }
    std::vector<float> floats(65536);
    pcm16ToFloat(buffer + 1, floats.data(), 65536);
    uint8_t back[2 * 65536 + 1] = {};
    floatToPcm16(floats.data(), back + 1, 65536);
    EXPECT_EQ(std::memcmp(buffer + 1, back + 1, 2 * 65536), 0);
}

TEST(SettingsBlock, RoundTripsAndChecksItsHeader)
{
    ParameterRecord r;
    for (int i = 0; i < kParamCount; ++i)
        r.values[i] = (i - 17) * 1000003;
    uint8_t block[kSettingsBlockSize];
    encodeSettingsHeader(block);
    encodeSettingsRecord(r, block + kSettingsHeaderSize);
    const uint8_t expectHeader[20] = {160,  0,    0,    0,    0x1F, 0x5E, 0x3D, 0x7A, 0x2C, 0x4B,
                                      0xF8, 0x41, 0x9E, 0x61, 0x2C, 0x7B, 0x8D, 0x04, 0xA9, 0xF3};
    EXPECT_EQ(std::memcmp(block, expectHeader, 20), 0);
    EXPECT_TRUE(isSettingsHeader(block));
    const ParameterRecord back = decodeSettingsRecord(block + kSettingsHeaderSize);
    EXPECT_EQ(std::memcmp(&back, &r, sizeof r), 0);

    block[0] = 161;
    EXPECT_FALSE(isSettingsHeader(block));
    block[0] = 160;
    block[19] ^= 1;
    EXPECT_FALSE(isSettingsHeader(block));
}

TEST(NotifyTable, HoldsTwoWindowsAndRemovesWithIdZero)
{
    NotifyTable t;
    int a, b, c;
    EXPECT_TRUE(t.registerWindow(&a, 32700));
    EXPECT_TRUE(t.registerWindow(&b, 5));
    EXPECT_FALSE(t.registerWindow(&c, 7));  // full
    EXPECT_TRUE(t.registerWindow(&c, 0));   // removing an unknown window is no failure
    EXPECT_TRUE(t.registerWindow(&a, 9));   // known: only its id changes
    int seenA = 0;
    for (int i = 0; i < NotifyTable::kSize; ++i)
        if (t.entry(i).window == &a) {
            ++seenA;
            EXPECT_EQ(t.entry(i).id, 9);
        }
    EXPECT_EQ(seenA, 1);
    EXPECT_TRUE(t.registerWindow(&a, 0));
    EXPECT_TRUE(t.registerWindow(&c, 7));  // the freed entry is used again
}
