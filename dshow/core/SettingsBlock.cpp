#include "SettingsBlock.h"

#include <cstring>

namespace qv {
namespace {

// {7A3D5E1F-4B2C-41F8-9E61-2C7B8D04A9F3} in the binary GUID layout.
const uint8_t kTag[16] = {0x1F, 0x5E, 0x3D, 0x7A, 0x2C, 0x4B, 0xF8, 0x41,
                          0x9E, 0x61, 0x2C, 0x7B, 0x8D, 0x04, 0xA9, 0xF3};

void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t get32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

void encodeSettingsHeader(uint8_t out[kSettingsHeaderSize])
{
    put32(out, static_cast<uint32_t>(kSettingsBlockSize));
    std::memcpy(out + 4, kTag, sizeof kTag);
}

void encodeSettingsRecord(const ParameterRecord& record, uint8_t out[kSettingsRecordSize])
{
    for (int i = 0; i < kParamCount; ++i)
        put32(out + 4 * i, static_cast<uint32_t>(record.values[i]));
}

bool isSettingsHeader(const uint8_t in[kSettingsHeaderSize])
{
    return get32(in) == kSettingsBlockSize && std::memcmp(in + 4, kTag, sizeof kTag) == 0;
}

ParameterRecord decodeSettingsRecord(const uint8_t in[kSettingsRecordSize])
{
    ParameterRecord record;
    for (int i = 0; i < kParamCount; ++i)
        record.values[i] = static_cast<int32_t>(get32(in + 4 * i));
    return record;
}

}  // namespace qv
