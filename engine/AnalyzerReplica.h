#pragma once
// The bands run a second time, on the editor's side, over the input the analyzer's ring hands
// over: the output trace's samples. The copy follows the audio side's working setup, bypass and
// rate before every drain, so it plays what the audio side plays, sample for sample, from the
// frame a change reaches it; only the moment of a change may differ by part of a block. The audio
// thread thus copies one signal for the analyzer instead of two.

#include <cstdint>

#include "EqualizerEngine.h"

namespace qv {

class AnalyzerReplica {
public:
    static constexpr uint32_t kRun = 512;  // frames through the copy at a time

    // Takes the setup (stored integers as they stand, nothing clamped), bypass and rate the audio
    // side runs with; a change is designed before the next frames.
    void follow(const ParameterRecord& setup, bool bypassed, float sampleRate);
    // Clears the bands' history: the samples that come next do not follow the last ones.
    void restart();

    // Runs `frames` input frames through the copy and hands output and input on to
    // sink.feed(outL, outR, inL, inR, n) in runs of up to kRun frames; the input pointers are null
    // unless withInput.
    template <class Sink>
    void run(const float* left, const float* right, uint32_t frames, Sink& sink, bool withInput)
    {
        for (uint32_t done = 0; done < frames;) {
            const uint32_t n = frames - done < kRun ? frames - done : kRun;
            const float* in[2] = {left + done, right + done};
            float* out[2] = {outLeft_, outRight_};
            engine_.processReplacing(in, out, static_cast<int32_t>(n));
            sink.feed(outLeft_, outRight_, withInput ? in[0] : nullptr, withInput ? in[1] : nullptr, n);
            done += n;
        }
    }

private:
    EqualizerEngine engine_;
    float outLeft_[kRun] = {};
    float outRight_[kRun] = {};
};

}  // namespace qv
