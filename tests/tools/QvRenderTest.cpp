// The render tool as a user runs it: a real process, real files, the real plug-in.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "PluginContract.h"
#include "WavFile.h"
#include "WholeFile.h"

using namespace qv;

namespace {

const char kDir[] = "qvrender-test";

struct ProcessResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;     // stdout and stderr together
    SIZE_T peakMemory = 0;  // the largest working set seen while it ran
};

SIZE_T peakOf(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        return 0;
    return counters.PeakWorkingSetSize > counters.WorkingSetSize ? counters.PeakWorkingSetSize
                                                                 : counters.WorkingSetSize;
}

// Reads the child's output on a thread, so that the caller can watch the child's memory meanwhile.
DWORD WINAPI drain(void* context)
{
    auto* pipe = static_cast<std::pair<HANDLE, std::string*>*>(context);
    char buf[4096];
    DWORD n;
    while (ReadFile(pipe->first, buf, sizeof buf, &n, nullptr) && n > 0)
        pipe->second->append(buf, n);
    return 0;
}

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
        std::pair<HANDLE, std::string*> pipe(read, &result.output);
        HANDLE reader = CreateThread(nullptr, 0, drain, &pipe, 0, nullptr);
        do {
            const SIZE_T now = peakOf(pi.hProcess);
            if (now > result.peakMemory)
                result.peakMemory = now;
        } while (WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT);
        WaitForSingleObject(reader, INFINITE);
        CloseHandle(reader);
        result.output.erase(std::remove(result.output.begin(), result.output.end(), '\r'), result.output.end());
        GetExitCodeProcess(pi.hProcess, &result.exitCode);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    } else {
        result.output = "CreateProcess failed with error " + std::to_string(GetLastError());
        CloseHandle(write);
    }
    CloseHandle(read);
    return result;
}

std::string path(const char* name) { return std::string(kDir) + "\\" + name; }

std::vector<uint8_t> readAll(const std::string& file) { return wholeFile<uint8_t>(file); }

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

// The argument prefixes of the paths a test runs: the plug-in's, then the filter's in a real graph,
// except where 32-bit code runs under an emulator: graphs do not finish there.
std::vector<const char*> renderPaths()
{
    if (GetEnvironmentVariableA("QV_TEST_EMULATED", nullptr, 0) != 0)
        return {""};
    return {"", "--dshow --dll " QV_FILTER_FILE_NAME " "};
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

    // Metadata goes along on both paths: a LIST chunk of odd size, before the audio.
    std::vector<uint8_t> tagged = readAll(path("demo.wav"));
    const std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 9, 0, 0, 0, 'I', 'N', 'F', 'O', 'I', 'N', 'A', 'M', 'x', 0};
    tagged.insert(tagged.begin() + 36, list.begin(), list.end());
    tagged[4] = static_cast<uint8_t>(tagged[4] + list.size());
    writeAll(path("tagged.wav"), tagged);
    for (const char* dshow : renderPaths()) {
        ProcessResult t = qvrender(std::string(dshow) + "--param 29=0.5 " + path("tagged.wav") + " " + path("t.wav"));
        ASSERT_EQ(t.exitCode, 0u) << t.output;
        const std::vector<uint8_t> out = readAll(path("t.wav"));
        ASSERT_EQ(out.size(), tagged.size()) << dshow;
        EXPECT_TRUE(std::equal(tagged.begin(), tagged.begin() + 44 + list.size(), out.begin())) << dshow;
    }
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
        std::string says;
        DWORD code;
    } cases[] = {
        {path("missing.wav") + " " + path("o.wav"), "cannot open \"" + path("missing.wav") + "\" (file not found)", 1},
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
    ProcessResult r = qvrender(path("text.wav") + " " + path("keep.wav"));
    EXPECT_NE(r.exitCode, 0u);
    EXPECT_EQ(readAll(path("keep.wav")), ok);

    // A file cut short is read up to its end, with a warning; the output is a whole file.
    r = qvrender(path("truncated.wav") + " " + path("o.wav"));
    EXPECT_EQ(r.exitCode, 0u) << r.output;
    EXPECT_NE(r.output.find("warning: " + path("truncated.wav") + ": the data chunk announces"), std::string::npos)
        << r.output;
    WavAudio cut;
    std::string error;
    const std::vector<uint8_t> out = readAll(path("o.wav"));
    ASSERT_TRUE(parseWav(out.data(), out.size(), cut, error)) << error;
    EXPECT_TRUE(cut.warnings.empty());
    EXPECT_EQ(cut.frames, (ok.size() / 2 - 44) / 4);
    DeleteFileA(path("o.wav").c_str());
}

TEST_F(QvRender, TheInputAndReadOnlyFilesAreNeverOverwritten)
{
    writeSine(path("orig.wav"), SampleKind::Pcm, 2, 16, 440.0, 0.3);
    const std::vector<uint8_t> orig = readAll(path("orig.wav"));
    writeAll(path("locked.wav"), std::vector<uint8_t>{'k', 'e', 'e', 'p'});
    SetFileAttributesA(path("locked.wav").c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryA(path("folder.wav").c_str(), nullptr);
    char full[MAX_PATH];
    GetFullPathNameA(path("orig.wav").c_str(), MAX_PATH, full, nullptr);
    const struct {
        std::string output;
        const char* says;
    } cases[] = {
        {path("orig.wav"), "is the input file"},
        {std::string(kDir) + "\\.\\ORIG.WAV", "is the input file"},
        {std::string(kDir) + "/../" + kDir + "/orig.wav", "is the input file"},
        {full, "is the input file"},
        {path("locked.wav"), "read-only"},
        {path("folder.wav"), "is a folder"},
    };
    for (const auto& c : cases) {
        for (const char* dshow : renderPaths()) {
            ProcessResult r = qvrender(std::string(dshow) + "--param 30=0.7 " + path("orig.wav") + " " + c.output);
            EXPECT_EQ(r.exitCode, 1u) << c.output;
            EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
        }
    }
    EXPECT_EQ(readAll(path("orig.wav")), orig);
    EXPECT_EQ(readAll(path("locked.wav")), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
    SetFileAttributesA(path("locked.wav").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(QvRender, PresetsByNameAndTheirListing)
{
    writeSine(path("p.wav"), SampleKind::Float, 2, 32, 200.0, 0.25);
    // "Warm Master" from the factory file beside the plug-in, by name and by bank, is its Data text.
    const char kWarmMaster[] = "0,1,1,200,7,15,1,2,10000,7,-15,0,0,1000,10,0,0,0,1000,10,0,0,0,1000,10,0,0,0,1000,10,0";
    ProcessResult byData = qvrender(std::string("--data ") + kWarmMaster + " " + path("p.wav") + " " + path("d.wav"));
    ASSERT_EQ(byData.exitCode, 0u) << byData.output;
    for (const char* name : {"\"warm master\"", "Mastering/\"Warm Master\""}) {
        ProcessResult r = qvrender(std::string("--preset ") + name + " " + path("p.wav") + " " + path("n.wav"));
        ASSERT_EQ(r.exitCode, 0u) << r.output;
        EXPECT_NE(r.output.find("preset: Mastering/Warm Master"), std::string::npos) << r.output;
        EXPECT_EQ(readAll(path("n.wav")), readAll(path("d.wav"))) << name;
    }

    ProcessResult close = qvrender("--preset \"warm mastr\" " + path("p.wav") + " " + path("x.wav"));
    EXPECT_EQ(close.exitCode, 1u);
    EXPECT_NE(close.output.find("close matches:\n  Mastering/Warm Master"), std::string::npos) << close.output;
    EXPECT_FALSE(exists(path("x.wav")));

    ProcessResult list = qvrender("--list-presets");
    EXPECT_EQ(list.exitCode, 0u) << list.output;
    EXPECT_NE(list.output.find("Mastering\n  Gentle Smile\n"), std::string::npos) << list.output;

    // Another plug-in's preset file is not read.
    writeAll(path("foreign.ini"), std::vector<uint8_t>{'[', 'P', 'l', 'u', 'g', '-', 'i', 'n', ']', '\n', 'C', 'L', 'S',
                                                       'I', 'D', '=', 'x', '\n'});
    ProcessResult foreign = qvrender("--preset-file " + path("foreign.ini") + " --list-presets");
    EXPECT_EQ(foreign.exitCode, 1u);
    EXPECT_NE(foreign.output.find("another plug-in"), std::string::npos) << foreign.output;

    // A damaged preset is refused by name rather than applied as zeros; a missing file is named.
    const std::string damaged = "[Plug-in]\nCLSID=SOFTWARE\\Classes\\CLSID\\{7A3D5E10-4B2C-41F8-9E61-2C7B8D04A9F3}\n"
                                "[Preset1]\nVersion=3\nName=Cut\nBank=\nData=0,1,0,x\n";
    writeAll(path("damaged.ini"), std::vector<uint8_t>(damaged.begin(), damaged.end()));
    ProcessResult bad =
        qvrender("--preset-file " + path("damaged.ini") + " --preset cut " + path("p.wav") + " " + path("x.wav"));
    EXPECT_EQ(bad.exitCode, 1u);
    EXPECT_NE(bad.output.find("the preset \"Cut\" cannot be used"), std::string::npos) << bad.output;
    ProcessResult none =
        qvrender("--preset-file " + path("none.ini") + " --preset Cut " + path("p.wav") + " " + path("x.wav"));
    EXPECT_EQ(none.exitCode, 1u);
    EXPECT_NE(none.output.find("there is no preset file"), std::string::npos) << none.output;
    EXPECT_FALSE(exists(path("x.wav")));
}

TEST_F(QvRender, HelpExplainsTheFormatsAndWarningsShowValuesBeyondTheRanges)
{
    ProcessResult help = qvrender("--help");
    EXPECT_EQ(help.exitCode, 0u);
    for (const char* text : {"row x 7 + column", "Data text: 31 whole numbers", "What Q does", "Lowpass"})
        EXPECT_NE(help.output.find(text), std::string::npos) << text;

    writeSine(path("loud.wav"), SampleKind::Pcm, 1, 16, 1000.0, 0.9);
    for (const char* dshow : renderPaths()) {
        ProcessResult r = qvrender(std::string(dshow) + "--param 9=0 --param 16=0.0449 --param 30=1.5 " +
                                   path("loud.wav") + " " + path("loud-out.wav"));
        EXPECT_EQ(r.exitCode, 0u) << r.output;
        EXPECT_NE(r.output.find("warning: --param 30=1.5: 1.5 is outside 0 .. 1; using 1 (Gain 2 18.0 dB)"),
                  std::string::npos)
            << r.output;
        EXPECT_NE(r.output.find("band 2  on   Peak/Dip"), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("clipped samples"), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("of audio in"), std::string::npos) << r.output;
    }
}

// Writes a WAV of `seconds` of 16-bit mono silence without writing its audio: the file is sparse.
void writeSparseWav(const std::string& file, uint32_t rate, uint64_t seconds)
{
    const uint64_t dataBytes = seconds * rate * 2;
    const std::vector<uint8_t> header = wavHeader(makeFormat(SampleKind::Pcm, 1, rate, 16), {}, dataBytes);
    writeAll(file, header);
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(header.size() + dataBytes);
    EXPECT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h));
    CloseHandle(h);
}

TEST_F(QvRender, HoursOfAudioStreamInConstantMemoryOnBothPaths)
{
    // Three hours at 4 kHz: 86 MB of 16-bit audio, 173 MB as floats; a render that held the file
    // would grow by far more than the bound below.
    writeSparseWav(path("short.wav"), 4000, 10);
    writeSparseWav(path("long.wav"), 4000, 3 * 3600);
    const SIZE_T bound = 32u << 20;
    for (const char* dshow : renderPaths()) {
        const std::string settings = std::string(dshow) + "--param 30=0.6 --param 34=0.4 ";
        ProcessResult brief = qvrender(settings + path("short.wav") + " " + path("short-out.wav"));
        ASSERT_EQ(brief.exitCode, 0u) << brief.output;
        ProcessResult hours = qvrender(settings + path("long.wav") + " " + path("long-out.wav"));
        ASSERT_EQ(hours.exitCode, 0u) << hours.output;
        EXPECT_NE(hours.output.find("3:00:00 of audio in"), std::string::npos) << hours.output;
        EXPECT_NE(hours.output.find("processing: 100%"), std::string::npos) << hours.output;
        ASSERT_GT(brief.peakMemory, 0u) << "the system reports no memory figures";
        EXPECT_LT(hours.peakMemory, brief.peakMemory + bound)
            << dshow << ": " << hours.peakMemory / 1024 << " KiB for three hours, " << brief.peakMemory / 1024
            << " KiB for ten seconds";
        std::printf("%s: peak working set %lu KiB for 10 s, %lu KiB for 3 h\n", *dshow ? "dshow" : "vst",
                    static_cast<unsigned long>(brief.peakMemory / 1024),
                    static_cast<unsigned long>(hours.peakMemory / 1024));

        WIN32_FILE_ATTRIBUTE_DATA info;
        ASSERT_TRUE(GetFileAttributesExA(path("long-out.wav").c_str(), GetFileExInfoStandard, &info));
        EXPECT_EQ((uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow, 44 + 3ull * 3600 * 4000 * 2);
        DeleteFileA(path("long-out.wav").c_str());
    }
    DeleteFileA(path("long.wav").c_str());
}

TEST_F(QvRender, TheDirectShowPathMatchesThePluginPath)
{
    if (renderPaths().size() == 1)
        GTEST_SKIP() << "no DirectShow graphs under an emulator";
    writeSine(path("ds-in.wav"), SampleKind::Pcm, 2, 16, 1000.0, 0.25);
    const std::string settings = "--param 9=0 --param 16=" + std::to_string(990.0 / 22039.0) +
                                 " --param 23=" + std::to_string(9.0 / 999.0) +
                                 " --param 30=" + std::to_string(240.0 / 360.0);
    ProcessResult vst = qvrender(settings + " " + path("ds-in.wav") + " " + path("vst-out.wav"));
    ASSERT_EQ(vst.exitCode, 0u) << vst.output;
    ProcessResult ds = qvrender("--dshow --dll " QV_FILTER_FILE_NAME " " + settings + " " + path("ds-in.wav") + " " +
                                path("ds-out.wav"));
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
    ProcessResult refused = qvrender("--dshow --dll " QV_FILTER_FILE_NAME " " + path("ds24.wav") + " " + path("o.wav"));
    EXPECT_EQ(refused.exitCode, 1u) << refused.output;
    EXPECT_NE(refused.output.find("DirectShow"), std::string::npos) << refused.output;
    EXPECT_FALSE(exists(path("o.wav")));
}

namespace {
std::string textOf(const std::string& file)
{
    const std::vector<uint8_t> bytes = readAll(file);
    return std::string(bytes.begin(), bytes.end());
}

void writeText(const std::string& file, const std::string& text) { writeAll(file, {text.begin(), text.end()}); }
}  // namespace

TEST_F(QvRender, ParametricEqTextsAreAppliedWrittenAndReadBackExactly)
{
    // Seven filters: the first lifts 1 kHz by 8 dB under a -2 dB preamp, the seventh has no band left.
    std::string eq = "Preamp: -2 dB\nFilter 1: ON PK Fc 1000 Hz Gain 8 dB Q 1.41\n";
    for (int n = 2; n <= 7; ++n)
        eq += "Filter " + std::to_string(n) + ": ON PK Fc 16000 Hz Gain 0.0 dB Q 2\n";
    writeText(path("seven.txt"), eq);
    writeSine(path("eq-in.wav"), SampleKind::Pcm, 2, 16, 1000.0, 0.25);
    for (const char* dshow : renderPaths()) {
        DeleteFileA(path("written.txt").c_str());
        ProcessResult r = qvrender(std::string(dshow) + "--eq-file " + path("seven.txt") + " --write-eq-file " +
                                   path("written.txt") + " " + path("eq-in.wav") + " " + path("eq-out.wav"));
        ASSERT_EQ(r.exitCode, 0u) << r.output;
        EXPECT_NE(r.output.find("parametric EQ text: " + path("seven.txt")), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("band 1  on   Peak/Dip"), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("warning: " + path("seven.txt") + ": Filter 7"), std::string::npos) << r.output;
        const double gain = 20 * std::log10(rmsOfSecondHalf(path("eq-out.wav")) / rmsOfSecondHalf(path("eq-in.wav")));
        EXPECT_NEAR(gain, 6.0, 0.1) << dshow;
        const std::string written = textOf(path("written.txt"));
        EXPECT_EQ(written.find("# qv:equalizer Data: -20,1,0,1000,"), 0u) << written;
        EXPECT_NE(written.find("Preamp: -2.0 dB"), std::string::npos) << written;
        EXPECT_NE(written.find("Filter 1: ON PK Fc 1000 Hz Gain 8.0 dB Q "), std::string::npos) << written;
    }

    // Without audio files the settings are only converted; reading a written text back and writing it
    // again gives the same bytes.
    ProcessResult again = qvrender("--eq-file " + path("written.txt") + " --write-eq-file " + path("again.txt"));
    ASSERT_EQ(again.exitCode, 0u) << again.output;
    EXPECT_NE(again.output.find("settings:"), std::string::npos) << again.output;
    EXPECT_EQ(again.output.find("warning"), std::string::npos) << again.output;
    EXPECT_EQ(textOf(path("again.txt")), textOf(path("written.txt")));

    // A file with nothing usable, a missing one and an unwritable target stop before anything is
    // written, in plain words.
    writeText(path("prose.txt"), std::string("Just some notes\r\n\xff\xfe\x00garbage", 24));
    SetFileAttributesA(path("locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    writeText(path("locked.txt"), "keep");
    SetFileAttributesA(path("locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    const struct {
        std::string args;
        const char* says;
    } refusals[] = {
        {"--eq-file " + path("prose.txt"), "no \"Preamp:\" or \"Filter:\" line"},
        {"--eq-file " + path("nowhere.txt"), "file not found"},
        {"--eq-file " + path("seven.txt") + " --write-eq-file " + path("locked.txt"), "read-only"},
    };
    for (const auto& c : refusals) {
        ProcessResult r = qvrender(c.args + " " + path("eq-in.wav") + " " + path("o.wav"));
        EXPECT_EQ(r.exitCode, 1u) << c.args << "\n" << r.output;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
        EXPECT_EQ(r.output.find("Windows error"), std::string::npos) << r.output;
        EXPECT_FALSE(exists(path("o.wav"))) << c.args;
    }
    EXPECT_EQ(textOf(path("locked.txt")), "keep");
    SetFileAttributesA(path("locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}
