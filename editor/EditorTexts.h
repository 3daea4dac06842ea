#pragma once
// The editor's texts: numbers as its fields and peak text show them, and where its manual is. Free
// of any platform header.

#include <cstddef>
#include <cstdint>

namespace qv {

// "-Inf." at -9999 or less, else one decimal with the sign: -5 gives "-0.5", 125 "12.5".
void formatTenths(int32_t tenths, char* out, std::size_t size);
// A peak amplitude in tenths of a dB, truncated; -9999 for silence (and for what is no amplitude).
int peakTenths(float peak);

constexpr char kManualName[] = "qvEqualizer.chm";
// The manual in a folder (a backslash added unless it ends with one); empty folder gives the name.
void manualInFolder(const char* folder, char* out, std::size_t size);
// The manual beside a file: what follows the last backslash (or colon, with `colonToo`) replaced;
// a path without one is returned as it is.
void manualBesideFile(const char* file, bool colonToo, char* out, std::size_t size);

}  // namespace qv
