// "qv:PushButton": a skinned face with text or icon, a tinted check state and a press protocol that
// reports press, release, double-click, leave and re-enter to the parent.
#include <cstring>
#include <memory>

#include "Skin.h"
#include "SkinInternal.h"
#include "ScaleMath.h"

namespace qv {

namespace {

struct PushButtonState : ScaledState {
    int tracking = 0;  // 0 idle, 1 mouse press, 2 Space press
    bool inside = false;
    bool pressedLook = false;
    int check = 0;
    bool reportDblClk = false;
    bool arrowStyle = false;
    bool menuMarkStyle = false;
    bool borderFlag = false;
    COLORREF iconKey = 0xFF00FF;
    uint32_t tint = kDefaultTint;
    int icon = 0;
    char* text = nullptr;
    HBITMAP background = nullptr;
    const uint8_t* normalSprite = nullptr;
    const uint8_t* pressedSprite = nullptr;
    int focusAdjust[4] = {0, 0, 0, 0};
    // Kept between paints: the off-screen bitmap, the font, and the icon prepared for keyed drawing
    // (for the image and key it was made with).
    KeptPaint kept;
    std::unique_ptr<ControlFont> font;
    std::unique_ptr<KeyedSheet> iconSheet;
    int iconSheetImage = 0;
    COLORREF iconSheetKey = 0;
    int iconWidth = 0, iconHeight = 0;
};

void notify(HWND w, unsigned code)
{
    SendMessageA(GetParent(w), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w), code), reinterpret_cast<LPARAM>(w));
}

// The icon's sheet for the current image and key, loaded and prepared once rather than at every paint.
const KeyedSheet* iconSheet(HDC dc, PushButtonState& s)
{
    if (!s.iconSheet || s.iconSheetImage != s.icon || s.iconSheetKey != s.iconKey) {
        s.iconSheet.reset();
        Bitmap icon(LoadSkinBitmap(skinInstance(), s.icon, nullptr));
        BITMAP bm;
        if (!icon || !GetObjectA(icon.get(), sizeof(bm), &bm))
            return nullptr;
        s.iconSheet.reset(new (std::nothrow) KeyedSheet(dc, icon.get(), s.iconKey));
        s.iconSheetImage = s.icon;
        s.iconSheetKey = s.iconKey;
        s.iconWidth = bm.bmWidth;
        s.iconHeight = bm.bmHeight;
    }
    return s.iconSheet && s.iconSheet->ok() ? s.iconSheet.get() : nullptr;
}

void drawIcon(HDC dc, PushButtonState& s, int iw, int ih)
{
    const KeyedSheet* sheet = iconSheet(dc, s);
    if (!sheet)
        return;
    const int w = s.iconWidth < iw ? s.iconWidth : iw;
    const int h = s.iconHeight < ih ? s.iconHeight : ih;
    // Narrower icons are centred too: the rule for wide ones, applied to both cases.
    const int inset = s.px(2);
    int x = inset + (iw - s.iconWidth + 1) / 2;
    if (s.iconWidth < iw)
        x = inset + (iw - s.iconWidth) / 2;
    int y = s.iconHeight < ih ? inset + (ih - s.iconHeight) / 2 : inset;
    if (s.pressedLook) {
        x += s.px(1);
        y += s.px(1);
    }
    sheet->draw(dc, x, y, 0, 0, w, h);
}

// The caption inside `inner`; returns the top the text was laid out from.
int drawText(HDC dc, PushButtonState& s, const RECT& inner, bool enabled)
{
    if (!s.font)
        s.font.reset(new (std::nothrow) ControlFont(s.scale));
    SelectedObject selected(dc, s.font ? s.font->get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? 0x404040 : 0x808080);
    RECT tr = inner;
    tr.top += s.px(1) + (tr.bottom - tr.top) % 2;
    UINT format = DT_END_ELLIPSIS | DT_VCENTER | DT_CENTER;
    if (s.arrowStyle || s.menuMarkStyle) {
        tr.left += s.px(3);
        format = DT_END_ELLIPSIS | DT_VCENTER | DT_LEFT;
    }
    DrawTextA(dc, s.text, -1, &tr, format);
    return tr.top;
}

void drawMarks(HDC dc, const PushButtonState& s, int right, int top)
{
    if (s.arrowStyle) {
        // A downward triangle, 7 pixels wide and 4 high at 100 %.
        for (int i = 0; i < s.px(4); ++i)
            DrawLine(dc, right - s.px(10) + i, top + s.px(5) + i, right - s.px(3) - i, top + s.px(5) + i, 0x404040);
    }
    if (s.menuMarkStyle) {
        Bitmap mark(LoadSkinBitmap(skinInstance(), kMenuMarkBitmap, nullptr));
        if (mark)
            BlitKeyed(dc, right - 10, top + 1, mark.get(), 0, 0, 7, 11, 0xFF00FF);
    }
}

void draw(HWND w, HDC dc, int width, int height, PushButtonState* s)
{
    const bool enabled = IsWindowEnabled(w) != 0;
    copyBackgroundBehind(w, dc, s->background, width, height);
    const uint8_t* face = s->pressedLook && s->pressedSprite ? s->pressedSprite : s->normalSprite;
    if (face)
        DrawSpriteWith(s->kept.blendWindow(), dc, 0, 0, width, height, face, enabled ? 255 : 160,
                       s->check ? s->tint : 0, s->check && s->borderFlag ? 2 : 1);
    else
        Rectangle(dc, 0, 0, width, height);
    const int inset = s->px(2);
    RECT inner{inset, inset, width - inset, height - inset};
    if (s->pressedLook)
        OffsetRect(&inner, s->px(1), s->px(1));
    const RECT focusRect = inner;
    if (s->icon)
        drawIcon(dc, *s, width - 2 * inset, height - 2 * inset);
    if (s->text)
        inner.top = drawText(dc, *s, inner, enabled);
    drawMarks(dc, *s, inner.right, inner.top);
    if (GetFocus() == w) {
        RECT f = focusRect;
        InflateRect(&f, -s->px(1), -s->px(1));
        f.left += s->focusAdjust[0];
        f.top += s->focusAdjust[1];
        f.right += s->focusAdjust[2];
        f.bottom += s->focusAdjust[3];
        DrawGreyFrame(dc, f, s->px(1));
    }
}

void paint(HWND w)
{
    PushButtonState* s = controlState<PushButtonState>(w);
    if (!s)
        return;
    RECT client;
    GetClientRect(w, &client);
    s->kept.paint(WindowDC(w), client.right, client.bottom,
                  [&](HDC dc) { draw(w, dc, client.right, client.bottom, s); });
}

void repaint(HWND w)
{
    InvalidateRect(w, nullptr, FALSE);
    paint(w);
    ValidateRect(w, nullptr);
}

LRESULT press(HWND w, PushButtonState* s, bool doubleClick)
{
    s->pressedLook = true;
    repaint(w);
    if (s->tracking == 0)
        s->tracking = 1;
    s->inside = true;
    SetCapture(w);
    SetFocus(w);
    notify(w, doubleClick && s->reportDblClk ? PBN_DBLCLK : PBN_PRESSED);
    return 0;
}

LRESULT release(HWND w, PushButtonState* s)
{
    if (s->tracking == 0)
        return 0;
    s->tracking = 0;
    ReleaseCapture();
    s->pressedLook = false;
    repaint(w);
    if (s->inside)
        notify(w, PBN_CLICKED);
    return 0;
}

void mouseMove(HWND w, PushButtonState* s, LPARAM lp)
{
    if (s->tracking != 1)
        return;
    RECT c = clientRect(w);
    const unsigned x = static_cast<unsigned>(static_cast<short>(LOWORD(lp)));
    const unsigned y = static_cast<unsigned>(static_cast<short>(HIWORD(lp)));
    const bool now = x < static_cast<unsigned>(c.right) && y < static_cast<unsigned>(c.bottom);
    if (now == s->inside)
        return;
    s->inside = s->pressedLook = now;
    repaint(w);
    notify(w, now ? PBN_ENTER : PBN_LEAVE);
}

// A heap copy of a caption; null when memory is short.
char* copyText(const char* text)
{
    const size_t n = strlen(text);
    char* copy = new (std::nothrow) char[n + 1];
    if (copy)
        memcpy(copy, text, n + 1);
    return copy;
}

LRESULT setText(HWND w, PushButtonState* s, WPARAM wp, LPARAM lp)
{
    const char* text = reinterpret_cast<const char*>(lp);
    if (s->text && text && strcmp(s->text, text) == 0)
        return 0;
    delete[] s->text;
    s->text = nullptr;
    if (text)
        s->text = copyText(text);
    const LRESULT r = DefWindowProcA(w, WM_SETTEXT, wp, lp);
    repaint(w);
    return r;
}

void cancelPress(HWND w)
{
    SendMessageA(w, WM_LBUTTONUP, 0, 0);
    MSG msg;
    if (PeekMessageA(&msg, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_NOREMOVE) && msg.hwnd == w)
        PeekMessageA(&msg, w, msg.message, msg.message, PM_REMOVE);
}

// The state from the style bits, the creation bitmap and the caption.
LRESULT create(HWND w, PushButtonState* s, LPARAM lp)
{
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    s->arrowStyle = (style & PBS_ARROW) != 0;
    s->menuMarkStyle = (style & PBS_MENUMARK) != 0;
    s->background = creationBitmap(lp);
    const CREATESTRUCTA* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
    if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
        s->text = copyText(cs->lpszName);
    return 0;
}

// The button's own messages: what its parent sets and asks.
LRESULT buttonMessage(HWND w, PushButtonState* s, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case PB_SETCHECK:
        if (static_cast<int>(wp) == s->check && lp == 0)
            return 0;
        s->check = static_cast<int>(wp);
        InvalidateRect(w, nullptr, FALSE);
        if (lp)
            repaint(w);
        return 0;
    case PB_GETCHECK:
        return s->check;
    case PB_REDRAW:
        InvalidateRect(w, nullptr, FALSE);
        if (lp)
            repaint(w);
        return 0;
    case PB_SETDBLCLK:
        s->reportDblClk = wp != 0;
        return 0;
    case PB_SETICON:
        if (static_cast<int>(wp) != s->icon) {
            s->icon = static_cast<int>(wp);
            InvalidateRect(w, nullptr, FALSE);
            if (lp)
                repaint(w);
        }
        return 0;
    case PB_SETICONKEY:
        s->iconKey = static_cast<COLORREF>(wp);
        return 0;
    case PB_CANCELPRESS:
        cancelPress(w);
        return 0;
    case PB_SETSPRITES:
        s->normalSprite = reinterpret_cast<const uint8_t*>(wp);
        s->pressedSprite = reinterpret_cast<const uint8_t*>(lp);
        InvalidateRect(w, nullptr, FALSE);
        return 0;
    case PB_SETFOCUSRECT: {
        const int* adjust = reinterpret_cast<const int*>(wp);
        if (adjust)
            memcpy(s->focusAdjust, adjust, sizeof(s->focusAdjust));
        s->borderFlag = lp != 0;
        return 0;
    }
    case PB_SETTINT:
        s->tint = static_cast<uint32_t>(wp);
        return 0;
    default:
        return DefWindowProcA(w, msg, wp, lp);
    }
}

// Input and focus; the rest is the button's own.
LRESULT message(HWND w, PushButtonState* s, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_UNDEFPUSHBUTTON;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
        repaint(w);
        return 0;
    case WM_LBUTTONDOWN:
        return press(w, s, false);
    case WM_LBUTTONDBLCLK:
        return press(w, s, true);
    case WM_LBUTTONUP:
        return release(w, s);
    case WM_MOUSEMOVE:
        mouseMove(w, s, lp);
        return 0;
    case WM_KEYDOWN:
        if (wp == VK_SPACE) {
            s->tracking = 2;
            SendMessageA(w, WM_LBUTTONDOWN, 0, 0);
            return 0;
        }
        break;
    case WM_KEYUP:
        if (wp != VK_SPACE)
            s->inside = false;
        SendMessageA(w, WM_LBUTTONUP, 0, 0);
        return 0;
    case WM_RBUTTONDOWN:
        return SendMessageA(GetParent(w), PBN_RCLICK, GetDlgCtrlID(w), lp);
    case WM_SETTEXT:
        return setText(w, s, wp, lp);
    }
    return buttonMessage(w, s, msg, wp, lp);
}

struct PushButton : SkinnedControl<PushButtonState> {
    static LRESULT create(HWND w, State* s, LPARAM lp) { return qv::create(w, s, lp); }
    static void destroy(HWND, State* s) { delete[] s->text; }
    static void paint(HWND w, State*) { qv::paint(w); }
    static void rescale(HWND w, State* s)
    {
        s->font.reset();  // made again at the new size by the next paint
        InvalidateRect(w, nullptr, FALSE);
    }
    static LRESULT message(HWND w, State* s, UINT msg, WPARAM wp, LPARAM lp) { return qv::message(w, s, msg, wp, lp); }
};

}  // namespace

LRESULT CALLBACK PushButtonProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    return skinnedControlProc<PushButton>(w, msg, wp, lp);
}

}  // namespace qv
