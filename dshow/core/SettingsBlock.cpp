#include "SettingsBlock.h"

#include <cstring>

#include "ClassIds.h"
#include "LittleEndian.h"

namespace qv {
namespace {

// The stream is tagged with the control interface's id.
constexpr GuidBytes kTag = guidBytesFromText(kControlIidText);

}  // namespace

void encodeSettingsHeader(uint8_t out[kSettingsHeaderSize])
{
    writeLe32(out, static_cast<uint32_t>(kSettingsBlockSize));
    std::memcpy(out + 4, kTag.bytes, sizeof kTag.bytes);
}

void encodeSettingsRecord(const ParameterRecord& record, uint8_t out[kSettingsRecordSize])
{
    for (int i = 0; i < kParamCount; ++i)
        writeLe32(out + 4 * i, static_cast<uint32_t>(record.values[i]));
}

bool isSettingsHeader(const uint8_t in[kSettingsHeaderSize])
{
    return readLe32(in) == kSettingsBlockSize && std::memcmp(in + 4, kTag.bytes, sizeof kTag.bytes) == 0;
}

ParameterRecord decodeSettingsRecord(const uint8_t in[kSettingsRecordSize])
{
    ParameterRecord record;
    for (int i = 0; i < kParamCount; ++i)
        record.values[i] = static_cast<int32_t>(readLe32(in + 4 * i));
    return record;
}

}  // namespace qv
