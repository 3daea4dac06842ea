// libFuzzer target: any byte string given to the WAV reader, and whatever it accepts written back.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "WavFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    qv::WavAudio audio;
    std::string error;
    if (qv::parseWav(data, size, audio, error)) {
        std::vector<uint8_t> out;
        qv::encodeWav(audio.format, audio.samples.data(), audio.frames, out, audio.carriedChunks);
        qv::WavAudio again;
        if (!qv::parseWav(out.data(), out.size(), again, error) || again.frames != audio.frames ||
            again.carriedChunks != audio.carriedChunks || !again.warnings.empty())
            __builtin_trap();
    }
    return 0;
}
