// Drawing primitives on real DCs, and the utilities the editor uses.
#include <gtest/gtest.h>

#include <cstring>

#include "WindowTestSupport.h"
#include "controls/GraphMath.h"
#include "controls/SkinInternal.h"

using namespace qv;
using namespace qvtest;

namespace {

// A 32-bit top-down DIB section selected into a memory DC.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    int w, h;
    Canvas(int width, int height, uint32_t fill) : w(width), h(height)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        void* p = nullptr;
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        old = SelectObject(dc, bitmap);
        for (int i = 0; i < w * h; ++i)
            bits[i] = fill;
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    uint32_t at(int x, int y)
    {
        GdiFlush();
        return bits[y * w + x] & 0xFFFFFF;
    }
};

}  // namespace

TEST(Primitives, LineLeavesOutItsEndPointAndFramesTheirEdges)
{
    Canvas c(10, 10, 0);
    DrawLine(c.dc, 0, 5, 4, 5, RGB(255, 0, 0));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(c.at(x, 5), 0xFF0000u) << x;
    EXPECT_EQ(c.at(4, 5), 0u);
    Canvas g(10, 10, 0);
    RECT r{1, 1, 8, 6};
    DrawRedFrame(g.dc, r);
    EXPECT_EQ(g.at(1, 1), 0xE10000u);
    EXPECT_EQ(g.at(6, 1), 0xE10000u);
    EXPECT_EQ(g.at(7, 1), 0xC80000u);  // the right edge is drawn last
    EXPECT_EQ(g.at(3, 5), 0xC80000u);  // bottom edge at bottom - 1
    EXPECT_EQ(g.at(7, 3), 0xC80000u);  // right edge at right - 1
    EXPECT_EQ(g.at(8, 3), 0u);
    EXPECT_EQ(g.at(4, 3), 0u);
}

TEST(Primitives, SpriteBlendsOverTheDc)
{
    Canvas c(4, 3, 0x00FFFFFF);
    std::vector<uint8_t> s = solidSprite(2, 2, 0, 0, 255);
    s[3 * 4 + 3] = 255;  // bottom-right pixel fully transparent
    DrawSprite(c.dc, 1, 1, 2, 2, s.data(), 255, 0, 0);
    EXPECT_EQ(c.at(1, 1), 0x0000FFu);
    EXPECT_EQ(c.at(2, 2), 0xFFFFFFu);
    EXPECT_EQ(c.at(0, 0), 0xFFFFFFu);
    DrawSprite(c.dc, 0, 0, 0, 2, s.data(), 255, 0, 0);  // empty: nothing
    // A window of a wider sprite: the meter shows rows of its lit bar this way.
    std::vector<uint8_t> bar = solidSprite(4, 3, 0, 255, 0);
    DrawSpriteRect(c.dc, 0, 0, 4, 1, 0, 2, bar.data(), 255, 4);
    EXPECT_EQ(c.at(3, 0), 0x00FF00u);
    EXPECT_EQ(c.at(0, 2), 0xFFFFFFu);
}

TEST(Primitives, GraphPolylineDrawsThePixelsOfItsColumnSegments)
{
    // Random curves of flat, diagonal and steep stretches, partly outside the clip rectangle.
    uint32_t seed = 99;
    auto next = [&](int n) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(n));
    };
    for (int trial = 0; trial < 200; ++trial) {
        std::vector<int> ys(300);
        int y = 50, step = 0;
        for (int& v : ys) {
            const int r = next(10);
            if (r < 3)
                step = next(3) - 1;
            else if (r < 4)
                step = next(21) - 10;
            else if (r < 5)
                y += next(5) - 2;
            v = y += step;
        }
        Canvas segments(310, 100, 0), polyline(310, 100, 0);
        HPEN pen = CreatePen(PS_SOLID, 1, 0xFFFFFF);
        for (Canvas* c : {&segments, &polyline}) {
            SelectObject(c->dc, pen);
            IntersectClipRect(c->dc, 2, 2, 300, 98);
        }
        MoveToEx(segments.dc, 2, ys[0], nullptr);
        for (size_t k = 1; k < ys.size(); ++k)
            LineTo(segments.dc, 2 + static_cast<int>(k), ys[k]);
        std::vector<POINT> points;
        for (const GraphPoint& p : curvePolyline(ys, 2))
            points.push_back(POINT{p.x, p.y});
        Polyline(polyline.dc, points.data(), static_cast<int>(points.size()));
        GdiFlush();
        for (Canvas* c : {&segments, &polyline})
            SelectObject(c->dc, GetStockObject(BLACK_PEN));
        DeleteObject(pen);
        ASSERT_EQ(std::memcmp(segments.bits, polyline.bits, sizeof(uint32_t) * 310 * 100), 0) << "trial " << trial;
    }
}

TEST(Primitives, KeyedBlitAndMarchingRectangle)
{
    Canvas src(3, 1, 0);
    src.bits[0] = 0xFF00FF;
    src.bits[1] = 0x123456;
    src.bits[2] = 0xFF00FF;
    Canvas dst(3, 1, 0x00AA00);
    SelectObject(src.dc, src.old);  // the bitmap must not stay selected elsewhere
    BlitKeyed(dst.dc, 0, 0, src.bitmap, 0, 0, 3, 1, 0xFF00FF);
    src.old = SelectObject(src.dc, src.bitmap);
    EXPECT_EQ(dst.at(0, 0), 0x00AA00u);
    EXPECT_EQ(dst.at(1, 0), 0x123456u);
    EXPECT_EQ(dst.at(2, 0), 0x00AA00u);

    // A sheet prepared once draws each cell as the keyed blit of that cell does, edges included.
    Canvas sheet(7, 5, 0);
    for (int i = 0; i < 35; ++i)
        sheet.bits[i] = i % 3 == 0 ? 0xFF00FF : 0x010203u * static_cast<uint32_t>(i);
    SelectObject(sheet.dc, sheet.old);
    Canvas once(12, 8, 0x2040A0), each(12, 8, 0x2040A0);
    {
        const KeyedSheet prepared(once.dc, sheet.bitmap, 0xFF00FF);
        ASSERT_TRUE(prepared.ok());
        prepared.draw(once.dc, 1, 1, 2, 1, 4, 3);
        prepared.draw(once.dc, 9, 6, 0, 0, 7, 5);  // partly outside the canvas
    }
    BlitKeyed(each.dc, 1, 1, sheet.bitmap, 2, 1, 4, 3, 0xFF00FF);
    BlitKeyed(each.dc, 9, 6, sheet.bitmap, 0, 0, 7, 5, 0xFF00FF);
    sheet.old = SelectObject(sheet.dc, sheet.bitmap);
    EXPECT_EQ(std::memcmp(once.bits, each.bits, sizeof(uint32_t) * 12 * 8), 0);
    EXPECT_NE(once.at(2, 1), 0x2040A0u);

    ControlFixture f;
    Canvas m(40, 30, 0x808080);
    DrawMarchingRect(f.parent(), 30, 20, 5, 4, 3, m.dc);  // corners in any order
    int changed = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if (m.at(x, y) != 0x808080u) {
                ++changed;
                EXPECT_TRUE(x == 5 || x == 30 || y == 4 || y == 20) << x << "," << y;
            }
    EXPECT_GT(changed, 20);
    DrawMarchingRect(f.parent(), 5, 4, 30, 20, 3, m.dc);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(m.at(x, y), 0x808080u) << "not restored at " << x << "," << y;
}

TEST(Utilities, LevelReadoutAndCentring)
{
    ControlFixture f;
    char text[64];
    FormatDbPair(f.parent(), nullptr, qv::kScale100, text, sizeof(text), -1000, -999);
    EXPECT_EQ(strncmp(text, "-Inf ", 5), 0);
    EXPECT_STREQ(text + strlen(text) - 5, "-99.9");
    FormatDbPair(f.parent(), nullptr, qv::kScale100, text, sizeof(text), -9999, -9999);
    EXPECT_GE(strlen(text), 9u);
    FormatDbPair(f.parent(), nullptr, qv::kScale100, text, 6, 0, 0);  // cut to the buffer
    EXPECT_EQ(strlen(text), 5u);

    HWND child = f.create("qv:StaticText", "x", 1, 0, 0, 100, 50);
    CenterOnParent(child);
    RECT r;
    GetRectInParent(child, &r);
    RECT pc;
    GetWindowRect(f.parent(), &pc);
    EXPECT_EQ(r.left, (pc.right - pc.left) / 2 - 50);
    EXPECT_EQ(r.top, (pc.bottom - pc.top) / 2 - 25);
}
