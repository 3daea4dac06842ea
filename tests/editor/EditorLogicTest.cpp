#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "EditorLayout.h"
#include "EditorLogic.h"
#include "PresetList.h"

using namespace qv;

namespace {
std::string tenths(int32_t v)
{
    char buf[32];
    formatTenths(v, buf, sizeof buf);
    return buf;
}
std::string manual(const char* file, bool colon)
{
    char buf[300];
    manualBesideFile(file, colon, buf, sizeof buf);
    return buf;
}
}  // namespace

TEST(EditorLogic, IdsMapToColumnsAndParameters)
{
    EXPECT_EQ(slotParameter(controlSlot(1004)), 28);
    EXPECT_EQ(slotParameter(controlSlot(1005)), 28);
    EXPECT_EQ(slotParameter(controlSlot(1300)), 3);
    EXPECT_EQ(slotParameter(controlSlot(1601)), 13);
    EXPECT_EQ(slotParameter(controlSlot(1602)), 20);
    EXPECT_EQ(slotParameter(controlSlot(1603)), 27);
    EXPECT_EQ(slotParameter(controlSlot(1606)), -1);  // the type arrow edits nothing
    for (int id : {999, 1007, 1707, 20000, -5, 1099})
        EXPECT_FALSE(controlSlot(id).valid() && slotParameter(controlSlot(id)) >= 0) << id;
    EXPECT_EQ(dataControlId(0), 1004);
    EXPECT_EQ(dataControlId(1), 1100);
    EXPECT_EQ(dataControlId(5), 1104);
    EXPECT_EQ(dataControlId(30), 1604);
}

TEST(EditorLogic, EntriesAreClampedAsTheUserMeantThem)
{
    const int32_t bound = frequencyBound(44100.0f);
    EXPECT_EQ(bound, 22049);
    EXPECT_EQ(clampForSlot({1, kOffFreq}, 5, kPeakDip, bound), 10);
    EXPECT_EQ(clampForSlot({1, kOffFreq}, -70000, kPeakDip, bound), 10);
    EXPECT_EQ(clampForSlot({1, kOffFreq}, 30000, kPeakDip, bound), 22049);
    EXPECT_EQ(clampForSlot({2, kOffQ}, 2, kLowShelf, bound), 3);
    EXPECT_EQ(clampForSlot({2, kOffQ}, 2, kPeakDip, bound), 2);
    EXPECT_EQ(clampForSlot({2, kOffQ}, 500, kLowpass, bound), 190);
    EXPECT_EQ(clampForSlot({2, kOffQ}, 5000, kPeakDip, bound), 1000);
    EXPECT_EQ(clampForSlot({0, kOffQ}, 5000, 5, bound), 5000);  // no type, no clamp
    EXPECT_EQ(clampForSlot({0, kOffGain}, 300, 0, bound), 240);
    EXPECT_EQ(clampForSlot({3, kOffSlider}, -300, 0, bound), -180);
    EXPECT_EQ(clampForSlot({3, kOffEnabled}, 7, 0, bound), 1);
    EXPECT_EQ(clampForSlot({3, kOffType}, 9, 0, bound), 4);

    // Typed frequencies are signed: "-100" is below the range (it once wrapped to the top), and a
    // number too long for an int ends at the limit on its own side.
    EXPECT_EQ(clampForSlot({1, kOffFreq}, readTypedInteger("-100"), kPeakDip, bound), 10);
    EXPECT_EQ(readTypedInteger(" +250x"), 250);
    EXPECT_EQ(readTypedInteger("-99999999999999999999"), INT32_MIN);
    EXPECT_EQ(readTypedInteger("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(readTypedInteger("abc"), 0);
    EXPECT_EQ(readTypedInteger(nullptr), 0);
}

TEST(EditorLogic, RatesTheEngineCannotUseGiveSoundBounds)
{
    EXPECT_EQ(frequencyBound(48000.0f), 23999);
    // No rate, a tiny rate, or none at all: never a bound under the lowest frequency.
    for (float rate : {0.0f, -44100.0f, 1.0f, 15.0f, 22.0f, std::numeric_limits<float>::quiet_NaN()})
        EXPECT_GE(frequencyBound(rate), 10) << rate;
    EXPECT_EQ(frequencyBound(0.0f), 22049);
    EXPECT_EQ(graphRateFor(0.0f), 44100);
    EXPECT_EQ(graphRateFor(-1.0f), 44100);
    EXPECT_EQ(graphRateFor(500.0f), 1000);
    EXPECT_EQ(graphRateFor(300000.0f), 200000);
    EXPECT_EQ(graphRateFor(std::numeric_limits<float>::quiet_NaN()), 44100);
    EXPECT_EQ(graphRateFor(96000.0f), 96000);
}

TEST(EditorLogic, NumbersAsTheFieldsAndMetersShowThem)
{
    EXPECT_EQ(tenths(-5), "-0.5");
    EXPECT_EQ(tenths(125), "12.5");
    EXPECT_EQ(tenths(0), "0.0");
    EXPECT_EQ(tenths(-9999), "-Inf.");
    EXPECT_EQ(tenths(-9998), "-999.8");
    EXPECT_EQ(tenths(std::numeric_limits<int32_t>::max()), "214748364.7");
    EXPECT_EQ(peakTenths(0.0f), -9999);
    EXPECT_EQ(peakTenths(1.0f), 0);
    EXPECT_EQ(peakTenths(0.5f), -60);  // 200 log10 0.5 = -60.2, truncated
    EXPECT_EQ(peakTenths(-1.0f), -9999);
    EXPECT_EQ(peakTenths(std::numeric_limits<float>::quiet_NaN()), -9999);
    EXPECT_GT(peakTenths(std::numeric_limits<float>::infinity()), 0);
    EXPECT_EQ(truncateToInt(1234.9f), 1234);
    EXPECT_EQ(truncateToInt(-3.7f), -3);
    EXPECT_EQ(truncateToInt(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(truncateToInt(1e20f), std::numeric_limits<int32_t>::max());
}

TEST(EditorLogic, RefreshRewritesOnlyWhatTheRequestNames)
{
    // Gain fields follow their slider except when refreshed by name.
    EXPECT_FALSE(refreshesField(kRefreshAll, 1204, kOffGain, false, false));
    EXPECT_TRUE(refreshesField(Refresh::control(1204), 1204, kOffGain, false, false));
    EXPECT_TRUE(refreshesField(kRefreshAll, 1205, kOffSlider, false, false));
    // A drag rewrites the dragged band's frequency and gain; a wheel step or Shift its Q.
    EXPECT_TRUE(refreshesField(kRefreshDrag, 1202, kOffFreq, true, false));
    EXPECT_FALSE(refreshesField(kRefreshDrag, 1202, kOffFreq, false, false));
    EXPECT_FALSE(refreshesField(kRefreshDrag, 1203, kOffQ, true, false));
    EXPECT_TRUE(refreshesField(kRefreshDragQ, 1203, kOffQ, true, true));
    EXPECT_FALSE(refreshesField(kRefreshDragQ, 1205, kOffSlider, true, true));
    // A filter's notice touches no field.
    for (int offset = kOffEnabled; offset <= kOffSlider; ++offset)
        EXPECT_FALSE(refreshesField(kRefreshStates, 1300 + offset, offset, false, false)) << offset;
}

TEST(EditorLogic, MenusAndTables)
{
    for (int t = 0; t < kFilterTypeCount; ++t)
        EXPECT_EQ(typeOfMenuCommand(typeMenuCommand(t)), t);
    EXPECT_EQ(typeMenuCommand(3), 30010);
    EXPECT_EQ(typeOfMenuCommand(30009), -1);
    EXPECT_EQ(rangeMenuPosition(40), 0);
    EXPECT_EQ(rangeMenuPosition(5), 3);
    EXPECT_EQ(rangeMenuPosition(30), -1);
    // The DirectShow band defaults are the Reset table with its Q by type.
    for (int b = 0; b < 6; ++b) {
        EXPECT_EQ(kResetBands[b].type, kResetTable[b + 1].type);
        EXPECT_EQ(kResetBands[b].frequency, kResetTable[b + 1].frequency);
        EXPECT_EQ(kResetBands[b].q, resetQForType(kResetTable[b + 1].type));
    }
    EXPECT_EQ(kInitialProgramBands[5].frequency, 15000);
}

TEST(EditorLogic, PresetsWhoseIdAMenuCannotCarryStayOutOfIt)
{
    PresetList list;
    auto add = [&](const char* name, const char* bank, int32_t id) {
        auto r = std::make_unique<PresetRecord>();
        r->name = name;
        r->bank = bank;
        r->commandId = id;
        list.append(std::move(r));
    };
    add("low", "", 2000);
    add("huge", "", 65536 + 2000);  // would arrive as "low"
    add("in bank", "B", 3000);
    add("huge in bank", "C", 70000);
    const std::vector<MenuEntry> menu = planPresetMenu(list);
    ASSERT_EQ(menu.size(), 2u);
    EXPECT_EQ(menu[0].commandId, 2000);
    EXPECT_EQ(menu[1].text, "B");
    EXPECT_EQ(menu[1].recordIndexes.size(), 1u);
}

TEST(EditorLogic, TheManualIsLookedForBesideThePlugIn)
{
    char buf[300];
    manualInFolder("C:\\Plug-ins", buf, sizeof buf);
    EXPECT_STREQ(buf, "C:\\Plug-ins\\qvEqualizer.chm");
    manualInFolder("C:\\Plug-ins\\", buf, sizeof buf);
    EXPECT_STREQ(buf, "C:\\Plug-ins\\qvEqualizer.chm");
    EXPECT_EQ(manual("C:\\vst\\qv.dll", false), "C:\\vst\\qvEqualizer.chm");
    EXPECT_EQ(manual("qv.dll", false), "qv.dll");  // tried as it is
    EXPECT_EQ(manual("", false), "");
    EXPECT_EQ(manual("C:qv.dll", true), "C:qvEqualizer.chm");
    manualInFolder(std::string(400, 'x').c_str(), buf, sizeof buf);  // cut, never overrun
    EXPECT_EQ(std::string(buf).size(), sizeof buf - 1);
}

TEST(EditorLayout, ScaledLayoutKeepsItsShape)
{
    using namespace layout;
    EXPECT_EQ(editorWidth(kScale100), 506);
    EXPECT_EQ(editorHeight(kScale100), 411);
    EXPECT_EQ(editorWidth(kScale150), 759);
    EXPECT_EQ(editorHeight(kScale150), 617);
    EXPECT_EQ(editorWidth(kScale200), 1012);
    EXPECT_EQ(editorHeight(kScale200), 822);
    const std::vector<Rect> rects = controlRects();
    auto overlap = [](Rect a, Rect b) {
        return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
    };
    for (Scale s : {kScale100, kScale150, kScale200}) {
        // Nothing leaves the window or runs into its neighbour when rounded.
        const std::vector<Rect> at = controlRects(s);
        ASSERT_EQ(at.size(), rects.size());
        for (size_t i = 0; i < rects.size(); ++i) {
            EXPECT_TRUE(at[i].x >= 0 && at[i].y >= 0 && at[i].right() <= editorWidth(s) &&
                        at[i].bottom() <= editorHeight(s))
                << percentOf(s) << " control " << i;
            for (size_t j = i + 1; j < rects.size(); ++j) {
                if (!overlap(rects[i], rects[j])) {
                    EXPECT_FALSE(overlap(at[i], at[j])) << percentOf(s) << " controls " << i << ", " << j;
                }
            }
        }
        // Clip lamps stand on their meters; split buttons stay joined.
        for (int side : {0, 1})
            EXPECT_EQ(clipLamp(side, s).bottom(), scaled(meter(side), s).y) << percentOf(s);
        // Split buttons stay joined.
        EXPECT_EQ(scaled(kSetup, s).right(), scaled(kSetupArrow, s).x) << percentOf(s);
        for (int b = 1; b <= 6; ++b)
            EXPECT_EQ(scaled(bandType(b), s).right(), scaled(bandArrow(b), s).x) << percentOf(s) << " band " << b;
    }
}
