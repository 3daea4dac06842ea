// Slider and edit field protocols: keys, drags, pointer return and edge warp, the thumb by state, the
// wheel, text changes and the in-place entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "ValueMath.h"
#include "WindowTestSupport.h"

using namespace qv;
using namespace qvtest;

namespace {

HWND editorSlider(ControlFixture& f, int lo = -180, int hi = 180)
{
    HWND s = f.create("qv:Slider", nullptr, 1105, 261, 209, 150, 20);
    SendMessageA(s, SL_SETPAGESTEP, 10, 0);
    SendMessageA(s, SL_SETRANGE, static_cast<WPARAM>(lo), hi);
    f.notes().clear();
    return s;
}

std::vector<int> steps(ControlFixture& f)
{
    f.pump();
    std::vector<int> out;
    for (const Note& n : f.notes())
        if (n.msg == EDN_STEP)
            out.push_back(static_cast<short>(HIWORD(n.wp)));
    return out;
}

WPARAM wheel(int delta) { return MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))); }

}  // namespace

TEST(Slider, KeysStepLimitAndAlwaysNotify)
{
    ControlFixture f;
    HWND s = editorSlider(f);
    SendMessageA(s, SL_SETPOS, static_cast<WPARAM>(-180), 0);
    SendMessageA(s, WM_KEYDOWN, VK_HOME, 0);
    ASSERT_EQ(f.notes().size(), 2u);
    EXPECT_EQ(f.notes()[0].msg, SLN_CHANGED);
    EXPECT_EQ(static_cast<int>(f.notes()[0].wp), -180);
    EXPECT_EQ(f.notes()[1].msg, SLN_RELEASED);
    SendMessageA(s, WM_KEYDOWN, VK_PRIOR, 0);
    SendMessageA(s, WM_KEYDOWN, VK_UP, 0);
    SendMessageA(s, WM_KEYDOWN, VK_LEFT, 0);
    SendMessageA(s, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), -169);
    SendMessageA(s, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), 180);
    f.notes().clear();
    SendMessageA(s, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(f.notes().empty());
    EXPECT_EQ(SendMessageA(s, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
}

TEST(Slider, DerivedPageStep)
{
    ControlFixture f;
    HWND s = f.create("qv:Slider", nullptr, 1005, 261, 347, 150, 20);
    SendMessageA(s, SL_SETRANGE, static_cast<WPARAM>(-240), 240);
    SendMessageA(s, SL_SETPOS, 0, 0);
    SendMessageA(s, WM_KEYDOWN, VK_PRIOR, 0);
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), 49);
}

TEST(Slider, DragsClicksAndDoubleClicks)
{
    ControlFixture f;
    HWND s = editorSlider(f);
    SendMessageA(s, SL_SETSQUARELAW, 1, 0);
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, at(70, 8));
    EXPECT_EQ(GetCapture(), s);
    SendMessageA(s, WM_LBUTTONUP, 0, at(70, 8));
    EXPECT_TRUE(f.notes().empty());  // a click moves nothing and says nothing
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, at(70, 8));
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, at(75, 8));
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), 13);
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, at(70, 8));
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), 0);
    SendMessageA(s, WM_LBUTTONUP, 0, at(70, 8));
    ASSERT_EQ(f.notes().size(), 3u);
    EXPECT_EQ(f.notes()[0].msg, SLN_CHANGED);
    EXPECT_EQ(static_cast<int>(f.notes()[0].wp), 13);
    EXPECT_EQ(f.notes()[2].msg, SLN_RELEASED);
    f.notes().clear();
    SendMessageA(s, WM_LBUTTONDBLCLK, MK_LBUTTON, at(70, 8));
    ASSERT_EQ(f.notes().size(), 1u);
    EXPECT_EQ(f.notes()[0].msg, SLN_DBLCLK);
    EXPECT_EQ(f.notes()[0].wp, 1105u);
    // Without the square law one pixel is one unit, and the range limits the drag.
    SendMessageA(s, SL_SETSQUARELAW, 0, 0);
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, at(70, 8));
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, at(72, 8));
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), 2);
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, at(-400, 8));
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), -180);
    SendMessageA(s, WM_LBUTTONUP, 0, at(-400, 8));
}

TEST(Slider, WheelStepsAndThumbPixels)
{
    ControlFixture f;
    HWND s = editorSlider(f);
    SendMessageA(s, WM_MOUSEWHEEL, wheel(120), 0);
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), 1);  // first turn: slow
    ASSERT_EQ(f.notes().size(), 2u);
    EXPECT_EQ(f.notes()[1].msg, SLN_RELEASED);
    // Thumb drawn at its offset: value 180 puts a 29-pixel thumb at x = 121.
    std::vector<uint8_t> thumb = solidSprite(kSliderThumbLength, kSliderThumbThickness, 255, 0, 0);
    SendMessageA(s, SL_SETTHUMB, reinterpret_cast<WPARAM>(thumb.data()), 0);
    SendMessageA(s, SL_SETPOS, 180, 1);
    std::vector<uint32_t> px = f.pixels(s);
    EXPECT_EQ(rgb(px[8 * 150 + 121]), 0xFF0000u);
    EXPECT_NE(rgb(px[8 * 150 + 120]), 0xFF0000u);
    // The 0 dB tick is a major tick at x = 73, ending above the bottom 4 rows.
    EXPECT_EQ(rgb(px[13 * 150 + 73]), 0x505050u);
    EXPECT_EQ(rgb(px[10 * 150 + 73]), 0x505050u);
    EXPECT_NE(rgb(px[9 * 150 + 73]), 0x505050u);
    EXPECT_EQ(rgb(px[12 * 150 + 79]), 0x888888u);  // minor tick at 2.0 dB
}

TEST(Slider, AtTwiceTheScaleEverythingIsTwiceAsLargeAndDragsKeepTheirReach)
{
    ControlFixture f;
    HWND s = f.create("qv:Slider", nullptr, 1105, 10, 10, 300, 40);
    SendMessageA(s, SL_SETRANGE, static_cast<WPARAM>(-180), 180);
    SendMessageA(s, QV_SETSCALE, 200, 0);
    std::vector<uint8_t> thumb = solidSprite(58, 32, 255, 0, 0);
    SendMessageA(s, SL_SETTHUMB, reinterpret_cast<WPARAM>(thumb.data()), 0);
    SendMessageA(s, SL_SETPOS, 180, 1);
    std::vector<uint32_t> px = f.pixels(s);
    // A 58-pixel thumb travels 242 pixels; the 0 dB tick is two pixels wide at 24 + 121.
    EXPECT_EQ(rgb(px[16 * 300 + 242]), 0xFF0000u);
    EXPECT_NE(rgb(px[16 * 300 + 241]), 0xFF0000u);
    for (int x : {145, 146}) {
        EXPECT_EQ(rgb(px[20 * 300 + x]), 0x505050u) << x;
        EXPECT_EQ(rgb(px[31 * 300 + x]), 0x505050u) << x;
        EXPECT_NE(rgb(px[19 * 300 + x]), 0x505050u) << x;
        EXPECT_NE(rgb(px[32 * 300 + x]), 0x505050u) << x;
    }
    EXPECT_NE(rgb(px[25 * 300 + 147]), 0x505050u);
    // Eight device pixels, one at a time, are four pixels at 100 %: four units.
    SendMessageA(s, SL_SETPOS, 0, 1);
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, at(140, 16));
    for (int x = 141; x <= 148; ++x)
        SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, at(x, 16));
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), 4);
    SendMessageA(s, WM_LBUTTONUP, 0, at(148, 16));
    // Scales the skin has no art for are refused.
    SendMessageA(s, QV_SETSCALE, 175, 0);
    SendMessageA(s, SL_SETPOS, 180, 1);
    px = f.pixels(s);
    EXPECT_EQ(rgb(px[16 * 300 + 242]), 0xFF0000u);
}

TEST(EditField, DragStepsSwitchAxes)
{
    ControlFixture f;
    HWND e = f.create("qv:Edit", nullptr, 1102, 94, 206, 40, 21, 0x0086);
    SendMessageA(e, WM_LBUTTONDOWN, MK_LBUTTON, at(10, 10));
    EXPECT_EQ(GetFocus(), e);
    SendMessageA(e, WM_MOUSEMOVE, MK_LBUTTON, at(13, 9));
    SendMessageA(e, WM_MOUSEMOVE, MK_LBUTTON, at(14, 5));
    SendMessageA(e, WM_MOUSEMOVE, MK_LBUTTON, at(14, 5));
    SendMessageA(e, WM_RBUTTONDOWN, MK_RBUTTON, at(14, 5));  // swallowed during a drag
    SendMessageA(e, WM_LBUTTONUP, 0, at(14, 5));
    SendMessageA(e, WM_MOUSEMOVE, 0, at(30, 5));  // no drag: nothing
    EXPECT_EQ(steps(f), (std::vector<int>{9, 16, 0}));
    EXPECT_EQ(LOWORD(f.notes()[0].wp), 1102);
    EXPECT_NE(GetCapture(), e);
}

TEST(EditField, AtTwiceTheScaleTheSameHandMotionStepsTheSame)
{
    // The gesture of the test above in device pixels at 200 %, then two single-pixel moves that make
    // one pixel at 100 %, against that one pixel on a field at 100 %.
    ControlFixture f;
    HWND one = f.create("qv:Edit", nullptr, 1103, 100, 10, 40, 21, 0x0086);
    HWND e = f.create("qv:Edit", nullptr, 1102, 10, 10, 80, 42, 0x0086);
    SendMessageA(e, QV_SETSCALE, 200, 0);
    SendMessageA(e, WM_LBUTTONDOWN, MK_LBUTTON, at(20, 20));
    SendMessageA(e, WM_MOUSEMOVE, MK_LBUTTON, at(26, 18));
    SendMessageA(e, WM_MOUSEMOVE, MK_LBUTTON, at(28, 10));
    SendMessageA(e, WM_MOUSEMOVE, MK_LBUTTON, at(28, 10));
    SendMessageA(e, WM_MOUSEMOVE, MK_LBUTTON, at(28, 9));
    SendMessageA(e, WM_MOUSEMOVE, MK_LBUTTON, at(28, 8));
    SendMessageA(e, WM_LBUTTONUP, 0, at(28, 8));
    EXPECT_EQ(steps(f), (std::vector<int>{9, 16, 1}));
    f.notes().clear();
    SendMessageA(one, WM_LBUTTONDOWN, MK_LBUTTON, at(14, 5));
    SendMessageA(one, WM_MOUSEMOVE, MK_LBUTTON, at(14, 4));
    SendMessageA(one, WM_LBUTTONUP, 0, at(14, 4));
    const std::vector<int> atOne = steps(f);
    ASSERT_FALSE(atOne.empty());
    EXPECT_EQ(atOne.back(), 1);
}

TEST(EditField, KeysWheelAndInversion)
{
    ControlFixture f;
    HWND e = f.create("qv:Edit", nullptr, 1103, 154, 206, 40, 21, 0x0086);
    for (WPARAM k : {VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_LEFT, VK_UP})
        SendMessageA(e, WM_KEYDOWN, k, 0);
    EXPECT_EQ(steps(f), (std::vector<int>{10, -10, 17504, -17504, -1, 1}));
    f.notes().clear();
    SendMessageA(e, ED_SETFLAGS, ED_FLAG_INVERT, 0);
    SendMessageA(e, WM_MOUSEWHEEL, wheel(120), 0);
    SendMessageA(e, WM_KEYDOWN, VK_UP, 0);  // keys are not inverted
    EXPECT_EQ(steps(f), (std::vector<int>{-1, 1}));
    f.notes().clear();
    SendMessageA(e, ED_SETFLAGS, 0, 0);
    SendMessageA(e, ED_SETSQUARELAW, 1, 0);
    SendMessageA(e, WM_LBUTTONDOWN, MK_LBUTTON, at(0, 10));
    SendMessageA(e, WM_MOUSEMOVE, MK_LBUTTON, at(300, 10));  // 90000 saturates in 16 bits
    SendMessageA(e, WM_LBUTTONUP, 0, at(300, 10));
    EXPECT_EQ(steps(f), (std::vector<int>{32767}));
}

TEST(EditField, TextChangesAndAcknowledgements)
{
    ControlFixture f;
    HWND e = f.create("qv:Edit", nullptr, 1104, 199, 206, 40, 21, 0x0086);
    SetWindowTextA(e, "1.0");
    SetWindowTextA(e, "1.0");  // same text: not counted
    SendMessageA(e, ED_ACKCHANGE, 0, 0);
    f.pump();
    EXPECT_TRUE(f.notes().empty());
    SendMessageA(e, ED_ACKCHANGE, 0, 0);
    f.pump();
    ASSERT_EQ(f.notes().size(), 1u);
    EXPECT_EQ(f.notes()[0].msg, EDN_SETTLED);
    EXPECT_EQ(f.notes()[0].wp, 1104u);
}

TEST(EditField, InPlaceEntryEnterEscapeAndFocusLoss)
{
    ControlFixture f;
    HWND e = f.create("qv:Edit", nullptr, 1102, 94, 206, 40, 21, 0x0086);
    HWND other = f.create("qv:Edit", nullptr, 1103, 154, 206, 40, 21, 0x0086);
    HWND slider = editorSlider(f);
    SetWindowTextA(e, "1000");
    SendMessageA(e, WM_LBUTTONDBLCLK, MK_LBUTTON, at(5, 5));
    HWND box = inPlaceEntryWindow();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetParent(box), e);
    EXPECT_EQ(GetDlgCtrlID(box), 0x10E1);
    EXPECT_EQ(GetFocus(), box);
    char text[32];
    GetWindowTextA(box, text, sizeof(text));
    EXPECT_STREQ(text, "1000");
    RECT r;
    GetRectInParent(box, &r);
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.right - r.left, 36);
    // While it is open the wheel does nothing anywhere.
    f.notes().clear();
    SendMessageA(other, WM_MOUSEWHEEL, wheel(120), 0);
    SendMessageA(slider, WM_MOUSEWHEEL, wheel(120), 0);
    f.pump();
    EXPECT_TRUE(f.notes().empty());
    EXPECT_EQ(SendMessageA(slider, SL_GETPOS, 0, 0), 0);

    SetWindowTextA(box, "2500");
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    f.pump();
    EXPECT_EQ(inPlaceEntryWindow(), nullptr);
    EXPECT_FALSE(IsWindow(box));
    GetWindowTextA(e, text, sizeof(text));
    EXPECT_STREQ(text, "2500");
    bool change = false;
    for (const Note& n : f.notes())
        if (n.msg == WM_COMMAND && n.wp == MAKEWPARAM(1102, 0x0300) && n.lp == reinterpret_cast<LPARAM>(e))
            change = true;
    EXPECT_TRUE(change);

    SendMessageA(e, WM_KEYDOWN, VK_SPACE, 0);
    box = inPlaceEntryWindow();
    ASSERT_NE(box, nullptr);
    SetWindowTextA(box, "9");
    SendMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
    f.pump();
    EXPECT_EQ(inPlaceEntryWindow(), nullptr);
    GetWindowTextA(e, text, sizeof(text));
    EXPECT_STREQ(text, "2500");

    SendMessageA(e, WM_LBUTTONDBLCLK, MK_LBUTTON, at(5, 5));
    box = inPlaceEntryWindow();
    ASSERT_NE(box, nullptr);
    SetFocus(other);
    f.pump();
    EXPECT_EQ(inPlaceEntryWindow(), nullptr);
    EXPECT_FALSE(IsWindow(box));
    SendMessageA(slider, WM_MOUSEWHEEL, wheel(120), 0);
    EXPECT_NE(SendMessageA(slider, SL_GETPOS, 0, 0), 0);
}

TEST(EditField, FocusFrameAndFocusLossStep)
{
    ControlFixture f;
    HWND e = f.create("qv:Edit", nullptr, 1102, 94, 206, 40, 21, 0x0086);
    HWND other = f.create("qv:Edit", nullptr, 1103, 154, 206, 40, 21, 0x0086);
    SetFocus(e);
    std::vector<uint32_t> px = f.pixels(e);
    EXPECT_EQ(rgb(px[2 * 40 + 10]), 0xE10000u);
    EXPECT_EQ(rgb(px[18 * 40 + 10]), 0xC80000u);
    f.notes().clear();
    SetFocus(other);
    EXPECT_EQ(steps(f), (std::vector<int>{0}));
    px = f.pixels(e);
    EXPECT_EQ(rgb(px[2 * 40 + 10]), 0x336699u);
}

TEST(EditField, FocusFrameAtTwiceTheScaleIsTwoPixelsWide)
{
    ControlFixture f;
    HWND e = f.create("qv:Edit", nullptr, 1102, 10, 10, 80, 42, 0x0086);
    SendMessageA(e, QV_SETSCALE, 200, 0);
    SetFocus(e);
    const std::vector<uint32_t> px = f.pixels(e);
    // Inset by 4, two pixels inwards on each side: rows 4-5 and 36-37, columns 4-5 and 74-75.
    for (int y : {4, 5})
        EXPECT_EQ(rgb(px[y * 80 + 20]), 0xE10000u) << y;
    for (int y : {36, 37})
        EXPECT_EQ(rgb(px[y * 80 + 20]), 0xC80000u) << y;
    for (int x : {4, 5})
        EXPECT_EQ(rgb(px[20 * 80 + x]), 0xE10000u) << x;
    for (int x : {74, 75})
        EXPECT_EQ(rgb(px[20 * 80 + x]), 0xC80000u) << x;
    for (int at : {3 * 80 + 20, 6 * 80 + 20, 35 * 80 + 20, 38 * 80 + 20, 20 * 80 + 6, 20 * 80 + 73})
        EXPECT_EQ(rgb(px[at]), 0x336699u) << at;  // just inside and outside: the parent's colour
}

TEST(Slider, PlainStyleDrawsTheWholeThumb)
{
    ControlFixture f;
    HWND s = f.create("qv:Slider", nullptr, 1106, 10, 10, 150, 20, SLS_PLAIN);
    SendMessageA(s, SL_SETRANGE, 0, 100);
    std::vector<uint8_t> thumb = solidSprite(kSliderThumbLength, kSliderThumbThickness, 255, 0, 0);
    SendMessageA(s, SL_SETTHUMB, reinterpret_cast<WPARAM>(thumb.data()), 0);
    SendMessageA(s, SL_SETPOS, 50, 1);
    // Travel counts a thumb of 11 (150 - 11 = 139): offset (50 * 139 + 50) / 100 = 70; the thumb keeps 29.
    std::vector<uint32_t> px = f.pixels(s);
    EXPECT_NE(rgb(px[8 * 150 + 69]), 0xFF0000u);
    EXPECT_EQ(rgb(px[8 * 150 + 70]), 0xFF0000u);
    EXPECT_EQ(rgb(px[8 * 150 + 98]), 0xFF0000u);
    EXPECT_NE(rgb(px[8 * 150 + 99]), 0xFF0000u);
}

TEST(Slider, LosingTheCaptureEndsTheDragOnly)
{
    ControlFixture f;
    HWND s = editorSlider(f);
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, at(70, 8));
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, at(75, 8));
    ASSERT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), 5);
    POINT before;
    GetCursorPos(&before);
    f.notes().clear();
    SetCapture(f.parent());
    EXPECT_EQ(GetCapture(), f.parent());  // not taken back
    POINT after;
    GetCursorPos(&after);
    EXPECT_EQ(after.x, before.x);  // the pointer is not put back on the thumb
    EXPECT_EQ(after.y, before.y);
    ASSERT_EQ(f.notes().size(), 1u);
    EXPECT_EQ(f.notes()[0].msg, SLN_RELEASED);
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, at(90, 8));
    SendMessageA(s, WM_LBUTTONUP, 0, at(90, 8));
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), 5);
    EXPECT_EQ(f.notes().size(), 1u);
    ReleaseCapture();
}

TEST(Slider, PointerReturnsAfterADragAndWarpsAtTheScreenEdge)
{
    ControlFixture f;
    HWND s = editorSlider(f);
    RECT wr, desk;
    GetWindowRect(s, &wr);
    GetWindowRect(GetDesktopWindow(), &desk);
    const POINT centre{(desk.left + desk.right) / 2, (desk.top + desk.bottom) / 2};
    POINT p;
    // Grabbed (thumb at 61 for value 0): back onto the thumb, which stands at 62 for value 5.
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, at(70, 8));
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, at(75, 8));
    SendMessageA(s, WM_LBUTTONUP, 0, at(75, 8));
    GetCursorPos(&p);
    EXPECT_EQ(p.x, wr.left + 62 + 12);
    EXPECT_EQ(p.y, (wr.top + wr.bottom) / 2 - 2);
    // Not grabbed: back where the press was.
    SetCursorPos(centre.x, centre.y);
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, at(10, 8));
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, at(12, 8));
    SetCursorPos(centre.x + 40, centre.y + 30);
    SendMessageA(s, WM_LBUTTONUP, 0, at(12, 8));
    GetCursorPos(&p);
    EXPECT_EQ(p.x, centre.x);
    EXPECT_EQ(p.y, centre.y);
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), 7);
    // At the screen edge the move is ignored and the pointer jumps to the centre; the move the jump
    // causes only re-anchors; the next one steps again.
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, at(40, 8));
    f.notes().clear();
    SetCursorPos(desk.left, centre.y);
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, at(80, 8));
    GetCursorPos(&p);
    EXPECT_EQ(p.x, centre.x);
    EXPECT_EQ(p.y, centre.y);
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, at(140, 8));
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), 7);
    EXPECT_TRUE(f.notes().empty());
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, at(143, 8));
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), 10);
    SendMessageA(s, WM_LBUTTONUP, 0, at(143, 8));
}

TEST(Slider, ThumbOfAnotherLengthIsGrabbedWhereItIsDrawn)
{
    ControlFixture f;
    HWND s = editorSlider(f);
    // A 41-pixel thumb travels 150 - 41 = 109 pixels: at value 0 it covers x 55..95 (109 * 180 / 360
    // rounded), at value 5 it starts at 56. A press at x 90 is on it, beyond the default thumb's box.
    SendMessageA(s, SL_SETTHUMBLEN, 41, 0);
    RECT wr, desk;
    GetWindowRect(s, &wr);
    GetWindowRect(GetDesktopWindow(), &desk);
    const POINT centre{desk.left + (desk.right - desk.left) / 2, desk.top + (desk.bottom - desk.top) / 2};
    POINT p;
    SetCursorPos(centre.x, centre.y);
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, at(90, 8));
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, at(95, 8));
    SendMessageA(s, WM_LBUTTONUP, 0, at(95, 8));
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), 5);
    GetCursorPos(&p);
    EXPECT_EQ(p.x, wr.left + 56 + 18);  // grabbed: back onto the middle of the thumb
    EXPECT_EQ(p.y, (wr.top + wr.bottom) / 2 - 2);
    // A 15-pixel thumb travels 135 pixels: at value 5 it covers x 69..83. A press at x 88 is past it,
    // though within the default thumb's box.
    SendMessageA(s, SL_SETTHUMBLEN, 15, 0);
    SetCursorPos(centre.x, centre.y);
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, at(88, 8));
    SendMessageA(s, WM_MOUSEMOVE, MK_LBUTTON, at(90, 8));
    SetCursorPos(centre.x + 40, centre.y + 30);
    SendMessageA(s, WM_LBUTTONUP, 0, at(90, 8));
    EXPECT_EQ(SendMessageA(s, SL_GETPOS, 0, 0), 7);
    GetCursorPos(&p);
    EXPECT_EQ(p.x, centre.x);  // not grabbed: back where the press was
    EXPECT_EQ(p.y, centre.y);
}

TEST(Slider, ThumbLookByState)
{
    ControlFixture f;
    HWND s = editorSlider(f);
    HWND other = f.create("qv:Slider", nullptr, 1005, 261, 347, 150, 20);
    std::vector<uint8_t> thumb = solidSprite(kSliderThumbLength, kSliderThumbThickness, 200, 200, 200);
    SendMessageA(s, SL_SETTHUMB, reinterpret_cast<WPARAM>(thumb.data()), 0);
    UpdateWindow(s);  // value 0: thumb at x 61 .. 89
    std::vector<uint32_t> px = f.pixels(s);
    EXPECT_EQ(rgb(px[3 * 150 + 75]), 0xC8C8C8u);  // enabled, unfocused: as stored
    EXPECT_EQ(rgb(px[6 * 150 + 10]), 0x202020u);  // groove
    SetFocus(s);
    px = f.pixels(s);
    EXPECT_EQ(rgb(px[3 * 150 + 75]), (217u << 16) | (211u << 8) | 102u);  // focused: tinted
    // Disabled, even while dragged: faded by 192 over the background, untinted, a light groove, and
    // no groove through the thumb.
    SetFocus(other);
    EnableWindow(s, FALSE);
    SendMessageA(s, WM_LBUTTONDOWN, MK_LBUTTON, at(70, 8));
    px = f.pixels(s);
    auto faded = [](int background) { return static_cast<uint32_t>(200 + (((background - 200) * 193) >> 8)); };
    const uint32_t expected = (faded(0x33) << 16) | (faded(0x66) << 8) | faded(0x99);
    EXPECT_EQ(rgb(px[3 * 150 + 75]), expected);
    EXPECT_EQ(rgb(px[6 * 150 + 75]), expected);
    EXPECT_EQ(rgb(px[6 * 150 + 10]), 0xA0A0A0u);
    SendMessageA(s, WM_LBUTTONUP, 0, at(70, 8));
}

// A five-digit frequency fits inside the field's frame with a pixel to spare, at every scale, and
// is drawn whole, not cut to an ellipsis.
TEST(EditField, FiveDigitsFitInsideTheFrameAtEveryScale)
{
    for (int scale : {100, 150, 200}) {
        SCOPED_TRACE(scale);
        ControlFixture f;
        const int w = 40 * scale / 100, h = 21 * scale / 100, one = scale / 100;
        HWND e = f.create("qv:Edit", "", 1102, 10, 10, w, h, 0x0086);
        SendMessageA(e, QV_SETSCALE, static_cast<WPARAM>(scale), 0);
        f.pump();
        const std::vector<uint32_t> empty = f.pixels(e);
        auto textColumns = [&](const char* text) {
            SetWindowTextA(e, text);
            f.pump();
            const std::vector<uint32_t> px = f.pixels(e);
            int left = w, right = -1;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (px[y * w + x] != empty[y * w + x]) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
            return std::make_pair(left, right);
        };
        const auto five = textColumns("18000");
        // The frame is the outer two pixels of the art (scaled); a pixel of the face stays between.
        EXPECT_LE(five.second, w - 1 - 3 * one);
        EXPECT_GE(five.first, 3 * one);
        // Whole, neither cut nor an ellipsis: a fifth zero adds a digit's width, less at most a pixel
        // of the scale between each two characters (and one for the estimate of the digit's width).
        const auto zeros5 = textColumns("00000"), zeros4 = textColumns("0000");
        const int digit = (zeros4.second - zeros4.first + 1) / 4;
        EXPECT_GE(zeros5.second - zeros5.first, zeros4.second - zeros4.first + digit - 5 * one);
    }
}
