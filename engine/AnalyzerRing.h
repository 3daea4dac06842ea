#pragma once
// Samples for the analyzer, handed from the audio thread (VST) or the streaming thread
// (DirectShow) to the editor: a fixed-capacity single-producer, single-consumer ring of frames, each
// frame the output left and right and, when the editor asks for it, the input left and right.
//
// The producer takes no lock, allocates nothing and makes no system call; while no editor is
// attached a block costs one relaxed load. It never overwrites what the consumer has not taken: a
// block that does not fit (the editor stalled) is dropped whole and counted, so what the consumer
// reads is always in order, with at most a gap. The sample lanes are plain floats, copied as
// blocks: a slot belongs to one side at a time, handed over by the release and acquire of the
// head (producer) and the tail (consumer).
//
// Per block, on the audio thread:
//     AnalyzerRing::Block b = ring.beginBlock(in[0], in[1], frames);  // before: hosts process in place
//     engine.processReplacing(in, out, frames);
//     ring.endBlock(b, out[0], out[1]);
// or, for one interleaved buffer of 1 or 2 channels, beginInterleaved / endInterleaved.
//
// On the editor thread: attach(withInput) when the analyzer is shown, drain(sink) each frame,
// detach() when it is hidden or the editor closes. The ring lives as long as the engine.

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
        int mode = 0;  // 0: nothing to do
        uint32_t start = 0;
        uint32_t frames = 0;
        uint32_t skip = 0;  // leading frames of a block longer than the ring, left out
    };

    AnalyzerRing() : lanes_(new float[4 * kCapacity]()) {}
    AnalyzerRing(const AnalyzerRing&) = delete;
    AnalyzerRing& operator=(const AnalyzerRing&) = delete;

    // ---- producer: the audio or streaming thread ---------------------------------------------
    Block beginBlock(const float* left, const float* right, int32_t frames)
    {
        Block b = reserve(frames);
        if (b.mode == kWithInput)
            copyPlanar(b, left, right, kInputLeft);
        return b;
    }
    void endBlock(const Block& b, const float* left, const float* right)
    {
        if (b.mode == kOff)
            return;
        copyPlanar(b, left, right, kOutputLeft);
        publish(b);
    }
    Block beginInterleaved(const float* buffer, uint32_t frames, int channels)
    {
        Block b = channels == 1 || channels == 2 ? reserve(static_cast<int32_t>(std::min<uint32_t>(frames, 1u << 30)))
                                                 : Block{};
        if (b.mode == kWithInput)
            copyInterleaved(b, buffer, channels, kInputLeft);
        return b;
    }
    // `frames` is what processing left in the buffer; a block cut short publishes only those.
    void endInterleaved(Block b, const float* buffer, uint32_t frames, int channels)
    {
        if (b.mode == kOff)
            return;
        const uint32_t total = b.frames + b.skip;
        if (frames < total) {
            const uint32_t kept = frames > b.skip ? frames - b.skip : 0;
            b.frames = kept;
        }
        copyInterleaved(b, buffer, channels, kOutputLeft);
        publish(b);
    }

    // ---- consumer: the editor's thread -------------------------------------------------------
    // Starts taking samples from now on; what the ring held before is skipped. A block the producer
    // began just before may still arrive without its input.
    void attach(bool withInput)
    {
        tail_.store(head_.load(std::memory_order_acquire), std::memory_order_release);
        mode_.store(withInput ? kWithInput : kOutputOnly, std::memory_order_release);
    }
    void detach() { mode_.store(kOff, std::memory_order_relaxed); }
    bool attached() const { return mode_.load(std::memory_order_relaxed) != kOff; }
    bool capturesInput() const { return mode_.load(std::memory_order_relaxed) == kWithInput; }

    // Hands everything published since the last drain to sink.feed(outL, outR, inL, inR, frames)
    // in order, in at most two runs (the ring wraps); inL and inR are null unless the input is
    // captured. Returns the frames handed over.
    template <class Sink>
    uint32_t drain(Sink& sink)
    {
        const uint32_t tail = tail_.load(std::memory_order_relaxed);
        const uint32_t head = head_.load(std::memory_order_acquire);
        const uint32_t count = head - tail;
        const bool input = capturesInput();
        uint32_t done = 0;
        while (done < count) {
            const uint32_t at = (tail + done) & kMask;
            const uint32_t run = std::min(count - done, kCapacity - at);
            sink.feed(lane(kOutputLeft) + at, lane(kOutputLeft + 1) + at, input ? lane(kInputLeft) + at : nullptr,
                      input ? lane(kInputLeft + 1) + at : nullptr, run);
            done += run;
        }
        tail_.store(head, std::memory_order_release);
        return count;
    }

    // Frames dropped because the ring was full, since the ring was made.
    uint32_t dropped() const { return dropped_.load(std::memory_order_relaxed); }

private:
    static constexpr int kOff = 0, kOutputOnly = 1, kWithInput = 2;
    static constexpr int kOutputLeft = 0, kInputLeft = 2;
    static constexpr uint32_t kMask = kCapacity - 1;

    float* lane(int n) { return lanes_.get() + static_cast<size_t>(n) * kCapacity; }

    Block reserve(int32_t frames)
    {
        Block b;
        b.mode = mode_.load(std::memory_order_relaxed);
        if (b.mode == kOff || frames <= 0) {
            b.mode = kOff;
            return b;
        }
        // Only the newest samples matter: of a block longer than the ring, its end.
        const uint32_t n = static_cast<uint32_t>(frames);
        b.skip = n > kCapacity ? n - kCapacity : 0;
        b.frames = n - b.skip;
        b.start = head_.load(std::memory_order_relaxed);
        const uint32_t used = b.start - tail_.load(std::memory_order_acquire);
        if (used + b.frames > kCapacity) {
            dropped_.store(dropped_.load(std::memory_order_relaxed) + n, std::memory_order_relaxed);
            b.mode = kOff;
        }
        return b;
    }

    void publish(const Block& b) { head_.store(b.start + b.frames, std::memory_order_release); }

    void copyPlanar(const Block& b, const float* left, const float* right, int laneLeft)
    {
        if (!left)
            return;
        if (!right)
            right = left;
        const uint32_t at = b.start & kMask, first = std::min(b.frames, kCapacity - at);
        for (int c = 0; c < 2; ++c) {
            const float* src = (c == 0 ? left : right) + b.skip;
            float* dst = lane(laneLeft + c);
            std::memcpy(dst + at, src, first * sizeof(float));
            if (first < b.frames)
                std::memcpy(dst, src + first, (b.frames - first) * sizeof(float));
        }
    }

    void copyInterleaved(const Block& b, const float* buffer, int channels, int laneLeft)
    {
        if (!buffer)
            return;
        const float* src = buffer + static_cast<size_t>(b.skip) * channels;
        const uint32_t at = b.start & kMask, first = std::min(b.frames, kCapacity - at);
        // Two straight runs either side of the wrap, so that the loops vectorize.
        deinterleave(src, channels, lane(laneLeft) + at, lane(laneLeft + 1) + at, first);
        deinterleave(src + static_cast<size_t>(first) * channels, channels, lane(laneLeft), lane(laneLeft + 1),
                     b.frames - first);
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

    std::unique_ptr<float[]> lanes_;  // output left, output right, input left, input right
    std::atomic<int> mode_{kOff};
    alignas(64) std::atomic<uint32_t> head_{0};  // written by the producer only
    alignas(64) std::atomic<uint32_t> tail_{0};  // written by the consumer only
    std::atomic<uint32_t> dropped_{0};           // wraps; a word on every build
};

}  // namespace qv
