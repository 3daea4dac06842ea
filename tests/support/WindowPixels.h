#pragma once
// What a window shows, read back as the tests see it: its client area copied into a top-down 32-bit
// DIB section, one 0x00RRGGBB-ordered word (blue in the low byte) per pixel.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "ScopedWin.h"

namespace qv {

inline std::vector<uint32_t> windowPixels(HWND window, int* width = nullptr, int* height = nullptr)
{
    RECT c{};
    GetClientRect(window, &c);
    if (width)
        *width = c.right;
    if (height)
        *height = c.bottom;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = c.right;
    bi.bmiHeader.biHeight = -c.bottom;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    WindowDC screen(window);
    CompatibleDC memory(screen.get());
    void* bits = nullptr;
    Bitmap dib(CreateDIBSection(memory.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!screen || !memory || !dib || !bits)
        return {};
    SelectedObject selected(memory.get(), dib.get());
    BitBlt(memory.get(), 0, 0, c.right, c.bottom, screen.get(), 0, 0, SRCCOPY);
    GdiFlush();
    const uint32_t* first = static_cast<const uint32_t*>(bits);
    return std::vector<uint32_t>(first, first + static_cast<size_t>(c.right) * c.bottom);
}

}  // namespace qv
