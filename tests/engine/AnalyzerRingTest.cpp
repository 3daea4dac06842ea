// The analyzer's sample ring: nothing while detached, blocks in order with their input alongside,
// whole blocks dropped when full, and an audio thread and an editor thread sharing it (run under
// ThreadSanitizer too).

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "AnalyzerRing.h"

using namespace qv;

namespace {

// Collects what drain hands over. Samples are frame numbers: output left n, right -n, input n + 0.5.
struct Collector {
    std::vector<float> outL, outR, inL, inR;
    void feed(const float* ol, const float* orr, const float* il, const float* ir, uint32_t n)
    {
        outL.insert(outL.end(), ol, ol + n);
        outR.insert(outR.end(), orr, orr + n);
        if (il) {
            inL.insert(inL.end(), il, il + n);
            inR.insert(inR.end(), ir, ir + n);
        }
    }
};

struct Source {
    std::vector<float> l, r, il, ir;
    explicit Source(uint32_t first, uint32_t n)
    {
        for (uint32_t i = 0; i < n; ++i) {
            const float v = static_cast<float>(first + i);
            l.push_back(v);
            r.push_back(-v);
            il.push_back(v + 0.5f);
            ir.push_back(-v - 0.5f);
        }
    }
    // As a host that processes in place: the input is gone after processing.
    void push(AnalyzerRing& ring)
    {
        const uint32_t n = static_cast<uint32_t>(l.size());
        std::vector<float> bufL = il, bufR = ir;
        const AnalyzerRing::Block b = ring.beginBlock(bufL.data(), bufR.data(), static_cast<int32_t>(n));
        bufL = l;
        bufR = r;
        ring.endBlock(b, bufL.data(), bufR.data());
    }
};

}  // namespace

TEST(AnalyzerRing, NothingWhileDetached)
{
    AnalyzerRing ring;
    Collector c;
    Source(0, 300).push(ring);
    EXPECT_EQ(ring.beginBlock(nullptr, nullptr, 64).mode, 0);
    EXPECT_EQ(ring.drain(c), 0u);

    ring.attach(false);
    Source(300, 100).push(ring);
    ring.detach();
    Source(400, 100).push(ring);
    EXPECT_EQ(ring.drain(c), 100u);
    EXPECT_EQ(c.outL.front(), 300.0f);
    EXPECT_EQ(c.outL.back(), 399.0f);
    EXPECT_TRUE(c.inL.empty());
    EXPECT_EQ(ring.dropped(), 0u);

    // Attaching again starts from now: what was left in the ring is skipped.
    ring.attach(true);
    Source(500, 10).push(ring);
    ring.attach(true);
    Source(510, 10).push(ring);
    Collector d;
    EXPECT_EQ(ring.drain(d), 10u);
    EXPECT_EQ(d.outL.front(), 510.0f);
    EXPECT_EQ(d.inL.front(), 510.5f);
}

TEST(AnalyzerRing, BlocksInOrderAndWholeBlocksDropped)
{
    const uint32_t cap = AnalyzerRing::kCapacity;
    AnalyzerRing ring;
    ring.attach(true);
    Collector c;
    // Fill to one frame short of full, across the wrap; the next block does not fit and is dropped
    // whole, the one after the drain fits again.
    Source(0, cap / 2).push(ring);
    ring.drain(c);
    Source(cap / 2, cap - 1).push(ring);
    Source(cap / 2 + cap - 1, 2).push(ring);
    EXPECT_EQ(ring.dropped(), 2u);
    Collector d;
    EXPECT_EQ(ring.drain(d), cap - 1);
    Source(cap / 2 + cap + 1, 3).push(ring);
    ring.drain(d);
    ASSERT_EQ(d.outL.size(), cap + 2);
    for (uint32_t i = 0; i < cap - 1; ++i) {
        ASSERT_EQ(d.outL[i], static_cast<float>(cap / 2 + i));
        ASSERT_EQ(d.outR[i], -d.outL[i]);
        ASSERT_EQ(d.inL[i], d.outL[i] + 0.5f);
        ASSERT_EQ(d.inR[i], -d.outL[i] - 0.5f);
    }
    EXPECT_EQ(d.outL[cap - 1], static_cast<float>(cap / 2 + cap + 1));

    // A block longer than the ring: its newest frames.
    Collector e;
    Source(0, cap + 100).push(ring);
    EXPECT_EQ(ring.drain(e), cap);
    EXPECT_EQ(e.outL.front(), 100.0f);
    EXPECT_EQ(e.inL.back(), static_cast<float>(cap + 99) + 0.5f);

    // Interleaved, in place: stereo; mono to both sides; a block that processing cut short.
    Collector f;
    std::vector<float> stereo{1, -1, 2, -2, 3, -3}, mono{7, 8, 9, 10};
    AnalyzerRing::Block b = ring.beginInterleaved(stereo.data(), 3, 2);
    for (float& v : stereo)
        v *= 10.0f;
    ring.endInterleaved(b, stereo.data(), 3, 2);
    b = ring.beginInterleaved(mono.data(), 4, 1);
    ring.endInterleaved(b, mono.data(), 2, 1);
    EXPECT_EQ(ring.beginInterleaved(mono.data(), 4, 6).mode, 0);
    ring.drain(f);
    EXPECT_EQ(f.outL, (std::vector<float>{10, 20, 30, 7, 8}));
    EXPECT_EQ(f.outR, (std::vector<float>{-10, -20, -30, 7, 8}));
    EXPECT_EQ(f.inR, (std::vector<float>{-1, -2, -3, 7, 8}));
}

// The audio thread pushes numbered frames in blocks of changing size while the editor drains at its
// own pace: every frame arrives once, in order, with its input, except whole dropped blocks.
TEST(AnalyzerRing, AudioAndEditorThreads)
{
    AnalyzerRing ring;
    ring.attach(true);
    const uint32_t total = 1u << 20;  // exact in a float
    std::atomic<bool> done{false};
    std::thread audio([&] {
        uint32_t next = 0, size = 1;
        while (next < total) {
            size = (size * 7 + 3) % 1500 + 1;
            const uint32_t n = std::min(size, total - next);
            Source(next, n).push(ring);
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
        for (; seen < c.outL.size(); ++seen) {
            const float v = c.outL[seen];
            inOrder = inOrder && v > last && c.outR[seen] == -v && c.inL[seen] == v + 0.5f && c.inR[seen] == -v - 0.5f;
            last = v;
        }
        std::this_thread::yield();
    }
    audio.join();
    EXPECT_TRUE(inOrder);
    EXPECT_GT(seen, 0u);
    EXPECT_EQ(seen + ring.dropped(), total);
}
