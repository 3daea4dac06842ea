// qvrender: an offline host for the equalizer. Loads the VST plug-in through "main" as a host does,
// runs a WAV file through it block by block and writes the result in the input's format.

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "DemoSignal.h"
#include "GraphRun.h"
#include "ParameterModel.h"
#include "PluginHost.h"
#include "RenderOptions.h"
#include "WavFile.h"

namespace {

using namespace qv;

int fail(const std::string& message)
{
    std::fprintf(stderr, "qvrender: %s\n", message.c_str());
    return 1;
}

bool readFile(const std::string& path, std::vector<uint8_t>& data, std::string& error)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open \"" + path + "\"";
        return false;
    }
    data.clear();
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.insert(data.end(), buffer, buffer + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    if (!ok)
        error = "cannot read \"" + path + "\"";
    return ok;
}

// Writes beside the target and moves into place, so no partial output is ever left behind.
bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& data, std::string& error)
{
    const std::string temp = path + ".part" + std::to_string(GetCurrentProcessId());
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        error = "cannot create \"" + temp + "\"";
        return false;
    }
    const bool written = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        DeleteFileA(temp.c_str());
        error = "cannot write \"" + path + "\" (disk full?)";
        return false;
    }
    if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp.c_str());
        error = "cannot replace \"" + path + "\"";
        return false;
    }
    return true;
}

std::string besideThisProgram(const char* name)
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return name;
    std::string dir(path, n);
    const size_t slash = dir.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : dir.substr(0, slash + 1)) + name;
}

double toDb(float peak) { return peak > 0.0f ? 20.0 * std::log10(peak) : -INFINITY; }

int writeDemo(const RenderOptions& o)
{
    const unsigned rate = 44100;
    const std::vector<float> samples = makeDemoSignal(rate, 8.0);
    std::vector<uint8_t> bytes;
    encodeWav(makeFormat(SampleKind::Pcm, 2, rate, 16), samples.data(), samples.size() / 2, bytes);
    std::string error;
    if (!writeFileAtomically(o.output, bytes, error))
        return fail(error);
    std::printf("wrote the demo signal to %s (8 s, 16-bit PCM stereo, 44100 Hz)\n", o.output.c_str());
    return 0;
}

void printPeaks(const WavAudio& audio)
{
    const int ch = audio.format.channels;
    float peak[2] = {0.0f, 0.0f};
    size_t clips[2] = {0, 0};
    for (size_t i = 0; i < audio.frames; ++i) {
        for (int c = 0; c < ch; ++c) {
            const float a = std::fabs(audio.samples[i * ch + c]);
            if (a > peak[c])
                peak[c] = a;
            if (!(a <= 1.0f))
                ++clips[c];
        }
    }
    static const char* const kNames[2] = {"left", "right"};
    for (int c = 0; c < ch; ++c)
        std::printf("  %-6s peak %7.2f dBFS, %zu clipped samples\n", ch == 1 ? "mono" : kNames[c], toDb(peak[c]),
                    clips[c]);
}

std::wstring widePath(const std::string& path)
{
    wchar_t wide[MAX_PATH];
    wchar_t full[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return std::wstring();
    const DWORD n = GetFullPathNameW(wide, MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? std::wstring(full) : std::wstring(wide);
}

// Reads and parses the input; the file image is freed again before the audio is processed.
bool readInput(const std::string& path, WavAudio& audio, std::string& error)
{
    std::vector<uint8_t> fileData;
    if (!readFile(path, fileData, error))
        return false;
    if (!parseWav(fileData.data(), fileData.size(), audio, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

// The same file through a real DirectShow graph with the equalizer filter.
int renderDirectShow(const RenderOptions& o)
{
    std::string error;
    WavAudio audio;
    if (!readInput(o.input, audio, error))
        return fail(error);

    // The filter takes whole settings: the defaults, then each option by the host mapping. The
    // filter clamps every value as its control interface does.
    ParameterRecord settings = kDefaultParameters;
    for (const auto& p : o.params)
        settings.values[p.first] = normalizedToValue(p.first, p.second);

    const std::wstring input = widePath(o.input);
    const std::wstring dll = o.dllPath.empty() ? std::wstring() : widePath(o.dllPath);
    std::printf("input:  %s (%s, %.2f s)\n", o.input.c_str(), audio.format.describe().c_str(),
                static_cast<double>(audio.frames) / audio.format.sampleRate);
    std::printf("filter: %s\n", o.dllPath.empty() ? "the registered qvEqualizer filter" : o.dllPath.c_str());
    GraphRunResult result = runWavThroughFilter(input.c_str(), &settings, dll.empty() ? nullptr : dll.c_str());
    if (!result.ok) {
        if (result.error.find("REGDB_E_CLASSNOTREG") != std::string::npos ||
            result.error.find("80040154") != std::string::npos)
            result.error += " (register the filter with regsvr32 qvEqualizer.dll, or name it with --dll)";
        return fail("DirectShow: " + result.error);
    }
    std::vector<uint8_t> bytes;
    wrapWavData(audio.format, result.data, bytes);
    WavAudio out;
    if (!parseWav(bytes.data(), bytes.size(), out, error))
        return fail("DirectShow: the graph delivered audio that cannot be written: " + error);
    if (!writeFileAtomically(o.output, bytes, error))
        return fail(error);
    std::printf("output: %s (%zu of %zu frames through the graph)\n", o.output.c_str(), out.frames, audio.frames);
    printPeaks(out);
    return 0;
}

int render(const RenderOptions& o)
{
    std::string error;
    WavAudio audio;
    if (!readInput(o.input, audio, error))
        return fail(error);

    PluginHost host;
    const std::string dll = o.dllPath.empty() ? besideThisProgram("Zorvath qvEqualizer R3.dll") : o.dllPath;
    if (!host.load(dll, error))
        return fail(error);

    const WavFormat& fmt = audio.format;
    host.dispatch(vst::effOpen);
    host.dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(fmt.sampleRate));
    host.dispatch(vst::effSetBlockSize, 0, o.blockSize);
    host.dispatch(vst::effMainsChanged, 0, 1);
    for (const auto& p : o.params)
        host.effect()->setParameter(host.effect(), p.first, p.second);

    std::printf("input:  %s (%s, %.2f s)\n", o.input.c_str(), fmt.describe().c_str(),
                static_cast<double>(audio.frames) / fmt.sampleRate);
    std::printf("plug-in: %s\n", dll.c_str());
    if (!o.params.empty()) {
        std::printf("settings:\n");
        for (int i = 0; i < kParamCount; ++i) {
            bool set = false;
            for (const auto& p : o.params)
                set = set || p.first == i;
            if (!set)
                continue;
            const std::string label = host.text(vst::effGetParamLabel, i);
            std::printf("  %-10s %s%s%s\n", host.text(vst::effGetParamName, i).c_str(),
                        host.text(vst::effGetParamDisplay, i).c_str(), label.empty() ? "" : " ", label.c_str());
        }
    }

    const size_t block = static_cast<size_t>(o.blockSize);
    std::vector<float> inL(block), inR(block), outL(block), outR(block);
    float* inputs[2] = {inL.data(), inR.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    const int ch = fmt.channels;
    const bool showProgress = audio.frames > static_cast<size_t>(fmt.sampleRate) * 20;
    int lastPercent = -1;
    for (size_t start = 0; start < audio.frames; start += block) {
        const size_t n = audio.frames - start < block ? audio.frames - start : block;
        for (size_t i = 0; i < n; ++i) {
            inL[i] = audio.samples[(start + i) * ch];
            inR[i] = ch == 2 ? audio.samples[(start + i) * ch + 1] : inL[i];
        }
        host.effect()->processReplacing(host.effect(), inputs, outputs, static_cast<vst::VstInt32>(n));
        for (size_t i = 0; i < n; ++i)
            for (int c = 0; c < ch; ++c)
                audio.samples[(start + i) * ch + c] = c == 0 ? outL[i] : outR[i];
        if (showProgress) {
            const int percent = static_cast<int>((start + n) * 100 / audio.frames);
            if (percent / 5 != lastPercent / 5) {
                std::fprintf(stderr, "\rprocessing: %3d%%", percent);
                lastPercent = percent;
            }
        }
    }
    if (showProgress)
        std::fprintf(stderr, "\n");
    host.dispatch(vst::effMainsChanged, 0, 0);
    host.unload();

    std::vector<uint8_t> bytes;
    encodeWav(fmt, audio.samples.data(), audio.frames, bytes);
    if (!writeFileAtomically(o.output, bytes, error))
        return fail(error);
    std::printf("output: %s\n", o.output.c_str());
    printPeaks(audio);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    qv::RenderOptions options;
    std::string error;
    if (argc < 2) {
        std::fputs(qv::renderUsage(), stderr);
        return 2;
    }
    if (!qv::parseRenderOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "qvrender: %s\n\n%s", error.c_str(), qv::renderUsage());
        return 2;
    }
    if (options.demoSignal)
        return writeDemo(options);
    return options.directShow ? renderDirectShow(options) : render(options);
}
