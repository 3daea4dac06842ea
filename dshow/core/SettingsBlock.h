#pragma once
// The filter's persisted settings: a 20-byte header (total size 160, tag GUID) and the working
// setup as 35 little-endian 32-bit integers.

#include <cstddef>
#include <cstdint>

#include "ParameterModel.h"

namespace qv {

constexpr size_t kSettingsHeaderSize = 20;
constexpr size_t kSettingsRecordSize = 140;
constexpr size_t kSettingsBlockSize = kSettingsHeaderSize + kSettingsRecordSize;

void encodeSettingsHeader(uint8_t out[kSettingsHeaderSize]);
void encodeSettingsRecord(const ParameterRecord& record, uint8_t out[kSettingsRecordSize]);
bool isSettingsHeader(const uint8_t in[kSettingsHeaderSize]);
ParameterRecord decodeSettingsRecord(const uint8_t in[kSettingsRecordSize]);

}  // namespace qv
