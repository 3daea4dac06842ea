#include "WindowPicture.h"

#include <algorithm>

namespace qv {
namespace {

HBITMAP makeDib(HDC dc, int width, int height, void** bits)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    return CreateDIBSection(dc, &bi, DIB_RGB_COLORS, bits, nullptr, 0);
}

template <class Path>
bool saveWhole(HWND window, Path path)
{
    RECT r;
    if (!GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top)
        return false;
    WindowPicture picture(r.right - r.left, r.bottom - r.top, RGB(255, 255, 255));
    picture.grab(window, 0, 0);
    return picture.save(path);
}

}  // namespace

WindowPicture::WindowPicture(int width, int height, COLORREF background)
    : width_(width), height_(height), dc_(nullptr), bitmap_(makeDib(dc_.get(), width, height, &bits_)),
      selected_(dc_.get(), bitmap_.get())
{
    Brush brush(CreateSolidBrush(background));
    RECT all{0, 0, width, height};
    FillRect(dc_.get(), &all, brush.get());
}

void WindowPicture::grab(HWND window, int x, int y)
{
    RECT r;
    GetWindowRect(window, &r);
    // The window DC reads the window's own surface, so what is copied is what the window painted,
    // children included.
    constexpr DWORD kUseStyle = 0x00010000;  // DCX_USESTYLE, which the headers lack: GetWindowDC's flags
    WindowDC source(window, DCX_WINDOW | kUseStyle);
    BitBlt(dc_.get(), x, y, r.right - r.left, r.bottom - r.top, source.get(), 0, 0, SRCCOPY);
    GdiFlush();
}

void WindowPicture::grabMoving(HWND window, int x, int y, const std::function<void()>& settle)
{
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    HWND root = GetAncestor(window, GA_ROOT);
    const bool child = root != window;
    RECT r, rootRect;
    GetWindowRect(window, &r);
    GetWindowRect(root, &rootRect);
    const int width = r.right - r.left, height = r.bottom - r.top;
    // The window's place in its parent's client area; the screen's for a top-level window.
    POINT place{r.left, r.top};
    if (child)
        ScreenToClient(GetParent(window), &place);
    auto fits = [&](int left, int top) {
        return left >= 0 && top >= 0 && left + width <= screenW && top + height <= screenH;
    };
    if (fits(r.left, r.top) && fits(place.x, place.y)) {
        grab(window, x, y);
        return;
    }
    POINT pointer{};
    const bool hasPointer = GetCursorPos(&pointer) != FALSE;
    POINT rootClient{0, 0};
    ClientToScreen(root, &rootClient);
    // Puts the window's corner at (left, top) of its parent's client area, or of the screen.
    auto moveTo = [&](int rootX, int rootY, int left, int top) {
        // Nothing is copied: Wine would copy parts from a surface that never held them. Everything
        // that moved is painted anew.
        constexpr UINT kMove = SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOCOPYBITS;
        SetWindowPos(root, nullptr, rootX, rootY, 0, 0, kMove | SWP_NOZORDER);
        if (child)
            SetWindowPos(window, HWND_TOP, left, top, 0, 0, kMove);
        RECT now;
        GetWindowRect(window, &now);
        if (hasPointer)
            SetCursorPos(pointer.x + now.left - r.left, pointer.y + now.top - r.top);
        RedrawWindow(root, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (settle)
            settle();
    };
    // The top-level window's client corner at the screen's when the window is a child of it.
    const int rootX = child ? rootRect.left - rootClient.x : 0, rootY = child ? rootRect.top - rootClient.y : 0;
    constexpr DWORD kUseStyle = 0x00010000;  // DCX_USESTYLE, as in grab()
    for (int top = 0; top < height; top += screenH) {
        for (int left = 0; left < width; left += screenW) {
            // The last part of a row or column is taken with the window's edge at the screen's, so
            // that the part is whole on the screen.
            const int shiftX = std::min(left, std::max(0, width - screenW));
            const int shiftY = std::min(top, std::max(0, height - screenH));
            if (child)
                moveTo(rootX, rootY, -shiftX, -shiftY);
            else
                moveTo(-shiftX, -shiftY, 0, 0);
            WindowDC source(window, DCX_WINDOW | kUseStyle);
            const int w = left + screenW < width ? screenW : width - left;
            const int h = top + screenH < height ? screenH : height - top;
            BitBlt(dc_.get(), x + left, y + top, w, h, source.get(), left, top, SRCCOPY);
            GdiFlush();
        }
    }
    moveTo(rootRect.left, rootRect.top, place.x, place.y);
}

bool WindowPicture::write(FILE* file) const
{
    if (!file)
        return false;
    const DWORD stride = (static_cast<DWORD>(width_) * 3 + 3) & ~3u;
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof(ih);
    ih.biWidth = width_;
    ih.biHeight = height_;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + stride * height_;
    const bool ok = bits_ && fwrite(&fh, sizeof(fh), 1, file) == 1 && fwrite(&ih, sizeof(ih), 1, file) == 1 &&
                    fwrite(bits_, stride * height_, 1, file) == 1;
    return fclose(file) == 0 && ok;
}

bool WindowPicture::save(const char* path) const { return write(fopen(path, "wb")); }
bool WindowPicture::save(const wchar_t* path) const { return write(_wfopen(path, L"wb")); }

bool saveWindowBmp(HWND window, const char* path) { return saveWhole(window, path); }
bool saveWindowBmp(HWND window, const wchar_t* path) { return saveWhole(window, path); }

}  // namespace qv
