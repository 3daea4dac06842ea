#pragma once
// Reading and writing the WAV files the render tool works on: PCM 16, 24 and 32-bit and 32-bit
// float, mono or stereo, any sample rate; WAVE_FORMAT_EXTENSIBLE with a PCM or float sub-format.
// Pure code: everything read is checked before use.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

enum class SampleKind {
    Pcm,
    Float
};

struct WavFormat {
    SampleKind kind = SampleKind::Pcm;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
    std::vector<uint8_t> fmtChunk;  // the input's format chunk, written back unchanged

    uint32_t bytesPerFrame() const { return static_cast<uint32_t>(bitsPerSample / 8) * channels; }
    std::string describe() const;  // "16-bit PCM stereo 44100 Hz"
};

struct WavAudio {
    WavFormat format;
    size_t frames = 0;
    std::vector<float> samples;  // interleaved, full scale = 1.0
};

// Parses a whole file image. Returns false with a message naming what is wrong.
bool parseWav(const uint8_t* data, size_t size, WavAudio& out, std::string& error);

// Encodes samples in `format` (the input's format chunk is reused). PCM is rounded to the nearest
// step and limited to full scale; the return value counts the samples that had to be limited.
size_t encodeWav(const WavFormat& format, const float* samples, size_t frames, std::vector<uint8_t>& out);

// A file of `format` (its format chunk as read) around sample bytes already in that format.
void wrapWavData(const WavFormat& format, const std::vector<uint8_t>& data, std::vector<uint8_t>& out);

// A format chunk for plain PCM or float audio (for generated signals).
WavFormat makeFormat(SampleKind kind, uint16_t channels, uint32_t sampleRate, uint16_t bits);

}  // namespace qv
