// The render tool's speed on a long file: frames per second of wall time through the VST plug-in and
// through the DirectShow graph, each against a copy of the same file through the same reader and
// writer without processing. Run under Wine from the build's bin folder, beside both plug-ins.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "DemoSignal.h"
#include "PluginContract.h"
#include "Render.h"
#include "RenderFiles.h"
#include "RenderOptions.h"
#include "WavFile.h"

using namespace qv;

namespace {

constexpr unsigned kRate = 44100;
constexpr int kRepeats = 75;  // of the 8 s demo: ten minutes of stereo audio
// Beside the program, in the build tree, wherever it is run from.
std::string besideProgram(const char* name)
{
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n < MAX_PATH ? n : 0);
    const size_t slash = dir.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : dir.substr(0, slash + 1)) + name;
}
const std::string kInput = besideProgram("render-bench-in.wav");
const std::string kOutput = besideProgram("render-bench-out.wav");
// The demo's "smile": five active bands and the output gain.
constexpr char kSmile[] = "-20,1,4,30,7,0,1,1,100,10,45,1,0,400,10,-30,1,0,2500,20,15,1,2,8000,10,30,0,0,1000,10,0";

bool writeInput(uint64_t& frames)
{
    const std::vector<float> demo = makeDemoSignal(kRate, 8.0);
    const WavFormat format = makeFormat(SampleKind::Pcm, 2, kRate, 16);
    std::vector<uint8_t> block(demo.size() / 2 * format.bytesPerFrame());
    encodeFrames(format, demo.data(), demo.size() / 2, block.data());
    frames = static_cast<uint64_t>(demo.size() / 2) * kRepeats;
    const std::vector<uint8_t> header = wavHeader(format, {}, frames * format.bytesPerFrame());
    OutputFile out;
    std::string error;
    bool ok = out.create(kInput, header, error);
    for (int i = 0; ok && i < kRepeats; ++i)
        ok = out.write(block.data(), block.size(), error);
    ok = ok && out.commit(header, error);
    if (!ok)
        std::fprintf(stderr, "render_bench: %s\n", error.c_str());
    return ok;
}

// The best wall time of three runs, with the tool's own printing sent to NUL.
double bestSeconds(const std::function<bool()>& run)
{
    double best = 1e30;
    for (int round = 0; round < 3; ++round) {
        std::fflush(stdout);
        std::fflush(stderr);
        const int savedOut = _dup(1), savedErr = _dup(2), nul = _open("NUL", _O_WRONLY);
        _dup2(nul, 1);
        _dup2(nul, 2);
        LARGE_INTEGER f, t0, t1;
        QueryPerformanceFrequency(&f);
        QueryPerformanceCounter(&t0);
        const bool ok = run();
        QueryPerformanceCounter(&t1);
        std::fflush(stdout);
        std::fflush(stderr);
        _dup2(savedOut, 1);
        _dup2(savedErr, 2);
        _close(nul);
        _close(savedOut);
        _close(savedErr);
        if (!ok)
            return -1;
        const double s = double(t1.QuadPart - t0.QuadPart) / double(f.QuadPart);
        if (s < best)
            best = s;
    }
    return best;
}

bool render(bool directShow)
{
    RenderOptions o;
    o.input = kInput;
    o.output = kOutput;
    o.directShow = directShow;
    if (directShow)
        o.dllPath = besideProgram(qv::kFilterFileName);
    SettingArg smile;
    smile.kind = SettingArg::Kind::Data;
    smile.text = kSmile;
    o.settings.push_back(smile);
    return runRenderTool(o) == 0;
}

}  // namespace

int main()
{
    uint64_t frames = 0;
    if (!writeInput(frames))
        return 1;
    std::string error;
    const double copy = bestSeconds([&] { return copyWithoutProcessing(kInput, kOutput, error); });
    const double vst = bestSeconds([] { return render(false); });
    const double dshow = bestSeconds([] { return render(true); });
    DeleteFileA(kInput.c_str());
    DeleteFileA(kOutput.c_str());
    if (copy < 0 || vst < 0 || dshow < 0) {
        std::fprintf(stderr, "render_bench: a run failed %s\n", error.c_str());
        return 1;
    }
    std::printf("10:00 of 16-bit stereo 44100 Hz, five active bands; best of three runs\n");
    std::printf("%-36s %12s %10s %14s %8s\n", "path", "frames/s", "seconds", "x real time", "ratio");
    const struct {
        const char* name;
        double seconds;
    } rows[] = {{"copy (read, convert, write)", copy}, {"VST plug-in", vst}, {"DirectShow graph", dshow}};
    for (const auto& r : rows)
        std::printf("%-36s %12.0f %10.3f %14.0f %8.2f\n", r.name, double(frames) / r.seconds, r.seconds,
                    double(frames) / kRate / r.seconds, r.seconds / copy);
    return 0;
}
