// Meter sequences through messages, and the lit rows read back from the window, also after a resize.
#include <gtest/gtest.h>

#include "WindowTestSupport.h"

using namespace qv;
using namespace qvtest;

TEST(Meter, PeakModeThroughMessages)
{
    ControlFixture f;
    HWND m = f.create("qv:Meter", nullptr, 20030, 432, 210, 12, 144, 0x0009);
    SendMessageA(m, MT_SETRANGE, static_cast<WPARAM>(-600), 0);
    int a = 1, b = 1;
    SendMessageA(m, MT_GETMAX, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(a, kSilentLevel);
    EXPECT_EQ(b, kSilentLevel);
    SendMessageA(m, MT_SETLEVELS, static_cast<WPARAM>(-100), static_cast<LPARAM>(-200));
    for (int i = 0; i < 31; ++i)
        SendMessageA(m, MT_SETLEVELS, static_cast<WPARAM>(kSilentLevel), static_cast<LPARAM>(kSilentLevel));
    EXPECT_EQ(SendMessageA(m, MT_GETHOLD, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b)), 0);
    EXPECT_EQ(a, -130);
    EXPECT_EQ(b, -230);
    SendMessageA(m, MT_GETHOLD, 0, 0);  // null pointers are skipped
    SendMessageA(m, MT_GETMAX, reinterpret_cast<WPARAM>(&a), 0);
    EXPECT_EQ(a, -100);
    SendMessageA(m, MT_RESETMAX, 0, 0);
    SendMessageA(m, MT_GETMAX, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(a, kSilentLevel);
    EXPECT_EQ(b, kSilentLevel);
}

TEST(Meter, LitRowsAndPeakMarker)
{
    ControlFixture f;
    HWND m = f.create("qv:Meter", nullptr, 20030, 432, 210, 12, 144, 0x0009);
    SendMessageA(m, MT_SETRANGE, static_cast<WPARAM>(-600), 0);
    std::vector<uint8_t> unlit = solidSprite(12, 144, 0, 0, 64), lit = solidSprite(12, 144, 0, 255, 0);
    SendMessageA(m, MT_SETSPRITES, reinterpret_cast<WPARAM>(unlit.data()), reinterpret_cast<LPARAM>(lit.data()));
    SendMessageA(m, MT_SETFALL, 300, 0);
    SendMessageA(m, MT_SETLEVELS, 0, 0);                          // peak held at 0 dB
    SendMessageA(m, MT_SETLEVELS, static_cast<WPARAM>(-300), 0);  // the bar falls to -30 dB
    std::vector<uint32_t> px = f.pixels(m);
    auto row = [&](int y) { return rgb(px[y * 12 + 5]); };
    EXPECT_EQ(row(1), 0x000040u);
    EXPECT_EQ(row(2), 0x00FF00u);  // peak marker, rows 2 and 3
    EXPECT_EQ(row(3), 0x00FF00u);
    EXPECT_EQ(row(4), 0x000040u);
    EXPECT_EQ(row(71), 0x000040u);
    EXPECT_EQ(row(72), 0x00FF00u);
    EXPECT_EQ(row(141), 0x00FF00u);
    EXPECT_EQ(row(142), 0x000040u);
    SendMessageA(m, MT_SETLEVELS, static_cast<WPARAM>(-600), 0);
    px = f.pixels(m);
    EXPECT_EQ(row(141), 0x000040u);  // fell to -60 dB: nothing lit
    EXPECT_EQ(row(2), 0x00FF00u);    // but the peak is still held
}

TEST(Meter, ResizedAfterItsFirstPaintKeepsItsBitmapsSize)
{
    ControlFixture f;
    HWND m = f.create("qv:Meter", nullptr, 20030, 432, 210, 12, 144, 0x0001);
    SendMessageA(m, MT_SETRANGE, static_cast<WPARAM>(-600), 0);
    std::vector<uint8_t> unlit = solidSprite(12, 144, 0, 0, 64), lit = solidSprite(12, 144, 0, 255, 0);
    SendMessageA(m, MT_SETSPRITES, reinterpret_cast<WPARAM>(unlit.data()), reinterpret_cast<LPARAM>(lit.data()));
    SendMessageA(m, MT_SETLEVELS, 0, 0);
    // Painting at the new client size would write past the bitmap and read past the sprites.
    SetWindowPos(m, nullptr, 0, 0, 40, 300, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(m, MT_SETLEVELS, static_cast<WPARAM>(-300), 0);
    RedrawWindow(m, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    int width = 0;
    const std::vector<uint32_t> px = f.pixels(m, &width);
    ASSERT_EQ(width, 40);
    auto at = [&](int x, int y) { return rgb(px[y * width + x]); };
    EXPECT_EQ(at(5, 71), 0x000040u);
    EXPECT_EQ(at(5, 72), 0x00FF00u);
    EXPECT_EQ(at(11, 141), 0x00FF00u);
    EXPECT_EQ(at(5, 142), 0x000040u);
}
