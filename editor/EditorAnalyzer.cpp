// The analyzer behind the graph's curve, on the editor's side: the user's remembered choice,
// the ring the audio side fills, and a timer of its own that runs only while there is something to
// show. The 50 ms tick only looks whether sound has come.
#include <windows.h>

#include <algorithm>
#include <new>

#include "EditorSession.h"
#include "GraphMath.h"
#include "PluginContract.h"
#include "Skin.h"

namespace qv {
namespace {

constexpr char kAnalyzerValue[] = "Analyzer";

// 40 frames a second where the system's timer ticks every millisecond; where it ticks every
// 15.6 ms (the default), 32, where a period of 33 ms would come out as 21.
constexpr UINT kFramePeriodMs = 25;
// A frame without new samples waits for the next block before the traces fall as for silence, so
// that large blocks do not make them flicker: hosts hand audio in blocks of up to about 100 ms, a
// media player's stream may come in larger ones, as long as a block lasts and half as long again.
constexpr DWORD kBlockWaitMs = 120;
constexpr DWORD kLongestBlockWaitMs = 800;
// One frame never accounts for more: a stalled editor does not see its traces jump.
constexpr float kLongestFrame = 0.25f;

AnalyzerMode readAnalyzerChoice()
{
    RegKey key;
    DWORD type = 0, value = 0, size = sizeof value;
    const bool present = key.open(HKEY_CURRENT_USER, kUserSettingsKey, KEY_QUERY_VALUE) == ERROR_SUCCESS &&
                         RegQueryValueExA(key.get(), kAnalyzerValue, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                          &size) == ERROR_SUCCESS &&
                         type == REG_DWORD && size == sizeof value;
    return analyzerModeFromStored(present, value);
}

void writeAnalyzerChoice(AnalyzerMode mode)
{
    RegKey key;
    const DWORD value = static_cast<DWORD>(mode);
    if (key.create(HKEY_CURRENT_USER, kUserSettingsKey, KEY_SET_VALUE) == ERROR_SUCCESS)
        RegSetValueExA(key.get(), kAnalyzerValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace

void EditorSession::startAnalyzer()
{
    if (closed() || analyzerMode_ == kAnalyzerOff || !item(kGraphId))
        return;
    if (!ring_)
        ring_ = model_->claimAnalyzerRing();
    if (!ring_)
        return;  // no ring (a filter of another process), or another editor has it
    if (!analyzer_)
        analyzer_.reset(new (std::nothrow) FrequencyAnalyzer());
    if (!replica_)
        replica_.reset(new (std::nothrow) AnalyzerReplica());
    if (!analyzer_ || !replica_) {
        stopAnalyzer();
        return;
    }
    configureAnalyzer();
    replica_->restart();
    ring_->attach();
    SendMessageA(item(kGraphId), EQ_SETANALYZER, reinterpret_cast<WPARAM>(analyzer_.get()), 0);
}

void EditorSession::stopAnalyzer()
{
    if (analyzerRunning_ && window_)
        KillTimer(window_, kAnalyzerTimerId);
    analyzerRunning_ = false;
    if (ring_) {
        ring_->detach();
        if (model_)
            model_->releaseAnalyzerRing();
        ring_ = nullptr;
    }
    if (window_ && item(kGraphId))
        SendMessageA(item(kGraphId), EQ_SETANALYZER, 0, 0);
}

// On the graph's own axes; the samples may come at another rate than the graph is drawn for.
void EditorSession::configureAnalyzer()
{
    RECT c{};
    GetClientRect(item(kGraphId), &c);
    const float graphRate = graphSampleRate(graphRate_);
    const float rate = model_->sampleRate();
    analyzerRate_ = rate > 0.0f ? rate : graphRate;
    analyzer_->configure(analyzerRate_, makeGraphAxes(c.right, c.bottom, graphRate, 20, scale_),
                         analyzerMode_ == kAnalyzerBoth);
    analyzerPending_ = 0;
}

uint32_t EditorSession::drainAnalyzer()
{
    ParameterRecord setup;
    for (int i = 0; i < kParamCount; ++i)
        setup.values[i] = model_->value(i);
    replica_->follow(setup, model_->bypassed(), model_->sampleRate());
    const bool withInput = analyzerMode_ == kAnalyzerBoth;
    return ring_->drain([&](const float* left, const float* right, uint32_t frames) {
        replica_->run(left, right, frames, *analyzer_, withInput);
    });
}

void EditorSession::pollAnalyzer()
{
    if (!ring_ || !analyzer_ || !replica_)
        return;
    // A stream may change its rate while it plays.
    const float rate = model_->sampleRate();
    if (rate > 0.0f && rate != analyzerRate_)
        configureAnalyzer();
    if (analyzerRunning_)
        return;
    analyzerPending_ += drainAnalyzer();
    if (analyzer_->idle()) {
        analyzerPending_ = 0;  // near-silence: nothing for a frame to account for
        return;
    }
    lastFrameAt_ = lastSamplesAt_ = GetTickCount();
    blockWaitMs_ = kBlockWaitMs;
    analyzerRunning_ = SetTimer(window_, kAnalyzerTimerId, kFramePeriodMs, nullptr) != 0;
}

void EditorSession::onAnalyzerTick()
{
    if (!ring_ || !analyzer_ || !replica_) {
        stopAnalyzer();
        return;
    }
    const DWORD now = GetTickCount();
    analyzerPending_ += drainAnalyzer();
    // The samples' own time while they come (the same as the clock's in playback, and the same on
    // every run for the same samples), the clock's once they have stopped.
    float elapsed = 0.0f;
    if (analyzerPending_ > 0) {
        elapsed = static_cast<float>(analyzerPending_) / analyzerRate_;
        blockWaitMs_ = std::min(std::max(kBlockWaitMs, static_cast<DWORD>(elapsed * 1500.0f)), kLongestBlockWaitMs);
        lastSamplesAt_ = now;
    } else if (now - lastSamplesAt_ >= blockWaitMs_) {
        // The fall counts from the end of the wait, so that the traces do not drop by all of it at once.
        const DWORD falling = std::min(now - lastFrameAt_, now - lastSamplesAt_ - blockWaitMs_ + kFramePeriodMs);
        elapsed = static_cast<float>(falling) * 0.001f;
    } else {
        return;
    }
    analyzer_->frame(std::min(elapsed, kLongestFrame));
    analyzerPending_ = 0;
    lastFrameAt_ = now;
    HWND graph = item(kGraphId);
    InvalidateRect(graph, nullptr, FALSE);
    UpdateWindow(graph);
    if (analyzer_->idle()) {
        KillTimer(window_, kAnalyzerTimerId);
        analyzerRunning_ = false;
    }
}

void EditorSession::chooseAnalyzer(AnalyzerMode mode)
{
    writeAnalyzerChoice(mode);
    if (mode == analyzerMode_)
        return;
    stopAnalyzer();
    analyzerMode_ = mode;
    startAnalyzer();
    InvalidateRect(item(kGraphId), nullptr, FALSE);
}

AnalyzerMode EditorSession::rememberedAnalyzer() { return readAnalyzerChoice(); }

}  // namespace qv
