// libFuzzer target: format blocks a media type may carry, and settings streams a host may hand us.
#include <cstddef>
#include <cstdint>

#include "AudioFormat.h"
#include "SettingsBlock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const qv::SubFormat subtype = static_cast<qv::SubFormat>(data[0] % 3);
    qv::StreamFormat format;
    if (qv::acceptAudioFormat(data + 1, size - 1, subtype, format)) {
        // What is accepted is something the filter can stream: whole frames of 16-bit or float.
        if (format.blockAlign == 0 || (format.channels != 1 && format.channels != 2))
            __builtin_trap();
    }
    if (size >= qv::kSettingsHeaderSize + qv::kSettingsRecordSize && qv::isSettingsHeader(data)) {
        const qv::ParameterRecord record = qv::decodeSettingsRecord(data + qv::kSettingsHeaderSize);
        uint8_t again[qv::kSettingsRecordSize];
        qv::encodeSettingsRecord(record, again);
        for (size_t i = 0; i < sizeof again; ++i)
            if (again[i] != data[qv::kSettingsHeaderSize + i])
                __builtin_trap();
    }
    return 0;
}
