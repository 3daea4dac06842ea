#pragma once
// The per-instance equalizer engine shared by both plug-ins: parameter model, setups A/B, undo,
// bypass, coefficient design, processing, metering and clip detection. No platform headers.
//
// Threads. The VST host's audio thread, its automation calls and the editor's user-interface thread
// meet here without a lock: every shared field is a single atomic word. The audio thread designs its
// own coefficients (at the first block after a parameter write, taking the dirty flag) into records
// only it touches, so a design can never overlap processing and the audio thread never waits. The
// editor designs the display records (bandRecord) that the EQ graph reads and edits in place; the
// audio thread never touches those.

#include <atomic>
#include <cstdint>

#include "BandDesign.h"
#include "FramePasses.h"
#include "ParameterModel.h"
#include "SkewedBands.h"

namespace qv {

class EqualizerEngine {
public:
    static constexpr int kNoiseTableSize = 2048;
    static constexpr int kClipFromVst = 6;
    static constexpr int kClipFromStream = 3;

    EqualizerEngine();
    EqualizerEngine(const EqualizerEngine&) = delete;
    EqualizerEngine& operator=(const EqualizerEngine&) = delete;

    // ---- parameters -------------------------------------------------------------------------
    void setNormalized(int index, float x);  // host path: stores the mapped integer unclamped
    float getNormalized(int index) const;
    void setValue(int index, int32_t v);  // integer path: clamped
    int32_t getValue(int index) const;

    ParameterRecord workingSetup() const;
    // Replaces the working setup, clamping every field (each Q by the record's own type).
    void replaceSetup(const ParameterRecord& record);
    // Takes another engine's working setup as it stands, nothing clamped: the analyzer's copy of the
    // bands. Marks the design dirty only when a value changed.
    void followSetup(const ParameterRecord& record);

    void selectSetup(int setup);
    int currentSetup() const { return currentSetup_; }
    void copySetup(int from, int to);
    const ParameterRecord& otherSetup() const { return other_; }

    void snapshotForUndo(int tag);
    void undo();

    void setBypass(int on) { bypass_.store(on ? 1 : 0, std::memory_order_relaxed); }
    int isBypassed() const { return bypass_.load(std::memory_order_relaxed); }

    // The host's program record, mirrored by every parameter write.
    const char* programName() const { return programName_; }
    void setProgramName(const char* name);  // cut to 23 characters
    float programValue(int index) const;

    // Called (on the writing thread) after every parameter write, so an editor can refresh later.
    using UpdateHook = void (*)(void* context);
    void setUpdateHook(UpdateHook hook, void* context);

    // ---- sample rate and design ---------------------------------------------------------------
    void setSampleRate(float rate);  // 0: no rate known (a stream without a format)
    float sampleRate() const { return sampleRate_.load(std::memory_order_relaxed); }
    int32_t freqLimit() const { return freqLimitForRate(sampleRate()); }

    // Designs the display records and the output gain they show from the working setup. For the
    // editor and the graph; processing keeps its own coefficients.
    void designCoefficients();
    // The same from a given setup (the DirectShow side designs from a snapshot).
    void designDisplay(const ParameterRecord& setup);
    BandRecord* bandRecord(int column);  // display record of column 0..6, null outside
    bool isDirty() const { return dirty_.load(std::memory_order_relaxed); }
    bool takeDirty() { return dirty_.exchange(false, std::memory_order_acq_rel); }
    void markDirty() { dirty_.store(true, std::memory_order_release); }

    // ---- processing ---------------------------------------------------------------------------
    // VST: two separate channels. process() adds to what the outputs hold.
    void processReplacing(const float* const* inputs, float* const* outputs, int32_t frames);
    void process(const float* const* inputs, float* const* outputs, int32_t frames);

    // DirectShow: one interleaved buffer of 1 or 2 channels, in place, designed from `snapshot`
    // when `changed` or when no design has run yet. Returns 0.
    int processInterleaved(float* buffer, uint32_t* frames, int channels, const ParameterRecord& snapshot,
                           bool changed);
    // Stream start: history and changed flags cleared, noise table refilled, clip counters and peaks
    // zeroed, output gain faded in from 0, and a design at once from `snapshot`.
    void startStream(const ParameterRecord& snapshot);
    void stopStream() { zeroPeaks(); }

    void resetState();
    void clearClip();
    void readMeters(float& left, float& right);
    float readMeter(int channel);  // one channel, marking the meters read
    int32_t getClipCounter(int channel, int pair) const;
    void setClipCounter(int channel, int pair, int32_t value);

    float outputGainCurrent() const { return gainCurrent_; }
    float outputGainTarget() const { return gainTarget_; }

private:
    struct History {
        float x1, y1, x2, y2;
    };

    void storeValue(int index, int32_t v);
    void reapply();
    void notifyUpdate();
    void fillNoise();
    void zeroPeaks();
    void designAudio(const ParameterRecord& setup);
    void clearHistory(int column);
    BlockRun beginRun() const;
    // The frames of a block's next chunk: at most `limit`, and none past the noise table's end.
    static int32_t chunkLength(const BlockRun& run, uint32_t remaining, int32_t limit);
    void endRun(const BlockRun& run, int32_t clipValue);
    template <bool Accumulate>
    void runBlock(const float* const* inputs, float* const* outputs, int32_t frames);
    // The active bands' coefficients and history in lane order; returns how many bands are active.
    int gatherLanes(BandLanes& lanes, int channels) const;
    void scatterLanes(const BandLanes& lanes, int channels);
    void sanitizeHistory();
    void finishMeters(float maxLeft, float maxRight, bool holdBetweenReads);

    // Parameter model
    std::atomic<int32_t> working_[kParamCount];
    ParameterRecord other_{};
    ParameterRecord undoBuffer_{};
    int lastUndoTag_ = -1;
    int currentSetup_ = 0;
    std::atomic<int> bypass_{0};
    std::atomic<bool> dirty_{true};
    std::atomic<float> normalized_[kParamCount];
    char programName_[24] = {};
    UpdateHook updateHook_ = nullptr;
    void* updateContext_ = nullptr;

    std::atomic<float> sampleRate_{44100.0f};

    // Audio-thread state
    int32_t changed_[kColumns] = {};
    int32_t active_[kColumns];
    int32_t previousType_[kColumns];
    float gainTarget_ = 1.0f;
    float gainCurrent_ = 1.0f;
    BandRecord audioBands_[kColumns];
    History history_[kColumns][2] = {};
    bool designedOnce_ = false;

    // Display records for the editor and the graph
    BandRecord bands_[kColumns];

    std::atomic<int32_t> clip_[4] = {};  // engine left, engine right, editor left, editor right
    float noise_[kNoiseTableSize];
    int noisePosition_ = 0;
    uint32_t randomState_ = 1;
    std::atomic<float> peakLeft_{0.0f};
    std::atomic<float> peakRight_{0.0f};
    std::atomic<int> meterRead_{0};
};

}  // namespace qv
