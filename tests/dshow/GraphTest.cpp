// Real graphs under Wine: File Source, WAVE Parser, our filter, Sample Grabber, Null Renderer.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "EqualizerEngine.h"
#include "GraphRun.h"
#include "PluginContract.h"
#include "SampleConvert.h"

using namespace qv;

namespace {

constexpr double kPi = 3.14159265358979323846;

const wchar_t* dllPath() { return L"" QV_FILTER_FILE_NAME; }

std::wstring tempFile(const wchar_t* name)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

void put16(std::vector<uint8_t>& v, uint16_t x)
{
    v.push_back(x & 0xFF);
    v.push_back(x >> 8);
}
void put32(std::vector<uint8_t>& v, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

void writeWav(const std::wstring& path, uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
              const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> f;
    const char* riff = "RIFF";
    f.insert(f.end(), riff, riff + 4);
    put32(f, static_cast<uint32_t>(4 + 8 + 18 + 8 + data.size()));
    const char* wave = "WAVEfmt ";
    f.insert(f.end(), wave, wave + 8);
    put32(f, 18);
    put16(f, tag);
    put16(f, channels);
    put32(f, rate);
    put32(f, rate * channels * (bits / 8));
    put16(f, static_cast<uint16_t>(channels * (bits / 8)));
    put16(f, bits);
    put16(f, 0);
    const char* dataTag = "data";
    f.insert(f.end(), dataTag, dataTag + 4);
    put32(f, static_cast<uint32_t>(data.size()));
    f.insert(f.end(), data.begin(), data.end());
    FILE* out = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(out, nullptr);
    fwrite(f.data(), 1, f.size(), out);
    fclose(out);
}

// A test signal in -0.8..0.8: two sines and a little deterministic noise.
std::vector<float> signal(size_t frames, int channels, uint32_t rate)
{
    std::vector<float> s(frames * channels);
    uint32_t seed = 12345;
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            seed = seed * 1664525u + 1013904223u;
            const double t = static_cast<double>(i) / rate;
            s[i * channels + c] =
                static_cast<float>(0.4 * std::sin(2 * kPi * (220.0 + 110 * c) * t) +
                                   0.3 * std::sin(2 * kPi * 5000.0 * t) + 0.05 * ((seed >> 8) / 16777216.0 - 0.5));
        }
    return s;
}

std::vector<uint8_t> toBytes16(const std::vector<float>& s)
{
    std::vector<uint8_t> b(s.size() * 2);
    floatToPcm16(s.data(), b.data(), s.size());
    return b;
}

std::vector<uint8_t> toBytesFloat(const std::vector<float>& s)
{
    std::vector<uint8_t> b(s.size() * 4);
    std::memcpy(b.data(), s.data(), b.size());
    return b;
}

// What the engine makes of the same input and settings, as the filter runs it.
std::vector<uint8_t> expected(const std::vector<uint8_t>& in, bool pcm16, int channels, uint32_t rate,
                              const ParameterRecord& settings)
{
    EqualizerEngine engine;
    engine.setSampleRate(static_cast<float>(rate));
    engine.replaceSetup(settings);
    const ParameterRecord snap = engine.workingSetup();
    engine.startStream(snap);
    const size_t count = in.size() / (pcm16 ? 2 : 4);
    std::vector<float> f(count);
    if (pcm16)
        pcm16ToFloat(in.data(), f.data(), count);
    else
        std::memcpy(f.data(), in.data(), count * 4);
    uint32_t frames = static_cast<uint32_t>(count / channels);
    engine.processInterleaved(f.data(), &frames, channels, snap, false);
    if (!pcm16)
        return toBytesFloat(f);
    return toBytes16(f);
}

ParameterRecord flat() { return kDefaultParameters; }

ParameterRecord peak1k(int gainTenths)
{
    ParameterRecord r = kDefaultParameters;
    r.values[paramIndex(kRowFilter, 4)] = kPeakDip;
    r.values[paramIndex(kRowFreq, 4)] = 1000;
    r.values[paramIndex(kRowQ, 4)] = 10;
    r.values[paramIndex(kRowGain, 4)] = gainTenths;
    return r;
}

struct Case {
    const wchar_t* name;
    uint16_t tag;
    int channels;
    uint32_t rate;
};

class RealGraph : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST_P(RealGraph, OutputIsWhatTheEngineComputes)
{
    const Case c = GetParam();
    const bool pcm16 = c.tag == 1;
    const size_t frames = 30000;
    const std::vector<uint8_t> in =
        pcm16 ? toBytes16(signal(frames, c.channels, c.rate)) : toBytesFloat(signal(frames, c.channels, c.rate));
    const std::wstring path = tempFile(c.name);
    writeWav(path, c.tag, static_cast<uint16_t>(c.channels), c.rate, pcm16 ? 16 : 32, in);

    for (const ParameterRecord& settings : {flat(), peak1k(60)}) {
        const GraphRunResult out = runWavThroughFilter(path.c_str(), &settings, dllPath());
        ASSERT_TRUE(out.ok) << out.error;
        EXPECT_EQ(out.format.nChannels, c.channels);
        EXPECT_EQ(out.format.nSamplesPerSec, c.rate);
        // The renderer sees the file's length through our output pin.
        EXPECT_NEAR(static_cast<double>(out.duration), frames * 1e7 / c.rate, 1e4);
        ASSERT_EQ(out.data.size(), in.size());
        EXPECT_TRUE(out.data == expected(in, pcm16, c.channels, c.rate, settings));
    }
    // With flat settings a 16-bit stream comes out as it went in once the fade-in has settled.
    if (pcm16) {
        const ParameterRecord settings = flat();
        const GraphRunResult out = runWavThroughFilter(path.c_str(), &settings, dllPath());
        ASSERT_TRUE(out.ok) << out.error;
        const size_t settled = 4000 * c.channels * 2;
        ASSERT_EQ(out.data.size(), in.size());
        EXPECT_EQ(std::memcmp(out.data.data() + settled, in.data() + settled, in.size() - settled), 0);
    }
    DeleteFileW(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Formats, RealGraph,
                         ::testing::Values(Case{L"qv16s.wav", 1, 2, 44100}, Case{L"qv16m.wav", 1, 1, 44100},
                                           Case{L"qvfm.wav", 3, 1, 48000}, Case{L"qvfs.wav", 3, 2, 44100}));

TEST(RealGraphLevel, PeakOfSixDecibelsAtOneKilohertz)
{
    const uint32_t rate = 44100;
    const size_t frames = 44100;
    std::vector<float> s(frames);
    for (size_t i = 0; i < frames; ++i)
        s[i] = static_cast<float>(0.25 * std::sin(2 * kPi * 1000.0 * i / rate));
    const std::vector<uint8_t> in = toBytesFloat(s);
    const std::wstring path = tempFile(L"qvsine.wav");
    writeWav(path, 3, 1, rate, 32, in);
    const ParameterRecord settings = peak1k(60);
    const GraphRunResult out = runWavThroughFilter(path.c_str(), &settings, dllPath());
    DeleteFileW(path.c_str());
    ASSERT_TRUE(out.ok) << out.error;
    ASSERT_EQ(out.data.size(), in.size());
    const float* y = reinterpret_cast<const float*>(out.data.data());
    double eIn = 0, eOut = 0;
    for (size_t i = frames / 2; i < frames; ++i) {
        eIn += static_cast<double>(s[i]) * s[i];
        eOut += static_cast<double>(y[i]) * y[i];
    }
    EXPECT_NEAR(10 * std::log10(eOut / eIn), 6.0, 0.05);
}

// A player stops in the middle of a stream and starts again from the top: the second run starts
// with silent filter history and a fresh fade-in, exactly as if it were the first.
TEST(RealGraphRestart, StopMidStreamAndRunAgainIsLikeAFirstRun)
{
    const uint32_t rate = 44100;
    const size_t frames = 5 * rate;
    const std::vector<uint8_t> in = toBytes16(signal(frames, 2, rate));
    const std::wstring path = tempFile(L"qvrestart.wav");
    writeWav(path, 1, 2, rate, 16, in);
    const ParameterRecord settings = peak1k(90);
    const GraphRunResult out = runWavThroughFilter(path.c_str(), &settings, dllPath(), true);
    DeleteFileW(path.c_str());
    ASSERT_TRUE(out.ok) << out.error;
    ASSERT_EQ(out.data.size(), in.size());
    EXPECT_TRUE(out.data == expected(in, true, 2, rate, settings));
}

TEST(RealGraphRefusal, OtherFormatsDoNotConnect)
{
    struct Bad {
        uint16_t channels, bits;
    } bad[] = {{2, 8}, {2, 24}, {3, 16}};
    for (const Bad& b : bad) {
        std::vector<uint8_t> data(4410 * b.channels * (b.bits / 8), 0x10);
        const std::wstring path = tempFile(L"qvbad.wav");
        writeWav(path, 1, b.channels, 44100, b.bits, data);
        const GraphRunResult out = runWavThroughFilter(path.c_str(), nullptr, dllPath());
        DeleteFileW(path.c_str());
        EXPECT_FALSE(out.ok) << b.channels << " channels, " << b.bits << " bits";
        EXPECT_NE(out.error.find("parser and equalizer"), std::string::npos) << out.error;
    }
}
