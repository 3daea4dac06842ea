#include "WindowPicture.h"

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
