#include "SettingsBlock.h"

#include <cstring>

#include "LittleEndian.h"

namespace qv {
namespace {

// {7A3D5E1F-4B2C-41F8-9E61-2C7B8D04A9F3} in the binary GUID layout.
const uint8_t kTag[16] = {0x1F, 0x5E, 0x3D, 0x7A, 0x2C, 0x4B, 0xF8, 0x41,
                          0x9E, 0x61, 0x2C, 0x7B, 0x8D, 0x04, 0xA9, 0xF3};

}  // namespace

void encodeSettingsHeader(uint8_t out[kSettingsHeaderSize])
{
    writeLe32(out, static_cast<uint32_t>(kSettingsBlockSize));
    std::memcpy(out + 4, kTag, sizeof kTag);
}

void encodeSettingsRecord(const ParameterRecord& record, uint8_t out[kSettingsRecordSize])
{
    for (int i = 0; i < kParamCount; ++i)
        writeLe32(out + 4 * i, static_cast<uint32_t>(record.values[i]));
}

bool isSettingsHeader(const uint8_t in[kSettingsHeaderSize])
{
    return readLe32(in) == kSettingsBlockSize && std::memcmp(in + 4, kTag, sizeof kTag) == 0;
}

ParameterRecord decodeSettingsRecord(const uint8_t in[kSettingsRecordSize])
{
    ParameterRecord record;
    for (int i = 0; i < kParamCount; ++i)
        record.values[i] = static_cast<int32_t>(readLe32(in + 4 * i));
    return record;
}

}  // namespace qv
