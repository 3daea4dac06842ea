#pragma once
// Samples for the analyzer, handed from the audio thread (VST) or the streaming thread
// (DirectShow) to the editor: a fixed-capacity single-producer, single-consumer ring of stereo
// frames of the input. The output the analyzer shows is that input run through a copy of the bands
// on the editor's side (AnalyzerReplica), so the audio thread copies one signal, not two.
//
// The producer takes no lock, allocates nothing and makes no system call; while no editor is
// attached a block costs one relaxed load. It never overwrites what the consumer has not taken: a
// block that does not fit (the editor stalled) is dropped whole and counted, so what the consumer
// reads is always in order, with at most a gap. The lanes are plain floats, copied as blocks: a
// slot belongs to one side at a time, handed over by the release and acquire of the head
// (producer) and the tail (consumer).
//
// Per block, on the audio thread:
//     AnalyzerRing::Block b = ring.beginBlock(in[0], in[1], frames);  // before: hosts process in place
//     engine.processReplacing(in, out, frames);
//     ring.endBlock(b);
// or, for one interleaved buffer of 1 or 2 channels, beginInterleaved / endInterleaved.
//
// On the editor thread: attach() when the analyzer is shown, drain(take) each frame, detach() when
// it is hidden or the editor closes. The ring lives as long as the engine.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>

namespace qv {

class AnalyzerRing {
public:
    // Frames; a power of two. Holds 0.74 s at 44.1 kHz, 0.17 s at 192 kHz: many editor frames.
    static constexpr uint32_t kCapacity = 32768;

    struct Block {
        bool taken = false;  // false: nothing to do
        uint32_t start = 0;
        uint32_t frames = 0;
        uint32_t skip = 0;  // leading frames of a block longer than the ring, left out
    };

    AnalyzerRing() : lanes_(new Line[2 * kCapacity / kPerLine]()) {}
    AnalyzerRing(const AnalyzerRing&) = delete;
    AnalyzerRing& operator=(const AnalyzerRing&) = delete;

    // ---- producer: the audio or streaming thread ---------------------------------------------
    // Before processing: the block's input. A missing right channel repeats the left.
    Block beginBlock(const float* left, const float* right, int32_t frames)
    {
        Block b = reserve(left ? frames : 0);
        if (!b.taken)
            return b;
        if (!right)
            right = left;
        const uint32_t at = b.start & kMask, first = std::min(b.frames, kCapacity - at);
        for (int c = 0; c < 2; ++c) {
            const float* src = (c == 0 ? left : right) + b.skip;
            float* dst = lane(c);
            std::memcpy(dst + at, src, first * sizeof(float));
            if (first < b.frames)
                std::memcpy(dst, src + first, (b.frames - first) * sizeof(float));
        }
        return b;
    }
    Block beginInterleaved(const float* buffer, uint32_t frames, int channels)
    {
        Block b = buffer && (channels == 1 || channels == 2)
                      ? reserve(static_cast<int32_t>(std::min<uint32_t>(frames, 1u << 30)))
                      : Block{};
        if (!b.taken)
            return b;
        const float* src = buffer + static_cast<size_t>(b.skip) * channels;
        const uint32_t at = b.start & kMask, first = std::min(b.frames, kCapacity - at);
        // Two straight runs either side of the wrap, so that the loops vectorize.
        deinterleave(src, channels, lane(0) + at, lane(1) + at, first);
        deinterleave(src + static_cast<size_t>(first) * channels, channels, lane(0), lane(1), b.frames - first);
        return b;
    }
    // After processing: hands the block over.
    void endBlock(const Block& b)
    {
        if (b.taken)
            head_.store(b.start + b.frames, std::memory_order_release);
    }
    // `frames` is what processing left in the buffer; a block cut short hands over only those.
    void endInterleaved(Block b, uint32_t frames)
    {
        if (frames < b.skip + b.frames)
            b.frames = frames > b.skip ? frames - b.skip : 0;
        endBlock(b);
    }

    // ---- consumer: the editor's thread -------------------------------------------------------
    // Starts taking samples from now on; what the ring held before is skipped.
    void attach()
    {
        tail_.store(head_.load(std::memory_order_acquire), std::memory_order_release);
        attached_.store(true, std::memory_order_release);
    }
    void detach() { attached_.store(false, std::memory_order_relaxed); }
    bool attached() const { return attached_.load(std::memory_order_relaxed); }

    // Hands everything handed over since the last drain to take(left, right, frames) in order, in at
    // most two runs (the ring wraps). Returns the frames handed over.
    template <class Take>
    uint32_t drain(Take&& take)
    {
        const uint32_t tail = tail_.load(std::memory_order_relaxed);
        const uint32_t head = head_.load(std::memory_order_acquire);
        const uint32_t count = head - tail;
        uint32_t done = 0;
        while (done < count) {
            const uint32_t at = (tail + done) & kMask;
            const uint32_t run = std::min(count - done, kCapacity - at);
            take(lane(0) + at, lane(1) + at, run);
            done += run;
        }
        tail_.store(head, std::memory_order_release);
        return count;
    }

    // Frames dropped because the ring was full, since the ring was made.
    uint32_t dropped() const { return dropped_.load(std::memory_order_relaxed); }

private:
    static constexpr uint32_t kMask = kCapacity - 1;

    // Whole cache lines: a block's copy then stores whole aligned vectors.
    static constexpr uint32_t kPerLine = 16;
    struct alignas(64) Line {
        float v[kPerLine];
    };

    float* lane(int n) { return reinterpret_cast<float*>(lanes_.get()) + static_cast<size_t>(n) * kCapacity; }

    Block reserve(int32_t frames)
    {
        Block b;
        if (!attached_.load(std::memory_order_relaxed) || frames <= 0)
            return b;
        // Only the newest samples matter: of a block longer than the ring, its end.
        const uint32_t n = static_cast<uint32_t>(frames);
        b.skip = n > kCapacity ? n - kCapacity : 0;
        b.frames = n - b.skip;
        b.start = head_.load(std::memory_order_relaxed);
        const uint32_t used = b.start - tail_.load(std::memory_order_acquire);
        if (used + b.frames > kCapacity)
            dropped_.store(dropped_.load(std::memory_order_relaxed) + n, std::memory_order_relaxed);
        else
            b.taken = true;
        return b;
    }

    static void deinterleave(const float* src, int channels, float* l, float* r, uint32_t frames)
    {
        if (channels == 1) {  // mono goes to both sides
            std::memcpy(l, src, frames * sizeof(float));
            std::memcpy(r, src, frames * sizeof(float));
            return;
        }
        for (uint32_t i = 0; i < frames; ++i) {
            l[i] = src[2 * i];
            r[i] = src[2 * i + 1];
        }
    }

    std::unique_ptr<Line[]> lanes_;  // left, then right
    std::atomic<bool> attached_{false};
    alignas(64) std::atomic<uint32_t> head_{0};  // written by the producer only
    alignas(64) std::atomic<uint32_t> tail_{0};  // written by the consumer only
    std::atomic<uint32_t> dropped_{0};           // wraps; a word on every build
};

}  // namespace qv
