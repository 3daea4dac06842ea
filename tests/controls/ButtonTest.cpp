// Push button press protocol, static text and static image, with real windows and messages.
#include <gtest/gtest.h>

#include "WindowTestSupport.h"

using namespace qv;
using namespace qvtest;

namespace {

std::vector<UINT> codes(ControlFixture& f)
{
    std::vector<UINT> out;
    for (const Note& n : f.notes())
        if (n.msg == WM_COMMAND)
            out.push_back(n.code());
    return out;
}

}  // namespace

TEST(PushButton, LeaveReenterAndReleaseInsideClicks)
{
    ControlFixture f;
    HWND b = f.create("qv:PushButton", "Undo", 20011, 10, 10, 76, 21);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
    EXPECT_EQ(GetCapture(), b);
    EXPECT_EQ(GetFocus(), b);
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, at(-3, 5));
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, at(-4, 5));  // still outside: nothing new
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, at(70, 20));
    SendMessageA(b, WM_LBUTTONUP, 0, at(70, 20));
    EXPECT_EQ(codes(f), (std::vector<UINT>{PBN_PRESSED, PBN_LEAVE, PBN_ENTER, PBN_CLICKED}));
    EXPECT_EQ(LOWORD(f.notes()[0].wp), 20011);
    EXPECT_EQ(f.notes()[0].lp, reinterpret_cast<LPARAM>(b));
    EXPECT_NE(GetCapture(), b);

    f.notes().clear();
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
    SendMessageA(b, WM_MOUSEMOVE, MK_LBUTTON, at(76, 5));  // x == width is outside
    SendMessageA(b, WM_LBUTTONUP, 0, at(76, 5));
    EXPECT_EQ(codes(f), (std::vector<UINT>{PBN_PRESSED, PBN_LEAVE}));
}

TEST(PushButton, DoubleClickReporting)
{
    ControlFixture f;
    HWND b = f.create("qv:PushButton", "1", 1100, 10, 10, 24, 21);
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
    SendMessageA(b, WM_LBUTTONUP, 0, at(5, 5));
    SendMessageA(b, WM_LBUTTONDBLCLK, MK_LBUTTON, at(5, 5));
    SendMessageA(b, WM_LBUTTONUP, 0, at(5, 5));
    EXPECT_EQ(codes(f), (std::vector<UINT>{PBN_PRESSED, PBN_CLICKED, PBN_PRESSED, PBN_CLICKED}));
    f.notes().clear();
    SendMessageA(b, PB_SETDBLCLK, 1, 0);
    SendMessageA(b, WM_LBUTTONDBLCLK, MK_LBUTTON, at(5, 5));
    SendMessageA(b, WM_LBUTTONUP, 0, at(5, 5));
    EXPECT_EQ(codes(f), (std::vector<UINT>{PBN_DBLCLK, PBN_CLICKED}));
}

TEST(PushButton, SpaceKeyAndCancelledPresses)
{
    ControlFixture f;
    HWND b = f.create("qv:PushButton", "Reset", 20014, 10, 10, 76, 21);
    SendMessageA(b, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(b, WM_KEYDOWN, VK_SPACE, 0x40000000);  // auto-repeat presses again
    SendMessageA(b, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(codes(f), (std::vector<UINT>{PBN_PRESSED, PBN_PRESSED, PBN_CLICKED}));
    f.notes().clear();
    SendMessageA(b, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(b, WM_KEYUP, 'A', 0);  // another key ends the press without a click
    SendMessageA(b, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(codes(f), (std::vector<UINT>{PBN_PRESSED}));
    f.notes().clear();
    // Cancel press: released as by the mouse, and a queued click for the button is dropped.
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
    PostMessageA(b, WM_LBUTTONUP, 0, at(5, 5));
    SendMessageA(b, PB_CANCELPRESS, 0, 0);
    f.pump();
    EXPECT_EQ(codes(f), (std::vector<UINT>{PBN_PRESSED, PBN_CLICKED}));
    EXPECT_NE(GetCapture(), b);
}

TEST(PushButton, RightClickReturnsTheParentsAnswer)
{
    ControlFixture f;
    HWND b = f.create("qv:PushButton", "1", 1100, 10, 10, 24, 21);
    EXPECT_EQ(SendMessageA(b, WM_RBUTTONDOWN, MK_RBUTTON, at(3, 4)), 77);
    ASSERT_EQ(f.notes().size(), 1u);
    EXPECT_EQ(f.notes()[0].msg, PBN_RCLICK);
    EXPECT_EQ(f.notes()[0].wp, 1100u);
    EXPECT_EQ(f.notes()[0].lp, at(3, 4));
}

TEST(PushButton, CheckTintsTheFaceAndDisabledFades)
{
    ControlFixture f;
    HWND b = f.create("qv:PushButton", nullptr, 20010, 10, 10, 40, 21);
    std::vector<uint8_t> face = solidSprite(40, 21, 200, 200, 200);
    SendMessageA(b, PB_SETSPRITES, reinterpret_cast<WPARAM>(face.data()), 0);
    SendMessageA(b, PB_REDRAW, 0, 1);
    EXPECT_EQ(rgb(f.pixels(b)[10 * 40 + 20]), 0xC8C8C8u);
    SendMessageA(b, PB_SETCHECK, 1, 1);
    EXPECT_EQ(SendMessageA(b, PB_GETCHECK, 0, 0), 1);
    std::vector<uint32_t> px = f.pixels(b);
    EXPECT_EQ(rgb(px[10 * 40 + 20]), (217u << 16) | (211u << 8) | 102u);  // tinted inside
    EXPECT_EQ(rgb(px[0]), 0xC8C8C8u);                                     // untinted frame
    EnableWindow(b, FALSE);
    px = f.pixels(b);
    // Fade 160 over the background 0x336699: destination weight 161/256, the tinted face the rest.
    const uint32_t r = 217 + (((0x33 - 217) * 161) >> 8);
    EXPECT_EQ(rgb(px[10 * 40 + 20]) >> 16, r);
}

TEST(PushButton, TextIsStoredOnceAndArrowDrawn)
{
    ControlFixture f;
    HWND b = f.create("qv:PushButton", "", 20013, 10, 10, 15, 21, PBS_ARROW);
    SendMessageA(b, PB_REDRAW, 0, 1);
    std::vector<uint32_t> px = f.pixels(b);
    // Inner right R = 13, top T = 2 + 2 (text offset for odd height 17): first row T + 5 spans R-10..R-4.
    int dark = 0;
    for (int x = 0; x < 15; ++x)
        dark += rgb(px[9 * 15 + x]) == 0x404040u;
    EXPECT_EQ(dark, 7);
    EXPECT_EQ(rgb(px[12 * 15 + 6]), 0x404040u);  // the tip
    EXPECT_EQ(SendMessageA(b, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Setup B")), TRUE);
    EXPECT_EQ(SendMessageA(b, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Setup B")), 0);
    char buf[16];
    GetWindowTextA(b, buf, sizeof(buf));
    EXPECT_STREQ(buf, "Setup B");
}

TEST(PushButton, AtTwiceTheScaleTheArrowAndInsetsDouble)
{
    ControlFixture f;
    HWND b = f.create("qv:PushButton", "", 20013, 10, 10, 30, 42, PBS_ARROW);
    SendMessageA(b, QV_SETSCALE, 200, 0);
    SendMessageA(b, PB_REDRAW, 0, 1);
    std::vector<uint32_t> px = f.pixels(b);
    // Inner right R = 26, top T = 4 + 2: the first row, T + 10, spans R-20..R-7; eight rows narrow to
    // the tip.
    auto dark = [&](int y) {
        int n = 0;
        for (int x = 0; x < 30; ++x)
            n += rgb(px[y * 30 + x]) == 0x404040u;
        return n;
    };
    EXPECT_EQ(dark(15), 0);
    EXPECT_EQ(dark(16), 14);
    EXPECT_EQ(dark(22), 2);
    EXPECT_EQ(dark(24), 0);
    EXPECT_EQ(rgb(px[16 * 30 + 6]), 0x404040u);
    EXPECT_EQ(rgb(px[16 * 30 + 19]), 0x404040u);
}

TEST(StaticControls, ClicksArePosted)
{
    ControlFixture f;
    HWND t = f.create("qv:StaticText", "-Inf    -Inf", 20032, 427, 190, 52, 11);
    HWND i = f.create("qv:StaticImage", nullptr, 20040, 10, 10, 12, 9);
    SendMessageA(t, WM_LBUTTONDOWN, MK_LBUTTON, at(1, 1));
    SendMessageA(i, SI_SETIMAGE, 111, 0);
    SendMessageA(i, WM_LBUTTONDBLCLK, MK_LBUTTON, at(2, 3));
    EXPECT_TRUE(f.notes().empty());  // posted, not sent
    f.pump();
    ASSERT_EQ(f.notes().size(), 2u);
    EXPECT_EQ(f.notes()[0].msg, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(f.notes()[0].wp, MAKEWPARAM(20032, 0));
    EXPECT_EQ(f.notes()[1].msg, SIN_CLICK);
    EXPECT_EQ(f.notes()[1].lp, at(2, 3));
    // The clip lamp image is drawn from the resource.
    UpdateWindow(i);
    RedrawWindow(i, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const std::vector<uint32_t> px = f.pixels(i);
    HBITMAP lamp = LoadSkinBitmap(GetModuleHandleA(nullptr), 111, nullptr);
    ASSERT_NE(lamp, nullptr);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, lamp);
    const COLORREF c = GetPixel(mem, 6, 4);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(lamp);
    EXPECT_EQ(rgb(px[4 * 12 + 6]), static_cast<uint32_t>((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c)));
}

namespace {

constexpr uint32_t kTintedGrey = (217u << 16) | (211u << 8) | 102u;  // 200 under the default tint
constexpr uint32_t kFrameGrey = 0x909090u;

struct FacedButton {
    std::vector<uint8_t> face;
    HWND button;
    int width;
    FacedButton(ControlFixture& f, int id, int w) : face(solidSprite(w, 21, 200, 200, 200)), width(w)
    {
        button = f.create("qv:PushButton", nullptr, id, 10, 10, w, 21);
        SendMessageA(button, PB_SETSPRITES, reinterpret_cast<WPARAM>(face.data()), 0);
    }
    void adjust(int l, int t, int r, int b, LPARAM border = 0)
    {
        const int a[4] = {l, t, r, b};
        SendMessageA(button, PB_SETFOCUSRECT, reinterpret_cast<WPARAM>(a), border);
        SendMessageA(button, PB_REDRAW, 0, 1);
    }
};

// Pixels of an icon bitmap that differ from the button's at (x0, y0); key-coloured ones are not drawn.
int iconMismatches(const std::vector<uint32_t>& px, int width, int iconId, int x0, int y0, int w, int h)
{
    HBITMAP icon = LoadSkinBitmap(GetModuleHandleA(nullptr), iconId, nullptr);
    if (!icon)
        return -1;
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, icon);
    int bad = 0;
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            const COLORREF k = GetPixel(mem, c, r);
            if (k == RGB(255, 0, 255))
                continue;
            const uint32_t want = (GetRValue(k) << 16) | (GetGValue(k) << 8) | GetBValue(k);
            bad += rgb(px[(y0 + r) * width + x0 + c]) != want;
        }
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(icon);
    return bad;
}

}  // namespace

TEST(PushButton, FocusFrameWithTheEditorsAdjustments)
{
    ControlFixture f;
    // Arrow button 15x21 with (-2, 0, 0, 0): frame rectangle (1, 3) .. (12, 18).
    FacedButton arrow(f, 1102, 15);
    arrow.adjust(-2, 0, 0, 0);
    std::vector<uint32_t> px = f.pixels(arrow.button);
    EXPECT_EQ(rgb(px[10 * 15 + 1]), 0xC8C8C8u);  // no frame without the focus
    SetFocus(arrow.button);
    px = f.pixels(arrow.button);
    EXPECT_EQ(rgb(px[10 * 15 + 1]), kFrameGrey);  // left edge moved out by 2
    EXPECT_EQ(rgb(px[10 * 15 + 3]), 0xC8C8C8u);
    EXPECT_EQ(rgb(px[10 * 15 + 11]), kFrameGrey);  // right edge at right - 1
    EXPECT_EQ(rgb(px[3 * 15 + 6]), kFrameGrey);
    EXPECT_EQ(rgb(px[17 * 15 + 6]), kFrameGrey);  // bottom edge at bottom - 1
    EXPECT_EQ(rgb(px[18 * 15 + 6]), 0xC8C8C8u);
    // The pressed look moves the frame by (1, 1).
    SendMessageA(arrow.button, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
    px = f.pixels(arrow.button);
    EXPECT_EQ(rgb(px[10 * 15 + 2]), kFrameGrey);
    EXPECT_EQ(rgb(px[18 * 15 + 6]), kFrameGrey);
    SendMessageA(arrow.button, WM_LBUTTONUP, 0, at(5, 5));

    // Type button 27x21 with (0, 0, 1, 0): the right edge moves out to x = 24.
    FacedButton type(f, 1101, 27);
    type.adjust(0, 0, 1, 0);
    SetFocus(type.button);
    px = f.pixels(type.button);
    EXPECT_EQ(rgb(px[10 * 27 + 24]), kFrameGrey);
    EXPECT_EQ(rgb(px[10 * 27 + 23]), 0xC8C8C8u);
    EXPECT_EQ(rgb(px[10 * 27 + 3]), kFrameGrey);
}

TEST(PushButton, FocusFrameAtTwiceTheScaleIsTwoPixelsWide)
{
    ControlFixture f;
    const std::vector<uint8_t> face = solidSprite(60, 42, 200, 200, 200);
    HWND b = f.create("qv:PushButton", nullptr, 20015, 10, 10, 60, 42);
    SendMessageA(b, QV_SETSCALE, 200, 0);
    SendMessageA(b, PB_SETSPRITES, reinterpret_cast<WPARAM>(face.data()), 0);
    SetFocus(b);
    const std::vector<uint32_t> px = f.pixels(b);
    // Inset 4, then 2 more: the frame covers (6, 6) .. (53, 35), two pixels inwards.
    for (int at :
         {6 * 60 + 30, 7 * 60 + 30, 34 * 60 + 30, 35 * 60 + 30, 20 * 60 + 6, 20 * 60 + 7, 20 * 60 + 52, 20 * 60 + 53})
        EXPECT_EQ(rgb(px[at]), kFrameGrey) << at;
    for (int at :
         {5 * 60 + 30, 8 * 60 + 30, 33 * 60 + 30, 36 * 60 + 30, 20 * 60 + 5, 20 * 60 + 8, 20 * 60 + 51, 20 * 60 + 54})
        EXPECT_EQ(rgb(px[at]), 0xC8C8C8u) << at;
}

TEST(PushButton, BorderFlagSelectsTheUntintedBorderWhileChecked)
{
    ControlFixture f;
    FacedButton b(f, 1000, 27);
    SendMessageA(b.button, PB_SETCHECK, 1, 1);
    std::vector<uint32_t> px = f.pixels(b.button);
    // Border mode 1: tint from column 2 to width - 2.
    EXPECT_EQ(rgb(px[10 * 27 + 1]), 0xC8C8C8u);
    EXPECT_EQ(rgb(px[10 * 27 + 2]), kTintedGrey);
    EXPECT_EQ(rgb(px[10 * 27 + 25]), kTintedGrey);
    EXPECT_EQ(rgb(px[1 * 27 + 10]), 0xC8C8C8u);
    // Border mode 2: from column 1 to width - 3, row 1 to height - 3.
    b.adjust(0, 0, 0, 0, 1);
    px = f.pixels(b.button);
    EXPECT_EQ(rgb(px[10 * 27 + 1]), kTintedGrey);
    EXPECT_EQ(rgb(px[10 * 27 + 24]), kTintedGrey);
    EXPECT_EQ(rgb(px[10 * 27 + 25]), 0xC8C8C8u);
    EXPECT_EQ(rgb(px[1 * 27 + 10]), kTintedGrey);
    EXPECT_EQ(rgb(px[19 * 27 + 10]), 0xC8C8C8u);
    // Unchecked, the flag changes nothing: no tint anywhere.
    SendMessageA(b.button, PB_SETCHECK, 0, 1);
    px = f.pixels(b.button);
    EXPECT_EQ(rgb(px[10 * 27 + 10]), 0xC8C8C8u);
}

TEST(PushButton, TypeIconsSitAtTheirPlaceNormalAndPressed)
{
    ControlFixture f;
    FacedButton b(f, 1101, 27);
    // 29x15 icon on a 27x21 button: inner 23x17, drawn 23x15 from x = 2 + (-5 / 2) = 0, y = 3.
    SendMessageA(b.button, PB_SETICON, 105, 1);
    std::vector<uint32_t> px = f.pixels(b.button);
    EXPECT_EQ(iconMismatches(px, 27, 105, 0, 3, 23, 15), 0);
    EXPECT_GT(iconMismatches(px, 27, 105, 1, 3, 23, 15), 0);  // the check can tell a pixel apart
    // Pressed: one further right and down (the focus is elsewhere so no frame covers it).
    SendMessageA(b.button, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 5));
    SetFocus(f.parent());
    px = f.pixels(b.button);
    EXPECT_EQ(iconMismatches(px, 27, 105, 1, 4, 23, 15), 0);
    SendMessageA(b.button, WM_LBUTTONUP, 0, at(5, 5));
    // 26x15 icon: x = 2 + (-2 / 2) = 1.
    SendMessageA(b.button, PB_SETICON, 104, 1);
    px = f.pixels(b.button);
    EXPECT_EQ(iconMismatches(px, 27, 104, 1, 3, 23, 15), 0);
    EXPECT_GT(iconMismatches(px, 27, 104, 0, 3, 23, 15), 0);
}
