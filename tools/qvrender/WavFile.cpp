#include "WavFile.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "LittleEndian.h"

namespace qv {
namespace {

void put16(std::vector<uint8_t>& v, uint32_t x)
{
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x)
{
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}

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

// Rounds to the nearest step and limits to the integer range; `limited` counts limited samples.
int64_t quantize(float v, double scale, int64_t lo, int64_t hi, size_t& limited)
{
    if (std::isnan(v)) {
        ++limited;
        return 0;
    }
    const double x = std::nearbyint(static_cast<double>(v) * scale);
    if (x < static_cast<double>(lo)) {
        ++limited;
        return lo;
    }
    if (x > static_cast<double>(hi)) {
        ++limited;
        return hi;
    }
    return static_cast<int64_t>(x);
}

}  // namespace

std::string WavFormat::describe() const
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "%u-bit %s %s, %u Hz", bitsPerSample, kind == SampleKind::Float ? "float" : "PCM",
                  channels == 1 ? "mono" : "stereo", sampleRate);
    return buf;
}

bool parseWav(const uint8_t* data, size_t size, WavAudio& out, std::string& error)
{
    out = WavAudio{};
    if (!data || size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
        error = "not a WAV file (no RIFF/WAVE header)";
        return false;
    }
    bool haveFormat = false;
    size_t pos = 12;
    while (pos + 8 <= size) {
        const uint8_t* chunk = data + pos;
        const uint32_t chunkSize = readLe32(chunk + 4);
        const size_t available = size - pos - 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (chunkSize > available) {
                error = "the file is truncated inside its format chunk";
                return false;
            }
            if (!readFormat(chunk + 8, chunkSize, out.format, error))
                return false;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                error = "the data chunk comes before any format chunk";
                return false;
            }
            if (chunkSize > available) {
                error = "the file is truncated: its data chunk announces " + std::to_string(chunkSize) +
                        " bytes but only " + std::to_string(available) + " follow";
                return false;
            }
            const uint32_t frameBytes = out.format.bytesPerFrame();
            out.frames = chunkSize / frameBytes;
            const size_t sampleBytes = out.format.bitsPerSample / 8;
            out.samples.resize(out.frames * out.format.channels);
            const uint8_t* p = chunk + 8;
            for (size_t i = 0; i < out.samples.size(); ++i, p += sampleBytes)
                out.samples[i] = decodeSample(p, out.format);
            return true;
        }
        // Chunks are padded to even sizes.
        const uint64_t next = static_cast<uint64_t>(pos) + 8 + chunkSize + (chunkSize & 1);
        if (next > size)
            break;
        pos = static_cast<size_t>(next);
    }
    error = haveFormat ? "the file has no data chunk" : "the file has no format chunk";
    return false;
}

namespace {

void writeHeader(const WavFormat& f, uint32_t dataBytes, std::vector<uint8_t>& out)
{
    const uint32_t fmtBytes = static_cast<uint32_t>(f.fmtChunk.size());
    out.clear();
    out.reserve(44 + fmtBytes + dataBytes);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put32(out, 4 + 8 + fmtBytes + (fmtBytes & 1) + 8 + dataBytes + (dataBytes & 1));
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(out, fmtBytes);
    out.insert(out.end(), f.fmtChunk.begin(), f.fmtChunk.end());
    if (fmtBytes & 1)
        out.push_back(0);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(out, dataBytes);
}

}  // namespace

void wrapWavData(const WavFormat& format, const std::vector<uint8_t>& data, std::vector<uint8_t>& out)
{
    writeHeader(format, static_cast<uint32_t>(data.size()), out);
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() & 1)
        out.push_back(0);
}

size_t encodeWav(const WavFormat& f, const float* samples, size_t frames, std::vector<uint8_t>& out)
{
    const size_t count = frames * f.channels;
    const uint32_t dataBytes = static_cast<uint32_t>(count * (f.bitsPerSample / 8));
    writeHeader(f, dataBytes, out);

    size_t limited = 0;
    for (size_t i = 0; i < count; ++i) {
        const float v = samples[i];
        if (f.kind == SampleKind::Float) {
            uint32_t bits;
            std::memcpy(&bits, &v, sizeof bits);
            put32(out, bits);
            continue;
        }
        switch (f.bitsPerSample) {
        case 16:
            put16(out, static_cast<uint32_t>(quantize(v, 32768.0, -32768, 32767, limited)) & 0xFFFF);
            break;
        case 24: {
            const uint32_t x = static_cast<uint32_t>(quantize(v, 8388608.0, -8388608, 8388607, limited));
            out.push_back(static_cast<uint8_t>(x));
            out.push_back(static_cast<uint8_t>(x >> 8));
            out.push_back(static_cast<uint8_t>(x >> 16));
            break;
        }
        default:
            put32(out, static_cast<uint32_t>(quantize(v, 2147483648.0, INT32_MIN, INT32_MAX, limited)));
            break;
        }
    }
    if (dataBytes & 1)
        out.push_back(0);
    return limited;
}

WavFormat makeFormat(SampleKind kind, uint16_t channels, uint32_t sampleRate, uint16_t bits)
{
    WavFormat f;
    f.kind = kind;
    f.channels = channels;
    f.sampleRate = sampleRate;
    f.bitsPerSample = bits;
    std::vector<uint8_t> chunk;
    put16(chunk, kind == SampleKind::Float ? 3 : 1);
    put16(chunk, channels);
    put32(chunk, sampleRate);
    put32(chunk, sampleRate * f.bytesPerFrame());
    put16(chunk, f.bytesPerFrame());
    put16(chunk, bits);
    f.fmtChunk = chunk;
    return f;
}

}  // namespace qv
