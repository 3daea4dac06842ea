#pragma once
// Helpers shared by the control window procedures, not by the editor.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <new>
#include <optional>

#include "ControlProtocol.h"
#include "ScaleMath.h"
#include "ScopedWin.h"

namespace qv {

LRESULT CALLBACK PushButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK SliderProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK EditFieldProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StaticTextProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK StaticImageProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK EqGraphProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK MeterProc(HWND, UINT, WPARAM, LPARAM);

// A window's client rectangle (left and top 0).
inline RECT clientRect(HWND window)
{
    RECT c{0, 0, 0, 0};
    GetClientRect(window, &c);
    return c;
}

// The heap record of a control lives in window word 0.
template <class T>
T* controlState(HWND window)
{
    return reinterpret_cast<T*>(GetWindowLongPtrA(window, 0));
}

// Allocates the zero-initialised record in WM_CREATE; returns null on failure.
template <class T>
T* createControlState(HWND window)
{
    T* s = new (std::nothrow) T();
    if (s)
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(s));
    return s;
}

template <class T>
void destroyControlState(HWND window)
{
    delete controlState<T>(window);
    SetWindowLongPtrA(window, 0, 0);
}

// WM_PAINT of a control: `paint` draws the whole client (which is why controls erase no background)
// between BeginPaint and EndPaint.
template <class Paint>
LRESULT paintClient(HWND window, Paint&& paint)
{
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    paint();
    EndPaint(window, &ps);
    return 0;
}

// What every skinned control's record holds: the display scale its parent last gave it.
struct ScaledState {
    Scale scale = kScale100;
    int px(int v) const { return scalePx(v, scale); }
};

// The window procedure every skinned control shares: the record made in WM_CREATE and freed in
// WM_DESTROY, no background erased, the whole client painted in WM_PAINT, and the scale message read
// in one place. What differs is the control's, in a class `Control` derived from SkinnedControl:
//   static LRESULT create(HWND, State*, LPARAM);         after the record is made: 0, or -1 to refuse
//   static void paint(HWND, State*);
//   static LRESULT message(HWND, State*, UINT, WPARAM, LPARAM);   every other message
// and where the defaults below do not fit:
//   static void destroy(HWND, State*);                   before the record goes
//   static void rescale(HWND, State*);                   after a scale was set: drops what was made at
//                                                        the old one and asks for a paint
// A scale message naming no skin scale changes nothing.
template <class StateType>
struct SkinnedControl {
    using State = StateType;  // derived from ScaledState
    static void destroy(HWND, State*) {}
    static void rescale(HWND w, State*) { InvalidateRect(w, nullptr, FALSE); }
};

template <class Control>
LRESULT CALLBACK skinnedControlProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    using State = typename Control::State;
    State* s = controlState<State>(w);
    if (!s && msg != WM_CREATE)
        return DefWindowProcA(w, msg, wp, lp);
    switch (msg) {
    case WM_CREATE:
        s = createControlState<State>(w);
        return s ? Control::create(w, s, lp) : -1;
    case WM_DESTROY:
        Control::destroy(w, s);
        destroyControlState<State>(w);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        return paintClient(w, [&] { Control::paint(w, s); });
    case QV_SETSCALE:
        if (const std::optional<Scale> scale = scaleFromPercent(wp)) {
            s->scale = *scale;
            Control::rescale(w, s);
        }
        return 0;
    default:
        return Control::message(w, s, msg, wp, lp);
    }
}

HBITMAP creationBitmap(LPARAM createParam);

// The bitmap of a packed DIB (header, colour table, pixels), as LoadSkinBitmap makes it from a resource.
HBITMAP bitmapFromPackedDib(const uint8_t* bytes, size_t size, HPALETTE* palette);
int displayBitsPerPixel();

// A memory DC compatible with a reference DC, with one bitmap of its own selected into it;
// restores and frees both.
class MemoryDC {
public:
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC dc() const { return dc_.get(); }

protected:
    explicit MemoryDC(HDC reference) : dc_(reference) {}
    void select(HBITMAP bitmap);  // takes ownership; null leaves nothing selected
    bool hasBitmap() const { return bitmap_ && selection_ && *selection_; }

private:
    // Destroyed in reverse: the old bitmap goes back, then ours is deleted, then the DC.
    CompatibleDC dc_;
    Bitmap bitmap_;
    std::optional<SelectedObject> selection_;
};

// A top-down 32-bit DIB section, so that sprites blend straight into its pixels; read from and
// written back to another DC.
class PixelWindow : public MemoryDC {
public:
    PixelWindow(HDC reference, int width, int height);
    bool ok() const { return bits_ && hasBitmap(); }
    int width() const { return width_; }
    int height() const { return height_; }
    uint32_t* pixels() const { return static_cast<uint32_t*>(bits_); }
    void read(HDC from, int x, int y);
    void write(HDC to, int x, int y) { BitBlt(to, x, y, width_, height_, dc(), 0, 0, SRCCOPY); }

private:
    int width_, height_;
    void* bits_ = nullptr;
};

// A bitmap in the display's own format, for drawing a whole control before one copy to the window.
class OffscreenDC : public MemoryDC {
public:
    OffscreenDC(HDC reference, int width, int height);
    bool ok() const { return hasBitmap(); }
};

// The paint of a control: `draw(dc)` draws the whole client into an off-screen bitmap, which then goes
// to the window in one copy, so that nothing flickers.
template <class Draw>
void paintOffscreen(const WindowDC& window, int width, int height, Draw&& draw)
{
    if (!window)
        return;
    OffscreenDC off(window.get(), width, height);
    if (!off.ok())
        return;
    draw(off.dc());
    BitBlt(window.get(), 0, 0, width, height, off.dc(), 0, 0, SRCCOPY);
}

// The off-screen bitmap a control keeps between paints, made at the first paint at the size the client
// had then; null while it cannot be made.
template <class Offscreen>
Offscreen* keptOffscreen(std::unique_ptr<Offscreen>& kept, HDC reference, int width, int height)
{
    if (!kept)
        kept.reset(new (std::nothrow) Offscreen(reference, width, height));
    return kept && kept->ok() ? kept.get() : nullptr;
}

// What a control keeps between paints, so that a paint makes no DC or bitmap: the off-screen bitmap the
// client is drawn into and a pixel window sprites are blended through, both remade when the client's
// size changes.
class KeptPaint {
public:
    // As paintOffscreen, through the kept bitmap (through a new one if it cannot be kept).
    template <class Draw>
    void paint(const WindowDC& window, int width, int height, Draw&& draw)
    {
        if (!window)
            return;
        if (!ready(window.get(), width, height)) {
            paintOffscreen(window, width, height, draw);
            return;
        }
        draw(off_->dc());
        BitBlt(window.get(), 0, 0, width, height, off_->dc(), 0, 0, SRCCOPY);
    }
    // The scratch window for DrawSpriteWith; null outside paint or if it could not be made.
    PixelWindow* blendWindow() const { return blend_ && blend_->ok() ? blend_.get() : nullptr; }

private:
    bool ready(HDC reference, int width, int height);
    std::unique_ptr<OffscreenDC> off_;
    std::unique_ptr<PixelWindow> blend_;
    int width_ = 0, height_ = 0;
};

// DrawSprite through `scratch` (when it is large enough) instead of a pixel window made for the call.
void DrawSpriteWith(PixelWindow* scratch, HDC dc, int x, int y, int width, int height, const uint8_t* sprite, int fade,
                    uint32_t tint, int borderMode);

// Copies part of `source` (a bitmap selected into no other DC) to `target`.
void blitBitmap(HDC target, int x, int y, int width, int height, HBITMAP source, int sourceX, int sourceY);

// A sprite sheet prepared once for keyed drawing: what BlitKeyed makes on every call (the mask of
// key-coloured pixels and the sheet with those pixels black), made for the whole sheet, so that a
// cell costs two copies.
class KeyedSheet {
public:
    // `reference`: a DC of the format drawn into. The sheet is copied; the caller keeps it.
    KeyedSheet(HDC reference, HBITMAP sheet, COLORREF key);
    bool ok() const { return mask_.ok() && colour_.ok(); }
    // The pixels BlitKeyed(dc, x, y, sheet, sourceX, sourceY, width, height, key) would give.
    void draw(HDC dc, int x, int y, int sourceX, int sourceY, int width, int height) const;

private:
    class Layer : public MemoryDC {
    public:
        Layer(HDC reference, HBITMAP bitmap) : MemoryDC(reference) { select(bitmap); }
        bool ok() const { return hasBitmap(); }
    };
    int width_, height_;
    Layer mask_, colour_;
};

// Copies the part of the parent's background picture that lies behind `window`.
void copyBackgroundBehind(HWND window, HDC target, HBITMAP background, int width, int height);

// Font of buttons, edit fields and the in-place entry: the stock GUI font at 96 dpi, else an Arial 14
// of its own, deleted with the owner unless handed on.
class ControlFont {
public:
    // At a display scale other than 100 % the stock face at its 96-DPI size, scaled.
    explicit ControlFont(Scale scale = kScale100);
    ControlFont(const ControlFont&) = delete;
    ControlFont& operator=(const ControlFont&) = delete;
    HFONT get() const { return font_; }
    // The font when it is one of our own, for a window that deletes it later; null for the stock font.
    HFONT releaseOwned() { return owned_.release(); }

private:
    Font owned_;
    HFONT font_;
};

// Wheel step with the control's remembered time; 0 while an in-place entry is open.
int controlWheelStep(WPARAM wParam, uint32_t* wheelTime);

// Screen-edge warp during drags: returns true when the move must be ignored (pointer warped).
bool warpPointerAtEdge();

void setInPlaceEntryWindow(HWND window);

}  // namespace qv
