#include <gtest/gtest.h>

#include <cstring>

#include "WavFile.h"

using namespace qv;

namespace {

std::vector<uint8_t> encode(SampleKind kind, uint16_t channels, uint16_t bits, const std::vector<float>& samples)
{
    std::vector<uint8_t> out;
    encodeWav(makeFormat(kind, channels, 44100, bits), samples.data(), samples.size() / channels, out);
    return out;
}

}  // namespace

TEST(Wav, EveryFormatRoundTripsAtItsResolution)
{
    const std::vector<float> samples = {0.0f, 0.5f, -0.5f, -1.0f, 0.999f, -0.25f};
    const struct {
        SampleKind kind;
        uint16_t bits;
        float step;
    } formats[] = {{SampleKind::Pcm, 16, 1.0f / 32768},
                   {SampleKind::Pcm, 24, 1.0f / 8388608},
                   {SampleKind::Pcm, 32, 1e-7f},
                   {SampleKind::Float, 32, 0.0f}};
    for (const auto& f : formats) {
        for (uint16_t channels : {1, 2}) {
            const std::vector<uint8_t> bytes = encode(f.kind, channels, f.bits, samples);
            WavAudio audio;
            std::string error;
            ASSERT_TRUE(parseWav(bytes.data(), bytes.size(), audio, error)) << error;
            EXPECT_EQ(audio.format.channels, channels);
            EXPECT_EQ(audio.format.bitsPerSample, f.bits);
            EXPECT_EQ(audio.frames, samples.size() / channels);
            for (size_t i = 0; i < samples.size(); ++i)
                EXPECT_NEAR(audio.samples[i], samples[i], f.step) << f.bits << " bits, sample " << i;
        }
    }
}

TEST(Wav, PcmIsRoundedAndLimitedAtFullScale)
{
    WavFormat f = makeFormat(SampleKind::Pcm, 1, 8000, 16);
    const std::vector<float> in = {1.0f, 1.5f, -1.5f, 0.4999f / 32768, -0.6f / 32768, 32767.5f / 32768};
    std::vector<uint8_t> bytes;
    EXPECT_EQ(encodeWav(f, in.data(), in.size(), bytes), 4u);  // 1.0, +-1.5 and the rounded-up last one
    WavAudio a;
    std::string error;
    ASSERT_TRUE(parseWav(bytes.data(), bytes.size(), a, error));
    EXPECT_EQ(a.samples[0], 32767.0f / 32768);
    EXPECT_EQ(a.samples[1], 32767.0f / 32768);
    EXPECT_EQ(a.samples[2], -1.0f);
    EXPECT_EQ(a.samples[3], 0.0f);
    EXPECT_EQ(a.samples[4], -1.0f / 32768);
    EXPECT_EQ(a.samples[5], 32767.0f / 32768);  // 32768 after rounding, limited
}

TEST(Wav, ExtensibleAndExtraChunksAreUnderstood)
{
    // An extensible float header as many sources write it, with a LIST chunk of odd size first.
    std::vector<uint8_t> file = {'R', 'I', 'F',  'F',  0,    0,   0,    0,    'W',  'A',  'V',  'E',  'L',  'I', 'S',
                                 'T', 3,   0,    0,    0,    'a', 'b',  'c',  0,    'f',  'm',  't',  ' ',  40,  0,
                                 0,   0,   0xFE, 0xFF, 2,    0,   0x44, 0xAC, 0,    0,    0x20, 0x62, 0x05, 0,   8,
                                 0,   32,  0,    22,   0,    32,  0,    3,    0,    0,    0,    3,    0,    0,   0,
                                 0,   0,   0x10, 0,    0x80, 0,   0,    0xAA, 0,    0x38, 0x9B, 0x71, 'd',  'a', 't',
                                 'a', 8,   0,    0,    0,    0,   0,    0x80, 0x3F, 0,    0,    0,    0xBF};
    WavAudio a;
    std::string error;
    ASSERT_TRUE(parseWav(file.data(), file.size(), a, error)) << error;
    EXPECT_EQ(a.format.kind, SampleKind::Float);
    EXPECT_EQ(a.frames, 1u);
    EXPECT_EQ(a.samples[0], 1.0f);
    EXPECT_EQ(a.samples[1], -0.5f);
    EXPECT_EQ(a.format.fmtChunk.size(), 40u);  // written back as it came
}

TEST(Wav, BadFilesAreRefusedWithAReason)
{
    const std::vector<uint8_t> good = encode(SampleKind::Pcm, 2, 16, std::vector<float>(100, 0.1f));
    auto refuse = [](std::vector<uint8_t> bytes, const char* expected) {
        WavAudio a;
        std::string error;
        EXPECT_FALSE(parseWav(bytes.data(), bytes.size(), a, error)) << expected;
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    };
    refuse({}, "not a WAV");
    refuse(std::vector<uint8_t>(good.begin(), good.begin() + 30), "truncated");
    refuse(std::vector<uint8_t>(good.begin(), good.end() - 10), "truncated");
    std::vector<uint8_t> bad = good;
    bad[20] = 2;  // ADPCM
    refuse(bad, "unsupported sample format");
    bad = good;
    bad[22] = 3;  // three channels
    refuse(bad, "mono and stereo");
    bad = good;
    bad[34] = 8;  // 8-bit
    refuse(bad, "unsupported sample size");
    bad = good;
    bad[32] = 3;  // block alignment
    refuse(bad, "block alignment");
    bad = good;
    std::memcpy(&bad[36], "junk", 4);  // no data chunk
    refuse(bad, "no data chunk");
}
