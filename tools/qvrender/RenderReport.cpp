#include "RenderReport.h"

#include <cmath>
#include <cstdio>

namespace qv {

void PeakMeter::addSamples(const float* s, size_t frames)
{
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels_; ++c) {
            const float a = std::fabs(*s++);
            if (a > peak_[c])
                peak_[c] = a;
            if (!(a <= 1.0f))
                ++clipped_[c];
        }
    }
}

void PeakMeter::addBytes(const WavFormat& format, const uint8_t* bytes, size_t frames)
{
    // The most negative step is as far as a PCM writer can go: at or beyond it, or at the top step, is clipped.
    const float top = format.kind == SampleKind::Float ? 1.0f
                      : format.bitsPerSample == 16     ? 32767.0f / 32768.0f
                      : format.bitsPerSample == 24     ? 8388607.0f / 8388608.0f
                                                       : 1.0f;
    float block[2 * 1024];
    while (frames > 0) {
        const size_t n = frames < 1024 ? frames : 1024;
        decodeFrames(format, bytes, n, block);
        for (size_t i = 0; i < n; ++i) {
            for (int c = 0; c < channels_; ++c) {
                const float v = block[i * channels_ + c];
                const float a = std::fabs(v);
                if (a > peak_[c])
                    peak_[c] = a;
                const bool atLimit = format.kind == SampleKind::Float ? !(a <= 1.0f) : (v >= top || v <= -1.0f);
                if (atLimit)
                    ++clipped_[c];
            }
        }
        bytes += n * format.bytesPerFrame();
        frames -= n;
    }
}

std::string PeakMeter::report() const
{
    static const char* const kNames[2] = {"left", "right"};
    std::string out;
    for (int c = 0; c < channels_; ++c) {
        char line[128];
        // Below -200 dBFS is the engine's denormal guard, not signal.
        const double db = peak_[c] > 1e-10f ? 20.0 * std::log10(static_cast<double>(peak_[c])) : -INFINITY;
        std::snprintf(line, sizeof line, "  %-6s peak %7.2f dBFS", channels_ == 1 ? "mono" : kNames[c], db);
        out += line;
        if (clipped_[c] > 0) {
            std::snprintf(line, sizeof line, ", %llu clipped sample%s", static_cast<unsigned long long>(clipped_[c]),
                          clipped_[c] == 1 ? "" : "s");
            out += line;
        }
        out += "\n";
    }
    return out;
}

std::string formatDuration(double seconds)
{
    const unsigned long long s = seconds > 0 ? static_cast<unsigned long long>(seconds + 0.5) : 0;
    char text[48];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%llu:%02llu", s / 60, s % 60);
    return text;
}

std::string speedLine(uint64_t frames, uint32_t sampleRate, double wallSeconds)
{
    const double audio = sampleRate > 0 ? static_cast<double>(frames) / sampleRate : 0.0;
    char text[128];
    const int decimals = wallSeconds < 1 ? 2 : wallSeconds < 10 ? 1 : 0;
    if (wallSeconds <= 0.0 || audio <= 0.0)
        std::snprintf(text, sizeof text, "%s of audio in %.2f s", formatDuration(audio).c_str(), 0.0);
    else
        std::snprintf(text, sizeof text, "%s of audio in %.*f s, %.0fx real time", formatDuration(audio).c_str(),
                      decimals, wallSeconds, audio / wallSeconds);
    return text;
}

std::string Progress::update(uint64_t done)
{
    const int percent = total_ > 0 ? static_cast<int>((done < total_ ? done : total_) * 100 / total_) : 100;
    if (shown_ >= 0 && percent / 5 == shown_ / 5)
        return std::string();
    shown_ = percent;
    char text[32];
    std::snprintf(text, sizeof text, "processing: %3d%%", percent);
    return text;
}

}  // namespace qv
