// Loads every skin id of both plug-in DLLs' tables from resource modules built from the .rc
// fragments, and checks kind, size and format as the controls will use them.
#include "resources/skin_ids.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "WholeFile.h"

namespace {

struct ExpectedBitmap {
    int vst, ds;
    const char* file;
    int width, height, bits;
    COLORREF key;  // a colour the image must contain (its transparent key), or CLR_INVALID
};

const ExpectedBitmap kBitmaps[] = {
    {SKIN_VST_BMP_BACKGROUND, SKIN_DS_BMP_BACKGROUND, "background.bmp", 506, 411, 24, CLR_INVALID},
    {SKIN_VST_BMP_GRAPH, SKIN_DS_BMP_GRAPH, "graph.bmp", 471, 140, 24, CLR_INVALID},
    {SKIN_VST_BMP_HANDLES, SKIN_DS_BMP_HANDLES, "handles.bmp", 60, 40, 24, RGB(255, 0, 255)},
    {SKIN_VST_BMP_TYPE_PEAK, SKIN_DS_BMP_TYPE_PEAK, "type_peak.bmp", 26, 15, 4, RGB(192, 192, 192)},
    {SKIN_VST_BMP_TYPE_HIGHPASS, SKIN_DS_BMP_TYPE_HIGHPASS, "type_highpass.bmp", 29, 15, 4, RGB(192, 192, 192)},
    {SKIN_VST_BMP_TYPE_LOWPASS, SKIN_DS_BMP_TYPE_LOWPASS, "type_lowpass.bmp", 29, 15, 4, RGB(192, 192, 192)},
    {SKIN_VST_BMP_TYPE_LOWSHELF, SKIN_DS_BMP_TYPE_LOWSHELF, "type_lowshelf.bmp", 29, 15, 4, RGB(192, 192, 192)},
    {SKIN_VST_BMP_TYPE_HIGHSHELF, SKIN_DS_BMP_TYPE_HIGHSHELF, "type_highshelf.bmp", 29, 15, 4, RGB(192, 192, 192)},
    {SKIN_VST_BMP_MENUMARK, SKIN_DS_BMP_MENUMARK, "menumark.bmp", 7, 11, 4, RGB(255, 0, 255)},
    {SKIN_VST_BMP_CLIP_OFF, SKIN_DS_BMP_CLIP_OFF, "clip_off.bmp", 12, 9, 24, CLR_INVALID},
    {SKIN_VST_BMP_CLIP_HELD, SKIN_DS_BMP_CLIP_HELD, "clip_held.bmp", 12, 9, 24, CLR_INVALID},
    {SKIN_VST_BMP_CLIP_ACTIVE, SKIN_DS_BMP_CLIP_ACTIVE, "clip_active.bmp", 12, 9, 24, CLR_INVALID},
};

enum class Edge {
    Button,
    Opaque,
    Free
};

struct ExpectedSprite {
    int vst, ds;
    const char* file;
    int width, height;
    Edge edge;
};

const ExpectedSprite kSprites[] = {
    {SKIN_VST_RAW_THUMB, SKIN_DS_RAW_THUMB, "thumb.raw", 29, 16, Edge::Free},
    {SKIN_VST_RAW_EDIT, SKIN_DS_RAW_EDIT, "edit.raw", 40, 21, Edge::Free},
    {SKIN_VST_RAW_ARROW, SKIN_DS_RAW_ARROW, "arrow.raw", 15, 21, Edge::Free},
    {SKIN_VST_RAW_ARROW_DOWN, SKIN_DS_RAW_ARROW_DOWN, "arrow_down.raw", 15, 21, Edge::Free},
    {SKIN_VST_RAW_BAND, SKIN_DS_RAW_BAND, "band.raw", 24, 21, Edge::Button},
    {SKIN_VST_RAW_BAND_DOWN, SKIN_DS_RAW_BAND_DOWN, "band_down.raw", 24, 21, Edge::Button},
    {SKIN_VST_RAW_TYPE, SKIN_DS_RAW_TYPE, "type.raw", 27, 21, Edge::Free},
    {SKIN_VST_RAW_TYPE_DOWN, SKIN_DS_RAW_TYPE_DOWN, "type_down.raw", 27, 21, Edge::Free},
    {SKIN_VST_RAW_FLAT, SKIN_DS_RAW_FLAT, "flat.raw", 50, 21, Edge::Button},
    {SKIN_VST_RAW_FLAT_DOWN, SKIN_DS_RAW_FLAT_DOWN, "flat_down.raw", 50, 21, Edge::Button},
    {SKIN_VST_RAW_SETUP, SKIN_DS_RAW_SETUP, "setup.raw", 61, 21, Edge::Free},
    {SKIN_VST_RAW_SETUP_DOWN, SKIN_DS_RAW_SETUP_DOWN, "setup_down.raw", 61, 21, Edge::Free},
    {SKIN_VST_RAW_BUTTON, SKIN_DS_RAW_BUTTON, "button.raw", 76, 21, Edge::Button},
    {SKIN_VST_RAW_BUTTON_DOWN, SKIN_DS_RAW_BUTTON_DOWN, "button_down.raw", 76, 21, Edge::Button},
    {SKIN_VST_RAW_METER, SKIN_DS_RAW_METER, "meter.raw", 12, 144, Edge::Opaque},
    {SKIN_VST_RAW_METER_LIT, SKIN_DS_RAW_METER_LIT, "meter_lit.raw", 12, 144, Edge::Opaque},
};

class SkinResources : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        vst_ = LoadLibraryA("skinres_vst.dll");
        ds_ = LoadLibraryA("skinres_dshow.dll");
    }
    static void TearDownTestSuite()
    {
        if (vst_)
            FreeLibrary(vst_);
        if (ds_)
            FreeLibrary(ds_);
    }
    void SetUp() override
    {
        ASSERT_NE(vst_, nullptr) << "skinres_vst.dll";
        ASSERT_NE(ds_, nullptr) << "skinres_dshow.dll";
    }

    static std::vector<unsigned char> bytes(HMODULE m, int id, LPCSTR type)
    {
        HRSRC r = FindResourceA(m, MAKEINTRESOURCEA(id), type);
        if (!r)
            return {};
        HGLOBAL g = LoadResource(m, r);
        const unsigned char* p = static_cast<const unsigned char*>(LockResource(g));
        DWORD n = SizeofResource(m, r);
        if (!p)
            return {};
        return std::vector<unsigned char>(p, p + n);
    }

    static HMODULE vst_, ds_;
};

HMODULE SkinResources::vst_ = nullptr;
HMODULE SkinResources::ds_ = nullptr;

// The committed file, read from the source tree (Wine maps the Unix root as drive Z:).
std::vector<unsigned char> skinFile(const char* name)
{
    return qv::wholeFile<unsigned char>(std::string("Z:") + QV_SOURCE_DIR + "/resources/skin/" + name);
}

void checkBitmap(const std::vector<unsigned char>& res, HMODULE module, const ExpectedBitmap& s, int id)
{
    SCOPED_TRACE(::testing::Message() << "bitmap " << id);
    ASSERT_GE(res.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER h;
    std::memcpy(&h, res.data(), sizeof h);
    EXPECT_EQ(h.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(h.biWidth, s.width);
    EXPECT_EQ(h.biHeight, s.height);  // positive: bottom-up, as the loader expects
    EXPECT_EQ(h.biBitCount, s.bits);
    EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
    size_t colours = 0;
    if (s.bits <= 8) {
        // The loader builds its palette from 2^depth entries.
        EXPECT_TRUE(h.biClrUsed == 0 || h.biClrUsed == (1u << s.bits));
        colours = 1u << s.bits;
    }
    size_t stride = ((s.width * s.bits + 31) / 32) * 4;
    ASSERT_GE(res.size(), h.biSize + colours * 4 + stride * s.height);

    if (s.key != CLR_INVALID) {
        // The transparent key must occur, or nothing in the image would be transparent.
        bool seen = false;
        const unsigned char* bits = res.data() + h.biSize + colours * 4;
        for (int y = 0; y < s.height && !seen; ++y)
            for (int x = 0; x < s.width && !seen; ++x) {
                COLORREF c;
                if (s.bits == 24) {
                    const unsigned char* p = bits + y * stride + 3 * x;
                    c = RGB(p[2], p[1], p[0]);
                } else {
                    unsigned v = bits[y * stride + x / 2];
                    unsigned i = (x & 1) ? (v & 15) : (v >> 4);
                    const unsigned char* q = res.data() + h.biSize + 4 * i;
                    c = RGB(q[2], q[1], q[0]);
                }
                seen = c == s.key;
            }
        EXPECT_TRUE(seen) << "no key colour pixel";
    }

    HBITMAP bmp = LoadBitmapA(module, MAKEINTRESOURCEA(id));
    ASSERT_NE(bmp, nullptr);
    BITMAP info;
    ASSERT_EQ(GetObjectA(bmp, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, s.width);
    EXPECT_EQ(info.bmHeight, s.height);
    DeleteObject(bmp);
}

TEST_F(SkinResources, BitmapsHaveTheirSizeAndDepthInBothDlls)
{
    for (const ExpectedBitmap& s : kBitmaps) {
        auto a = bytes(vst_, s.vst, MAKEINTRESOURCEA(2));
        auto b = bytes(ds_, s.ds, MAKEINTRESOURCEA(2));
        checkBitmap(a, vst_, s, s.vst);
        checkBitmap(b, ds_, s, s.ds);
        EXPECT_EQ(a, b) << "VST " << s.vst << " and DirectShow " << s.ds << " differ";
        // A bitmap resource is its file without the 14-byte file header: the DLL holds what is
        // committed, not a stale build.
        auto file = skinFile(s.file);
        ASSERT_GT(file.size(), 14u) << s.file;
        EXPECT_TRUE(std::equal(file.begin() + 14, file.end(), a.begin(), a.end())) << s.file;
    }
}

TEST_F(SkinResources, HandleSheetKeepsTheUnusedCellEdgeTransparent)
{
    // Only the top-left 9 x 9 of each 10 x 10 cell is drawn; column 9 and row 9 of a cell stay key.
    auto res = bytes(vst_, SKIN_VST_BMP_HANDLES, MAKEINTRESOURCEA(2));
    ASSERT_GE(res.size(), 40 + 180 * 40u);
    const unsigned char* bits = res.data() + 40;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            if (x % 10 != 9 && y % 10 != 9)
                continue;
            const unsigned char* p = bits + (39 - y) * 180 + 3 * x;
            ASSERT_TRUE(p[0] == 255 && p[1] == 0 && p[2] == 255) << x << "," << y;
        }
}

TEST_F(SkinResources, SpritesAreExactlyWidthTimesHeightTimesFour)
{
    for (const ExpectedSprite& s : kSprites) {
        SCOPED_TRACE(::testing::Message() << "sprite " << s.vst);
        auto a = bytes(vst_, s.vst, MAKEINTRESOURCEA(10));
        auto b = bytes(ds_, s.ds, MAKEINTRESOURCEA(10));
        ASSERT_EQ(a.size(), static_cast<size_t>(s.width) * s.height * 4);
        EXPECT_EQ(a, b) << "DirectShow id " << s.ds;
        EXPECT_EQ(a, skinFile(s.file)) << s.file;
        auto transparency = [&](int x, int y) { return a[(static_cast<size_t>(y) * s.width + x) * 4 + 3]; };
        // The middle of every face is opaque.
        EXPECT_EQ(transparency(s.width / 2, s.height / 2 - 2), 0);
        if (s.edge == Edge::Button) {
            // Rounded corners let the background through.
            EXPECT_EQ(transparency(0, 0), 255);
            EXPECT_EQ(transparency(s.width - 1, 0), 255);
            EXPECT_EQ(transparency(0, s.height - 1), 255);
            EXPECT_EQ(transparency(s.width - 1, s.height - 1), 255);
        }
        if (s.edge == Edge::Opaque) {
            for (int y = 0; y < s.height; ++y)
                for (int x = 0; x < s.width; ++x)
                    ASSERT_EQ(transparency(x, y), 0) << x << "," << y;
        }
    }
}

// The 150 % and 200 % art: one id in both DLLs, the committed file, and the 100 % size scaled as the
// editor scales its layout (the handle sheet and the clip lamps have sizes of their own).
TEST_F(SkinResources, ScaledArtIsInBothDllsAtItsScaledSize)
{
    auto scaledSize = [](int v, int percent) { return (v * percent + 50) / 100; };
    for (int step : {1, 2}) {
        const int percent = 100 + 50 * step;
        const std::string dir = std::to_string(percent) + "/";
        int item = SKIN_SCALED_BMP_BACKGROUND;
        for (const ExpectedBitmap& s : kBitmaps) {
            if (s.vst == SKIN_VST_BMP_MENUMARK)
                continue;
            const int id = SKIN_SCALED_ID(item++, step);
            ExpectedBitmap at = s;
            at.width = scaledSize(s.width, percent);
            at.height = scaledSize(s.height, percent);
            if (s.vst == SKIN_VST_BMP_HANDLES) {
                at.width = 6 * (2 * scaledSize(4, percent) + 2);
                at.height = 4 * (2 * scaledSize(4, percent) + 2);
            }
            if (s.vst == SKIN_VST_BMP_CLIP_OFF || s.vst == SKIN_VST_BMP_CLIP_HELD || s.vst == SKIN_VST_BMP_CLIP_ACTIVE)
                at.height = scaledSize(210, percent) - scaledSize(201, percent);
            auto a = bytes(vst_, id, MAKEINTRESOURCEA(2));
            checkBitmap(a, vst_, at, id);
            EXPECT_EQ(a, bytes(ds_, id, MAKEINTRESOURCEA(2))) << id;
            auto file = skinFile((dir + s.file).c_str());
            ASSERT_GT(file.size(), 14u) << dir << s.file;
            EXPECT_TRUE(std::equal(file.begin() + 14, file.end(), a.begin(), a.end())) << dir << s.file;
        }
        EXPECT_EQ(item, SKIN_SCALED_BMP_CLIP_ACTIVE + 1);
        for (const ExpectedSprite& s : kSprites) {
            const int id = SKIN_SCALED_ID(SKIN_SCALED_RAW_FIRST + (s.vst - SKIN_VST_RAW_FIRST), step);
            auto a = bytes(vst_, id, MAKEINTRESOURCEA(10));
            EXPECT_EQ(a.size(), static_cast<size_t>(scaledSize(s.width, percent)) * scaledSize(s.height, percent) * 4)
                << dir << s.file;
            EXPECT_EQ(a, bytes(ds_, id, MAKEINTRESOURCEA(10))) << id;
            EXPECT_EQ(a, skinFile((dir + s.file).c_str())) << dir << s.file;
        }
    }
}

TEST_F(SkinResources, MeterSidesMatchSoTheLitBarBlendsCleanly)
{
    // The lit bar is blended full width, so its frame columns must equal the unlit ones.
    auto off = bytes(vst_, SKIN_VST_RAW_METER, MAKEINTRESOURCEA(10));
    auto on = bytes(vst_, SKIN_VST_RAW_METER_LIT, MAKEINTRESOURCEA(10));
    ASSERT_EQ(off.size(), 12u * 144 * 4);
    ASSERT_EQ(on.size(), off.size());
    for (int y = 0; y < 144; ++y)
        for (int x : {0, 11})
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(off[(y * 12 + x) * 4 + c], on[(y * 12 + x) * 4 + c]);
    // And the lit bar must differ from the unlit one in the active rows.
    EXPECT_NE(off[(70 * 12 + 6) * 4 + 1], on[(70 * 12 + 6) * 4 + 1]);
}

TEST_F(SkinResources, GraphCursorLoadsWithItsHotSpotInTheMiddle)
{
    for (auto [module, id] : {std::pair{vst_, SKIN_VST_CUR_GRAPH}, std::pair{ds_, SKIN_DS_CUR_GRAPH}}) {
        SCOPED_TRACE(id);
        EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(12)), nullptr);
        HCURSOR cur = LoadCursorA(module, MAKEINTRESOURCEA(id));
        ASSERT_NE(cur, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cur, &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, 15u);
        EXPECT_EQ(info.yHotspot, 15u);
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
    }
}

}  // namespace
