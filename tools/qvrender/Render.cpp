#include "Render.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <mutex>
#include <vector>

#include "DemoSignal.h"
#include "GraphRun.h"
#include "PluginContract.h"
#include "PluginHost.h"
#include "PresetFile.h"
#include "PresetLookup.h"
#include "PresetRules.h"
#include "PresetStore.h"
#include "RenderFiles.h"
#include "RenderReport.h"
#include "RenderSettings.h"
#include "WavFile.h"
#include "WholeFile.h"

namespace qv {
namespace {

// Frames read, processed and written at a time: large enough that file calls cost nothing.
constexpr size_t kIoFrames = 16384;

// A parametric EQ text is a few lines; anything larger is not one, and is not read into memory.
constexpr uint64_t kEqTextFileMax = 1 << 20;

int fail(const std::string& message)
{
    std::fprintf(stderr, "qvrender: %s\n", message.c_str());
    return 1;
}

void warn(const std::string& message) { std::fprintf(stderr, "qvrender: warning: %s\n", message.c_str()); }

std::string folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string besideThisProgram(const char* name)
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return name;
    return folderOf(std::string(path, n)) + name;
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

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start_); }
    double seconds() const
    {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_;
};

void showProgress(Progress& progress, uint64_t done)
{
    const std::string text = progress.update(done);
    if (!text.empty())
        std::fprintf(stderr, "\r%s", text.c_str());
}

// The preset file: named, else beside the plug-in named, else beside this program (where the
// plug-ins and their preset file are installed together).
std::string presetFilePath(const RenderOptions& o)
{
    std::string path = o.presetFile;
    if (path.empty())
        path = (o.dllPath.empty() ? besideThisProgram("") : folderOf(o.dllPath)) + kPresetFileName;
    // The profile functions look for a bare name in the Windows folder, not in the current one.
    char full[MAX_PATH];
    const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(full, n) : path;
}

bool loadPresets(const std::string& path, PresetList& list, std::string& error)
{
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error = "there is no preset file \"" + path + "\" (name one with --preset-file)";
        return false;
    }
    switch (classifyIdentity(readPresetIdentity(path), kPluginKey)) {
    case FileIdentity::kNone:
        error = "\"" + path + "\" holds no " + kPluginName + " presets";
        return false;
    case FileIdentity::kForeign:
        error = "\"" + path + "\" holds another plug-in's presets";
        return false;
    case FileIdentity::kOurs:
        break;
    }
    readPresetSections(path, list, 0, nullptr);
    list.sort();
    return true;
}

int listPresets(const RenderOptions& o)
{
    const std::string path = presetFilePath(o);
    PresetList list;
    std::string error;
    if (!loadPresets(path, list, error))
        return fail(error);
    std::printf("presets in %s:\n%s", path.c_str(), list.empty() ? "  (none)\n" : presetListing(list).c_str());
    return 0;
}

// A parametric EQ text's bytes, with a plain reason when there are none: a user meets these errors,
// not a system error number.
bool readEqTextFile(const std::string& path, std::string& bytes, std::string& error)
{
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info)) {
        const DWORD code = GetLastError();
        error = "cannot read the parametric EQ text \"" + path + "\": " +
                (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_INVALID_NAME
                     ? "file not found"
                     : "it cannot be opened");
        return false;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = "\"" + path + "\" is a folder; --eq-file takes a parametric EQ text file";
        return false;
    }
    const uint64_t size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > kEqTextFileMax) {
        error = "\"" + path + "\" is larger than 1 MB; it is not a parametric EQ text";
        return false;
    }
    std::vector<char> data;
    if (!readWholeFile(path, data)) {
        error = "cannot read the parametric EQ text \"" + path + "\" (it may be open in another program)";
        return false;
    }
    bytes.assign(data.begin(), data.end());
    return true;
}

// The command line's settings over the default program, limited to the ranges, with warnings.
bool resolveSettings(const RenderOptions& o, uint32_t sampleRate, RenderSettings& settings, std::string& error)
{
    PresetList presets;
    bool loaded = false;
    for (const SettingArg& arg : o.settings) {
        switch (arg.kind) {
        case SettingArg::Kind::Param:
            settings.applyParam(arg.index, arg.value);
            break;
        case SettingArg::Kind::Data:
            settings.applyData(arg.text);
            break;
        case SettingArg::Kind::Preset: {
            if (!loaded && !loadPresets(presetFilePath(o), presets, error))
                return false;
            loaded = true;
            const PresetRecord* preset = findPreset(presets, arg.text, error);
            if (!preset)
                return false;
            if (!checkDataText(preset->data, error)) {
                error = "the preset \"" + preset->name + "\" cannot be used: its Data text " + error;
                return false;
            }
            std::printf("preset: %s%s%s\n", preset->bank.c_str(), preset->bank.empty() ? "" : "/",
                        preset->name.c_str());
            settings.applyData(preset->data);
            break;
        }
        case SettingArg::Kind::EqFile: {
            std::string bytes;
            if (!readEqTextFile(arg.text, bytes, error))
                return false;
            std::vector<std::string> notes;
            std::string refusal;
            const bool usable = settings.applyEqText(bytes, notes, refusal);
            if (!usable) {
                error = "\"" + arg.text + "\": " + refusal;
                return false;
            }
            std::printf("parametric EQ text: %s\n", arg.text.c_str());
            for (const std::string& note : notes)
                warn(arg.text + ": " + note);
            break;
        }
        }
    }
    for (const std::string& w : limitSettings(settings, sampleRate))
        warn(w);
    return true;
}

void printSettings(const RenderSettings& settings)
{
    const std::string table = settingsTable(settings);
    if (!table.empty())
        std::printf("settings:\n%s", table.c_str());
}

// --write-eq-file refuses what the render outputs refuse (a folder, a read-only file, the input) and
// the WAV output itself, before anything is rendered.
bool checkEqTextOutput(const RenderOptions& o, std::string& error)
{
    if (o.writeEqFile.empty())
        return true;
    if (!checkOutputPath(o.input, o.writeEqFile, error))
        return false;
    if (!o.output.empty() && sameFileName(o.output, o.writeEqFile)) {
        error = "--write-eq-file names the output WAV file; name another file";
        return false;
    }
    return true;
}

// The applied settings as a parametric EQ text, moved into place whole as the render outputs are.
bool writeEqText(const RenderOptions& o, const RenderSettings& settings, std::string& error)
{
    if (o.writeEqFile.empty())
        return true;
    std::vector<std::string> notes;
    const std::string text = eqTextOf(settings, notes);
    if (!writeTextFile(o.writeEqFile, text, error))
        return false;
    std::printf("parametric EQ text written: %s\n", o.writeEqFile.c_str());
    for (const std::string& note : notes)
        warn(o.writeEqFile + ": " + note);
    return true;
}

// --write-eq-file alone: the settings options converted, nothing rendered. At 44.1 kHz the ranges
// are the editor's own: every band frequency it allows stays as it is.
int writeEqTextOnly(const RenderOptions& o)
{
    std::string error;
    RenderSettings settings;
    if (!checkEqTextOutput(o, error) || !resolveSettings(o, 44100, settings, error))
        return fail(error);
    printSettings(settings);
    return writeEqText(o, settings, error) ? 0 : fail(error);
}

bool openInput(const std::string& path, InputFile& file, WavLayout& layout, std::string& error)
{
    if (!file.open(path, error))
        return false;
    if (!scanWav(file, layout, error)) {
        error = path + ": " + error;
        return false;
    }
    for (const std::string& w : layout.warnings)
        warn(path + ": " + w);
    return true;
}

void printInput(const std::string& path, const WavLayout& layout)
{
    std::printf("input:  %s (%s, %s)\n", path.c_str(), layout.format.describe().c_str(),
                formatDuration(static_cast<double>(layout.frames) / layout.format.sampleRate).c_str());
}

void printSummary(uint64_t frames, uint32_t rate, double seconds, const PeakMeter& peaks)
{
    std::printf("%s%s\n", peaks.report().c_str(), speedLine(frames, rate, seconds).c_str());
}

std::vector<uint8_t> outputHeader(const WavLayout& layout, uint64_t frames)
{
    return wavHeader(layout.format, layout.carriedChunks, frames * layout.format.bytesPerFrame());
}

// What both paths check and read before they render.
bool prepare(const RenderOptions& o, InputFile& input, WavLayout& layout, RenderSettings& settings, std::string& error)
{
    return checkOutputPath(o.input, o.output, error) && checkEqTextOutput(o, error) &&
           openInput(o.input, input, layout, error) && resolveSettings(o, layout.format.sampleRate, settings, error);
}

// Reads the audio chunk by chunk, lets `process` change each chunk's samples in place and writes
// them in the input's format.
// Says what is rendered, through what and with which settings, writes the EQ text asked for, and
// opens the output.
bool announceAndOpen(const RenderOptions& o, const WavLayout& layout, const char* through,
                     const RenderSettings& settings, OutputFile& output, std::string& error)
{
    printInput(o.input, layout);
    std::printf("%s\n", through);
    printSettings(settings);
    return writeEqText(o, settings, error) && output.create(o.output, outputHeader(layout, layout.frames), error);
}

bool streamAudio(InputFile& input, const WavLayout& layout, OutputFile& output, size_t chunkFrames,
                 const std::function<void(float*, size_t)>& process, std::string& error)
{
    const WavFormat& fmt = layout.format;
    const size_t frameBytes = fmt.bytesPerFrame();
    std::vector<uint8_t> bytes(chunkFrames * frameBytes);
    std::vector<float> samples(chunkFrames * fmt.channels);
    for (uint64_t start = 0; start < layout.frames; start += chunkFrames) {
        if (interrupted()) {
            error = "interrupted; no output written";
            return false;
        }
        const uint64_t left = layout.frames - start;
        const size_t n = static_cast<size_t>(left < chunkFrames ? left : chunkFrames);
        if (!input.readAt(layout.dataOffset + start * frameBytes, bytes.data(), n * frameBytes)) {
            error = "cannot read the input";
            return false;
        }
        decodeFrames(fmt, bytes.data(), n, samples.data());
        process(samples.data(), n);
        encodeFrames(fmt, samples.data(), n, bytes.data());
        if (!output.write(bytes.data(), n * frameBytes, error))
            return false;
    }
    return true;
}

// Loads the plug-in and starts it as a host does: open, the rate and block size, on, then the
// settings the command line touched.
bool startPlugin(PluginHost& host, const std::string& dll, uint32_t sampleRate, int blockSize,
                 const RenderSettings& settings, std::string& error)
{
    if (!host.load(dll, error))
        return false;
    vst::AEffect* effect = host.effect();
    host.dispatch(vst::effOpen);
    host.dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    host.dispatch(vst::effSetBlockSize, 0, blockSize);
    host.dispatch(vst::effMainsChanged, 0, 1);
    for (int i = 0; i < kParamCount; ++i)
        if (settings.touched[i])
            effect->setParameter(effect, i, valueToNormalized(i, settings.record.values[i]));
    return true;
}

// Interleaved samples through the plug-in's processReplacing, in place, a block at a time; a mono
// file feeds both inputs and keeps the left output.
class VstBlocks {
public:
    VstBlocks(vst::AEffect* effect, size_t block, int channels)
        : effect_(effect), block_(block), channels_(channels), inL_(block), inR_(block), outL_(block), outR_(block)
    {}

    void process(float* samples, size_t n)
    {
        const int ch = channels_;
        float* inputs[2] = {inL_.data(), inR_.data()};
        float* outputs[2] = {outL_.data(), outR_.data()};
        for (size_t at = 0; at < n; at += block_) {
            const size_t m = n - at < block_ ? n - at : block_;
            float* s = samples + at * ch;
            for (size_t i = 0; i < m; ++i) {
                inL_[i] = s[i * ch];
                inR_[i] = ch == 2 ? s[i * ch + 1] : inL_[i];
            }
            effect_->processReplacing(effect_, inputs, outputs, static_cast<vst::VstInt32>(m));
            for (size_t i = 0; i < m; ++i) {
                s[i * ch] = outL_[i];
                if (ch == 2)
                    s[i * ch + 1] = outR_[i];
            }
        }
    }

private:
    vst::AEffect* effect_;
    size_t block_;
    int channels_;
    std::vector<float> inL_, inR_, outL_, outR_;
};

int renderVst(const RenderOptions& o)
{
    std::string error;
    InputFile input;
    WavLayout layout;
    RenderSettings settings;
    if (!prepare(o, input, layout, settings, error))
        return fail(error);
    const WavFormat& fmt = layout.format;

    PluginHost host;
    const std::string dll = o.dllPath.empty() ? besideThisProgram(kVstFileName) : o.dllPath;
    if (!startPlugin(host, dll, fmt.sampleRate, o.blockSize, settings, error))
        return fail(error);

    OutputFile output;
    if (!announceAndOpen(o, layout, ("plug-in: " + dll).c_str(), settings, output, error))
        return fail(error);
    const size_t block = static_cast<size_t>(o.blockSize);
    VstBlocks blocks(host.effect(), block, fmt.channels);
    PeakMeter peaks(fmt.channels);
    Progress progress(layout.frames);
    uint64_t done = 0;
    const bool showingProgress = layout.frames > static_cast<uint64_t>(fmt.sampleRate) * 20;
    Stopwatch clock;
    const auto process = [&](float* samples, size_t n) {
        blocks.process(samples, n);
        peaks.addSamples(samples, n);
        done += n;
        if (showingProgress)
            showProgress(progress, done);
    };
    if (!streamAudio(input, layout, output, (kIoFrames + block - 1) / block * block, process, error))
        return fail(error);
    if (showingProgress)
        std::fprintf(stderr, "\n");
    const double seconds = clock.seconds();
    host.dispatch(vst::effMainsChanged, 0, 0);
    host.unload();

    if (!output.commit(outputHeader(layout, layout.frames), error))
        return fail(error);
    std::printf("output: %s\n", o.output.c_str());
    printSummary(layout.frames, fmt.sampleRate, seconds, peaks);
    return 0;
}

// Takes the graph's output buffer by buffer to the output file; the graph's thread delivers, the
// caller's thread polls.
class FileSink : public GraphSink {
public:
    FileSink(const WavLayout& layout, OutputFile& output, bool showingProgress)
        : layout_(layout), output_(output), peaks_(layout.format.channels), progress_(layout.frames),
          showingProgress_(showingProgress)
    {}

    bool begin(const WAVEFORMATEX& f, std::string& error) override
    {
        const WavFormat& in = layout_.format;
        const WORD tag = in.kind == SampleKind::Float ? WAVE_FORMAT_IEEE_FLOAT : WAVE_FORMAT_PCM;
        const bool same = (f.wFormatTag == tag || f.wFormatTag == WAVE_FORMAT_EXTENSIBLE) &&
                          f.nChannels == in.channels && f.nSamplesPerSec == in.sampleRate &&
                          f.wBitsPerSample == in.bitsPerSample && f.nBlockAlign == in.bytesPerFrame();
        if (!same)
            error = "DirectShow: the filter delivers a format other than the input's";
        return same;
    }

    void deliver(const uint8_t* data, size_t size) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!error_.empty())
            return;
        if (!output_.write(data, size, error_))
            return;
        // A frame split between buffers is metered once it is whole.
        const size_t frameBytes = layout_.format.bytesPerFrame();
        size_t at = 0;
        if (!pending_.empty()) {
            at = std::min(frameBytes - pending_.size(), size);
            pending_.insert(pending_.end(), data, data + at);
            if (pending_.size() == frameBytes) {
                peaks_.addBytes(layout_.format, pending_.data(), 1);
                pending_.clear();
            }
        }
        const size_t whole = (size - at) / frameBytes;
        peaks_.addBytes(layout_.format, data + at, whole);
        pending_.insert(pending_.end(), data + at + whole * frameBytes, data + size);
        frames_ = output_.written() / frameBytes;
    }

    bool poll(std::string& error) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (error_.empty() && interrupted())
            error_ = "interrupted; no output written";
        if (!error_.empty()) {
            error = error_;
            return false;
        }
        if (showingProgress_)
            showProgress(progress_, frames_);
        return true;
    }

    uint64_t frames() const { return frames_; }
    const PeakMeter& peaks() const { return peaks_; }

private:
    const WavLayout& layout_;
    OutputFile& output_;
    PeakMeter peaks_;
    Progress progress_;
    bool showingProgress_;
    std::mutex mutex_;
    std::string error_;
    std::vector<uint8_t> pending_;
    uint64_t frames_ = 0;
};

// The same file through a real DirectShow graph with the equalizer filter; the graph's source reads
// the file itself.
int renderDirectShow(const RenderOptions& o)
{
    std::string error;
    WavLayout layout;
    RenderSettings settings;
    {
        InputFile input;  // the graph's source opens the file itself
        if (!prepare(o, input, layout, settings, error))
            return fail(error);
    }
    const WavFormat& fmt = layout.format;
    if (!(fmt.kind == SampleKind::Float || fmt.bitsPerSample == 16))
        return fail("--dshow: the DirectShow filter takes 16-bit PCM or 32-bit float, and this file is " +
                    fmt.describe() + "; render it without --dshow");

    const std::wstring input = widePath(o.input);
    const std::wstring dll = o.dllPath.empty() ? std::wstring() : widePath(o.dllPath);
    const std::string through =
        std::string("filter: ") + (o.dllPath.empty() ? "the registered qvEqualizer filter" : o.dllPath.c_str());
    OutputFile output;
    if (!announceAndOpen(o, layout, through.c_str(), settings, output, error))
        return fail(error);
    const bool showingProgress = layout.frames > static_cast<uint64_t>(layout.format.sampleRate) * 20;
    FileSink sink(layout, output, showingProgress);
    Stopwatch clock;
    GraphRunResult result =
        runWavThroughFilter(input.c_str(), &settings.record, dll.empty() ? nullptr : dll.c_str(), false, &sink);
    if (showingProgress)
        std::fprintf(stderr, "\n");
    const double seconds = clock.seconds();
    if (!result.ok) {
        if (result.error.find("REGDB_E_CLASSNOTREG") != std::string::npos ||
            result.error.find("80040154") != std::string::npos)
            result.error += " (register the filter with regsvr32 " QV_FILTER_FILE_NAME ", or name it with --dll)";
        return fail(result.error.compare(0, 11, "DirectShow:") == 0 || result.error.find("interrupted") == 0
                        ? result.error
                        : "DirectShow: " + result.error);
    }
    if (!output.commit(outputHeader(layout, sink.frames()), error))
        return fail(error);
    if (sink.frames() != layout.frames)
        warn("the graph delivered " + std::to_string(sink.frames()) + " of the input's " +
             std::to_string(layout.frames) + " frames");
    std::printf("output: %s (%llu of %llu frames through the graph)\n", o.output.c_str(),
                static_cast<unsigned long long>(sink.frames()), static_cast<unsigned long long>(layout.frames));
    printSummary(sink.frames(), layout.format.sampleRate, seconds, sink.peaks());
    return 0;
}

int writeDemo(const RenderOptions& o)
{
    std::string error;
    if (!checkOutputPath(std::string(), o.output, error))
        return fail(error);
    const unsigned rate = 44100;
    const std::vector<float> samples = makeDemoSignal(rate, 8.0);
    const WavFormat format = makeFormat(SampleKind::Pcm, 2, rate, 16);
    const size_t frames = samples.size() / 2;
    std::vector<uint8_t> data(frames * format.bytesPerFrame());
    encodeFrames(format, samples.data(), frames, data.data());
    const std::vector<uint8_t> header = wavHeader(format, {}, data.size());
    OutputFile output;
    if (!output.create(o.output, header, error) || !output.write(data.data(), data.size(), error) ||
        !output.commit(header, error))
        return fail(error);
    std::printf("wrote the demo signal to %s (8 s, 16-bit PCM stereo, 44100 Hz)\n", o.output.c_str());
    return 0;
}

}  // namespace

int runRenderTool(const RenderOptions& o)
{
    watchInterrupts();
    if (o.help) {
        std::fputs(renderHelp(), stdout);
        return 0;
    }
    if (o.listPresets)
        return listPresets(o);
    if (o.demoSignal)
        return writeDemo(o);
    if (o.writeOnly)
        return writeEqTextOnly(o);
    return o.directShow ? renderDirectShow(o) : renderVst(o);
}

bool copyWithoutProcessing(const std::string& inputPath, const std::string& outputPath, std::string& error)
{
    InputFile input;
    WavLayout layout;
    if (!input.open(inputPath, error) || !scanWav(input, layout, error))
        return false;
    OutputFile output;
    return output.create(outputPath, outputHeader(layout, layout.frames), error) &&
           streamAudio(
               input, layout, output, kIoFrames, [](float*, size_t) {}, error) &&
           output.commit(outputHeader(layout, layout.frames), error);
}

}  // namespace qv
