// Drawing primitives of the skin: sprite blending through a DIB section, keyed blits, lines,
// frames and the marching rectangle.
#include <cstring>
#include <vector>

#include "Skin.h"
#include "SkinInternal.h"
#include "SkinMath.h"

namespace qv {

namespace {

void blendInto(HDC dc, int x, int y, int width, int height, const SpriteBlend& blend, PixelWindow* scratch = nullptr)
{
    if (width <= 0 || height <= 0 || !blend.sprite || !dc)
        return;
    std::optional<PixelWindow> own;
    if (!scratch || !scratch->ok() || scratch->width() < width || scratch->height() < height) {
        own.emplace(dc, width, height);
        scratch = &*own;
    }
    if (!scratch->ok())
        return;
    GdiFlush();
    BitBlt(scratch->dc(), 0, 0, width, height, dc, x, y, SRCCOPY);
    GdiFlush();
    blendSprite(scratch->pixels(), scratch->width(), width, height, blend);
    BitBlt(dc, x, y, width, height, scratch->dc(), 0, 0, SRCCOPY);
}

}  // namespace

void DrawSprite(HDC dc, int x, int y, int width, int height, const uint8_t* sprite, int fade, uint32_t tint,
                int borderMode)
{
    DrawSpriteWith(nullptr, dc, x, y, width, height, sprite, fade, tint, borderMode);
}

void DrawSpriteWith(PixelWindow* scratch, HDC dc, int x, int y, int width, int height, const uint8_t* sprite, int fade,
                    uint32_t tint, int borderMode)
{
    SpriteBlend b;
    b.sprite = sprite;
    b.spriteWidth = width;
    b.fade = fade;
    b.tint = tint;
    b.borderMode = borderMode;
    blendInto(dc, x, y, width, height, b, scratch);
}

void DrawSpriteRect(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, const uint8_t* sprite,
                    int fade, int sourceWidth)
{
    SpriteBlend b;
    b.sprite = sprite;
    b.spriteWidth = sourceWidth > 0 ? sourceWidth : width;
    b.sourceX = sourceX;
    b.sourceY = sourceY;
    b.fade = fade;
    blendInto(dc, x, y, width, height, b);
}

void BlitKeyed(HDC dc, int x, int y, HBITMAP bitmap, int sourceX, int sourceY, int width, int height, COLORREF key)
{
    if (!dc || !bitmap || width <= 0 || height <= 0)
        return;
    CompatibleDC source(dc), maskDc(dc), tempDc(dc);
    Bitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
    Bitmap temp(CreateCompatibleBitmap(dc, width, height));
    if (!source || !maskDc || !tempDc || !mask || !temp)
        return;
    SelectedObject sourceBitmap(source.get(), bitmap), maskBitmap(maskDc.get(), mask.get()),
        tempBitmap(tempDc.get(), temp.get());
    // Key pixels become 1 in the mask.
    SetBkColor(source.get(), key);
    BitBlt(maskDc.get(), 0, 0, width, height, source.get(), sourceX, sourceY, SRCCOPY);
    BitBlt(tempDc.get(), 0, 0, width, height, source.get(), sourceX, sourceY, SRCCOPY);
    // Mono to colour maps 1 to the background colour (white) and 0 to the text colour (black).
    SetBkColor(tempDc.get(), RGB(255, 255, 255));
    SetTextColor(tempDc.get(), RGB(0, 0, 0));
    BitBlt(tempDc.get(), 0, 0, width, height, maskDc.get(), 0, 0, 0x00220326);  // DSna: black out key pixels
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    BitBlt(dc, x, y, width, height, maskDc.get(), 0, 0, SRCAND);
    BitBlt(dc, x, y, width, height, tempDc.get(), 0, 0, SRCPAINT);
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
}

namespace {

BITMAP bitmapInfo(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !GetObject(bitmap, sizeof info, &info))
        info = BITMAP{};
    return info;
}

}  // namespace

KeyedSheet::KeyedSheet(HDC reference, HBITMAP sheet, COLORREF key)
    : width_(bitmapInfo(sheet).bmWidth), height_(bitmapInfo(sheet).bmHeight),
      mask_(reference, width_ > 0 && height_ > 0 ? CreateBitmap(width_, height_, 1, 1, nullptr) : nullptr),
      colour_(reference, width_ > 0 && height_ > 0 ? CreateCompatibleBitmap(reference, width_, height_) : nullptr)
{
    if (!ok())
        return;
    CompatibleDC source(reference);
    if (!source)
        return;
    // As BlitKeyed does for one cell: key pixels 1 in the mask, black in the colour layer.
    SelectedObject selected(source.get(), sheet);
    SetBkColor(source.get(), key);
    BitBlt(mask_.dc(), 0, 0, width_, height_, source.get(), 0, 0, SRCCOPY);
    BitBlt(colour_.dc(), 0, 0, width_, height_, source.get(), 0, 0, SRCCOPY);
    SetBkColor(colour_.dc(), RGB(255, 255, 255));
    SetTextColor(colour_.dc(), RGB(0, 0, 0));
    BitBlt(colour_.dc(), 0, 0, width_, height_, mask_.dc(), 0, 0, 0x00220326);  // DSna
}

void KeyedSheet::draw(HDC dc, int x, int y, int sourceX, int sourceY, int width, int height) const
{
    if (!dc || !ok() || width <= 0 || height <= 0)
        return;
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    BitBlt(dc, x, y, width, height, mask_.dc(), sourceX, sourceY, SRCAND);
    BitBlt(dc, x, y, width, height, colour_.dc(), sourceX, sourceY, SRCPAINT);
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour)
{
    Pen pen(CreatePen(PS_SOLID, 1, colour));
    if (!pen)
        return;
    SelectedObject selected(dc, pen.get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

static void drawFrame(HDC dc, RECT r, COLORREF topLeft, COLORREF bottomRight, int thickness)
{
    for (int i = 0; i < thickness; ++i, InflateRect(&r, -1, -1)) {
        DrawLine(dc, r.left, r.top, r.right, r.top, topLeft);
        DrawLine(dc, r.left, r.top, r.left, r.bottom, topLeft);
        DrawLine(dc, r.left, r.bottom - 1, r.right, r.bottom - 1, bottomRight);
        DrawLine(dc, r.right - 1, r.top, r.right - 1, r.bottom, bottomRight);
    }
}

void DrawGreyFrame(HDC dc, const RECT& rect, int thickness)
{
    drawFrame(dc, rect, RGB(0x90, 0x90, 0x90), RGB(0x90, 0x90, 0x90), thickness);
}

void DrawRedFrame(HDC dc, const RECT& rect, int thickness)
{
    drawFrame(dc, rect, RGB(225, 0, 0), RGB(200, 0, 0), thickness);
}

void DrawMarchingRect(HWND window, int x1, int y1, int x2, int y2, int phase, HDC dc)
{
    if (x1 > x2) {
        const int t = x1;
        x1 = x2;
        x2 = t;
    }
    if (y1 > y2) {
        const int t = y1;
        y1 = y2;
        y2 = t;
    }
    WORD rows[8];
    for (int i = 0; i < 8; ++i)
        rows[i] = marchingPatternRow(i, phase);
    Bitmap pattern(CreateBitmap(8, 8, 1, 1, rows));
    if (!pattern)
        return;
    Brush brush(CreatePatternBrush(pattern.get()));
    if (!brush)
        return;
    std::optional<WindowDC> own;
    if (!dc) {
        own.emplace(window);
        dc = own->get();
    }
    if (!dc)
        return;
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBk = SetBkColor(dc, 0x587A92);
    {
        SelectedObject selected(dc, brush.get());
        PatBlt(dc, x1, y1, x2 - x1 + 1, 1, PATINVERT);
        PatBlt(dc, x1, y1 + 1, 1, y2 - y1, PATINVERT);
        PatBlt(dc, x2, y1 + 1, 1, y2 - y1, PATINVERT);
        PatBlt(dc, x1 + 1, y2, x2 - x1 - 1, 1, PATINVERT);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
}

}  // namespace qv
