// The render tool as a user runs it: a real process, real files, the real plug-in.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "WavFile.h"

using namespace qv;

namespace {

const char kDir[] = "qvrender-test";

struct ProcessResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;  // stdout and stderr together
};

ProcessResult qvrender(const std::string& args)
{
    ProcessResult result;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &sa, 0))
        return result;
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write;
    si.hStdError = write;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    std::string command = "qvrender.exe " + args;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(write);
        char buf[4096];
        DWORD n;
        while (ReadFile(read, buf, sizeof buf, &n, nullptr) && n > 0)
            result.output.append(buf, n);
        WaitForSingleObject(pi.hProcess, INFINITE);
        GetExitCodeProcess(pi.hProcess, &result.exitCode);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    } else {
        CloseHandle(write);
    }
    CloseHandle(read);
    return result;
}

std::string path(const char* name) { return std::string(kDir) + "\\" + name; }

std::vector<uint8_t> readAll(const std::string& file)
{
    std::vector<uint8_t> data;
    if (FILE* f = std::fopen(file.c_str(), "rb")) {
        uint8_t buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            data.insert(data.end(), buf, buf + n);
        std::fclose(f);
    }
    return data;
}

void writeAll(const std::string& file, const std::vector<uint8_t>& data)
{
    FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
}

bool exists(const std::string& file) { return GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }

void writeSine(const std::string& file, SampleKind kind, uint16_t channels, uint16_t bits, double hz, double amp)
{
    const size_t frames = 22050;
    std::vector<float> s(frames * channels);
    for (size_t i = 0; i < frames; ++i)
        for (uint16_t c = 0; c < channels; ++c)
            s[i * channels + c] = static_cast<float>(amp * std::sin(2 * 3.14159265358979 * hz * double(i) / 44100.0));
    std::vector<uint8_t> bytes;
    encodeWav(makeFormat(kind, channels, 44100, bits), s.data(), frames, bytes);
    writeAll(file, bytes);
}

double rmsOfSecondHalf(const std::string& file)
{
    const std::vector<uint8_t> bytes = readAll(file);
    WavAudio a;
    std::string error;
    if (!parseWav(bytes.data(), bytes.size(), a, error))
        return -1;
    double sum = 0;
    const size_t from = a.samples.size() / 2;
    for (size_t i = from; i < a.samples.size(); ++i)
        sum += double(a.samples[i]) * a.samples[i];
    return std::sqrt(sum / double(a.samples.size() - from));
}

class QvRender : public ::testing::Test {
protected:
    void SetUp() override { CreateDirectoryA(kDir, nullptr); }
};

}  // namespace

TEST_F(QvRender, FlatSettingsLeaveSixteenBitAudioBitForBit)
{
    ProcessResult demo = qvrender("--demo-signal " + path("demo.wav"));
    ASSERT_EQ(demo.exitCode, 0u) << demo.output;
    ProcessResult r = qvrender(path("demo.wav") + " " + path("flat.wav"));
    ASSERT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_NE(r.output.find("peak"), std::string::npos) << r.output;
    EXPECT_EQ(readAll(path("demo.wav")), readAll(path("flat.wav")));
}

TEST_F(QvRender, EveryFormatKeepsItsFormatAndAPeakLiftsItsBand)
{
    const struct {
        SampleKind kind;
        uint16_t channels, bits;
        const char* name;
    } formats[] = {{SampleKind::Pcm, 2, 16, "s16.wav"},  {SampleKind::Pcm, 1, 16, "m16.wav"},
                   {SampleKind::Pcm, 2, 24, "s24.wav"},  {SampleKind::Pcm, 1, 32, "m32.wav"},
                   {SampleKind::Float, 2, 32, "sf.wav"}, {SampleKind::Float, 1, 32, "mf.wav"}};
    for (const auto& f : formats) {
        writeSine(path(f.name), f.kind, f.channels, f.bits, 1000.0, 0.25);
        // Band 2: Peak/Dip, 1000 Hz, Q 1.0, +6.0 dB.
        const std::string args =
            "--param 9=0 --param 16=" + std::to_string(990.0 / 22039.0) + " --param 23=" + std::to_string(9.0 / 999.0) +
            " --param 30=" + std::to_string(240.0 / 360.0) + " " + path(f.name) + " " + path("out.wav");
        ProcessResult r = qvrender(args);
        ASSERT_EQ(r.exitCode, 0u) << f.name << ": " << r.output;
        const std::vector<uint8_t> in = readAll(path(f.name)), out = readAll(path("out.wav"));
        ASSERT_EQ(in.size(), out.size()) << f.name;
        EXPECT_TRUE(std::equal(in.begin(), in.begin() + 36, out.begin() + 0, out.begin() + 36)) << f.name;
        const double gain = 20 * std::log10(rmsOfSecondHalf(path("out.wav")) / rmsOfSecondHalf(path(f.name)));
        EXPECT_NEAR(gain, 6.0, 0.05) << f.name;
    }
}

TEST_F(QvRender, BadInputIsRefusedWithoutLeavingAnOutputBehind)
{
    writeSine(path("ok.wav"), SampleKind::Pcm, 2, 16, 440.0, 0.3);
    std::vector<uint8_t> ok = readAll(path("ok.wav"));
    writeAll(path("truncated.wav"), std::vector<uint8_t>(ok.begin(), ok.begin() + ok.size() / 2));
    std::vector<uint8_t> eightBit = ok;
    eightBit[34] = 8;
    writeAll(path("8bit.wav"), eightBit);
    writeAll(path("text.wav"), std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'});

    const struct {
        std::string args;
        const char* says;
        DWORD code;
    } cases[] = {
        {path("missing.wav") + " " + path("o.wav"), "cannot open", 1},
        {path("truncated.wav") + " " + path("o.wav"), "truncated", 1},
        {path("8bit.wav") + " " + path("o.wav"), "unsupported sample size", 1},
        {path("text.wav") + " " + path("o.wav"), "not a WAV", 1},
        {"--dll nothing-here.dll " + path("ok.wav") + " " + path("o.wav"), "cannot load", 1},
        {"--dll kernel32.dll " + path("ok.wav") + " " + path("o.wav"), "no \"main\"", 1},
        {"--dll null_plugin.dll " + path("ok.wav") + " " + path("o.wav"), "returned no effect", 1},
        {"--param 35=0.5 " + path("ok.wav") + " " + path("o.wav"), "out of range", 2},
    };
    for (const auto& c : cases) {
        ProcessResult r = qvrender(c.args);
        EXPECT_EQ(r.exitCode, c.code) << c.args << "\n" << r.output;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
        EXPECT_FALSE(exists(path("o.wav"))) << c.args;
    }

    // A failed run leaves an existing output file as it was.
    writeAll(path("keep.wav"), ok);
    ProcessResult r = qvrender(path("truncated.wav") + " " + path("keep.wav"));
    EXPECT_NE(r.exitCode, 0u);
    EXPECT_EQ(readAll(path("keep.wav")), ok);
}

TEST_F(QvRender, TheDirectShowPathMatchesThePluginPath)
{
    writeSine(path("ds-in.wav"), SampleKind::Pcm, 2, 16, 1000.0, 0.25);
    const std::string settings = "--param 9=0 --param 16=" + std::to_string(990.0 / 22039.0) +
                                 " --param 23=" + std::to_string(9.0 / 999.0) +
                                 " --param 30=" + std::to_string(240.0 / 360.0);
    ProcessResult vst = qvrender(settings + " " + path("ds-in.wav") + " " + path("vst-out.wav"));
    ASSERT_EQ(vst.exitCode, 0u) << vst.output;
    ProcessResult ds =
        qvrender("--dshow --dll qvEqualizer.dll " + settings + " " + path("ds-in.wav") + " " + path("ds-out.wav"));
    ASSERT_EQ(ds.exitCode, 0u) << ds.output;
    EXPECT_NE(ds.output.find("22050 of 22050 frames"), std::string::npos) << ds.output;

    const double gain = 20 * std::log10(rmsOfSecondHalf(path("ds-out.wav")) / rmsOfSecondHalf(path("ds-in.wav")));
    EXPECT_NEAR(gain, 6.0, 0.05);

    // After the filter's fade-in the two deliverables agree to within the 16-bit conversions
    // (the filter truncates toward zero, the render tool rounds).
    const std::vector<uint8_t> a = readAll(path("vst-out.wav")), b = readAll(path("ds-out.wav"));
    ASSERT_EQ(a.size(), b.size());
    WavAudio wa, wb;
    std::string error;
    ASSERT_TRUE(parseWav(a.data(), a.size(), wa, error));
    ASSERT_TRUE(parseWav(b.data(), b.size(), wb, error));
    for (size_t i = 2 * 4410; i < wa.samples.size(); ++i)
        ASSERT_LE(std::fabs(wa.samples[i] - wb.samples[i]), 1.01f / 32768) << i;

    // A 24-bit file does not connect to the filter; the tool says so and writes nothing.
    writeSine(path("ds24.wav"), SampleKind::Pcm, 2, 24, 1000.0, 0.25);
    ProcessResult refused = qvrender("--dshow --dll qvEqualizer.dll " + path("ds24.wav") + " " + path("o.wav"));
    EXPECT_EQ(refused.exitCode, 1u) << refused.output;
    EXPECT_NE(refused.output.find("DirectShow"), std::string::npos) << refused.output;
    EXPECT_FALSE(exists(path("o.wav")));
}
