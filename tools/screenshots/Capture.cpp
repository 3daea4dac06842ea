#include "Capture.h"

#include <cstdio>

namespace shots {

Picture::Picture(int width, int height, COLORREF background) : width_(width), height_(height)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
}

Picture::~Picture()
{
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void Picture::grab(HWND window, int x, int y)
{
    RECT r;
    GetWindowRect(window, &r);
    // The window DC reads the window's own surface, so what is copied is what the window painted,
    // children included.
    HDC wdc = GetWindowDC(window);
    BitBlt(dc_, x, y, r.right - r.left, r.bottom - r.top, wdc, 0, 0, SRCCOPY);
    ReleaseDC(window, wdc);
    GdiFlush();
}

void Picture::label(int number, int x, int y)
{
    char text[8];
    snprintf(text, sizeof(text), "%d", number);
    const int radius = 7;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HBRUSH brush = CreateSolidBrush(RGB(200, 40, 30));
    HGDIOBJ oldPen = SelectObject(dc_, pen);
    HGDIOBJ oldBrush = SelectObject(dc_, brush);
    Ellipse(dc_, x - radius, y - radius, x + radius + 1, y + radius + 1);
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
    HGDIOBJ oldFont = SelectObject(dc_, font);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, RGB(255, 255, 255));
    RECT box{x - radius, y - radius, x + radius + 1, y + radius + 1};
    DrawTextA(dc_, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc_, oldFont);
    SelectObject(dc_, oldBrush);
    SelectObject(dc_, oldPen);
    DeleteObject(font);
    DeleteObject(brush);
    DeleteObject(pen);
}

bool Picture::saveBmp(const char* path) const
{
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
    FILE* f = fopen(path, "wb");
    if (!f)
        return false;
    const bool ok = fwrite(&fh, sizeof(fh), 1, f) == 1 && fwrite(&ih, sizeof(ih), 1, f) == 1 &&
                    fwrite(bits_, stride * height_, 1, f) == 1;
    return fclose(f) == 0 && ok;
}

void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace shots
