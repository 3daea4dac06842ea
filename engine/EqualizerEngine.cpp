#include "EqualizerEngine.h"

#include <cmath>
#include <cstring>

namespace qv {
namespace {

constexpr int32_t kChunk = 512;  // frames per pass of a two-channel block; a stack buffer, no allocation
constexpr std::memory_order kRelaxed = std::memory_order_relaxed;

}  // namespace

EqualizerEngine::EqualizerEngine()
{
    for (int i = 0; i < kParamCount; ++i) {
        working_[i].store(kDefaultParameters.values[i], kRelaxed);
        normalized_[i].store(valueToNormalized(i, kDefaultParameters.values[i]), kRelaxed);
    }
    setProgramName(kDefaultProgramName);
    undoBuffer_ = kDefaultParameters;
    for (int c = 0; c < kColumns; ++c) {
        active_[c] = -1;  // so that the first design counts as a change
        previousType_[c] = kDefaultParameters.values[paramIndex(kRowFilter, c)];
        audioBands_[c] = initialBandRecord();
        bands_[c] = initialBandRecord();
    }
    fillNoise();
}

// ---- parameters ------------------------------------------------------------------------------------

void EqualizerEngine::notifyUpdate()
{
    if (updateHook_)
        updateHook_(updateContext_);
}

void EqualizerEngine::setUpdateHook(UpdateHook hook, void* context)
{
    updateContext_ = context;
    updateHook_ = hook;
}

void EqualizerEngine::setNormalized(int index, float x)
{
    if (isValidIndex(index)) {
        normalized_[index].store(x, kRelaxed);
        working_[index].store(normalizedToValue(index, x), kRelaxed);
    }
    dirty_.store(true, std::memory_order_release);
    notifyUpdate();
}

float EqualizerEngine::getNormalized(int index) const
{
    return isValidIndex(index) ? normalized_[index].load(kRelaxed) : 0.0f;
}

float EqualizerEngine::programValue(int index) const { return getNormalized(index); }

void EqualizerEngine::storeValue(int index, int32_t v)
{
    working_[index].store(v, kRelaxed);
    normalized_[index].store(valueToNormalized(index, v), kRelaxed);
}

void EqualizerEngine::setValue(int index, int32_t v)
{
    if (!isValidIndex(index))
        return;
    const int32_t type = working_[paramIndex(kRowFilter, columnOf(index))].load(kRelaxed);
    storeValue(index, clampValue(index, v, type, freqLimit()));
    dirty_.store(true, std::memory_order_release);
    notifyUpdate();
}

void EqualizerEngine::followSetup(const ParameterRecord& record)
{
    bool changed = false;
    for (int i = 0; i < kParamCount; ++i) {
        if (working_[i].load(kRelaxed) != record.values[i]) {
            storeValue(i, record.values[i]);
            changed = true;
        }
    }
    if (changed)
        markDirty();
}

int32_t EqualizerEngine::getValue(int index) const { return isValidIndex(index) ? working_[index].load(kRelaxed) : 0; }

ParameterRecord EqualizerEngine::workingSetup() const
{
    ParameterRecord r;
    for (int i = 0; i < kParamCount; ++i)
        r.values[i] = working_[i].load(kRelaxed);
    return r;
}

void EqualizerEngine::replaceSetup(const ParameterRecord& record)
{
    ParameterRecord clamped = record;
    clampRecord(clamped, freqLimit());
    for (int i = 0; i < kParamCount; ++i)
        storeValue(i, clamped.values[i]);
    dirty_.store(true, std::memory_order_release);
    notifyUpdate();
}

void EqualizerEngine::reapply()
{
    for (int i = 0; i < kParamCount; ++i)
        storeValue(i, working_[i].load(kRelaxed));
    dirty_.store(true, std::memory_order_release);
    notifyUpdate();
}

void EqualizerEngine::selectSetup(int setup)
{
    if (setup == currentSetup_ || (setup != 0 && setup != 1))
        return;
    currentSetup_ = setup;
    const ParameterRecord previous = workingSetup();
    for (int i = 0; i < kParamCount; ++i)
        working_[i].store(other_.values[i], kRelaxed);
    other_ = previous;
    reapply();
}

void EqualizerEngine::copySetup(int from, int to)
{
    if (from == 0 && to == 1) {
        other_ = workingSetup();
    } else if (from == 1 && to == 0) {
        for (int i = 0; i < kParamCount; ++i)
            working_[i].store(other_.values[i], kRelaxed);
        reapply();
    }
}

void EqualizerEngine::snapshotForUndo(int tag)
{
    if ((tag >= 0 && tag != lastUndoTag_) || tag == -2)
        undoBuffer_ = workingSetup();
    lastUndoTag_ = tag;
}

void EqualizerEngine::undo()
{
    const ParameterRecord previous = workingSetup();
    for (int i = 0; i < kParamCount; ++i)
        working_[i].store(undoBuffer_.values[i], kRelaxed);
    undoBuffer_ = previous;
    reapply();
}

void EqualizerEngine::setProgramName(const char* name)
{
    if (!name)
        return;
    size_t n = 0;
    while (n < sizeof programName_ - 1 && name[n] != '\0')
        ++n;
    std::memcpy(programName_, name, n);
    programName_[n] = '\0';
}

// ---- design ----------------------------------------------------------------------------------------

void EqualizerEngine::setSampleRate(float rate)
{
    // Coefficients of the old rate would put every band at the wrong frequency until the next edit.
    if (sampleRate_.exchange(rate, kRelaxed) != rate)
        markDirty();
}

void EqualizerEngine::designCoefficients() { designDisplay(workingSetup()); }

void EqualizerEngine::designDisplay(const ParameterRecord& setup)
{
    const float fs = designSampleRate(sampleRate());
    for (int c = 0; c < kColumns; ++c)
        designColumn(setup, c, fs, bands_[c]);
}

BandRecord* EqualizerEngine::bandRecord(int column)
{
    return column >= 0 && column < kColumns ? &bands_[column] : nullptr;
}

void EqualizerEngine::clearHistory(int column)
{
    history_[column][0] = History{};
    history_[column][1] = History{};
}

void EqualizerEngine::designAudio(const ParameterRecord& setup)
{
    const float fs = designSampleRate(sampleRate());
    for (int c = 0; c < kColumns; ++c) {
        const ColumnDesign d = designColumn(setup, c, fs, audioBands_[c]);
        const int32_t active = d.active ? 1 : 0;
        if (active != active_[c])
            changed_[c] = 1;
        active_[c] = active;
        const int32_t type = setup.values[paramIndex(kRowFilter, c)];
        if (type != previousType_[c]) {
            previousType_[c] = type;
            changed_[c] = 1;
        }
        if (c == 0)
            gainTarget_ = d.gainLinear;
    }
    for (int c = 0; c < kColumns; ++c) {
        if (changed_[c]) {
            clearHistory(c);
            changed_[c] = 0;
        }
    }
    designedOnce_ = true;
}

// ---- processing ------------------------------------------------------------------------------------

void EqualizerEngine::fillNoise()
{
    // The classic C library generator, so that every build fills the same table.
    for (float& n : noise_) {
        randomState_ = randomState_ * 214013u + 2531011u;
        const int r = static_cast<int>((randomState_ >> 16) & 0x7FFF);
        n = static_cast<float>(r - 16384) * 1e-32f;
    }
}

void EqualizerEngine::zeroPeaks()
{
    peakLeft_.store(0.0f, kRelaxed);
    peakRight_.store(0.0f, kRelaxed);
}

int EqualizerEngine::gatherLanes(BandLanes& lanes, int channels) const
{
    lanes = BandLanes{};
    int bands = 0;
    for (int c = 1; c < kColumns; ++c) {
        if (active_[c] <= 0)
            continue;
        const BandRecord& b = audioBands_[c];
        for (int ch = 0; ch < channels; ++ch) {
            const int lane = bands * channels + ch;
            const History& h = history_[c][ch];
            lanes.b0[lane] = b.b0;
            lanes.b1[lane] = b.b1;
            lanes.b2[lane] = b.b2;
            lanes.a1[lane] = b.a1;
            lanes.a2[lane] = b.a2;
            lanes.x1[lane] = h.x1;
            lanes.x2[lane] = h.x2;
            lanes.y1[lane] = h.y1;
            lanes.y2[lane] = h.y2;
        }
        ++bands;
    }
    return bands;
}

void EqualizerEngine::scatterLanes(const BandLanes& lanes, int channels)
{
    int bands = 0;
    for (int c = 1; c < kColumns; ++c) {
        if (active_[c] <= 0)
            continue;
        for (int ch = 0; ch < channels; ++ch) {
            const int lane = bands * channels + ch;
            history_[c][ch] = History{lanes.x1[lane], lanes.y1[lane], lanes.x2[lane], lanes.y2[lane]};
        }
        ++bands;
    }
}

void EqualizerEngine::sanitizeHistory()
{
    // A non-finite input leaves a recursive filter producing NaN for ever; start such a band again
    // from silence. Finite input never gets here.
    for (int c = 1; c < kColumns; ++c) {
        for (History& h : history_[c]) {
            if (!std::isfinite(h.x1) || !std::isfinite(h.y1) || !std::isfinite(h.x2) || !std::isfinite(h.y2))
                h = History{};
        }
    }
}

void EqualizerEngine::finishMeters(float maxLeft, float maxRight, bool holdBetweenReads)
{
    const bool read = meterRead_.exchange(0, std::memory_order_acq_rel) != 0;
    if (holdBetweenReads && !read) {
        if (maxLeft > peakLeft_.load(kRelaxed))
            peakLeft_.store(maxLeft, kRelaxed);
        if (maxRight > peakRight_.load(kRelaxed))
            peakRight_.store(maxRight, kRelaxed);
    } else {
        peakLeft_.store(maxLeft, kRelaxed);
        peakRight_.store(maxRight, kRelaxed);
    }
}

BlockRun EqualizerEngine::beginRun() const
{
    BlockRun run;
    run.gain = gainCurrent_;
    run.target = gainTarget_;
    run.position = noisePosition_;
    return run;
}

int32_t EqualizerEngine::chunkLength(const BlockRun& run, uint32_t remaining, int32_t limit)
{
    // A chunk never wraps around the noise table, so its noise is one contiguous run.
    int32_t n = kNoiseTableSize - run.position;
    if (n > limit)
        n = limit;
    return remaining < static_cast<uint32_t>(n) ? static_cast<int32_t>(remaining) : n;
}

void EqualizerEngine::endRun(const BlockRun& run, int32_t clipValue)
{
    gainCurrent_ = run.gain;
    noisePosition_ = run.position;
    if (run.clipLeft)
        clip_[0].store(clipValue, kRelaxed);
    if (run.clipRight)
        clip_[1].store(clipValue, kRelaxed);
    sanitizeHistory();
}

template <bool Accumulate>
void EqualizerEngine::runBlock(const float* const* inputs, float* const* outputs, int32_t frames)
{
    // An empty block still updates the meters as any block does.
    if (frames < 0 || !inputs || !outputs)
        return;
    const float* inL = inputs[0];
    const float* inR = inputs[1];
    float* outL = outputs[0];
    float* outR = outputs[1];

    if (isBypassed()) {
        for (int32_t i = 0; i < frames; ++i) {
            // Read both before writing: a host may process in place.
            const float l = inL[i];
            const float r = inR[i];
            if (Accumulate) {
                outL[i] += l;
                outR[i] += r;
            } else {
                outL[i] = l;
                outR[i] = r;
            }
        }
        zeroPeaks();
        return;
    }

    if (takeDirty())
        designAudio(workingSetup());

    BandLanes lanes;
    const int bands = gatherLanes(lanes, 2);
    alignas(16) float chunk[2 * kChunk];
    BlockRun run = beginRun();
    for (int32_t start = 0; start < frames;) {
        // A gliding gain is serial: its chunk goes through separate passes around the bands.
        const bool gliding = bands > 0 && run.gain != run.target;
        const int32_t n = chunkLength(run, static_cast<uint32_t>(frames - start), gliding ? kChunk : kNoiseTableSize);
        const float* noise = noise_ + run.position;
        if (bands == 0) {
            finishSeparate(inL + start, inR + start, noise, outL + start, outR + start, n, Accumulate, run);
        } else if (!gliding) {
            const SeparateChannels channels{inL + start, inR + start, outL + start, outR + start};
            runSkewedBands(lanes, bands, channels, Accumulate, noise, n, run);
        } else {
            interleaveWithNoise(inL + start, inR + start, noise, chunk, n);
            runSkewedBands(lanes, 2, bands, chunk, n);
            finishFrames(chunk, 2, n, run);
            deinterleave(chunk, outL + start, outR + start, n, Accumulate);
        }
        run.position = (run.position + n) & (kNoiseTableSize - 1);
        start += n;
    }
    scatterLanes(lanes, 2);
    endRun(run, kClipFromVst);
    finishMeters(run.maxLeft, run.maxRight, true);
}

void EqualizerEngine::processReplacing(const float* const* inputs, float* const* outputs, int32_t frames)
{
    runBlock<false>(inputs, outputs, frames);
}

void EqualizerEngine::process(const float* const* inputs, float* const* outputs, int32_t frames)
{
    runBlock<true>(inputs, outputs, frames);
}

int EqualizerEngine::processInterleaved(float* buffer, uint32_t* frames, int channels, const ParameterRecord& snapshot,
                                        bool changed)
{
    if (!buffer || !frames || (channels != 1 && channels != 2))
        return 0;
    const uint32_t total = *frames;

    if (isBypassed()) {
        // The caller has taken the dirty flag with its snapshot; a bypassed buffer designs nothing,
        // so the change must still be waiting when bypass goes off.
        if (changed)
            markDirty();
        zeroPeaks();
        return 0;
    }
    if (changed || !designedOnce_)
        designAudio(snapshot);

    BandLanes lanes;
    const int bands = gatherLanes(lanes, channels);
    BlockRun run = beginRun();
    for (uint32_t start = 0; start < total;) {
        const int32_t n = chunkLength(run, total - start, kNoiseTableSize);
        float* chunk = buffer + static_cast<size_t>(start) * channels;
        const float* noise = noise_ + run.position;
        if (bands > 0 && run.gain == run.target) {
            runSkewedBands(lanes, channels, bands, chunk, noise, n, run);
        } else {
            addNoise(chunk, channels, noise, n);
            if (bands > 0)
                runSkewedBands(lanes, channels, bands, chunk, n);
            finishFrames(chunk, channels, n, run);
        }
        run.position = (run.position + n) & (kNoiseTableSize - 1);
        start += static_cast<uint32_t>(n);
    }
    scatterLanes(lanes, channels);
    endRun(run, kClipFromStream);
    // Each buffer shows its own maxima; mono feeds both meters.
    finishMeters(run.maxLeft, channels == 2 ? run.maxRight : run.maxLeft, false);
    return 0;
}

void EqualizerEngine::startStream(const ParameterRecord& snapshot)
{
    for (int c = 0; c < kColumns; ++c) {
        clearHistory(c);
        changed_[c] = 0;
    }
    noisePosition_ = 0;
    fillNoise();
    for (auto& counter : clip_)
        counter.store(0, kRelaxed);
    zeroPeaks();
    gainCurrent_ = 0.0f;
    designAudio(snapshot);
}

void EqualizerEngine::resetState()
{
    for (int c = 1; c < kColumns; ++c)
        clearHistory(c);
    zeroPeaks();
    noisePosition_ = 0;
}

void EqualizerEngine::clearClip()
{
    clip_[0].store(0, kRelaxed);
    clip_[1].store(0, kRelaxed);
}

void EqualizerEngine::readMeters(float& left, float& right)
{
    left = peakLeft_.load(kRelaxed);
    right = peakRight_.load(kRelaxed);
    meterRead_.store(1, std::memory_order_release);
}

float EqualizerEngine::readMeter(int channel)
{
    float left, right;
    readMeters(left, right);
    return channel == 0 ? left : right;
}

int32_t EqualizerEngine::getClipCounter(int channel, int pair) const
{
    if ((channel != 0 && channel != 1) || (pair != 0 && pair != 1))
        return 0;
    return clip_[pair * 2 + channel].load(kRelaxed);
}

void EqualizerEngine::setClipCounter(int channel, int pair, int32_t value)
{
    if ((channel != 0 && channel != 1) || (pair != 0 && pair != 1))
        return;
    clip_[pair * 2 + channel].store(value, kRelaxed);
}

}  // namespace qv
