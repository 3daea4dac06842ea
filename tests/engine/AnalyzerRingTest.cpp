// The analyzer's sample ring: nothing while detached, blocks in order, whole blocks dropped when
// full, and an audio thread and an editor thread sharing it (run under ThreadSanitizer too). And the
// bands' copy on the editor's side, which must play what the engine plays.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "AnalyzerReplica.h"
#include "AnalyzerRing.h"

using namespace qv;

namespace {

// Collects what drain hands over. Samples are frame numbers: left n, right -n.
struct Collector {
    std::vector<float> left, right;
    void operator()(const float* l, const float* r, uint32_t n)
    {
        left.insert(left.end(), l, l + n);
        right.insert(right.end(), r, r + n);
    }
};

// As a host that processes in place: the input is gone after processing.
void push(AnalyzerRing& ring, uint32_t first, uint32_t n)
{
    std::vector<float> l, r;
    for (uint32_t i = 0; i < n; ++i) {
        l.push_back(static_cast<float>(first + i));
        r.push_back(-static_cast<float>(first + i));
    }
    const AnalyzerRing::Block b = ring.beginBlock(l.data(), r.data(), static_cast<int32_t>(n));
    std::fill(l.begin(), l.end(), 0.5f);
    std::fill(r.begin(), r.end(), 0.5f);
    ring.endBlock(b);
}

}  // namespace

TEST(AnalyzerRing, NothingWhileDetached)
{
    AnalyzerRing ring;
    Collector c;
    push(ring, 0, 300);
    EXPECT_FALSE(ring.beginBlock(nullptr, nullptr, 64).taken);
    EXPECT_EQ(ring.drain(c), 0u);

    ring.attach();
    push(ring, 300, 100);
    ring.detach();
    push(ring, 400, 100);
    EXPECT_EQ(ring.drain(c), 100u);
    EXPECT_EQ(c.left.front(), 300.0f);
    EXPECT_EQ(c.left.back(), 399.0f);
    EXPECT_EQ(ring.dropped(), 0u);

    // Attaching again starts from now: what was left in the ring is skipped.
    ring.attach();
    push(ring, 500, 10);
    ring.attach();
    push(ring, 510, 10);
    Collector d;
    EXPECT_EQ(ring.drain(d), 10u);
    EXPECT_EQ(d.left.front(), 510.0f);
}

TEST(AnalyzerRing, BlocksInOrderAndWholeBlocksDropped)
{
    const uint32_t cap = AnalyzerRing::kCapacity;
    AnalyzerRing ring;
    ring.attach();
    Collector c;
    // Fill to one frame short of full, across the wrap; the next block does not fit and is dropped
    // whole, the one after the drain fits again.
    push(ring, 0, cap / 2);
    ring.drain(c);
    push(ring, cap / 2, cap - 1);
    push(ring, cap / 2 + cap - 1, 2);
    EXPECT_EQ(ring.dropped(), 2u);
    Collector d;
    EXPECT_EQ(ring.drain(d), cap - 1);
    push(ring, cap / 2 + cap + 1, 3);
    ring.drain(d);
    ASSERT_EQ(d.left.size(), cap + 2);
    for (uint32_t i = 0; i < cap - 1; ++i) {
        ASSERT_EQ(d.left[i], static_cast<float>(cap / 2 + i));
        ASSERT_EQ(d.right[i], -d.left[i]);
    }
    EXPECT_EQ(d.left[cap - 1], static_cast<float>(cap / 2 + cap + 1));

    // A block longer than the ring: its newest frames.
    Collector e;
    push(ring, 0, cap + 100);
    EXPECT_EQ(ring.drain(e), cap);
    EXPECT_EQ(e.left.front(), 100.0f);
    EXPECT_EQ(e.right.back(), -static_cast<float>(cap + 99));

    // Interleaved, in place: stereo; mono to both sides; a block that processing cut short.
    Collector f;
    std::vector<float> stereo{1, -1, 2, -2, 3, -3}, mono{7, 8, 9, 10};
    AnalyzerRing::Block b = ring.beginInterleaved(stereo.data(), 3, 2);
    std::fill(stereo.begin(), stereo.end(), 0.0f);
    ring.endInterleaved(b, 3);
    b = ring.beginInterleaved(mono.data(), 4, 1);
    ring.endInterleaved(b, 2);
    EXPECT_FALSE(ring.beginInterleaved(mono.data(), 4, 6).taken);
    ring.drain(f);
    EXPECT_EQ(f.left, (std::vector<float>{1, 2, 3, 7, 8}));
    EXPECT_EQ(f.right, (std::vector<float>{-1, -2, -3, 7, 8}));
}

// The audio thread pushes numbered frames in blocks of changing size while the editor drains at its
// own pace: every frame arrives once, in order, except whole dropped blocks.
TEST(AnalyzerRing, AudioAndEditorThreads)
{
    AnalyzerRing ring;
    ring.attach();
    const uint32_t total = 1u << 20;  // exact in a float
    std::atomic<bool> done{false};
    std::thread audio([&] {
        uint32_t next = 0, size = 1;
        while (next < total) {
            size = (size * 7 + 3) % 1500 + 1;
            const uint32_t n = std::min(size, total - next);
            push(ring, next, n);
            next += n;
        }
        done.store(true, std::memory_order_release);
    });

    Collector c;
    float last = -1.0f;
    bool inOrder = true;
    size_t seen = 0;
    for (bool finished = false; !finished;) {
        finished = done.load(std::memory_order_acquire);
        ring.drain(c);
        for (; seen < c.left.size(); ++seen) {
            const float v = c.left[seen];
            inOrder = inOrder && v > last && c.right[seen] == -v;
            last = v;
        }
        std::this_thread::yield();
    }
    audio.join();
    EXPECT_TRUE(inOrder);
    EXPECT_GT(seen, 0u);
    EXPECT_EQ(seen + ring.dropped(), total);
}

// The editor's copy of the bands, following the engine's setup before each drain as the editor
// does, plays the engine's output bit for bit: through blocks of changing size, a host that
// processes in place, settings changed between blocks and bypass; and it hands the input on beside.
TEST(AnalyzerReplica, PlaysWhatTheEnginePlays)
{
    EqualizerEngine engine;
    engine.setSampleRate(48000.0f);
    for (int b = 1; b <= 6; ++b) {
        engine.setValue(paramIndex(kRowFilter, b), b == 1 ? kLowShelf : (b == 6 ? kHighpass : kPeakDip));
        engine.setValue(paramIndex(kRowFreq, b), 60 * b * b);
        engine.setValue(paramIndex(kRowQ, b), 7 + 3 * b);
        engine.setValue(paramIndex(kRowGain, b), b % 2 ? 65 : -90);
    }
    engine.setValue(kOutputGainIndex, -35);
    AnalyzerRing ring;
    ring.attach();
    AnalyzerReplica replica;
    replica.restart();

    struct Sink {
        std::vector<float> outL, outR, inL;
        void feed(const float* ol, const float* orr, const float* il, const float* ir, uint32_t n)
        {
            outL.insert(outL.end(), ol, ol + n);
            outR.insert(outR.end(), orr, orr + n);
            ASSERT_TRUE(il && ir);
            inL.insert(inL.end(), il, il + n);
        }
    } sink;
    std::vector<float> heardL, heardR, sent;
    double phase = 0.0;
    uint32_t size = 5;
    for (int block = 0; block < 60; ++block) {
        size = (size * 13 + 7) % 1300 + 1;
        std::vector<float> l(size), r(size);
        for (uint32_t i = 0; i < size; ++i) {
            phase += 0.031 + 0.0005 * block;
            l[i] = 0.7f * static_cast<float>(std::sin(phase) * std::sin(phase * 0.013));
            r[i] = 0.5f * static_cast<float>(std::cos(phase * 1.7));
        }
        sent.insert(sent.end(), l.begin(), l.end());
        if (block == 20)
            engine.setValue(paramIndex(kRowGain, 3), 140);
        if (block == 30)
            engine.setValue(paramIndex(kRowFreq, 2), 3500);
        engine.setBypass(block >= 40 && block < 45);
        // In place, as some hosts do.
        const float* in[2] = {l.data(), r.data()};
        float* out[2] = {l.data(), r.data()};
        const AnalyzerRing::Block b = ring.beginBlock(in[0], in[1], static_cast<int32_t>(size));
        engine.processReplacing(in, out, static_cast<int32_t>(size));
        ring.endBlock(b);
        heardL.insert(heardL.end(), l.begin(), l.end());
        heardR.insert(heardR.end(), r.begin(), r.end());

        replica.follow(engine.workingSetup(), engine.isBypassed() != 0, engine.sampleRate());
        ring.drain([&](const float* left, const float* right, uint32_t n) { replica.run(left, right, n, sink, true); });
    }
    ASSERT_EQ(sink.outL.size(), heardL.size());
    EXPECT_EQ(std::memcmp(sink.outL.data(), heardL.data(), heardL.size() * sizeof(float)), 0);
    EXPECT_EQ(std::memcmp(sink.outR.data(), heardR.data(), heardR.size() * sizeof(float)), 0);
    EXPECT_EQ(sink.inL, sent);
}
