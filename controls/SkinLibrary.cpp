// Class registration, resource loading and the shared helpers of the control window procedures.
#include <cstdio>
#include <cstring>
#include <vector>

#include "Skin.h"
#include "SkinInternal.h"
#include "ScaleMath.h"
#include "SkinMath.h"

namespace qv {

namespace {

HINSTANCE gSkinInstance = nullptr;
HWND gInPlaceEntry = nullptr;

struct ClassEntry {
    const char* name;
    WNDPROC proc;
};

const ClassEntry kClasses[] = {
    {"qv:PushButton", PushButtonProc}, {"qv:Slider", SliderProc},           {"qv:Edit", EditFieldProc},
    {"qv:StaticText", StaticTextProc}, {"qv:StaticImage", StaticImageProc}, {"qv:EQGraph", EqGraphProc},
    {"qv:Meter", MeterProc},
};

}  // namespace

bool RegisterSkinClasses(HINSTANCE instance)
{
    gSkinInstance = instance;
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS | CS_PARENTDC;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    bool ok = true;
    for (const ClassEntry& c : kClasses) {
        wc.lpszClassName = c.name;
        wc.lpfnWndProc = c.proc;
        if (!RegisterClassA(&wc))
            ok = false;
    }
    return ok;
}

void UnregisterSkinClasses(HINSTANCE instance)
{
    for (const ClassEntry& c : kClasses)
        UnregisterClassA(c.name, instance);
}

HINSTANCE skinInstance() { return gSkinInstance ? gSkinInstance : GetModuleHandleA(nullptr); }

HWND inPlaceEntryWindow() { return gInPlaceEntry; }
void setInPlaceEntryWindow(HWND window) { gInPlaceEntry = window; }

const uint8_t* GetSkinSprite(HINSTANCE instance, int id)
{
    HRSRC res = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    if (!res)
        return nullptr;
    HGLOBAL data = LoadResource(instance, res);
    return data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
}

size_t GetSkinSpriteSize(HINSTANCE instance, int id)
{
    HRSRC res = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
    return res ? SizeofResource(instance, res) : 0;
}

HBITMAP LoadSkinBitmap(HINSTANCE instance, int id, HPALETTE* palette)
{
    if (palette)
        *palette = nullptr;
    HRSRC res = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    if (!res)
        return nullptr;
    const DWORD size = SizeofResource(instance, res);
    HGLOBAL data = LoadResource(instance, res);
    const uint8_t* bytes = data ? static_cast<const uint8_t*>(LockResource(data)) : nullptr;
    return bitmapFromPackedDib(bytes, size, palette);
}

HBITMAP bitmapFromPackedDib(const uint8_t* bytes, size_t size, HPALETTE* palette)
{
    if (palette)
        *palette = nullptr;
    if (!bytes || size < sizeof(BITMAPINFOHEADER))
        return nullptr;
    BITMAPINFOHEADER header;
    memcpy(&header, bytes, sizeof(header));
    const int depth = header.biBitCount;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > size || header.biWidth <= 0 ||
        header.biWidth > 32768 || header.biHeight == 0 || header.biHeight > 32768 || header.biHeight < -32768)
        return nullptr;
    size_t colours = 0;
    if (depth <= 8)
        colours = header.biClrUsed ? header.biClrUsed : (size_t(1) << depth);
    if (colours > 256)
        return nullptr;
    size_t masks = header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0;
    const size_t bitsOffset = header.biSize + masks + colours * 4;
    if (bitsOffset > size)
        return nullptr;
    const int width = header.biWidth, height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const size_t stride = ((static_cast<size_t>(width) * depth + 31) / 32) * 4;
    const uint8_t* bits = bytes + bitsOffset;
    const size_t bitsSize = size - bitsOffset;

    WindowDC screen(nullptr);
    Palette pal;
    std::optional<SelectedPalette> realized;
    if (depth <= 8 && colours > 0) {
        std::vector<uint8_t> lp(sizeof(LOGPALETTE) + colours * sizeof(PALETTEENTRY));
        LOGPALETTE* log = reinterpret_cast<LOGPALETTE*>(lp.data());
        log->palVersion = 0x300;
        log->palNumEntries = static_cast<WORD>(colours);
        const uint8_t* table = bytes + header.biSize + masks;
        for (size_t i = 0; i < colours; ++i) {
            log->palPalEntry[i].peRed = table[i * 4 + 2];
            log->palPalEntry[i].peGreen = table[i * 4 + 1];
            log->palPalEntry[i].peBlue = table[i * 4 + 0];
            log->palPalEntry[i].peFlags = 0;
        }
        pal.reset(CreatePalette(log));
        if (pal && screen) {
            realized.emplace(screen.get(), pal.get());
            RealizePalette(screen.get());
        }
    }
    // The info block (header and colour table) is copied so the compression can be marked off.
    std::vector<uint8_t> info(bytes, bytes + bitsOffset);
    std::vector<uint8_t> expanded;
    const void* pixelData = bits;
    if (header.biCompression == BI_RLE8 && depth == 8) {
        const size_t rowBytes = (static_cast<size_t>(width) + 3) & ~size_t(3);
        expanded.resize(rowBytes * height);
        // A malformed or truncated stream keeps what it decoded; the rest stays zero-filled.
        expandRle8(bits, bitsSize, width, height, expanded.data(), expanded.size());
        BITMAPINFOHEADER* h = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
        h->biCompression = BI_RGB;
        h->biSizeImage = 0;
        pixelData = expanded.data();
    } else if (header.biCompression != BI_RGB && header.biCompression != BI_BITFIELDS) {
        pixelData = nullptr;
    } else if (stride * height > bitsSize) {
        pixelData = nullptr;  // truncated resource: never read past its end
    }
    HBITMAP bitmap = nullptr;
    if (pixelData && screen)
        bitmap = CreateDIBitmap(screen.get(), reinterpret_cast<const BITMAPINFOHEADER*>(info.data()), CBM_INIT,
                                pixelData, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
    realized.reset();  // the palette leaves the screen before it goes to the caller or is deleted
    if (palette)
        *palette = pal.release();
    return bitmap;
}

void GetRectInParent(HWND window, RECT* rect)
{
    if (!rect)
        return;
    GetWindowRect(window, rect);
    HWND parent = GetParent(window);
    if (parent)
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(rect), 2);
}

void CenterOnParent(HWND window)
{
    HWND parent = GetParent(window);
    if (!parent)
        parent = GetDesktopWindow();
    RECT own, outer;
    GetWindowRect(window, &own);
    GetWindowRect(parent, &outer);
    const int w = own.right - own.left, h = own.bottom - own.top;
    int x = (outer.left + outer.right) / 2 - w / 2;
    int y = (outer.top + outer.bottom) / 2 - h / 2;
    if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
        POINT p{x, y};
        ScreenToClient(parent, &p);
        x = p.x;
        y = p.y;
    }
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormatDbPair(HWND window, HFONT font, Scale scale, char* out, size_t outSize, int levelA, int levelB)
{
    if (!out || outSize == 0)
        return;
    char a[32], b[32];
    formatDbValue(levelA, a, sizeof(a));
    formatDbValue(levelB, b, sizeof(b));
    SIZE sa{0, 0}, sb{0, 0};
    WindowDC dc(window);
    if (dc) {
        SelectedObject selected(dc.get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
        GetTextExtentPoint32A(dc.get(), a, static_cast<int>(strlen(a)), &sa);
        GetTextExtentPoint32A(dc.get(), b, static_cast<int>(strlen(b)), &sb);
    }
    const int spaces = dbPairSpaces(sa.cx, sb.cx, scale);
    char gap[64];
    const int n = spaces < static_cast<int>(sizeof(gap)) - 1 ? spaces : static_cast<int>(sizeof(gap)) - 1;
    memset(gap, ' ', n);
    gap[n] = 0;
    snprintf(out, outSize, "%s%s%s", a, gap, b);
}

HBITMAP creationBitmap(LPARAM createParam)
{
    const CREATESTRUCTA* cs = reinterpret_cast<const CREATESTRUCTA*>(createParam);
    return cs ? static_cast<HBITMAP>(cs->lpCreateParams) : nullptr;
}

int displayBitsPerPixel()
{
    WindowDC screen(nullptr);
    return screen ? GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES) : 24;
}

void MemoryDC::select(HBITMAP bitmap)
{
    selection_.reset();
    bitmap_.reset(bitmap);
    if (bitmap_)
        selection_.emplace(dc_.get(), bitmap_.get());
}

PixelWindow::PixelWindow(HDC reference, int width, int height)
    : MemoryDC(reference), width_(width > 0 ? width : 1), height_(height > 0 ? height : 1)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width_;
    bi.bmiHeader.biHeight = -height_;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    if (dc())
        select(CreateDIBSection(dc(), &bi, DIB_RGB_COLORS, &bits_, nullptr, 0));
}

void PixelWindow::read(HDC from, int x, int y)
{
    GdiFlush();
    BitBlt(dc(), 0, 0, width_, height_, from, x, y, SRCCOPY);
    GdiFlush();
}

OffscreenDC::OffscreenDC(HDC reference, int width, int height) : MemoryDC(reference)
{
    if (dc())
        select(CreateCompatibleBitmap(reference, width > 0 ? width : 1, height > 0 ? height : 1));
}

bool KeptPaint::ready(HDC reference, int width, int height)
{
    if (!off_ || width != width_ || height != height_) {
        width_ = width;
        height_ = height;
        off_.reset(new (std::nothrow) OffscreenDC(reference, width, height));
        blend_.reset(new (std::nothrow) PixelWindow(reference, width, height));
    }
    return off_ && off_->ok();
}

void blitBitmap(HDC target, int x, int y, int width, int height, HBITMAP source, int sourceX, int sourceY)
{
    if (!source)
        return;
    CompatibleDC sourceDc(target);
    if (!sourceDc)
        return;
    SelectedObject selected(sourceDc.get(), source);
    BitBlt(target, x, y, width, height, sourceDc.get(), sourceX, sourceY, SRCCOPY);
}

void copyBackgroundBehind(HWND window, HDC target, HBITMAP background, int width, int height)
{
    if (!background)
        return;
    RECT r;
    GetRectInParent(window, &r);
    blitBitmap(target, 0, 0, width, height, background, r.left, r.top);
}

ControlFont::ControlFont(Scale scale) : font_(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)))
{
    int dpi = kBaseDpi;
    if (WindowDC screen(nullptr); screen)
        dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    if (scale != kScale100) {
        // The stock font is sized for the system's DPI; the editor's scale is the window's.
        LOGFONTA lf{};
        if (GetObjectA(font_, sizeof lf, &lf) != sizeof lf)
            return;
        const int height96 = MulDiv(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight, kBaseDpi, dpi > 0 ? dpi : kBaseDpi);
        // Rounded down: at 150 % a half pixel more widens "15000" past its field.
        lf.lfHeight = -(height96 * percentOf(scale) / 100);
        lf.lfWidth = 0;
        owned_.reset(CreateFontIndirectA(&lf));
        if (owned_)
            font_ = owned_.get();
        return;
    }
    if (dpi == kBaseDpi)
        return;
    owned_.reset(CreateFontA(14, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    if (owned_)
        font_ = owned_.get();
}

int controlWheelStep(WPARAM wParam, uint32_t* wheelTime)
{
    if (gInPlaceEntry)
        return 0;
    const uint32_t now = static_cast<uint32_t>(GetMessageTime());
    const uint32_t elapsed = wheelElapsed(*wheelTime, now);
    *wheelTime = now;
    return wheelStep(static_cast<short>(HIWORD(wParam)), elapsed);
}

bool warpPointerAtEdge()
{
    POINT p;
    RECT desk;
    if (!GetCursorPos(&p) || !GetWindowRect(GetDesktopWindow(), &desk))
        return false;
    if (p.x > desk.left && p.x < desk.right - 1 && p.y > desk.top && p.y < desk.bottom - 1)
        return false;
    SetCursorPos((desk.left + desk.right) / 2, (desk.top + desk.bottom) / 2);
    return true;
}

}  // namespace qv
