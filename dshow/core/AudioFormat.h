#pragma once
// Which audio formats the filter takes, and the format it keeps for a stream. Reads the raw format
// block byte by byte, so a short or odd block can never be read past its end.

#include <cstddef>
#include <cstdint>

namespace qv {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagExtensible = 0xFFFE;

// The stored stream format: the fields of a WAVEFORMATEX.
struct StreamFormat {
    uint16_t tag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t cbSize = 0;
};

// The sub-format an extensible block names, or the media subtype standing in for it when the block
// is cut off before its sub-format.
enum class SubFormat {
    Unknown,
    Pcm,
    Float
};

// Classifies a 16-byte GUID in its binary layout as the PCM or IEEE-float audio sub-format.
SubFormat subFormatFromGuid(const uint8_t guid[16]);

// True when the format block describes 16-bit PCM or 32-bit float with 1 or 2 channels; `out` then
// holds it with tag 1 or 3, block alignment and byte rate recomputed and cbSize 0.
bool acceptAudioFormat(const uint8_t* block, size_t size, SubFormat subtype, StreamFormat& out);

}  // namespace qv
