#pragma once
// A recording parent window, solid-colour backgrounds and sprites, and pixel read-back for the
// window tests of the skinned controls.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "controls/Skin.h"

namespace qvtest {

struct Note {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    UINT code() const { return HIWORD(wp); }
};

class ControlFixture {
public:
    ControlFixture();
    ~ControlFixture();
    HWND parent() const { return parent_; }
    HBITMAP background() const { return background_; }
    HWND create(const char* cls, const char* caption, int id, int x, int y, int w, int h, DWORD bits = 0,
                HBITMAP background = nullptr);
    // Notifications the parent received (WM_COMMAND and the private range), in order.
    std::vector<Note>& notes();
    void pump();
    std::vector<uint32_t> pixels(HWND w, int* width = nullptr, int* height = nullptr);

private:
    HWND parent_ = nullptr;
    HBITMAP background_ = nullptr;
};

// A sprite of one opaque colour (red, green, blue), `transparency` everywhere.
std::vector<uint8_t> solidSprite(int w, int h, uint8_t r, uint8_t g, uint8_t b, uint8_t transparency = 0);

inline LPARAM at(int x, int y) { return MAKELPARAM(x, y); }

// 0x00RRGGBB of a pixel read back as BGRX.
inline uint32_t rgb(uint32_t px) { return px & 0xFFFFFF; }

}  // namespace qvtest
