#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "EqualizerEngine.h"

using namespace qv;

TEST(HostMapping, EdgesOfEachRow)
{
    EqualizerEngine e;
    e.setNormalized(15, 0.0f);
    EXPECT_EQ(e.getValue(15), 10);
    e.setNormalized(15, 1.0f);
    EXPECT_EQ(e.getValue(15), 22049);
    e.setNormalized(22, 0.0f);
    EXPECT_EQ(e.getValue(22), 1);
    e.setNormalized(22, 1.0f);
    EXPECT_EQ(e.getValue(22), 1000);

    const struct {
        float x;
        int out, band;
    } gains[] = {{0.5f, 0, 0}, {0.0f, -240, -180}, {1.0f, 240, 180}};
    for (const auto& g : gains) {
        e.setNormalized(28, g.x);
        e.setNormalized(29, g.x);
        EXPECT_EQ(e.getValue(28), g.out) << g.x;
        EXPECT_EQ(e.getValue(29), g.band) << g.x;
    }

    e.setNormalized(8, std::nextafter(0.375f, 0.0f));
    EXPECT_EQ(e.getValue(8), kLowShelf);
    e.setNormalized(8, 0.375f);
    EXPECT_EQ(e.getValue(8), kHighShelf);

    // Just below a step the floor is of the exact value, not of a sum rounded onto the step.
    const auto below = [](double boundary) {
        float f = static_cast<float>(boundary);
        while (double(f) >= boundary)
            f = std::nextafter(f, -1.0f);
        return f;
    };
    const struct {
        int index;
        float x;
        int below;
    } steps[] = {{1, below(0.5), 0}, {8, below(0.125), 0}, {22, below(0.5 / 999), 1}, {29, below(179.5 / 360), -1}};
    for (const auto& st : steps) {
        e.setNormalized(st.index, st.x);
        EXPECT_EQ(e.getValue(st.index), st.below) << st.index;
    }
}

TEST(HostMapping, KeepsTheHostsFloatAndStoresOutOfRangeValuesUnclamped)
{
    EqualizerEngine e;
    const float odd = 0.123456789f;
    e.setNormalized(17, odd);
    EXPECT_EQ(e.getNormalized(17), odd);
    EXPECT_EQ(e.programValue(17), odd);

    e.setNormalized(9, 2.0f);  // type 8: stored as it comes
    EXPECT_EQ(e.getValue(9), 8);
    e.setNormalized(23, -1.0f);  // Q below 1
    EXPECT_EQ(e.getValue(23), -998);

    // Floats that have no int32 value saturate; NaN maps as 0 instead of being undefined.
    e.setNormalized(16, 1e30f);
    EXPECT_EQ(e.getValue(16), std::numeric_limits<int32_t>::max());
    e.setNormalized(16, -1e30f);
    EXPECT_EQ(e.getValue(16), std::numeric_limits<int32_t>::min());
    e.setNormalized(16, std::nanf(""));
    EXPECT_EQ(e.getValue(16), 10);

    EXPECT_EQ(e.getNormalized(35), 0.0f);
    EXPECT_EQ(e.getValue(-1), 0);
}

TEST(HostMapping, ValuesAtTheIntegerLimitsSurviveSwitchingSetupsAndUndo)
{
    EqualizerEngine e;
    e.setNormalized(16, -1e30f);  // Freq: stored as the lowest integer
    e.setNormalized(29, 1e30f);   // band gain: the highest
    ASSERT_EQ(e.getValue(16), INT32_MIN);
    ASSERT_EQ(e.getValue(29), INT32_MAX);
    e.snapshotForUndo(-2);
    e.selectSetup(1);
    e.selectSetup(0);
    e.undo();
    EXPECT_EQ(e.getValue(16), INT32_MIN);
    EXPECT_EQ(e.getValue(29), INT32_MAX);
    EXPECT_LT(e.getNormalized(16), -1e4f);  // re-applied without wrapping round to the other sign
    EXPECT_GT(e.getNormalized(29), 1e4f);
}

TEST(Defaults, MatchTheDefaultProgram)
{
    EqualizerEngine e;
    EXPECT_STREQ(e.programName(), "[1] Default EQ");
    EXPECT_EQ(e.getNormalized(28), 0.5f);
    EXPECT_EQ(e.getNormalized(15), 30.0f * (1.0f / 22039.0f));
    EXPECT_EQ(e.getNormalized(1), 1.0f);
    EXPECT_EQ(e.getNormalized(7), 1.25f);
    EXPECT_EQ(e.getNormalized(14), -9.0f * (1.0f / 22039.0f));
    EXPECT_EQ(e.getNormalized(21), -1.0f * (1.0f / 999.0f));
    for (int i = 29; i < 35; ++i)
        EXPECT_EQ(e.getNormalized(i), 0.5f);
    EXPECT_EQ(e.currentSetup(), 0);
    EXPECT_EQ(e.isBypassed(), 0);
    EXPECT_TRUE(e.isDirty());
}

TEST(IntegerPath, ClampsByRowAndByTheBandsType)
{
    EqualizerEngine e;
    e.setValue(22, 50);  // band 1 is a LowShelf: 3..20
    EXPECT_EQ(e.getValue(22), 20);
    e.setValue(23, 50);  // band 2 is Peak/Dip: 1..1000
    EXPECT_EQ(e.getValue(23), 50);
    e.setValue(9, kLowpass);
    e.setValue(23, 500);
    EXPECT_EQ(e.getValue(23), 190);
    e.setValue(23, 0);
    EXPECT_EQ(e.getValue(23), 1);

    e.setValue(1, 7);
    EXPECT_EQ(e.getValue(1), 1);
    e.setValue(1, -3);
    EXPECT_EQ(e.getValue(1), 0);
    e.setValue(8, 9);
    EXPECT_EQ(e.getValue(8), 4);
    e.setValue(28, 1000);
    EXPECT_EQ(e.getValue(28), 240);
    e.setValue(29, -1000);
    EXPECT_EQ(e.getValue(29), -180);

    e.setValue(15, 5);
    EXPECT_EQ(e.getValue(15), 10);
    e.setValue(15, 30000);
    EXPECT_EQ(e.getValue(15), 22049);
    e.setSampleRate(48000.0f);
    e.setValue(15, 30000);
    EXPECT_EQ(e.getValue(15), 23999);
    e.setSampleRate(0.0f);  // no rate known
    e.setValue(15, 30000);
    EXPECT_EQ(e.getValue(15), 22049);

    // The normalized value follows by the inverse mapping.
    e.setValue(29, -15);
    EXPECT_EQ(e.getNormalized(29), 165.0f * (1.0f / 360.0f));
}

TEST(Setups, SelectExchangesOnceAndCopyWorksBothWays)
{
    EqualizerEngine e;
    e.setValue(29, 60);
    e.selectSetup(1);
    EXPECT_EQ(e.currentSetup(), 1);
    EXPECT_EQ(e.getValue(29), 0);  // setup B starts all zeros
    EXPECT_EQ(e.getValue(1), 0);
    e.selectSetup(1);  // no second exchange
    EXPECT_EQ(e.getValue(29), 0);
    e.selectSetup(0);
    EXPECT_EQ(e.getValue(29), 60);
    EXPECT_EQ(e.getNormalized(29), 240.0f * (1.0f / 360.0f));

    e.copySetup(0, 1);
    EXPECT_EQ(e.otherSetup().values[29], 60);
    e.setValue(29, -30);
    e.copySetup(1, 0);
    EXPECT_EQ(e.getValue(29), 60);
    e.copySetup(0, 0);
    e.copySetup(1, 1);
    EXPECT_EQ(e.getValue(29), 60);
}

TEST(Undo, TagsDecideWhenToSnapshotAndUndoToggles)
{
    EqualizerEngine e;
    e.setValue(30, 10);
    e.snapshotForUndo(5);  // holds 10
    e.setValue(30, 20);
    e.snapshotForUndo(5);  // same run: no copy
    e.setValue(30, 30);
    e.undo();
    EXPECT_EQ(e.getValue(30), 10);
    e.undo();
    EXPECT_EQ(e.getValue(30), 30);

    e.snapshotForUndo(5);  // after the undo the last tag is still 5: no copy
    e.snapshotForUndo(-1);
    e.snapshotForUndo(5);  // a new run: copies 30
    e.setValue(30, 40);
    e.undo();
    EXPECT_EQ(e.getValue(30), 30);

    e.setValue(30, 50);
    e.snapshotForUndo(-2);
    e.setValue(30, 60);
    e.snapshotForUndo(-2);
    e.setValue(30, 70);
    e.undo();
    EXPECT_EQ(e.getValue(30), 60);
}

TEST(ReplaceSetup, ClampsEachQByTheRecordsOwnType)
{
    EqualizerEngine e;
    e.setSampleRate(0.0f);
    ParameterRecord r = kDefaultParameters;
    r.values[paramIndex(kRowFilter, 3)] = kLowShelf;  // band 3 becomes a shelf in the same record
    r.values[paramIndex(kRowQ, 3)] = 100;
    e.replaceSetup(r);
    EXPECT_EQ(e.getValue(paramIndex(kRowQ, 3)), 20);
    // Column 0's placeholders arrive clamped.
    EXPECT_EQ(e.getValue(7), 4);
    EXPECT_EQ(e.getValue(14), 10);
    EXPECT_EQ(e.getValue(21), 1);
}

namespace {
int gUpdates;
void countUpdate(void*) { ++gUpdates; }
}  // namespace

TEST(Notifications, EveryWriteTellsTheEditorAndSetsDirty)
{
    EqualizerEngine e;
    gUpdates = 0;
    e.setUpdateHook(countUpdate, nullptr);
    e.designCoefficients();
    e.takeDirty();
    e.setNormalized(40, 0.5f);  // out of range: nothing stored, still flagged
    EXPECT_TRUE(e.takeDirty());
    e.setValue(29, 10);
    EXPECT_TRUE(e.takeDirty());
    e.undo();
    EXPECT_TRUE(e.takeDirty());
    EXPECT_EQ(gUpdates, 3);
}
