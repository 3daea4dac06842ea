#include "EditorTexts.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace qv {

void formatTenths(int32_t tenths, char* out, std::size_t size)
{
    if (!out || size == 0)
        return;
    if (tenths <= -9999) {
        std::snprintf(out, size, "-Inf.");
        return;
    }
    // Unsigned, so that the most negative value has a magnitude too.
    const uint32_t magnitude = tenths < 0 ? 0u - static_cast<uint32_t>(tenths) : static_cast<uint32_t>(tenths);
    std::snprintf(out, size, "%s%u.%u", tenths < 0 ? "-" : "", magnitude / 10u, magnitude % 10u);
}

int peakTenths(float peak)
{
    if (!(peak > 0.0f))
        return -9999;
    const double tenths = 200.0 * std::log10(static_cast<double>(peak));
    if (tenths > 100000.0)
        return 100000;  // an infinite or absurd peak still reads as a number
    return tenths < -9999.0 ? -9999 : static_cast<int>(tenths);
}

void manualInFolder(const char* folder, char* out, std::size_t size)
{
    if (!out || size == 0)
        return;
    if (!folder || !*folder) {
        std::snprintf(out, size, "%s", kManualName);
        return;
    }
    const std::size_t n = std::strlen(folder);
    std::snprintf(out, size, "%s%s%s", folder, folder[n - 1] == '\\' ? "" : "\\", kManualName);
}

void manualBesideFile(const char* file, bool colonToo, char* out, std::size_t size)
{
    if (!out || size == 0)
        return;
    if (!file)
        file = "";
    const char* cut = nullptr;
    for (const char* p = file; *p; ++p)
        if (*p == '\\' || (colonToo && *p == ':'))
            cut = p + 1;
    if (!cut) {
        std::snprintf(out, size, "%s", file);
        return;
    }
    std::snprintf(out, size, "%.*s%s", static_cast<int>(cut - file), file, kManualName);
}

}  // namespace qv
