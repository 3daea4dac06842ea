#pragma once
// What a render tells its user: output peaks and clipping, progress, the time taken and the speed.
// Pure code.

#include <cstddef>
#include <cstdint>
#include <string>

#include "WavFile.h"

namespace qv {

// Peaks and clipped samples per channel of the audio written.
class PeakMeter {
public:
    explicit PeakMeter(int channels) : channels_(channels) {}
    // Float samples as computed: beyond full scale is clipped (a PCM output is limited there).
    void addSamples(const float* interleaved, size_t frames);
    // Samples as written by another processor: in PCM a sample at the limits of its range counts as
    // clipped, since the writer limited it there.
    void addBytes(const WavFormat& format, const uint8_t* bytes, size_t frames);
    // "  left   peak   -3.01 dBFS" for each channel, with ", N clipped samples" when there are any.
    std::string report() const;

private:
    int channels_;
    float peak_[2] = {0.0f, 0.0f};
    uint64_t clipped_[2] = {0, 0};
};

// "0:08", "60:00", "2:00:00": a length of audio, whole seconds.
std::string formatDuration(double seconds);

// "60:00 of audio in 29 s, 124x real time".
std::string speedLine(uint64_t frames, uint32_t sampleRate, double wallSeconds);

// Shows progress on a terminal line: a new text only when the whole percentage changes by 5.
class Progress {
public:
    explicit Progress(uint64_t total) : total_(total) {}
    // The text to show for `done` frames, or empty when nothing changed.
    std::string update(uint64_t done);

private:
    uint64_t total_;
    int shown_ = -1;
};

}  // namespace qv
