// "qv:StaticText" (a centred text over the background) and "qv:StaticImage" (a bitmap resource);
// both report left clicks to the parent.
#include "Skin.h"
#include "SkinInternal.h"

namespace qv {

namespace {

struct StaticTextState : ScaledState {
    HBITMAP background = nullptr;
    HFONT font = nullptr;
    KeptPaint kept;
};

struct StaticImageState : ScaledState {
    HBITMAP background = nullptr;  // kept for symmetry with the other classes; not drawn
    int image = -1;
};

void paintText(HWND w, StaticTextState* s)
{
    RECT c = clientRect(w);
    s->kept.paint(WindowDC(w), c.right, c.bottom, [&](HDC dc) {
        copyBackgroundBehind(w, dc, s->background, c.right, c.bottom);
        SelectedObject font(dc, s->font ? static_cast<HGDIOBJ>(s->font) : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, 0);
        char text[256];
        GetWindowTextA(w, text, sizeof(text));
        DrawTextA(dc, text, -1, &c, DT_END_ELLIPSIS | DT_VCENTER | DT_CENTER);
    });
}

void paintImage(HWND w, StaticImageState* s)
{
    RECT c = clientRect(w);
    paintOffscreen(WindowDC(w), c.right, c.bottom, [&](HDC dc) {
        Bitmap image(s->image >= 0 ? LoadSkinBitmap(skinInstance(), s->image, nullptr) : nullptr);
        blitBitmap(dc, 0, 0, c.right, c.bottom, image.get(), 0, 0);
    });
}

// Both keep the bitmap they were created with, take the editor's scale message and draw what they
// are given at it: nothing of their own grows.
template <class StateType>
struct SkinnedStatic : SkinnedControl<StateType> {
    static LRESULT create(HWND, StateType* s, LPARAM lp)
    {
        s->background = creationBitmap(lp);
        return 0;
    }
    static void rescale(HWND, StateType*) {}
};

struct StaticText : SkinnedStatic<StaticTextState> {
    static void paint(HWND w, State* s) { paintText(w, s); }
    static LRESULT message(HWND w, State* s, UINT msg, WPARAM wp, LPARAM lp)
    {
        switch (msg) {
        case WM_SETFONT:
            s->font = reinterpret_cast<HFONT>(wp);
            if (lp)
                InvalidateRect(w, nullptr, FALSE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(s->font);
        case WM_SETTEXT:
            InvalidateRect(w, nullptr, FALSE);
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            PostMessageA(GetParent(w), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w), 0), reinterpret_cast<LPARAM>(w));
            return 0;
        }
        return DefWindowProcA(w, msg, wp, lp);
    }
};

struct StaticImage : SkinnedStatic<StaticImageState> {
    static void paint(HWND w, State* s) { paintImage(w, s); }
    static LRESULT message(HWND w, State* s, UINT msg, WPARAM wp, LPARAM lp)
    {
        switch (msg) {
        case SI_SETIMAGE:
            s->image = static_cast<int>(wp);
            InvalidateRect(w, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            PostMessageA(GetParent(w), SIN_CLICK, GetDlgCtrlID(w), lp);
            return 0;
        }
        return DefWindowProcA(w, msg, wp, lp);
    }
};

}  // namespace

LRESULT CALLBACK StaticTextProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    return skinnedControlProc<StaticText>(w, msg, wp, lp);
}

LRESULT CALLBACK StaticImageProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    return skinnedControlProc<StaticImage>(w, msg, wp, lp);
}

}  // namespace qv
