#include "SampleConvert.h"

#include <cstring>

namespace qv {

void pcm16ToFloat(const void* in, float* out, size_t count)
{
    const uint8_t* p = static_cast<const uint8_t*>(in);
    for (size_t i = 0; i < count; ++i) {
        const int16_t s = static_cast<int16_t>(static_cast<uint16_t>(p[2 * i] | (p[2 * i + 1] << 8)));
        out[i] = static_cast<float>(s) * 0.000030517578125f;
    }
}

int16_t floatToPcm16Sample(float f)
{
    const float scaled = f * 32768.0f;
    if (scaled != scaled)
        return 0;
    if (scaled >= 32767.0f)
        return 32767;
    if (scaled <= -32768.0f)
        return -32768;
    return static_cast<int16_t>(static_cast<int32_t>(scaled));  // truncates toward zero
}

void floatToPcm16(const float* in, void* out, size_t count)
{
    uint8_t* p = static_cast<uint8_t*>(out);
    for (size_t i = 0; i < count; ++i) {
        const uint16_t s = static_cast<uint16_t>(floatToPcm16Sample(in[i]));
        p[2 * i] = static_cast<uint8_t>(s & 0xFF);
        p[2 * i + 1] = static_cast<uint8_t>(s >> 8);
    }
}

}  // namespace qv
