#pragma once
// Pictures of real windows: a window's pixels, non-client area and children included, copied into a
// 24-bit DIB section; several windows can be put together on one picture (a menu over its window).
// Saved as BMP files, which ImageMagick turns into PNGs.

#include <windows.h>

#include <cstdio>
#include <functional>

#include "ScopedWin.h"

namespace qv {

class WindowPicture {
public:
    WindowPicture(int width, int height, COLORREF background);
    WindowPicture(const WindowPicture&) = delete;
    WindowPicture& operator=(const WindowPicture&) = delete;

    // Copies the whole window (frame included) with its top-left corner at (x, y) of the picture.
    void grab(HWND window, int x, int y);
    // The same for a window that does not fit the screen. Wine keeps pixels only for the part of a
    // top-level window on the screen, and a child window paints only the part of it that lies within
    // the screen's size from its parent's corner. So the window (a top-level window or a child of
    // one) is moved, its top-level window put at the screen's corner when it is a child, until each
    // part of it in turn lies there; it is painted anew at each place (then `settle` runs, for what the
    // caller draws outside paints) and that part is copied. The pointer moves with the window, so that
    // nothing under it changes its look. A child is raised above its siblings. Everything goes back
    // where it was afterwards. A window that fits is copied as grab() does.
    void grabMoving(HWND window, int x, int y, const std::function<void()>& settle = nullptr);
    // For drawing on the picture (labels, markers).
    HDC dc() const { return dc_.get(); }
    bool save(const char* path) const;
    bool save(const wchar_t* path) const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    bool write(FILE* file) const;

    int width_, height_;
    void* bits_ = nullptr;
    CompatibleDC dc_;
    Bitmap bitmap_;
    SelectedObject selected_;
};

// The whole window at its own size, frame and title included, as a BMP file.
bool saveWindowBmp(HWND window, const char* path);
bool saveWindowBmp(HWND window, const wchar_t* path);

}  // namespace qv
