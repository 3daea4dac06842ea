#pragma once
// 16-bit PCM to float and back, for running 16-bit streams through the float engine. The samples
// may sit at any byte address inside a media buffer, so they are read and written bytewise.

#include <cstddef>
#include <cstdint>

namespace qv {

// s * 2^-15 for each little-endian 16-bit sample.
void pcm16ToFloat(const void* in, float* out, size_t count);

// f * 32768 truncated toward zero, clamped to -32768..32767; a NaN becomes 0.
int16_t floatToPcm16Sample(float f);
void floatToPcm16(const float* in, void* out, size_t count);

}  // namespace qv
