// "qv:Slider": an integer value shown as a thumb sprite on a groove with ticks; drags, keys and the
// wheel change it and the parent hears of every change.
#include "Skin.h"
#include "SkinInternal.h"
#include "ScaleMath.h"
#include "ValueMath.h"

namespace qv {

namespace {

struct SliderState : ScaledState {
    bool dragging = false;
    bool moved = false;
    bool squareLaw = false;
    bool vertical = false;
    bool plain = false;
    bool skipNextMove = false;
    HCURSOR savedCursor = nullptr;
    HBITMAP background = nullptr;
    const uint8_t* thumb = nullptr;
    POINT pressPosition{0, 0};
    bool grabbed = false;
    int plainBitmap = 0;
    int thumbPosition = 0;
    int value = 0, minimum = 0, maximum = 0;
    int range = 0;
    int tickStep = 20, tickOffset = 0;
    uint32_t wheelTime = 0;
    int pageStep = 0;
    bool groove = true;
    int thumbLength = kSliderThumbLength;
    short lastPosition = 0;
    COLORREF plainColour = 0x989898;
    int oldThumbPosition = 0;  // where the thumb stood at the previous paint
    MotionScaler motion;       // drags move the value as far per physical inch at every scale
    KeptPaint kept;
};

// The plain face: a flat colour under an optional keyed bitmap.
void drawPlainFace(HDC dc, const RECT& client, const SliderState* s)
{
    Brush brush(CreateSolidBrush(s->plainColour));
    if (brush)
        FillRect(dc, &client, brush.get());
    if (!s->plainBitmap)
        return;
    Bitmap face(LoadSkinBitmap(skinInstance(), s->plainBitmap, nullptr));
    if (face)
        BlitKeyed(dc, 0, 0, face.get(), 0, 0, client.right, client.bottom, s->plainColour);
}

void drawGroove(HWND w, HDC dc, const RECT& client, const RECT& track, const SliderState* s, bool enabled)
{
    const COLORREF g = enabled ? 0x202020 : 0xA0A0A0;
    const int inset = s->px(4), lines = s->px(2);
    for (int i = 0; i < lines; ++i) {
        if (s->vertical) {
            const int x = (track.left + track.right) / 2 + i;
            DrawLine(dc, x, track.top + inset, x, track.bottom - inset, g);
        } else {
            const int y = (track.top + track.bottom) / 2 - lines + i;
            DrawLine(dc, track.left + inset, y, track.right - inset, y, g);
        }
    }
    if (enabled || !s->background)
        return;
    // The faded thumb must not show the groove through it.
    RECT pr;
    GetRectInParent(w, &pr);
    if (s->vertical) {
        const int top = s->oldThumbPosition - s->thumbLength;
        blitBitmap(dc, 0, top, client.right, s->thumbLength - s->px(3), s->background, pr.left, pr.top + top);
    } else {
        blitBitmap(dc, s->oldThumbPosition, 0, s->thumbLength - s->px(3), client.bottom, s->background,
                   pr.left + s->oldThumbPosition, pr.top);
    }
}

void drawTicks(HDC dc, const RECT& client, const SliderTrack& t, const SliderState* s)
{
    for (const SliderTick& tick : sliderTicks(s->minimum, s->maximum, s->tickStep, s->tickOffset)) {
        const int o = sliderTickOffset(t, tick.value);
        const COLORREF col = tick.major ? 0x505050 : 0x888888;
        const int length = s->px(tick.major ? 4 : 2);
        // One-pixel ticks at 100 %, as wide as the thumb's value mark at a larger scale.
        for (int i = 0; i < s->px(1); ++i) {
            if (s->vertical) {
                const int y = client.top + s->px(12) + o + i;
                DrawLine(dc, client.right - s->px(4) - length, y, client.right - s->px(2), y, col);
            } else {
                const int x = s->px(12) + o + i;
                DrawLine(dc, x, client.bottom - s->px(6) - length, x, client.bottom - s->px(4), col);
            }
        }
    }
}

void draw(HWND w, HDC dc, const RECT& client, SliderState* s)
{
    const bool enabled = IsWindowEnabled(w) != 0;
    // The plain face counts a shorter thumb for the travel only; the thumb keeps its own length.
    int travelLength = s->thumbLength;
    if (s->plain) {
        drawPlainFace(dc, client, s);
        travelLength = s->px(11);
    } else {
        copyBackgroundBehind(w, dc, s->background, client.right, client.bottom);
    }
    RECT track = client;
    if (s->vertical)
        track.right -= s->px(4);
    else
        track.bottom -= s->px(4);
    const bool grooveOn = s->groove && !s->plain;
    if (grooveOn)
        drawGroove(w, dc, client, track, s, enabled);
    SliderTrack t;
    t.minimum = s->minimum;
    t.range = s->range;
    t.travel = (s->vertical ? client.bottom : client.right) - travelLength;
    if (grooveOn && s->tickStep != 0)
        drawTicks(dc, client, t, s);
    const int offset = sliderThumbOffset(t, s->value);
    const uint32_t tint = enabled && (s->dragging || GetFocus() == w) ? kDefaultTint : 0;
    if (s->thumb) {
        if (s->vertical)
            DrawSpriteWith(s->kept.blendWindow(), dc, grooveOn ? s->px(2) : 0, track.bottom - s->thumbLength - offset,
                           s->px(grooveOn ? 16 : 18), s->thumbLength, s->thumb, enabled ? 255 : 192, tint, 0);
        else
            DrawSpriteWith(s->kept.blendWindow(), dc, offset, 0, s->thumbLength, s->px(kSliderThumbThickness), s->thumb,
                           enabled ? 255 : 192, tint, 0);
    }
    s->thumbPosition = s->vertical ? track.bottom - offset : offset;
    s->oldThumbPosition = s->thumbPosition;
}

void paint(HWND w, SliderState* s)
{
    RECT c = clientRect(w);
    s->kept.paint(WindowDC(w), c.right, c.bottom, [&](HDC dc) { draw(w, dc, c, s); });
}

void repaint(HWND w, SliderState* s)
{
    InvalidateRect(w, nullptr, FALSE);
    paint(w, s);
    ValidateRect(w, nullptr);
}

void changed(HWND w, SliderState* s, bool released)
{
    repaint(w, s);
    HWND parent = GetParent(w);
    SendMessageA(parent, SLN_CHANGED, static_cast<WPARAM>(s->value), reinterpret_cast<LPARAM>(w));
    if (released)
        SendMessageA(parent, SLN_RELEASED, 0, reinterpret_cast<LPARAM>(w));
}

// A key or wheel step: the value within the range, and a finished change for the parent.
void stepTo(HWND w, SliderState* s, long long v)
{
    if (v < s->minimum)
        v = s->minimum;
    if (v > s->maximum)
        v = s->maximum;
    s->value = static_cast<int>(v);
    changed(w, s, true);
}

bool key(HWND w, SliderState* s, WPARAM vk)
{
    long long v = s->value;
    switch (vk) {
    case VK_PRIOR:
        v += s->pageStep;
        break;
    case VK_NEXT:
        v -= s->pageStep;
        break;
    case VK_END:
        v = s->maximum;
        break;
    case VK_HOME:
        v = s->minimum;
        break;
    case VK_UP:
    case VK_RIGHT:
        v += 1;
        break;
    case VK_LEFT:
    case VK_DOWN:
        v -= 1;
        break;
    default:
        return false;
    }
    stepTo(w, s, v);
    return true;
}

void press(HWND w, SliderState* s, LPARAM lp)
{
    const short x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    s->dragging = true;
    s->lastPosition = s->vertical ? y : x;
    s->motion.reset();
    repaint(w, s);
    SetCapture(w);
    s->savedCursor = SetCursor(nullptr);
    s->moved = false;
    GetCursorPos(&s->pressPosition);
    SetFocus(w);
    const ThumbSpan thumb = sliderThumbSpan(s->vertical, s->thumbPosition, s->thumbLength, s->scale);
    const int along = s->vertical ? y : x;
    s->grabbed = thumb.first <= along && along < thumb.last;
}

void move(HWND w, SliderState* s, LPARAM lp)
{
    if (!s->dragging)
        return;
    if (warpPointerAtEdge()) {
        s->skipNextMove = true;
        return;
    }
    const short coordinate = s->vertical ? static_cast<short>(HIWORD(lp)) : static_cast<short>(LOWORD(lp));
    int delta = coordinate - s->lastPosition;
    if (s->vertical)
        delta = -delta;
    s->lastPosition = coordinate;
    s->moved = true;
    if (s->skipNextMove) {
        s->skipNextMove = false;
        return;
    }
    delta = s->motion.step(delta, s->scale);
    if (s->squareLaw)
        delta = sliderSquareLaw(delta);
    s->value = clampInt(s->value + delta, s->minimum, s->maximum);
    changed(w, s, false);
}

void release(HWND w, SliderState* s)
{
    if (!s->dragging)
        return;
    s->dragging = false;  // before ReleaseCapture, whose WM_CAPTURECHANGED must not end the drag twice
    ReleaseCapture();
    repaint(w, s);
    if (s->moved) {
        RECT wr;
        GetWindowRect(w, &wr);
        const int middle = sliderThumbMiddle(s->vertical, s->thumbPosition, s->thumbLength, s->scale);
        if (!s->grabbed)
            SetCursorPos(s->pressPosition.x, s->pressPosition.y);
        else if (s->vertical)
            SetCursorPos((wr.left + wr.right) / 2 - s->px(2), wr.top + middle);
        else
            SetCursorPos(wr.left + middle, (wr.top + wr.bottom) / 2 - s->px(2));
        SendMessageA(GetParent(w), SLN_RELEASED, 0, reinterpret_cast<LPARAM>(w));
    }
    SetCursor(s->savedCursor ? s->savedCursor : LoadCursor(nullptr, IDC_ARROW));
}

// Another window took the mouse (a menu, a dialog): end the drag without touching its capture,
// its cursor or the pointer's position.
void captureLost(HWND w, SliderState* s)
{
    s->dragging = false;
    s->skipNextMove = false;
    repaint(w, s);
    if (s->moved)
        SendMessageA(GetParent(w), SLN_RELEASED, 0, reinterpret_cast<LPARAM>(w));
}

// The state from the style bits and the creation bitmap.
LRESULT create(HWND w, SliderState* s, LPARAM lp)
{
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    s->vertical = (style & SLS_VERTICAL) != 0;
    s->plain = (style & SLS_PLAIN) != 0;
    s->background = creationBitmap(lp);
    s->plainColour = displayBitsPerPixel() > 8 ? 0x989898 : 0x808080;
    return 0;
}

// The slider's own messages: what its parent sets and asks.
LRESULT sliderMessage(HWND w, SliderState* s, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case SL_GETPOS:
        return s->value;
    case SL_SETPOS:
        if (static_cast<int>(wp) != s->value) {
            s->value = static_cast<int>(wp);
            InvalidateRect(w, nullptr, FALSE);
            if (lp)
                repaint(w, s);
        }
        return 0;
    case SL_SETRANGE: {
        const int mn = static_cast<int>(wp), mx = static_cast<int>(lp);
        if (mn != s->minimum || mx != s->maximum) {
            s->minimum = mn;
            s->maximum = mx;
            s->range = mx - mn;
            if (s->pageStep == 0) {
                RECT c = clientRect(w);
                s->pageStep = derivedPageStep(s->range, s->vertical ? c.bottom : c.right);
            }
            repaint(w, s);
        }
        return 0;
    }
    case SL_SETSQUARELAW:
        s->squareLaw = wp != 0;
        return 0;
    case SL_SETTICKSTEP:
        s->tickStep = static_cast<int>(wp);
        return 0;
    case SL_SETPAGESTEP:
        s->pageStep = static_cast<int>(wp);
        return 0;
    case SL_SETTICKOFFSET:
        s->tickOffset = static_cast<int>(wp);
        return 0;
    case SL_SETBITMAP:
        s->plainBitmap = static_cast<int>(wp);
        return 0;
    case SL_SETTHUMB:
        s->thumb = reinterpret_cast<const uint8_t*>(wp);
        InvalidateRect(w, nullptr, FALSE);
        return 0;
    case SL_SETGROOVE:
        s->groove = wp != 0;
        return 0;
    case SL_SETTHUMBLEN:
        s->thumbLength = static_cast<int>(wp);
        return 0;
    default:
        return DefWindowProcA(w, msg, wp, lp);
    }
}

// Input and focus; the rest is the slider's own.
LRESULT message(HWND w, SliderState* s, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
        repaint(w, s);
        return 0;
    case WM_KEYDOWN:
        if (wp >= 0x21 && wp <= 0x28 && key(w, s, wp))
            return 0;
        break;
    case WM_LBUTTONDOWN:
        press(w, s, lp);
        return 0;
    case WM_LBUTTONDBLCLK:
        SendMessageA(GetParent(w), SLN_DBLCLK, GetDlgCtrlID(w), reinterpret_cast<LPARAM>(w));
        return 0;
    case WM_MOUSEMOVE:
        move(w, s, lp);
        return 0;
    case WM_LBUTTONUP:
        release(w, s);
        return 0;
    case WM_CAPTURECHANGED:
        if (s->dragging && reinterpret_cast<HWND>(lp) != w)
            captureLost(w, s);
        return 0;
    case WM_MOUSEWHEEL: {
        const int step = controlWheelStep(wp, &s->wheelTime);
        if (step == 0)
            return 0;
        stepTo(w, s, static_cast<long long>(s->value) + step);
        return 0;
    }
    }
    return sliderMessage(w, s, msg, wp, lp);
}

struct Slider : SkinnedControl<SliderState> {
    static LRESULT create(HWND w, State* s, LPARAM lp) { return qv::create(w, s, lp); }
    static void paint(HWND w, State* s) { qv::paint(w, s); }
    static void rescale(HWND w, State* s)
    {
        s->thumbLength = s->px(kSliderThumbLength);
        InvalidateRect(w, nullptr, FALSE);
    }
    static LRESULT message(HWND w, State* s, UINT msg, WPARAM wp, LPARAM lp) { return qv::message(w, s, msg, wp, lp); }
};

}  // namespace

LRESULT CALLBACK SliderProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    return skinnedControlProc<Slider>(w, msg, wp, lp);
}

}  // namespace qv
