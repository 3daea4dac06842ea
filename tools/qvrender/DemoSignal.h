#pragma once
// The demo input: a few seconds of stereo music-like material that shows an equalizer's work.

#include <cstddef>
#include <vector>

namespace qv {

// Interleaved stereo at `rate`: a bass line, a chord, hi-hat noise and a slow sweep.
std::vector<float> makeDemoSignal(unsigned rate, double seconds);

}  // namespace qv
