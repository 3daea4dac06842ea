#pragma once
// Pictures of real windows: a window's pixels, non-client area and children included, copied into a
// 24-bit DIB section; several windows can be put together on one picture (a menu over its window).

#include <windows.h>

namespace shots {

class Picture {
public:
    Picture(int width, int height, COLORREF background);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // Copies the whole window (frame included) with its top-left corner at (x, y) of the picture.
    void grab(HWND window, int x, int y);
    // A numbered marker centred at (x, y): a label for the manual's picture of the window.
    void label(int number, int x, int y);
    bool saveBmp(const char* path) const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    void* bits_ = nullptr;
};

// Runs the thread's messages until none is left.
void pump();

}  // namespace shots
