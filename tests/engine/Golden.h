#pragma once
// Golden vectors: fixed settings and input signals whose engine output is kept as exact bits.
// Every build (native, 32-bit and 64-bit Windows) must reproduce them bit for bit.

#include <cstdint>
#include <string>
#include <vector>

struct GoldenCase {
    std::string name;
    std::vector<float> output;  // the case's output, interleaved where the case is stereo
};

std::vector<GoldenCase> computeGoldenCases();

// The file holds, per case: a 32-byte zero-padded name, a 32-bit little-endian sample count, the
// samples' bits little-endian.
std::vector<uint8_t> serializeGolden(const std::vector<GoldenCase>& cases);
bool parseGolden(const std::vector<uint8_t>& data, std::vector<GoldenCase>& cases);
