#include "DemoSignal.h"

#include <cmath>
#include <cstdint>

namespace qv {

std::vector<float> makeDemoSignal(unsigned rate, double seconds)
{
    const double pi = 3.14159265358979323846;
    const size_t frames = static_cast<size_t>(seconds * rate);
    std::vector<float> out(frames * 2);
    const double beat = 0.5;  // 120 beats per minute
    const double bass[4] = {55.0, 55.0, 73.42, 65.41};
    const double chord[3] = {220.0, 277.18, 329.63};
    uint32_t noise = 12345;
    double sweepPhase = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double inBeat = std::fmod(t, beat);
        const int beatIndex = static_cast<int>(t / beat);
        const double b = bass[beatIndex % 4];
        const double bassEnv = std::exp(-inBeat * 4.0);
        double left = 0.35 * bassEnv * std::sin(2 * pi * b * t);
        double right = left;
        for (int k = 0; k < 3; ++k) {
            const double v = 0.07 * std::sin(2 * pi * chord[k] * t + k);
            left += v * (1.0 - 0.3 * k);
            right += v * (0.4 + 0.3 * k);
        }
        // Hi-hat: bursts of white noise on the off-beats.
        noise = noise * 1664525u + 1013904223u;
        const double white = (static_cast<double>(noise >> 8) / 8388608.0) - 1.0;
        const double offBeat = std::fmod(t + beat / 2, beat);
        const double hat = 0.12 * white * std::exp(-offBeat * 40.0);
        left += hat;
        right += hat * 0.8;
        // A quiet sine sweeping from 40 Hz to 16 kHz across the whole file.
        const double f = 40.0 * std::pow(400.0, t / seconds);
        sweepPhase += 2 * pi * f / rate;
        const double sweep = 0.05 * std::sin(sweepPhase);
        out[2 * i] = static_cast<float>(left + sweep);
        out[2 * i + 1] = static_cast<float>(right + sweep);
    }
    return out;
}

}  // namespace qv
