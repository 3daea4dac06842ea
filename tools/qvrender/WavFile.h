#pragma once
// Reading and writing the WAV files the render tool works on: PCM 16, 24 and 32-bit and 32-bit
// float, mono or stereo, any sample rate; WAVE_FORMAT_EXTENSIBLE with a PCM or float sub-format.
// Files are scanned for their chunks and then streamed block by block, so their length costs no
// memory. Pure code: everything read is checked before use.

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
    std::string describe() const;  // "16-bit PCM stereo, 44100 Hz"
};

// The bytes of a file, read at offsets. The reader sees files only through this.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t size() const = 0;
    // Reads exactly n bytes at offset; false when they are not all there or the read failed.
    virtual bool readAt(uint64_t offset, void* buffer, size_t n) = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t size() const override { return size_; }
    bool readAt(uint64_t offset, void* buffer, size_t n) override;

private:
    const uint8_t* data_;
    size_t size_;
};

// Where a file's audio lies and what else of it goes to the output.
struct WavLayout {
    WavFormat format;
    uint64_t dataOffset = 0;  // of the first sample byte
    uint64_t frames = 0;
    std::vector<uint8_t> carriedChunks;  // LIST chunks, whole and padded, for the output
    std::vector<std::string> warnings;   // what was repaired or left out, for the user
};

// LIST chunks larger than this together are left out (with a warning) rather than held in memory.
constexpr size_t kMaxCarriedBytes = 1 << 20;

// Finds the format, the audio and the metadata. Sizes that say "unknown length" (0xFFFFFFFF) or
// claim more than the file holds are read up to the real end of the file, with a warning. Returns
// false with a message naming what is wrong.
bool scanWav(ByteSource& source, WavLayout& out, std::string& error);

// Samples of a format to interleaved floats (full scale = 1.0) and back. PCM is rounded to the
// nearest step and limited to full scale; encodeFrames returns how many samples had to be limited.
void decodeFrames(const WavFormat& format, const uint8_t* bytes, size_t frames, float* samples);
size_t encodeFrames(const WavFormat& format, const float* samples, size_t frames, uint8_t* bytes);

// The bytes before the audio: RIFF header, the format chunk as read, the carried chunks and the
// data chunk's header. Audio too long for the 32-bit sizes gets the "unknown length" sizes.
std::vector<uint8_t> wavHeader(const WavFormat& format, const std::vector<uint8_t>& carriedChunks, uint64_t dataBytes);

// A whole file in memory (tests, the demo signal, the fuzz target).
struct WavAudio {
    WavFormat format;
    size_t frames = 0;
    std::vector<float> samples;  // interleaved, full scale = 1.0
    std::vector<uint8_t> carriedChunks;
    std::vector<std::string> warnings;
};
bool parseWav(const uint8_t* data, size_t size, WavAudio& out, std::string& error);
size_t encodeWav(const WavFormat& format, const float* samples, size_t frames, std::vector<uint8_t>& out,
                 const std::vector<uint8_t>& carriedChunks = {});

// A format chunk for plain PCM or float audio (for generated signals).
WavFormat makeFormat(SampleKind kind, uint16_t channels, uint32_t sampleRate, uint16_t bits);

}  // namespace qv
