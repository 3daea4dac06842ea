// The skin as the controls load it: every image of the VST table with the size and format they need,
// the class registration, and bitmaps decoded from damaged data.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "WindowTestSupport.h"
#include "controls/SkinInternal.h"
#include "resources/skin_ids.h"

using namespace qv;

TEST(SkinResources, SpritesHaveExactSizes)
{
    HINSTANCE inst = GetModuleHandleA(nullptr);
    struct {
        int id, w, h;
    } sprites[] = {{131, 29, 16}, {132, 40, 21}, {133, 15, 21},  {134, 15, 21}, {135, 24, 21}, {136, 24, 21},
                   {137, 27, 21}, {138, 27, 21}, {139, 50, 21},  {140, 50, 21}, {141, 61, 21}, {142, 61, 21},
                   {143, 76, 21}, {144, 76, 21}, {145, 12, 144}, {146, 12, 144}};
    for (const auto& s : sprites) {
        EXPECT_NE(GetSkinSprite(inst, s.id), nullptr) << s.id;
        EXPECT_EQ(GetSkinSpriteSize(inst, s.id), static_cast<size_t>(s.w * s.h * 4)) << s.id;
    }
    EXPECT_EQ(GetSkinSprite(inst, 9999), nullptr);
    // Meter sprites are fully opaque.
    for (int id : {145, 146}) {
        const uint8_t* p = GetSkinSprite(inst, id);
        for (int i = 0; i < 12 * 144; ++i)
            ASSERT_EQ(p[i * 4 + 3], 0) << id << " pixel " << i;
    }
}

TEST(SkinResources, BitmapsLoadWithTheirSizes)
{
    HINSTANCE inst = GetModuleHandleA(nullptr);
    struct {
        int id, w, h, depth;
    } bitmaps[] = {{102, 506, 411, 24}, {130, 471, 140, 24}, {119, 60, 40, 24}, {104, 26, 15, 4},
                   {105, 29, 15, 4},    {106, 29, 15, 4},    {107, 29, 15, 4},  {108, 29, 15, 4},
                   {7500, 7, 11, 4},    {111, 12, 9, 24},    {112, 12, 9, 24},  {113, 12, 9, 24}};
    for (const auto& b : bitmaps) {
        HRSRC res = FindResourceA(inst, MAKEINTRESOURCEA(b.id), MAKEINTRESOURCEA(2));
        ASSERT_NE(res, nullptr) << b.id;
        const BITMAPINFOHEADER* h = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(inst, res)));
        EXPECT_EQ(h->biBitCount, b.depth) << b.id;
        HPALETTE pal = nullptr;
        HBITMAP bm = LoadSkinBitmap(inst, b.id, &pal);
        ASSERT_NE(bm, nullptr) << b.id;
        EXPECT_EQ(pal != nullptr, b.depth <= 8) << b.id;
        BITMAP info;
        GetObjectA(bm, sizeof(info), &info);
        EXPECT_EQ(info.bmWidth, b.w) << b.id;
        EXPECT_EQ(info.bmHeight, b.h) << b.id;
        DeleteObject(bm);
        if (pal)
            DeleteObject(pal);
    }
    EXPECT_EQ(LoadSkinBitmap(inst, 9999, nullptr), nullptr);
    EXPECT_NE(LoadCursorA(inst, MAKEINTRESOURCEA(120)), nullptr);
}

TEST(SkinResources, ClassesAreRegisteredAlike)
{
    qvtest::ControlFixture f;  // registers the classes
    HINSTANCE inst = GetModuleHandleA(nullptr);
    const HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    for (const char* name :
         {"qv:PushButton", "qv:Slider", "qv:Edit", "qv:StaticText", "qv:StaticImage", "qv:EQGraph", "qv:Meter"}) {
        WNDCLASSA wc{};
        ASSERT_TRUE(GetClassInfoA(inst, name, &wc)) << name;
        // Double-clicks reach the controls only with CS_DBLCLKS.
        EXPECT_EQ(wc.style, static_cast<UINT>(CS_DBLCLKS | CS_PARENTDC)) << name;
        EXPECT_EQ(wc.cbWndExtra, static_cast<int>(sizeof(LONG_PTR))) << name;
        EXPECT_EQ(wc.cbClsExtra, 0) << name;
        EXPECT_EQ(wc.hCursor, arrow) << name;
        EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)) << name;
        EXPECT_EQ(wc.hIcon, nullptr) << name;
        EXPECT_EQ(wc.lpszMenuName, nullptr) << name;
    }
}

TEST(SkinResources, MalformedRle8KeepsWhatItDecoded)
{
    // A 4x2 8-bit RLE image of two colours whose stream ends without the end-of-image escape.
    const uint8_t stream[] = {4, 1, 0, 0, 2, 1};  // bottom row all colour 1, top row two pixels of it
    std::vector<uint8_t> dib(sizeof(BITMAPINFOHEADER) + 2 * 4 + sizeof(stream));
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(h);
    h.biWidth = 4;
    h.biHeight = 2;
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biCompression = BI_RLE8;
    h.biSizeImage = sizeof(stream);
    h.biClrUsed = 2;
    memcpy(dib.data(), &h, sizeof(h));
    const uint8_t colours[8] = {0, 0, 0, 0, 0x00, 0x00, 0xFF, 0};  // black, red (blue, green, red, 0)
    memcpy(dib.data() + sizeof(h), colours, sizeof(colours));
    memcpy(dib.data() + sizeof(h) + sizeof(colours), stream, sizeof(stream));
    HPALETTE pal = nullptr;
    HBITMAP bm = bitmapFromPackedDib(dib.data(), dib.size(), &pal);
    ASSERT_NE(bm, nullptr);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bm);
    EXPECT_EQ(GetPixel(mem, 0, 1), RGB(255, 0, 0));  // bottom row decoded
    EXPECT_EQ(GetPixel(mem, 3, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(mem, 1, 0), RGB(255, 0, 0));  // top row as far as it went
    EXPECT_EQ(GetPixel(mem, 2, 0), RGB(0, 0, 0));
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bm);
    if (pal)
        DeleteObject(pal);
    EXPECT_EQ(bitmapFromPackedDib(dib.data(), sizeof(h) - 1, nullptr), nullptr);  // cut short
}
