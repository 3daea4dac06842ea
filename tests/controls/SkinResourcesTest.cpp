// The skin as the controls load it: every image of the VST table with the size and format they need.
#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "resources/skin_ids.h"

using namespace qv;

TEST(SkinResources, SpritesHaveExactSizes) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    struct {
        int id, w, h;
    } sprites[] = {{131, 29, 16}, {132, 40, 21}, {133, 15, 21}, {134, 15, 21}, {135, 24, 21}, {136, 24, 21},
                   {137, 27, 21}, {138, 27, 21}, {139, 50, 21}, {140, 50, 21}, {141, 61, 21}, {142, 61, 21},
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

TEST(SkinResources, BitmapsLoadWithTheirSizes) {
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
