// Arithmetic of the skinned controls, checked against worked numbers and independent computations.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "ControlProtocol.h"
#include "GraphMath.h"
#include "MeterMath.h"
#include "ScaleMath.h"
#include "SkinMath.h"
#include "ValueMath.h"

using namespace qv;

namespace {

uint32_t blendOne(uint8_t r, uint8_t g, uint8_t b, uint8_t t, uint32_t dst, int fade, uint32_t tint = 0)
{
    const uint8_t sprite[4] = {r, g, b, t};
    SpriteBlend sb;
    sb.sprite = sprite;
    sb.spriteWidth = 1;
    sb.fade = fade;
    sb.tint = tint;
    blendSprite(&dst, 1, 1, 1, sb);
    return dst & 0xFFFFFF;
}

}  // namespace

TEST(SpriteBlend, FadeTransparencyAndTint)
{
    EXPECT_EQ(blendOne(10, 20, 30, 0, 0xFFFFFF, 255), 0x0A141Eu);    // stored colour exactly (BGRX word)
    EXPECT_EQ(blendOne(10, 20, 30, 255, 0x123456, 255), 0x123456u);  // fully transparent keeps the destination
    // Fade 160 on an opaque pixel: weight 161, so 0 + (255 * 161) >> 8 = 160.
    EXPECT_EQ(blendOne(0, 0, 0, 0, 0xFFFFFF, 160), 0xA0A0A0u);
    // Fade 254: every pixel at least 254/255 transparent: weight 255, almost the destination.
    EXPECT_EQ(blendOne(0, 0, 0, 0, 0xFFFFFF, 254), 0xFEFEFEu);
    // Tint 0xEB78F8FF on 240: red 255, green 253, blue 122.
    EXPECT_EQ(blendOne(240, 240, 240, 0, 0, 255, kDefaultTint), (122u) | (253u << 8) | (255u << 16));
    EXPECT_EQ(tintChannel(100, 0x00FFFFFF, 0), 100);  // zero divisor: no tint rather than a crash
}

TEST(SpriteBlend, TintStopsShortOfTheBorder)
{
    const int w = 8, h = 6;
    std::vector<uint8_t> sprite(w * h * 4, 0);
    for (size_t i = 0; i < sprite.size(); i += 4)
        sprite[i] = sprite[i + 1] = sprite[i + 2] = 100;
    for (int mode : {1, 2}) {
        std::vector<uint32_t> dst(w * h, 0);
        SpriteBlend sb;
        sb.sprite = sprite.data();
        sb.spriteWidth = w;
        sb.tint = 0x01020202;  // doubles every channel
        sb.borderMode = mode;
        blendSprite(dst.data(), w, w, h, sb);
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) {
                const bool inner = mode == 1 ? (c >= 2 && c <= w - 2 && r >= 2 && r <= h - 2)
                                             : (c >= 1 && c <= w - 3 && r >= 1 && r <= h - 3);
                EXPECT_EQ(dst[r * w + c] & 0xFF, inner ? 200u : 100u) << "mode " << mode << " at " << c << "," << r;
            }
    }
}

TEST(SpriteBlend, SourceWindowOfAWiderSprite)
{
    // 4x2 sprite; blend its 2x1 window at (2, 1).
    std::vector<uint8_t> sprite(4 * 2 * 4, 0);
    sprite[(1 * 4 + 2) * 4] = 11;
    sprite[(1 * 4 + 3) * 4] = 22;
    uint32_t dst[2] = {0, 0};
    SpriteBlend sb;
    sb.sprite = sprite.data();
    sb.spriteWidth = 4;
    sb.sourceX = 2;
    sb.sourceY = 1;
    blendSprite(dst, 2, 2, 1, sb);
    EXPECT_EQ(dst[0] >> 16 & 0xFF, 11u);
    EXPECT_EQ(dst[1] >> 16 & 0xFF, 22u);
}

TEST(Wheel, AcceleratesWithSpeed)
{
    EXPECT_EQ(wheelStep(120, 50), 10);
    EXPECT_EQ(wheelStep(120, 600), 1);
    EXPECT_EQ(wheelStep(-120, 600), -1);
    EXPECT_EQ(wheelStep(240, 1), 2000);
    EXPECT_EQ(wheelStep(240, 0), 2000);  // same millisecond counts as 1
    EXPECT_EQ(wheelStep(30, 1000), 1);   // fine-grained wheels still step
    EXPECT_EQ(wheelStep(-30, 1000), -1);
    EXPECT_EQ(wheelStep(0, 1000), -1);
}

TEST(Wheel, ElapsedTimeSurvivesLongUptimeAndTheTickWrap)
{
    // First notch after 24.9 days of uptime: the wheel time is still 0. A slow turn, not x500.
    EXPECT_EQ(wheelElapsed(0, 0x80000010u), 0x80000010u);
    EXPECT_EQ(wheelStep(120, wheelElapsed(0, 0x80000010u)), 1);
    EXPECT_EQ(wheelStep(-120, wheelElapsed(0, 0xFFFFFFFFu)), -1);
    // 48 ms across the wrap of the tick count still accelerates as 48 ms.
    EXPECT_EQ(wheelElapsed(0xFFFFFFF0u, 0x20u), 48u);
    EXPECT_EQ(wheelStep(120, wheelElapsed(0xFFFFFFF0u, 0x20u)), 10);
}

TEST(ParseFixed, Examples)
{
    EXPECT_EQ(ParseFixed("1.25", 1), 12);
    EXPECT_EQ(ParseFixed("-3", 1), -30);
    EXPECT_EQ(ParseFixed(".5", 1), 5);
    EXPECT_EQ(ParseFixed("  -0.05", 1), 0);
    EXPECT_EQ(ParseFixed("7.", 2), 700);
    EXPECT_EQ(ParseFixed("7.5x", 2), 750);
    EXPECT_EQ(ParseFixed("22049", 0), 22049);
    EXPECT_EQ(ParseFixed("abc", 1), 0);
    EXPECT_EQ(ParseFixed("", 1), 0);
    EXPECT_EQ(ParseFixed(nullptr, 1), 0);
    // Beyond the int range: the nearest limit, never a wrap to the other sign (300000000 dB of gain
    // came out as -18 dB).
    EXPECT_EQ(ParseFixed("300000000", 1), INT32_MAX);
    EXPECT_EQ(ParseFixed("99999999999999999999999.9", 1), INT32_MAX);
    EXPECT_EQ(ParseFixed("-99999999999999999999999", 1), INT32_MIN);
    EXPECT_EQ(ParseFixed("-2147483648", 0), INT32_MIN);
}

TEST(LevelReadout, TextsAndSpacing)
{
    char buf[16];
    formatDbValue(-999, buf, sizeof(buf));
    EXPECT_STREQ(buf, "-99.9");
    formatDbValue(-1000, buf, sizeof(buf));
    EXPECT_STREQ(buf, "-Inf");
    formatDbValue(kSilentLevel, buf, sizeof(buf));
    EXPECT_STREQ(buf, "-Inf");
    formatDbValue(0, buf, sizeof(buf));
    EXPECT_STREQ(buf, "0.0");
    formatDbValue(-35, buf, 3);
    EXPECT_STREQ(buf, "-3");  // cut to the buffer
    EXPECT_EQ(dbPairSpaces(17, 17), 4);
    EXPECT_EQ(dbPairSpaces(22, 22), 1);
    EXPECT_EQ(dbPairSpaces(40, 40), 1);
    // The same texts at twice the size stand as far apart, in spaces twice as wide.
    EXPECT_EQ(dbPairSpaces(34, 34, kScale200), 4);
    EXPECT_EQ(dbPairSpaces(26, 26, kScale150), 3);
}

TEST(Slider, EditorGeometry)
{
    SliderTrack t{-180, 360, 150 - 29};
    EXPECT_EQ(12 + sliderTickOffset(t, 0), 73);
    EXPECT_EQ(sliderThumbOffset(t, -180), 0);
    EXPECT_EQ(sliderThumbOffset(t, 180), 121);
    const std::vector<SliderTick> ticks = sliderTicks(-180, 180, 20, 0);
    ASSERT_EQ(ticks.size(), 19u);
    int majors = 0;
    for (const SliderTick& k : ticks)
        if (k.major) {
            ++majors;
            EXPECT_TRUE(k.value == -180 || k.value == 0 || k.value == 180);
        }
    EXPECT_EQ(majors, 3);
    // A range that is not a multiple of the step ends with a tick at the maximum.
    const std::vector<SliderTick> odd = sliderTicks(0, 50, 20, 5);
    ASSERT_EQ(odd.size(), 4u);
    EXPECT_EQ(odd[1].value, 25);
    EXPECT_EQ(odd.back().value, 50);
    EXPECT_TRUE(sliderTicks(0, 10, 0, 0).empty());
    EXPECT_EQ(sliderThumbOffset(SliderTrack{0, 0, 100}, 5), 0);
}

TEST(Slider, ThumbHitBoxFollowsTheThumbLength)
{
    // The default 29-pixel thumb: 26 pixels from its left edge, or 24 up from 5 above its bottom edge.
    EXPECT_EQ(sliderThumbSpan(false, 61, 29).first, 61);
    EXPECT_EQ(sliderThumbSpan(false, 61, 29).last, 87);
    EXPECT_EQ(sliderThumbSpan(true, 100, 29).first, 71);
    EXPECT_EQ(sliderThumbSpan(true, 100, 29).last, 95);
    EXPECT_EQ(sliderThumbMiddle(false, 61, 29), 73);
    EXPECT_EQ(sliderThumbMiddle(true, 100, 29), 84);
    // A 41-pixel thumb grabs 12 pixels further; a 15-pixel one 14 pixels less.
    EXPECT_EQ(sliderThumbSpan(false, 55, 41).last, 55 + 38);
    EXPECT_EQ(sliderThumbSpan(true, 100, 41).first, 59);
    EXPECT_EQ(sliderThumbSpan(false, 68, 15).last, 68 + 12);
    EXPECT_EQ(sliderThumbSpan(true, 100, 15).first, 85);
    EXPECT_EQ(sliderThumbMiddle(false, 55, 41), 55 + 18);
}

TEST(Slider, TicksOfUnusualRangesEnd)
{
    // Minimum above the maximum: a tick at the minimum, then the last one at the maximum.
    std::vector<SliderTick> t = sliderTicks(50, -50, 20, 0);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].value, 50);
    EXPECT_EQ(t[1].value, -50);
    EXPECT_TRUE(t[0].major && t[1].major);
    // An offset of minus the step brings v back to the minimum once, not for ever.
    t = sliderTicks(0, 30, 10, -10);
    ASSERT_EQ(t.size(), 5u);
    EXPECT_EQ(t[1].value, 0);
    EXPECT_EQ(t[2].value, 10);
    EXPECT_EQ(t.back().value, 30);
    // A larger negative offset steps on from below the minimum.
    t = sliderTicks(0, 20, 10, -25);
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[1].value, -15);
    EXPECT_EQ(t.back().value, 20);
    // The whole integer range by 1, and an offset far below it: bounded, still ending at the maximum.
    t = sliderTicks(INT_MIN, INT_MAX, 1, 0);
    EXPECT_EQ(t.size(), kMaxSliderTicks);
    EXPECT_EQ(t.front().value, INT_MIN);
    EXPECT_EQ(t.back().value, INT_MAX);
    t = sliderTicks(0, 10, 1, INT_MIN);
    EXPECT_EQ(t.size(), kMaxSliderTicks);
    EXPECT_EQ(t.back().value, 10);
}

TEST(Slider, SquareLawAndPageStep)
{
    EXPECT_EQ(sliderSquareLaw(5), 13);
    EXPECT_EQ(sliderSquareLaw(-5), -13);
    EXPECT_EQ(sliderSquareLaw(1), 1);
    EXPECT_EQ(sliderSquareLaw(0), 0);
    EXPECT_EQ(derivedPageStep(480, 150), 49);
    EXPECT_EQ(derivedPageStep(10, 150), 1);
    EXPECT_EQ(derivedPageStep(100, 3), 1500);
}

TEST(EditDrag, AxisSwitchingAndSquareLaw)
{
    EditDrag d;
    EXPECT_EQ(editDragStep(d, 3, 1), 9);
    EXPECT_FALSE(d.verticalAxis);
    EXPECT_EQ(editDragStep(d, 1, 4), 16);
    EXPECT_TRUE(d.verticalAxis);
    EXPECT_EQ(editDragStep(d, 3, -2), -4);  // 2*3 < 2 is false: stays vertical
    EditDrag inv{false, false, true};
    EXPECT_EQ(editDragStep(inv, 2, 0), -2);
    EXPECT_EQ(saturateStep16(200 * 200), 32767);
    EXPECT_EQ(saturateStep16(-200 * 200), -32768);
}

TEST(Meter, PeakModeSequence)
{
    MeterLevels m;
    m.minimum = -600;
    m.maximum = 0;
    m.peakMode = true;
    meterUpdate(m, -100, 0);
    EXPECT_EQ(m.levelA, -100);
    EXPECT_EQ(m.peakA, -100);
    for (int i = 1; i <= 30; ++i) {
        meterUpdate(m, kSilentLevel, 0);
        EXPECT_EQ(m.levelA, -100 - 20 * i);
        EXPECT_EQ(m.peakA, -100) << "held at update " << i;
    }
    meterUpdate(m, kSilentLevel, 0);
    EXPECT_EQ(m.peakA, -130);
    meterUpdate(m, kSilentLevel, 0);
    EXPECT_EQ(m.peakA, -160);
    EXPECT_EQ(m.maxA, -100);  // maxima follow the raw levels
    meterUpdate(m, -50, 0);
    EXPECT_EQ(m.levelA, -50);  // a higher level replaces the falling bar at once
    EXPECT_EQ(m.peakA, -50);
    EXPECT_EQ(m.maxA, -50);
    meterUpdate(m, -75, 0);
    EXPECT_EQ(m.levelA, -70);  // a lower level does not slow the fall
    for (int i = 0; i < 100000; ++i)
        meterUpdate(m, kSilentLevel, 0);
    EXPECT_GE(m.levelA, kSilentLevel);  // long silence does not run away towards overflow
}

TEST(Meter, PlainModeAndRows)
{
    MeterLevels m;
    m.minimum = -600;
    m.maximum = 0;
    meterUpdate(m, -300, -10);
    EXPECT_EQ(m.levelA, -300);
    EXPECT_EQ(m.maxA, kSilentLevel);
    MeterPaint p = meterPaint(m, kMeterUp, 12, 144);
    EXPECT_EQ(p.bar.first, 72);
    EXPECT_EQ(p.bar.last, 141);
    m.levelA = 0;
    p = meterPaint(m, kMeterUp, 12, 144);
    EXPECT_EQ(p.bar.first, 2);
    EXPECT_EQ(p.bar.last, 141);
    m.levelA = 500;  // above the maximum: the whole bar
    p = meterPaint(m, kMeterUp, 12, 144);
    EXPECT_EQ(p.bar.first, 2);
    for (int v : {-600, -599, -9999}) {
        m.levelA = v;
        EXPECT_TRUE(meterPaint(m, kMeterUp, 12, 144).bar.empty()) << v;
    }
    m.levelA = -597;
    p = meterPaint(m, kMeterUp, 12, 144);
    EXPECT_EQ(p.bar.first, 141);
    EXPECT_EQ(p.bar.last, 141);
    m.peakMode = true;
    m.peakA = -300;
    p = meterPaint(m, kMeterUp, 12, 144);
    EXPECT_EQ(p.marker.first, 72);
    EXPECT_EQ(p.marker.last, 73);
    m.maximum = m.minimum;
    EXPECT_EQ(meterPixels(m, 0, 140), 0);  // zero-width range: no division by zero
}

TEST(Meter, HorizontalLayoutsBelowTheFirstColumn)
{
    MeterLevels m;
    m.minimum = -600;
    m.maximum = 0;
    // 12 wide: W = 8. x(-680) = floor(-1.07 + 0.5) = -1 still lights column 0.
    m.levelA = -680;
    MeterPaint p = meterPaint(m, kMeterHorizontal, 12, 20);
    EXPECT_FALSE(p.vertical);
    EXPECT_EQ(p.bar.first, 0);
    EXPECT_EQ(p.bar.last, 0);
    m.levelA = -750;  // x = -2: nothing
    EXPECT_TRUE(meterPaint(m, kMeterHorizontal, 12, 20).bar.empty());
    // Marker over W - 3 = 5: x(-720) = -1 shows columns 1 to 3, x(-840) = -2 columns 0 to 2.
    m.levelA = -720;
    p = meterPaint(m, kMeterHorizontalMarker, 12, 20);
    EXPECT_EQ(p.bar.first, 1);
    EXPECT_EQ(p.bar.last, 3);
    m.levelA = -840;
    p = meterPaint(m, kMeterHorizontalMarker, 12, 20);
    EXPECT_EQ(p.bar.first, 0);
    EXPECT_EQ(p.bar.last, 2);
    m.levelA = kSilentLevel;
    EXPECT_TRUE(meterPaint(m, kMeterHorizontalMarker, 12, 20).bar.empty());
    m.levelA = 0;  // full scale: x = 8 lights columns 0 to 9
    EXPECT_EQ(meterPaint(m, kMeterHorizontal, 12, 20).bar.last, 9);
}

TEST(Rle8, ExpandsAndRejectsHostileData)
{
    // 3x2: row 0 = run of 3 x 7; row 1 = literal 1 2 3.
    const uint8_t data[] = {3, 7, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1};
    std::vector<uint8_t> out(8);
    ASSERT_TRUE(expandRle8(data, sizeof(data), 3, 2, out.data(), out.size()));
    EXPECT_EQ(out, (std::vector<uint8_t>{7, 7, 7, 0, 1, 2, 3, 0}));
    const uint8_t runaway[] = {255, 9, 255, 9, 0, 0, 200, 1, 0, 1};
    EXPECT_TRUE(expandRle8(runaway, sizeof(runaway), 3, 2, out.data(), out.size()));  // clipped, no overflow
    const uint8_t truncated[] = {0, 200, 1, 2};
    EXPECT_FALSE(expandRle8(truncated, sizeof(truncated), 3, 2, out.data(), out.size()));
    // No end-of-image escape: reported, and what came before it is kept.
    const uint8_t unended[] = {3, 5, 0, 0, 2, 6};
    EXPECT_FALSE(expandRle8(unended, sizeof(unended), 3, 2, out.data(), out.size()));
    EXPECT_EQ(out, (std::vector<uint8_t>{5, 5, 5, 0, 6, 6, 0, 0}));
    EXPECT_FALSE(expandRle8(data, sizeof(data), 3, 2, out.data(), 4));  // output too small
}

TEST(Marching, PatternMovesOneRowPerPhase)
{
    EXPECT_EQ(marchingPatternRow(0, 0), 0x0F);
    EXPECT_EQ(marchingPatternRow(1, 1), 0x0F);
    EXPECT_EQ(marchingPatternRow(0, 1), 0x87);
    EXPECT_EQ(marchingPatternRow(3, 100), marchingPatternRow(3, 4));
}

TEST(Scale, DpiBucketsAndRounding)
{
    for (int dpi : {0, -1, 72, 96, 119})
        EXPECT_EQ(scaleForDpi(dpi), kScale100) << dpi;
    for (int dpi : {120, 144, 167})
        EXPECT_EQ(scaleForDpi(dpi), kScale150) << dpi;
    for (int dpi : {168, 192, 288, 480})
        EXPECT_EQ(scaleForDpi(dpi), kScale200) << dpi;
    // Half a pixel rounds up, away from zero on both sides.
    EXPECT_EQ(scalePx(411, kScale150), 617);
    EXPECT_EQ(scalePx(21, kScale150), 32);
    EXPECT_EQ(scalePx(-3, kScale150), -5);
    EXPECT_EQ(scalePx(-2, kScale150), -3);
    for (int v : {-7, 0, 1, 29, 506})
        EXPECT_EQ(scalePx(v, kScale100), v);
    // A control's scale message names one of the three scales, or nothing.
    EXPECT_EQ(scaleFromPercent(150), kScale150);
    for (unsigned long long percent : {0ull, 99ull, 125ull, 175ull, 300ull, 0x100000096ull})
        EXPECT_FALSE(scaleFromPercent(percent).has_value()) << percent;
}

TEST(Scale, MotionKeepsThePhysicalDistance)
{
    // At 200 %, a 2-pixel move is one 100 % pixel; single-pixel moves add up instead of vanishing,
    // in either direction, and a turn back gives back what was left over.
    MotionScaler m;
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += m.step(1, kScale200);
    EXPECT_EQ(sum, 4);
    EXPECT_EQ(m.step(1, kScale200), 1);
    sum = 0;
    for (int i = 0; i < 10; ++i)
        sum += m.step(-1, kScale200);
    EXPECT_EQ(sum, -5);
    // At 150 %, 3 device pixels are 2 pixels at 100 %, however they arrive.
    m.reset();
    sum = 0;
    for (int i = 0; i < 30; ++i)
        sum += m.step(1, kScale150);
    EXPECT_EQ(sum, 20);
    m.reset();
    EXPECT_EQ(m.step(30, kScale150), 20);
    EXPECT_EQ(m.step(-7, kScale100), -7);  // nothing is held back at 100 %
}

TEST(Meter, AtTwiceTheScaleTheBarCoversTheSameRowsOfTheDesign)
{
    // The editor's meter, 12 x 144 at 100 % and 24 x 288 at 200 %, lights every design row twice; a
    // level between two design rows may light half of one more, as the finer bar can show it.
    MeterLevels m;
    m.minimum = -600;
    m.maximum = 0;
    m.peakMode = true;
    auto near = [](int two, int one) { return two >= 2 * one - 1 && two <= 2 * one + 2; };
    for (int level = -620; level <= 20; level += 7) {
        m.levelA = level;
        m.peakA = level + 30;
        for (MeterLayout layout : {kMeterUp, kMeterTopDown, kMeterCentreZero}) {
            const MeterPaint one = meterPaint(m, layout, 12, 144), two = meterPaint(m, layout, 24, 288, kScale200);
            ASSERT_EQ(one.bar.empty(), two.bar.empty()) << level << " layout " << layout;
            if (!one.bar.empty()) {
                EXPECT_TRUE(near(two.bar.first, one.bar.first)) << level << " layout " << layout;
                EXPECT_TRUE(near(two.bar.last, one.bar.last)) << level << " layout " << layout;
            }
            if (!two.marker.empty() && one.marker.last - one.marker.first == 1) {  // not cut at an end
                EXPECT_TRUE(near(two.marker.first, one.marker.first)) << level << " layout " << layout;
                EXPECT_EQ(two.marker.last - two.marker.first, 3) << level << " layout " << layout;
            }
        }
    }
    // The fixed ends are exact: full scale lights the design's rows 2 .. 141, four frame rows at 200 %.
    m.levelA = 0;
    EXPECT_EQ(meterPaint(m, kMeterUp, 24, 288, kScale200).bar.first, 4);
    EXPECT_EQ(meterPaint(m, kMeterUp, 24, 288, kScale200).bar.last, 283);
}
