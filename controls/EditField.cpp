// "qv:Edit": a drag-and-type number field. Drags, keys and the wheel report signed steps to the
// parent, which writes the new text back; a double-click or Space opens an in-place entry box.
#include <algorithm>
#include <cstring>
#include <memory>

#include "Skin.h"
#include "SkinInternal.h"
#include "ScaleMath.h"
#include "ValueMath.h"

namespace qv {

namespace {

struct EditState : ScaledState {
    bool dragging = false;
    bool squareLaw = true;
    bool inverted = false;
    short lastX = 0, lastY = 0;
    MotionScaler motionX, motionU;  // drags step as far per physical inch at every scale
    uint32_t wheelTime = 0;
    bool verticalAxis = false;
    int pendingChanges = 0;
    HBITMAP background = nullptr;
    const uint8_t* face = nullptr;
    bool rightAligned = false;
    KeptPaint kept;  // the off-screen bitmap and font, kept between paints
    std::unique_ptr<ControlFont> font;
};

constexpr int kEntryId = 0x10E1;
const char* const kEntryOldProc = "qvEntryProc";
const char* const kEntryFont = "qvEntryFont";

void postStep(HWND w, int step)
{
    const WORD encoded = static_cast<WORD>(static_cast<short>(saturateStep16(step)));
    PostMessageA(GetParent(w), EDN_STEP, MAKEWPARAM(GetDlgCtrlID(w), encoded), reinterpret_cast<LPARAM>(w));
}

void drawText(HWND w, HDC dc, const RECT& client, EditState* s, bool enabled)
{
    const int one = scalePx(1, s->scale);
    RECT tr = client;
    InflateRect(&tr, -3 * one, -3 * one);
    if ((tr.top & 1) != (tr.bottom & 1))
        tr.top += 1;
    tr.right -= 2 * one;
    if (!s->font)
        s->font.reset(new (std::nothrow) ControlFont(s->scale));
    SelectedObject selected(dc, s->font ? s->font->get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    SetBkMode(dc, TRANSPARENT);
    char text[256];
    GetWindowTextA(w, text, sizeof(text));
    // A value wider than the margins (a five-digit frequency) takes them up to a pixel from the
    // art's two-pixel frame, its shadow included; where that is not enough its characters move
    // closer together, by at most a pixel of the scale each, rather than lose a digit to the frame
    // or to an ellipsis.
    const int length = static_cast<int>(strlen(text));
    SIZE extent{0, 0};
    GetTextExtentPoint32A(dc, text, length, &extent);
    UINT format = DT_END_ELLIPSIS | DT_VCENTER | (s->rightAligned ? DT_RIGHT : DT_LEFT);
    if (extent.cx > tr.right - tr.left) {
        tr.left = client.left + 3 * one;
        tr.right = client.right - 4 * one;
        const int over = extent.cx - (tr.right - tr.left);
        const int closer = over > 0 && length > 1 ? std::min(one, (over + length - 2) / (length - 1)) : 0;
        SetTextCharacterExtra(dc, -closer);
        // Closer together it fits: the ellipsis would count the characters at their own width.
        if (closer * (length - 1) >= over)
            format &= ~static_cast<UINT>(DT_END_ELLIPSIS);
    }
    RECT shadow = tr;
    OffsetRect(&shadow, one, one);
    SetTextColor(dc, 0xCBC7C5);
    DrawTextA(dc, text, -1, &shadow, format);
    SetTextColor(dc, enabled ? 0x454140 : 0x909090);
    DrawTextA(dc, text, -1, &tr, format);
    SetTextCharacterExtra(dc, 0);
}

void draw(HWND w, HDC dc, const RECT& client, EditState* s)
{
    const bool enabled = IsWindowEnabled(w) != 0;
    copyBackgroundBehind(w, dc, s->background, client.right, client.bottom);
    if (s->face)
        DrawSpriteWith(s->kept.blendWindow(), dc, 0, 0, client.right, client.bottom, s->face, enabled ? 255 : 160, 0,
                       0);
    if (GetFocus() == w) {
        RECT f = client;
        InflateRect(&f, -scalePx(2, s->scale), -scalePx(2, s->scale));
        DrawRedFrame(dc, f, scalePx(1, s->scale));
    }
    drawText(w, dc, client, s, enabled);
}

void paint(HWND w, EditState* s)
{
    if (s->pendingChanges < 0)
        s->pendingChanges = 0;
    RECT c = clientRect(w);
    // The class borrows its parent's DC; leave an open in-place entry box (a child) untouched.
    s->kept.paint(WindowDC(w, DCX_CACHE | DCX_CLIPCHILDREN), c.right, c.bottom, [&](HDC dc) { draw(w, dc, c, s); });
}

void repaint(HWND w, EditState* s)
{
    InvalidateRect(w, nullptr, FALSE);
    paint(w, s);
    ValidateRect(w, nullptr);
}

LRESULT CALLBACK entryProc(HWND e, UINT msg, WPARAM wp, LPARAM lp)
{
    WNDPROC previous = reinterpret_cast<WNDPROC>(GetPropA(e, kEntryOldProc));
    switch (msg) {
    case WM_KILLFOCUS:
        PostMessageA(e, WM_CLOSE, 0, 0);  // dropped; destroying inside the focus change upsets it
        break;
    case WM_CLOSE:
        DestroyWindow(e);
        return 0;
    case WM_KEYDOWN:
        if (wp == VK_RETURN) {
            HWND field = GetParent(e);
            char text[256];
            GetWindowTextA(e, text, sizeof(text));
            SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
            PostMessageA(GetParent(field), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(field), EDN_CHANGE_CODE),
                         reinterpret_cast<LPARAM>(field));
            postStep(field, 0);
            DestroyWindow(e);
            return 0;
        }
        if (wp == VK_ESCAPE) {
            DestroyWindow(e);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wp == '\r' || wp == 27)
            return 0;  // no beep, no newline in the multi-line box
        break;
    case WM_NCDESTROY: {
        if (inPlaceEntryWindow() == e)
            setInPlaceEntryWindow(nullptr);
        // The box's own font outlives the box's last message.
        const Font font(static_cast<HFONT>(GetPropA(e, kEntryFont)));
        RemovePropA(e, kEntryOldProc);
        RemovePropA(e, kEntryFont);
        SetWindowLongPtrA(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        return previous ? CallWindowProcA(previous, e, msg, wp, lp) : DefWindowProcA(e, msg, wp, lp);
    }
    }
    return previous ? CallWindowProcA(previous, e, msg, wp, lp) : DefWindowProcA(e, msg, wp, lp);
}

void openEntry(HWND w)
{
    if (HWND open = inPlaceEntryWindow())
        DestroyWindow(open);
    RECT c = clientRect(w);
    // Single-line: a right-aligned multi-line box cannot scroll and refuses what passes its edge,
    // which in a 36-pixel box is the fourth digit of a frequency. Enter and Escape are caught above.
    const EditState* s = controlState<EditState>(w);
    const Scale scale = s ? s->scale : kScale100;
    const int inset = scalePx(2, scale);
    HWND e = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_RIGHT | ES_AUTOHSCROLL, inset, inset,
                             c.right - 2 * inset, c.bottom - 2 * inset, w, reinterpret_cast<HMENU>(kEntryId),
                             reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(w, GWLP_HINSTANCE)), nullptr);
    if (!e)
        return;
    ControlFont font(scale);
    SendMessageA(e, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), 0);
    if (HFONT owned = font.releaseOwned())
        SetPropA(e, kEntryFont, owned);  // deleted when the box goes
    char text[256];
    GetWindowTextA(w, text, sizeof(text));
    SetWindowTextA(e, text);
    // The old procedure is kept as a property: the box's own user data belongs to whoever made it.
    SetPropA(e, kEntryOldProc, reinterpret_cast<HANDLE>(GetWindowLongPtrA(e, GWLP_WNDPROC)));
    SetWindowLongPtrA(e, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entryProc));
    setInPlaceEntryWindow(e);
    SetFocus(e);
    SendMessageA(e, EM_SETSEL, 0, -1);
}

void endDrag(HWND w, EditState* s)
{
    if (!s->dragging)
        return;
    s->dragging = false;
    ReleaseCapture();
    repaint(w, s);
}

void move(HWND w, EditState* s, LPARAM lp)
{
    if (!s->dragging)
        return;
    const short x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    const int dx = s->motionX.step(x - s->lastX, s->scale), du = s->motionU.step(s->lastY - y, s->scale);
    s->lastX = x;
    s->lastY = y;
    if (s->scale != kScale100 && dx == 0 && du == 0)
        return;  // less than a pixel at 100 %: kept for the next move
    EditDrag d{s->verticalAxis, s->squareLaw, s->inverted};
    const int step = editDragStep(d, dx, du);
    s->verticalAxis = d.verticalAxis;
    postStep(w, step);
}

bool key(HWND w, WPARAM vk)
{
    int step;
    switch (vk) {
    case VK_SPACE:
        openEntry(w);
        return true;
    case VK_PRIOR:
        step = 10;
        break;
    case VK_NEXT:
        step = -10;
        break;
    case VK_END:
        step = 17504;
        break;
    case VK_HOME:
        step = -17504;
        break;
    case VK_LEFT:
    case VK_DOWN:
        step = -1;
        break;
    case VK_UP:
    case VK_RIGHT:
        step = 1;
        break;
    default:
        return false;
    }
    postStep(w, step);
    return true;
}

LRESULT setText(HWND w, EditState* s, WPARAM wp, LPARAM lp)
{
    const char* text = reinterpret_cast<const char*>(lp);
    char current[128];
    GetWindowTextA(w, current, sizeof(current));
    if (text && strcmp(text, current) == 0)
        return 0;
    ++s->pendingChanges;
    InvalidateRect(w, nullptr, FALSE);
    return DefWindowProcA(w, WM_SETTEXT, wp, lp);
}

// The state from the style bits and the creation bitmap.
LRESULT create(HWND w, EditState* s, LPARAM lp)
{
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    s->squareLaw = (style & EDS_LINEAR) == 0;
    s->rightAligned = (style & EDS_RIGHT) != 0;
    s->background = creationBitmap(lp);
    return 0;
}

LRESULT message(HWND w, EditState* s, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_ENABLE:
        repaint(w, s);
        return 0;
    case WM_KILLFOCUS:
        postStep(w, 0);
        endDrag(w, s);
        repaint(w, s);
        return 0;
    case WM_CAPTURECHANGED:
        if (s->dragging && reinterpret_cast<HWND>(lp) != w) {
            s->dragging = false;
            repaint(w, s);
        }
        return 0;
    case WM_LBUTTONDOWN:
        s->lastX = static_cast<short>(LOWORD(lp));
        s->lastY = static_cast<short>(HIWORD(lp));
        s->motionX.reset();
        s->motionU.reset();
        s->dragging = true;
        SetCapture(w);
        SetFocus(w);
        repaint(w, s);
        return 0;
    case WM_LBUTTONDBLCLK:
        openEntry(w);
        return 0;
    case WM_MOUSEMOVE:
        move(w, s, lp);
        return 0;
    case WM_LBUTTONUP:
        endDrag(w, s);
        return 0;
    case WM_RBUTTONDOWN:
        if (s->dragging)
            return 0;
        break;
    case WM_KEYDOWN:
        if (key(w, wp))
            return 0;
        break;
    case WM_MOUSEWHEEL: {
        if (inPlaceEntryWindow())
            return 0;
        int step = controlWheelStep(wp, &s->wheelTime);
        if (s->inverted)
            step = -step;
        postStep(w, step);
        return 0;
    }
    case WM_SETTEXT:
        return setText(w, s, wp, lp);
    case ED_SETSQUARELAW:
        s->squareLaw = wp != 0;
        return 0;
    case ED_SETFLAGS:
        s->inverted = (wp & ED_FLAG_INVERT) != 0;
        return 0;
    case ED_ACKCHANGE:
        if (s->pendingChanges > 0)
            --s->pendingChanges;
        else
            PostMessageA(GetParent(w), EDN_SETTLED, GetDlgCtrlID(w), reinterpret_cast<LPARAM>(w));
        return 0;
    case ED_SETSPRITE:
        s->face = reinterpret_cast<const uint8_t*>(wp);
        InvalidateRect(w, nullptr, FALSE);
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

struct EditField : SkinnedControl<EditState> {
    static LRESULT create(HWND w, State* s, LPARAM lp) { return qv::create(w, s, lp); }
    static void paint(HWND w, State* s) { qv::paint(w, s); }
    static void rescale(HWND w, State* s)
    {
        s->font.reset();
        InvalidateRect(w, nullptr, FALSE);
    }
    static LRESULT message(HWND w, State* s, UINT msg, WPARAM wp, LPARAM lp) { return qv::message(w, s, msg, wp, lp); }
};

}  // namespace

LRESULT CALLBACK EditFieldProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    return skinnedControlProc<EditField>(w, msg, wp, lp);
}

}  // namespace qv
