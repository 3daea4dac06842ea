#include "AudioFormat.h"

#include <cstring>

#include "LittleEndian.h"

namespace qv {
namespace {

// KSDATAFORMAT_SUBTYPE_PCM / _IEEE_FLOAT: the format tag in the first word, then a fixed tail.
const uint8_t kAudioGuidTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

constexpr size_t kWaveFormatSize = 16;  // up to wBitsPerSample; cbSize may be missing
constexpr size_t kExtensibleSize = 40;  // WAVEFORMATEXTENSIBLE

}  // namespace

SubFormat subFormatFromGuid(const uint8_t guid[16])
{
    if (std::memcmp(guid + 4, kAudioGuidTail, sizeof kAudioGuidTail) != 0)
        return SubFormat::Unknown;
    const uint32_t tag = readLe32(guid);
    if (tag == kTagPcm)
        return SubFormat::Pcm;
    if (tag == kTagFloat)
        return SubFormat::Float;
    return SubFormat::Unknown;
}

bool acceptAudioFormat(const uint8_t* block, size_t size, SubFormat subtype, StreamFormat& out)
{
    if (!block || size < kWaveFormatSize)
        return false;
    uint16_t tag = readLe16(block);
    const uint16_t channels = readLe16(block + 2);
    const uint32_t rate = readLe32(block + 4);
    const uint16_t bits = readLe16(block + 14);
    if (channels != 1 && channels != 2)
        return false;

    if (tag == kTagExtensible) {
        SubFormat sub = subtype;
        if (size >= kExtensibleSize && readLe16(block + 16) >= 22) {
            // A declared valid-bit count other than the container's would be misread as full width.
            const uint16_t validBits = readLe16(block + 18);
            if (validBits != 0 && validBits != bits)
                return false;
            sub = subFormatFromGuid(block + 24);
        }
        if (sub == SubFormat::Pcm)
            tag = kTagPcm;
        else if (sub == SubFormat::Float)
            tag = kTagFloat;
        else
            return false;
    }
    if (!((tag == kTagPcm && bits == 16) || (tag == kTagFloat && bits == 32)))
        return false;

    out.tag = tag;
    out.channels = channels;
    out.samplesPerSec = rate;
    out.bitsPerSample = bits;
    out.blockAlign = static_cast<uint16_t>((bits / 8) * channels);
    out.avgBytesPerSec = rate * out.blockAlign;
    out.cbSize = 0;
    return true;
}

}  // namespace qv
