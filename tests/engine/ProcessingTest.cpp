#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "EqualizerEngine.h"

using namespace qv;

namespace {

struct Stereo {
    std::vector<float> l, r;
    explicit Stereo(size_t n, float value = 0.0f) : l(n, value), r(n, value) {}
    const float* in[2];
    float* out[2];
    const float* const* inputs()
    {
        in[0] = l.data();
        in[1] = r.data();
        return in;
    }
    float* const* outputs()
    {
        out[0] = l.data();
        out[1] = r.data();
        return out;
    }
};

Stereo sine(size_t n, double hz, double amplitude, double fs = 44100.0)
{
    Stereo s(n);
    for (size_t i = 0; i < n; ++i) {
        s.l[i] = static_cast<float>(amplitude * std::sin(2.0 * 3.14159265358979323846 * hz * double(i) / fs));
        s.r[i] = s.l[i];
    }
    return s;
}

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST(Processing, FlatSettingsAddOnlyTheNoise)
{
    EqualizerEngine e;
    Stereo in = sine(5000, 440.0, 0.5);
    Stereo out(5000);
    e.processReplacing(in.inputs(), out.outputs(), 5000);
    for (size_t i = 0; i < 5000; ++i) {
        EXPECT_LE(std::fabs(out.l[i] - in.l[i]), 1.7e-28f) << i;
        EXPECT_LE(std::fabs(out.r[i] - in.r[i]), 1.7e-28f) << i;
    }
}

TEST(Processing, BypassCopiesBitForBitAndZeroesTheMeters)
{
    EqualizerEngine e;
    e.setValue(30, 120);
    Stereo in = sine(1000, 1000.0, 0.9);
    Stereo out(1000);
    e.processReplacing(in.inputs(), out.outputs(), 1000);
    float l, r;
    e.readMeters(l, r);
    EXPECT_GT(l, 0.5f);
    e.setBypass(1);
    e.processReplacing(in.inputs(), out.outputs(), 1000);
    for (size_t i = 0; i < 1000; ++i)
        EXPECT_TRUE(sameBits(out.l[i], in.l[i]) && sameBits(out.r[i], in.r[i])) << i;
    e.readMeters(l, r);
    EXPECT_EQ(l, 0.0f);
    EXPECT_EQ(r, 0.0f);

    // The accumulating call adds the input.
    Stereo acc(1000, 1.0f);
    e.process(in.inputs(), acc.outputs(), 1000);
    EXPECT_EQ(acc.l[10], 1.0f + in.l[10]);
}

TEST(Processing, ProcessAddsWhatProcessReplacingWrites)
{
    EqualizerEngine a, b;
    for (EqualizerEngine* e : {&a, &b}) {
        e->setValue(29, 90);
        e->setValue(31, -40);
    }
    Stereo in = sine(3000, 300.0, 0.3);
    Stereo replaced(3000), added(3000, 0.25f);
    a.processReplacing(in.inputs(), replaced.outputs(), 3000);
    b.process(in.inputs(), added.outputs(), 3000);
    for (size_t i = 0; i < 3000; ++i)
        EXPECT_TRUE(sameBits(added.l[i], 0.25f + replaced.l[i])) << i;
}

TEST(Processing, InPlaceBuffersGiveTheSameResult)
{
    EqualizerEngine a, b;
    for (EqualizerEngine* e : {&a, &b})
        e->setValue(32, 80);
    Stereo in = sine(1500, 200.0, 0.4);
    Stereo out(1500);
    a.processReplacing(in.inputs(), out.outputs(), 1500);
    b.processReplacing(in.inputs(), in.outputs(), 1500);
    for (size_t i = 0; i < 1500; ++i)
        EXPECT_TRUE(sameBits(in.l[i], out.l[i])) << i;
}

TEST(Processing, ClipsBeyondUnityOnly)
{
    EqualizerEngine e;
    Stereo in(4, 1.0f);
    in.r.assign(4, -1.0f);
    Stereo out(4);
    e.processReplacing(in.inputs(), out.outputs(), 4);
    EXPECT_EQ(e.getClipCounter(0, 0), 0);
    EXPECT_EQ(e.getClipCounter(1, 0), 0);

    in.l.assign(4, std::nextafter(1.0f, 2.0f));
    e.processReplacing(in.inputs(), out.outputs(), 4);
    EXPECT_EQ(e.getClipCounter(0, 0), 6);
    EXPECT_EQ(e.getClipCounter(1, 0), 0);
    in.r.assign(4, std::nextafter(-1.0f, -2.0f));
    e.processReplacing(in.inputs(), out.outputs(), 4);
    EXPECT_EQ(e.getClipCounter(1, 0), 6);
    e.clearClip();
    EXPECT_EQ(e.getClipCounter(0, 0), 0);
    e.setClipCounter(1, 1, 4);
    EXPECT_EQ(e.getClipCounter(1, 1), 4);
}

TEST(Processing, MetersHoldUntilReadThenRestart)
{
    EqualizerEngine e;
    Stereo loud(64, 0.8f), quiet(64, 0.1f), out(64);
    e.processReplacing(loud.inputs(), out.outputs(), 64);
    e.processReplacing(quiet.inputs(), out.outputs(), 64);
    float l1, r1, l2, r2;
    e.readMeters(l1, r1);
    EXPECT_NEAR(l1, 0.8f, 1e-6f);  // held through the quieter block
    e.readMeters(l2, r2);
    EXPECT_EQ(l1, l2);  // nothing processed in between
    e.processReplacing(quiet.inputs(), out.outputs(), 64);
    e.readMeters(l2, r2);
    EXPECT_NEAR(l2, 0.1f, 1e-6f);  // replaced, not raised
}

TEST(Processing, OutputGainGlidesAndThenSettlesExactly)
{
    EqualizerEngine e;
    Stereo in(20000, 0.5f), out(20000);
    e.setValue(28, -240);
    e.processReplacing(in.inputs(), out.outputs(), 20000);
    EXPECT_GT(out.l[0], 0.49f);         // no jump
    EXPECT_LT(out.l[300], out.l[100]);  // gliding down over a few hundred frames
    EXPECT_NEAR(out.l[19999], 0.5f * 0.0630957f, 1e-6f);
    EXPECT_EQ(e.outputGainCurrent(), e.outputGainTarget());

    // Back to 0 dB: the glide must arrive at exactly 1.0, so the output is transparent again.
    e.setValue(28, 0);
    e.processReplacing(in.inputs(), out.outputs(), 20000);
    EXPECT_EQ(e.outputGainCurrent(), 1.0f);
    Stereo probe = sine(256, 1000.0, 0.7), probeOut(256);
    e.processReplacing(probe.inputs(), probeOut.outputs(), 256);
    for (size_t i = 0; i < 256; ++i)
        EXPECT_LE(std::fabs(probeOut.l[i] - probe.l[i]), 1.7e-28f);
}

TEST(Processing, NonFiniteInputDoesNotPoisonTheBandsForEver)
{
    EqualizerEngine e;
    e.setValue(29, 60);
    e.setValue(30, -30);
    Stereo bad(32, 0.1f), out(32);
    bad.l[5] = std::numeric_limits<float>::quiet_NaN();
    bad.r[7] = std::numeric_limits<float>::infinity();
    e.processReplacing(bad.inputs(), out.outputs(), 32);
    EXPECT_GE(e.getClipCounter(0, 0), 1);  // the NaN counts as a clip
    Stereo good = sine(512, 500.0, 0.3), goodOut(512);
    e.processReplacing(good.inputs(), goodOut.outputs(), 512);
    for (size_t i = 0; i < 512; ++i)
        ASSERT_TRUE(std::isfinite(goodOut.l[i]) && std::isfinite(goodOut.r[i])) << i;
}

TEST(Processing, SwitchingABandOnOrChangingItsTypeStartsItFromSilence)
{
    // Each engine is compared with one whose band was off until the compared block, after as many
    // frames (so the noise positions agree): history from before must not leak in.
    Stereo in = sine(700, 150.0, 0.5);
    const auto runs = [&](EqualizerEngine& e, int blocks) {
        Stereo out(700);
        for (int i = 0; i < blocks; ++i)
            e.processReplacing(in.inputs(), out.outputs(), 700);
        return out;
    };
    const auto same = [](const Stereo& x, const Stereo& y) {
        for (size_t i = 0; i < 700; ++i)
            if (!sameBits(x.l[i], y.l[i]) || !sameBits(x.r[i], y.r[i]))
                return false;
        return true;
    };

    EqualizerEngine onOff, offUntilNow;
    onOff.setValue(29, 80);
    offUntilNow.setValue(29, 80);
    offUntilNow.setValue(1, 0);
    runs(onOff, 1);  // band 1 runs and keeps history
    runs(offUntilNow, 1);
    onOff.setValue(1, 0);
    runs(onOff, 1);
    runs(offUntilNow, 1);
    onOff.setValue(1, 1);
    offUntilNow.setValue(1, 1);
    EXPECT_TRUE(same(runs(onOff, 1), runs(offUntilNow, 1)));

    EqualizerEngine typed, highOnly;
    typed.setValue(29, 80);
    highOnly.setValue(29, 80);
    highOnly.setValue(8, kHighShelf);
    highOnly.setValue(1, 0);
    runs(typed, 1);
    runs(highOnly, 1);
    typed.setValue(8, kHighShelf);
    highOnly.setValue(1, 1);
    EXPECT_TRUE(same(runs(typed, 1), runs(highOnly, 1)));
}

TEST(Interleaved, MonoFeedsBothMetersAndClipsCountThree)
{
    EqualizerEngine e;
    e.setSampleRate(44100.0f);
    ParameterRecord p = e.workingSetup();
    e.startStream(p);
    std::vector<float> buf(400, 0.5f);
    buf[399] = 1.5f;  // late enough for the fade-in to have passed 0.67
    uint32_t frames = 400;
    EXPECT_EQ(e.processInterleaved(buf.data(), &frames, 1, p, false), 0);
    EXPECT_EQ(frames, 400u);
    EXPECT_LT(buf[0], 0.01f);  // faded in from silence at stream start
    float l, r;
    e.readMeters(l, r);
    EXPECT_EQ(l, r);
    EXPECT_EQ(e.getClipCounter(0, 0), 3);

    // Peaks are each buffer's own maxima, not held.
    std::vector<float> quiet(200, 0.05f);
    frames = 100;
    e.processInterleaved(quiet.data(), &frames, 2, p, false);
    float l2, r2;
    e.readMeters(l2, r2);
    EXPECT_LT(l2, 0.06f);

    e.setBypass(1);
    std::vector<float> keep = quiet;
    e.processInterleaved(quiet.data(), &frames, 2, p, false);
    EXPECT_EQ(keep, quiet);
    e.readMeters(l2, r2);
    EXPECT_EQ(l2, 0.0f);
}

TEST(Interleaved, StereoMatchesTheSeparateChannelPathAfterStart)
{
    EqualizerEngine a, b;
    ParameterRecord p = kDefaultParameters;
    p.values[30] = 70;
    p.values[paramIndex(kRowFilter, 4)] = kLowpass;
    p.values[paramIndex(kRowQ, 4)] = 7;
    a.replaceSetup(p);
    b.replaceSetup(p);
    const ParameterRecord snap = a.workingSetup();
    a.startStream(snap);
    b.startStream(snap);
    Stereo in = sine(1000, 2000.0, 0.4);
    for (size_t i = 0; i < 1000; ++i)
        in.r[i] = -0.5f * in.l[i];
    std::vector<float> inter(2000);
    for (size_t i = 0; i < 1000; ++i) {
        inter[2 * i] = in.l[i];
        inter[2 * i + 1] = in.r[i];
    }
    uint32_t frames = 1000;
    a.processInterleaved(inter.data(), &frames, 2, snap, false);
    b.takeDirty();
    Stereo out(1000);
    b.processReplacing(in.inputs(), out.outputs(), 1000);
    for (size_t i = 0; i < 1000; ++i) {
        ASSERT_TRUE(sameBits(inter[2 * i], out.l[i])) << i;
        ASSERT_TRUE(sameBits(inter[2 * i + 1], out.r[i])) << i;
    }
}
