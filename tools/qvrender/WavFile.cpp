#include "WavFile.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "LittleEndian.h"

namespace qv {
namespace {

uint8_t* put16(uint8_t* p, uint32_t x)
{
    p[0] = static_cast<uint8_t>(x);
    p[1] = static_cast<uint8_t>(x >> 8);
    return p + 2;
}
uint8_t* put32(uint8_t* p, uint32_t x) { return put16(put16(p, x & 0xFFFF), x >> 16); }

// The sub-format GUIDs of WAVE_FORMAT_EXTENSIBLE share this tail after their first two bytes.
const uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool readFormat(const uint8_t* p, uint32_t size, WavFormat& f, std::string& error)
{
    if (size < 16) {
        error = "the format chunk is too short";
        return false;
    }
    uint16_t tag = readLe16(p);
    f.channels = readLe16(p + 2);
    f.sampleRate = readLe32(p + 4);
    f.bitsPerSample = readLe16(p + 14);
    if (tag == 0xFFFE) {
        if (size < 40 || readLe16(p + 16) < 22) {
            error = "the extensible format chunk is too short";
            return false;
        }
        if (std::memcmp(p + 26, kSubFormatTail, sizeof kSubFormatTail) != 0) {
            error = "unsupported extensible sub-format";
            return false;
        }
        tag = readLe16(p + 24);
    }
    if (tag == 1)
        f.kind = SampleKind::Pcm;
    else if (tag == 3)
        f.kind = SampleKind::Float;
    else {
        char buf[80];
        std::snprintf(buf, sizeof buf, "unsupported sample format (tag %u)", tag);
        error = buf;
        return false;
    }
    if (f.channels != 1 && f.channels != 2) {
        error = "only mono and stereo files are supported (this one has " + std::to_string(f.channels) + " channels)";
        return false;
    }
    const bool bitsOk = f.kind == SampleKind::Float
                            ? f.bitsPerSample == 32
                            : (f.bitsPerSample == 16 || f.bitsPerSample == 24 || f.bitsPerSample == 32);
    if (!bitsOk) {
        error = "unsupported sample size: " + std::to_string(f.bitsPerSample) + " bits";
        return false;
    }
    if (f.sampleRate == 0 || f.sampleRate > 1000000) {
        error = "implausible sample rate " + std::to_string(f.sampleRate);
        return false;
    }
    if (readLe16(p + 12) != f.bytesPerFrame()) {
        error = "the block alignment does not match the sample size and channels";
        return false;
    }
    f.fmtChunk.assign(p, p + size);
    return true;
}

float decodeSample(const uint8_t* p, const WavFormat& f)
{
    if (f.kind == SampleKind::Float) {
        float v;
        uint32_t bits = readLe32(p);
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    switch (f.bitsPerSample) {
    case 16:
        return static_cast<float>(static_cast<int16_t>(readLe16(p))) * (1.0f / 32768.0f);
    case 24: {
        int32_t v = static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 8 | static_cast<uint32_t>(p[1]) << 16 |
                                         static_cast<uint32_t>(p[2]) << 24) >>
                    8;
        return static_cast<float>(v) * (1.0f / 8388608.0f);
    }
    default:
        return static_cast<float>(static_cast<double>(static_cast<int32_t>(readLe32(p))) / 2147483648.0);
    }
}

// Rounds to the nearest step, ties to even (as nearbyint does, at a small part of its cost under
// mingw) and limits to the integer range; `limited` counts limited samples.
int64_t quantize(float v, double scale, int64_t lo, int64_t hi, size_t& limited)
{
    const double x = static_cast<double>(v) * scale;
    if (!(x >= static_cast<double>(lo) - 0.5)) {  // NaN too
        ++limited;
        return std::isnan(v) ? 0 : lo;
    }
    if (x >= static_cast<double>(hi) + 0.5) {
        ++limited;
        return hi;
    }
    // Adding 1.5 * 2^52 leaves no bits for a fraction: the sum is rounded in the default mode.
    const double kRounder = 6755399441055744.0;
    return static_cast<int64_t>((x + kRounder) - kRounder);
}

}  // namespace

std::string WavFormat::describe() const
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "%u-bit %s %s, %u Hz", bitsPerSample, kind == SampleKind::Float ? "float" : "PCM",
                  channels == 1 ? "mono" : "stereo", sampleRate);
    return buf;
}

bool MemorySource::readAt(uint64_t offset, void* buffer, size_t n)
{
    if (offset > size_ || n > size_ - offset)
        return false;
    if (n > 0)
        std::memcpy(buffer, data_ + offset, n);
    return true;
}

namespace {

// No real format chunk comes near this; a larger one is a damaged size, not a format.
constexpr uint32_t kMaxFormatChunk = 4096;
constexpr uint32_t kUnknownSize = 0xFFFFFFFF;

std::string bytesText(uint64_t n) { return std::to_string(n) + (n == 1 ? " byte" : " bytes"); }

// The audio of a data chunk at `pos` whose stated size is `stated` and after whose header `available`
// bytes follow. Returns whether the audio runs to the end of the file.
bool placeData(uint64_t pos, uint32_t stated, uint64_t available, WavLayout& out)
{
    uint64_t bytes = stated;
    bool toEnd = false;
    if (stated == kUnknownSize) {
        bytes = available;
        toEnd = true;
        out.warnings.push_back("the data chunk's size says \"unknown length\"; reading the audio up to the end of "
                               "the file");
    } else if (stated > available) {
        bytes = available;
        toEnd = true;
        out.warnings.push_back("the data chunk announces " + bytesText(stated) + " but only " + bytesText(available) +
                               " follow; reading what is there");
    }
    const uint32_t frameBytes = out.format.bytesPerFrame();
    out.dataOffset = pos + 8;
    out.frames = bytes / frameBytes;
    if (bytes % frameBytes != 0)
        out.warnings.push_back("the audio ends in a partial frame; its " + bytesText(bytes % frameBytes) +
                               " are left out");
    return toEnd;
}

// The first format chunk, at `pos`.
bool readFormatChunk(ByteSource& source, uint64_t pos, uint32_t chunkSize, uint64_t available, WavLayout& out,
                     std::string& error)
{
    if (chunkSize > available) {
        error = "the file is truncated inside its format chunk";
        return false;
    }
    if (chunkSize > kMaxFormatChunk) {
        error = "the format chunk's size (" + bytesText(chunkSize) + ") is implausible";
        return false;
    }
    std::vector<uint8_t> fmt(chunkSize);
    if (!source.readAt(pos + 8, fmt.data(), fmt.size())) {
        error = "cannot read the file";
        return false;
    }
    return readFormat(fmt.data(), chunkSize, out.format, error);
}

enum class ChunkEnd {
    kNext,
    kStop,
    kFail
};

// A LIST chunk at `pos`, carried over whole to the output when it fits, else left out with a warning.
ChunkEnd carryList(ByteSource& source, uint64_t pos, uint32_t chunkSize, uint64_t available, WavLayout& out,
                   std::string& error)
{
    if (chunkSize > available) {
        out.warnings.push_back("a LIST chunk runs past the end of the file; it is left out");
        return ChunkEnd::kStop;
    }
    const uint64_t whole = 8 + static_cast<uint64_t>(chunkSize) + (chunkSize & 1);
    if (out.carriedChunks.size() + whole > kMaxCarriedBytes) {
        out.warnings.push_back("a LIST chunk of " + bytesText(chunkSize) +
                               " is too large to carry over; it is left out");
        return ChunkEnd::kNext;
    }
    const size_t at = out.carriedChunks.size();
    out.carriedChunks.resize(at + static_cast<size_t>(whole), 0);  // the pad byte may be missing
    if (!source.readAt(pos, out.carriedChunks.data() + at, 8 + static_cast<size_t>(chunkSize))) {
        error = "cannot read the file";
        return ChunkEnd::kFail;
    }
    return ChunkEnd::kNext;
}

}  // namespace

bool scanWav(ByteSource& source, WavLayout& out, std::string& error)
{
    out = WavLayout{};
    const uint64_t size = source.size();
    uint8_t header[12];
    if (size < 12 || !source.readAt(0, header, 12) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "WAVE", 4) != 0) {
        error = "not a WAV file (no RIFF/WAVE header)";
        return false;
    }
    bool haveFormat = false, haveData = false;
    uint64_t pos = 12;
    while (pos + 8 <= size) {
        uint8_t chunk[8];
        if (!source.readAt(pos, chunk, 8)) {
            error = "cannot read the file";
            return false;
        }
        const uint32_t chunkSize = readLe32(chunk + 4);
        const uint64_t available = size - pos - 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && !haveFormat) {
            if (!readFormatChunk(source, pos, chunkSize, available, out, error))
                return false;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !haveData) {
            if (!haveFormat) {
                error = "the data chunk comes before any format chunk";
                return false;
            }
            haveData = true;
            if (placeData(pos, chunkSize, available, out))
                break;
        } else if (std::memcmp(chunk, "LIST", 4) == 0) {
            const ChunkEnd end = carryList(source, pos, chunkSize, available, out, error);
            if (end == ChunkEnd::kFail)
                return false;
            if (end == ChunkEnd::kStop)
                break;
        }
        // Chunks are padded to even sizes.
        const uint64_t next = pos + 8 + chunkSize + (chunkSize & 1);
        if (next > size)
            break;
        pos = next;
    }
    if (!haveData) {
        error = haveFormat ? "the file has no data chunk" : "the file has no format chunk";
        return false;
    }
    return true;
}

void decodeFrames(const WavFormat& f, const uint8_t* bytes, size_t frames, float* samples)
{
    const size_t count = frames * f.channels;
    const size_t step = f.bitsPerSample / 8;
    for (size_t i = 0; i < count; ++i, bytes += step)
        samples[i] = decodeSample(bytes, f);
}

size_t encodeFrames(const WavFormat& f, const float* samples, size_t frames, uint8_t* out)
{
    const size_t count = frames * f.channels;
    size_t limited = 0;
    for (size_t i = 0; i < count; ++i) {
        const float v = samples[i];
        if (f.kind == SampleKind::Float) {
            uint32_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            out = put32(out, bits);
            continue;
        }
        switch (f.bitsPerSample) {
        case 16:
            out = put16(out, static_cast<uint32_t>(quantize(v, 32768.0, -32768, 32767, limited)) & 0xFFFF);
            break;
        case 24: {
            const uint32_t x = static_cast<uint32_t>(quantize(v, 8388608.0, -8388608, 8388607, limited));
            *out++ = static_cast<uint8_t>(x);
            *out++ = static_cast<uint8_t>(x >> 8);
            *out++ = static_cast<uint8_t>(x >> 16);
            break;
        }
        default:
            out = put32(out, static_cast<uint32_t>(quantize(v, 2147483648.0, INT32_MIN, INT32_MAX, limited)));
            break;
        }
    }
    return limited;
}

std::vector<uint8_t> wavHeader(const WavFormat& f, const std::vector<uint8_t>& carriedChunks, uint64_t dataBytes)
{
    const uint32_t fmtBytes = static_cast<uint32_t>(f.fmtChunk.size());
    const uint64_t riff = 4 + 8 + fmtBytes + (fmtBytes & 1) + carriedChunks.size() + 8 + dataBytes + (dataBytes & 1);
    std::vector<uint8_t> out;
    out.reserve(44 + fmtBytes + carriedChunks.size());
    auto append32 = [&out](uint64_t x) {
        uint8_t b[4];
        put32(b, x > kUnknownSize ? kUnknownSize : static_cast<uint32_t>(x));
        out.insert(out.end(), b, b + 4);
    };
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    append32(riff);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    append32(fmtBytes);
    out.insert(out.end(), f.fmtChunk.begin(), f.fmtChunk.end());
    if (fmtBytes & 1)
        out.push_back(0);
    out.insert(out.end(), carriedChunks.begin(), carriedChunks.end());
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    append32(dataBytes);
    return out;
}

bool parseWav(const uint8_t* data, size_t size, WavAudio& out, std::string& error)
{
    out = WavAudio{};
    MemorySource source(data, size);
    WavLayout layout;
    if (!scanWav(source, layout, error))
        return false;
    out.format = layout.format;
    out.frames = static_cast<size_t>(layout.frames);
    out.samples.resize(out.frames * out.format.channels);
    decodeFrames(out.format, data + layout.dataOffset, out.frames, out.samples.data());
    out.carriedChunks = std::move(layout.carriedChunks);
    out.warnings = std::move(layout.warnings);
    return true;
}

size_t encodeWav(const WavFormat& f, const float* samples, size_t frames, std::vector<uint8_t>& out,
                 const std::vector<uint8_t>& carriedChunks)
{
    const uint64_t dataBytes = static_cast<uint64_t>(frames) * f.bytesPerFrame();
    out = wavHeader(f, carriedChunks, dataBytes);
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(dataBytes) + (dataBytes & 1), 0);
    return encodeFrames(f, samples, frames, out.data() + at);
}

WavFormat makeFormat(SampleKind kind, uint16_t channels, uint32_t sampleRate, uint16_t bits)
{
    WavFormat f;
    f.kind = kind;
    f.channels = channels;
    f.sampleRate = sampleRate;
    f.bitsPerSample = bits;
    f.fmtChunk.resize(16);
    uint8_t* p = put16(f.fmtChunk.data(), kind == SampleKind::Float ? 3 : 1);
    p = put16(p, channels);
    p = put32(p, sampleRate);
    p = put32(p, sampleRate * f.bytesPerFrame());
    p = put16(p, f.bytesPerFrame());
    put16(p, bits);
    return f;
}

}  // namespace qv
