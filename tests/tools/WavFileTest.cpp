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
    // The LIST chunk goes to the output whole, with its pad byte, and reads back the same.
    const std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    EXPECT_EQ(a.carriedChunks, list);
    std::vector<uint8_t> out;
    encodeWav(a.format, a.samples.data(), a.frames, out, a.carriedChunks);
    WavAudio b;
    ASSERT_TRUE(parseWav(out.data(), out.size(), b, error)) << error;
    EXPECT_EQ(b.carriedChunks, list);
    EXPECT_EQ(b.samples, a.samples);
    EXPECT_TRUE(b.warnings.empty());
}

TEST(Wav, UnknownAndOverlongSizesAreReadToTheRealEndWithAWarning)
{
    const std::vector<uint8_t> good = encode(SampleKind::Pcm, 2, 16, std::vector<float>(200, 0.25f));
    auto read = [](const std::vector<uint8_t>& bytes, size_t frames, const char* warning) {
        WavAudio a;
        std::string error;
        ASSERT_TRUE(parseWav(bytes.data(), bytes.size(), a, error)) << error;
        EXPECT_EQ(a.frames, frames) << warning;
        bool said = false;
        for (const std::string& w : a.warnings)
            said = said || w.find(warning) != std::string::npos;
        EXPECT_TRUE(said) << warning;
        for (float v : a.samples)
            ASSERT_EQ(v, 0.25f);
    };
    std::vector<uint8_t> streaming = good;  // as a recorder leaves it before it knows the length
    for (size_t i : {4u, 5u, 6u, 7u, 40u, 41u, 42u, 43u})
        streaming[i] = 0xFF;
    read(streaming, 100, "unknown length");
    read(std::vector<uint8_t>(good.begin(), good.end() - 1), 99, "only 399 bytes");
    read(std::vector<uint8_t>(good.begin(), good.begin() + 44 + 50), 12, "partial frame");

    // A LIST chunk that claims more than the file holds is left out; the audio before it stays.
    std::vector<uint8_t> cut = good;
    cut.insert(cut.end(), {'L', 'I', 'S', 'T', 0, 1, 0, 0, 'x'});
    WavAudio a;
    std::string error;
    ASSERT_TRUE(parseWav(cut.data(), cut.size(), a, error)) << error;
    EXPECT_EQ(a.frames, 100u);
    EXPECT_TRUE(a.carriedChunks.empty());
    ASSERT_EQ(a.warnings.size(), 1u);
    EXPECT_NE(a.warnings[0].find("LIST"), std::string::npos);
}

// A file as large as a sparse recording of several hours: every offset and count takes 64 bits, also
// in a 32-bit build.
class HugeSource : public ByteSource {
public:
    explicit HugeSource(uint64_t size) : size_(size) { header_ = encodeHeader(); }
    uint64_t size() const override { return size_; }
    bool readAt(uint64_t offset, void* buffer, size_t n) override
    {
        if (offset > size_ || n > size_ - offset)
            return false;
        auto* p = static_cast<uint8_t*>(buffer);
        for (size_t i = 0; i < n; ++i)
            p[i] = offset + i < header_.size() ? header_[offset + i] : 0;
        return true;
    }

private:
    static std::vector<uint8_t> encodeHeader()
    {
        return wavHeader(makeFormat(SampleKind::Pcm, 2, 48000, 24), {}, 0xFFFFFFFFull * 2);
    }
    uint64_t size_;
    std::vector<uint8_t> header_;
};

TEST(Wav, AudioBeyondFourGigabytesKeepsEveryFrame)
{
    const uint64_t size = 44 + 6ull * 1000 * 1000 * 1000;
    HugeSource source(size);
    WavLayout layout;
    std::string error;
    ASSERT_TRUE(scanWav(source, layout, error)) << error;
    EXPECT_EQ(layout.dataOffset, 44u);
    EXPECT_EQ(layout.frames, (size - 44) / 6);
    // Written back, the sizes that cannot hold it say "unknown length".
    const std::vector<uint8_t> header = wavHeader(layout.format, {}, layout.frames * 6);
    ASSERT_EQ(header.size(), 44u);
    EXPECT_EQ(std::vector<uint8_t>(header.begin() + 4, header.begin() + 8), std::vector<uint8_t>(4, 0xFF));
    EXPECT_EQ(std::vector<uint8_t>(header.begin() + 40, header.end()), std::vector<uint8_t>(4, 0xFF));
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
