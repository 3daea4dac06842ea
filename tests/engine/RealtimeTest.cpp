// The audio thread's contract: processing allocates nothing, takes no lock, and runs safely while
// another thread writes parameters and designs for the editor. Run under ThreadSanitizer too.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

#include "EqualizerEngine.h"

using namespace qv;

namespace {
std::atomic<long> gAllocations{0};
std::atomic<bool> gCounting{false};
}  // namespace

void* operator new(size_t size)
{
    if (gCounting.load(std::memory_order_relaxed))
        gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

static_assert(std::atomic<float>::is_always_lock_free, "shared floats are single lock-free words");
static_assert(std::atomic<int32_t>::is_always_lock_free, "shared integers are single lock-free words");
static_assert(std::atomic<bool>::is_always_lock_free, "flags are single lock-free words");

TEST(Realtime, ProcessingAllocatesNothing)
{
    EqualizerEngine e;
    for (int b = 1; b <= 6; ++b)
        e.setValue(paramIndex(kRowGain, b), 30 * b);
    std::vector<float> l(4096, 0.25f), r(4096, -0.25f), inter(8192, 0.1f);
    const float* in[2] = {l.data(), r.data()};
    float* out[2] = {l.data(), r.data()};
    const ParameterRecord snapshot = e.workingSetup();

    gAllocations = 0;
    gCounting = true;
    e.processReplacing(in, out, 4096);  // includes the lazy design
    e.setValue(30, -50);
    e.process(in, out, 4096);
    uint32_t frames = 4096;
    e.startStream(snapshot);
    e.processInterleaved(inter.data(), &frames, 2, snapshot, true);
    e.setBypass(1);
    e.processReplacing(in, out, 4096);
    gCounting = false;
    EXPECT_EQ(gAllocations.load(), 0);
}

TEST(Realtime, AudioThreadAndEditorThreadShareTheEngine)
{
    EqualizerEngine e;
    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::atomic<bool> allFinite{true};

    std::thread audio([&] {
        std::vector<float> l(256), r(256);
        float phase = 0.0f;
        while (!stop.load()) {
            for (size_t i = 0; i < l.size(); ++i) {
                phase += 0.05f;
                l[i] = 0.5f * std::sin(phase);
                r[i] = -l[i];
            }
            const float* in[2] = {l.data(), r.data()};
            float* out[2] = {l.data(), r.data()};
            e.processReplacing(in, out, 256);
            for (float v : l)
                if (!std::isfinite(v))
                    allFinite = false;
            blocks.fetch_add(1);
        }
    });

    // The editor side: host automation, user edits, display designs, meters, clip lamps, bypass.
    uint32_t seed = 1;
    for (int i = 0; i < 20000 && blocks.load() < 4000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int index = static_cast<int>(seed >> 8) % kParamCount;
        if (i & 1)
            e.setNormalized(index, static_cast<float>(seed & 0xFFFF) / 65535.0f);
        else
            e.setValue(index, static_cast<int32_t>(seed >> 20) - 2048);
        if (i % 16 == 0) {
            e.designCoefficients();
            float pl, pr;
            e.readMeters(pl, pr);
            e.setClipCounter(0, 1, e.getClipCounter(0, 0));
        }
        if (i % 500 == 0)
            e.setBypass((i / 500) & 1);
        if (i % 777 == 0) {
            e.snapshotForUndo(-2);
            e.undo();
            e.selectSetup((i / 777) & 1);
        }
    }
    while (blocks.load() < 200)
        std::this_thread::yield();
    stop = true;
    audio.join();
    EXPECT_TRUE(allFinite.load());
}
