#include "SkewedBands.h"

#include "LaneMeters.h"

namespace qv {
namespace {

// The whole step must be one piece of code with the lanes in registers.
#define QV_ALWAYS_INLINE inline __attribute__((always_inline))

// Why this gives the bits of the frame-by-frame definition: a band's recursion depends only on its
// own history and on its input sequence, which is the previous band's output sequence. So band p
// (the p-th active band) may run frame s - 2p at step s: its input, the previous band's output for
// that frame, was produced two steps earlier. Every lane computes exactly the scalar expression
// ((((b0 x + b1 x1) + b2 x2) + a1 y1) + a2 y2) in single precision, in that order; the vectors only
// do up to twelve such recursions at once. Nothing is contracted or reassociated, and a step that
// would run a band outside the chunk (the first and last 2 (bands - 1) steps) leaves that band's
// lanes as they were.
//
// Why two steps and not one: a vector holds neighbouring bands, so with a skew of one its input
// would be its own previous output, and the long path from x through all four additions would be
// a recursion of its own. Two steps back, that path has two steps' time, and each step waits only
// on the shorter path from y1 through the last two additions.
template <int Channels, int Bands>
class Skew {
public:
    static constexpr int kPerVector = 4 / Channels;  // bands in one vector
    static constexpr int kVectors = (Bands + kPerVector - 1) / kPerVector;
    static constexpr int kDelay = 2 * (Bands - 1);  // steps from a frame's input to its output
    static constexpr int kOutVector = (Bands - 1) / kPerVector;
    static constexpr int kOutLane = (Bands - 1) % kPerVector * Channels;

    QV_ALWAYS_INLINE explicit Skew(const BandLanes& l)
    {
        for (int v = 0; v < kVectors; ++v) {
            b0_[v] = _mm_loadu_ps(l.b0 + 4 * v);
            b1_[v] = _mm_loadu_ps(l.b1 + 4 * v);
            b2_[v] = _mm_loadu_ps(l.b2 + 4 * v);
            a1_[v] = _mm_loadu_ps(l.a1 + 4 * v);
            a2_[v] = _mm_loadu_ps(l.a2 + 4 * v);
            x1_[v] = _mm_loadu_ps(l.x1 + 4 * v);
            x2_[v] = _mm_loadu_ps(l.x2 + 4 * v);
            y1_[v] = _mm_loadu_ps(l.y1 + 4 * v);
            y2_[v] = _mm_loadu_ps(l.y2 + 4 * v);
            out1_[v] = y1_[v];
            out2_[v] = y2_[v];
            // Twice the band index of each lane: band p runs at steps 2p .. 2p + n - 1.
            step_[v] = Channels == 2 ? _mm_setr_epi32(4 * v, 4 * v, 4 * v + 2, 4 * v + 2)
                                     : _mm_setr_epi32(8 * v, 8 * v + 2, 8 * v + 4, 8 * v + 6);
        }
    }

    QV_ALWAYS_INLINE void store(BandLanes& l) const
    {
        for (int v = 0; v < kVectors; ++v) {
            _mm_storeu_ps(l.x1 + 4 * v, x1_[v]);
            _mm_storeu_ps(l.x2 + 4 * v, x2_[v]);
            _mm_storeu_ps(l.y1 + 4 * v, y1_[v]);
            _mm_storeu_ps(l.y2 + 4 * v, y2_[v]);
        }
    }

    // Io gives step s its new frame in the low lanes (input) and takes the last band's output for
    // frame f in the low lanes (output).
    template <class Io>
    QV_ALWAYS_INLINE void run(Io& io, int32_t n)
    {
        int32_t s = 0;
        for (; s < kDelay; ++s)
            edgeStep(io, n, s);
        if (n > kDelay) {
            for (; s + 1 < n; s += 2) {
                io.output(s - kDelay, low(flow(io.input(s), x1_, x2_, y1_, y2_)));
                io.output(s + 1 - kDelay, low(flow(io.input(s + 1), x2_, x1_, y2_, y1_)));
            }
            if (s < n) {
                io.output(s - kDelay, low(step<false>(io.input(s), nullptr)));
                ++s;
            }
            // Every band that feeds another ran in the last two steps: its outputs are its history.
            for (int v = 0; v < kVectors; ++v) {
                out1_[v] = y1_[v];
                out2_[v] = y2_[v];
            }
        }
        for (; s < n + kDelay; ++s)
            edgeStep(io, n, s);
    }

private:
    static QV_ALWAYS_INLINE __m128 low(__m128 y)
    {
        if (Channels == 2)
            return kOutLane == 0 ? y : _mm_movehl_ps(y, y);
        return kOutLane == 0 ? y : _mm_shuffle_ps(y, y, _MM_SHUFFLE(kOutLane, kOutLane, kOutLane, kOutLane));
    }

    // The input of vector v's lanes: each band takes the previous band's output of two steps ago
    // (`below` holds those of vector v - 1, `own` those of vector v); the first band takes the new
    // frame from the low lanes of `in`.
    static QV_ALWAYS_INLINE __m128 shiftIn(int v, __m128 in, __m128 below, __m128 own)
    {
        if (Bands == 1)
            return in;
        if (Channels == 2) {
            if (v == 0)
                return _mm_shuffle_ps(in, own, _MM_SHUFFLE(1, 0, 1, 0));
            return _mm_shuffle_ps(below, own, _MM_SHUFFLE(1, 0, 3, 2));
        }
        const __m128 up = _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(own), 4));
        if (v == 0)
            return _mm_move_ss(up, in);
        return _mm_move_ss(up, _mm_shuffle_ps(below, below, _MM_SHUFFLE(3, 3, 3, 3)));
    }

    static QV_ALWAYS_INLINE __m128 select(__m128 mask, __m128 a, __m128 b)
    {
        return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
    }

    // One step: every band in `active` (all when not Masked) runs its next frame. Vectors go from
    // the last down, so that each still sees the outputs of the vector below as they were.
    //
    // Where every band runs, a band's output of two steps ago is its y2. At the edges, where a band
    // may stand still, its outputs move on through out1/out2 anyway, for the band after it.
    template <bool Masked>
    QV_ALWAYS_INLINE __m128 step(__m128 in, const __m128* active)
    {
        __m128 last = _mm_setzero_ps();
        for (int v = kVectors - 1; v >= 0; --v) {
            const __m128 below = v == 0 ? in : Masked ? out2_[v - 1] : y2_[v - 1];
            const __m128 x = shiftIn(v, in, below, Masked ? out2_[v] : y2_[v]);
            const __m128 y =
                _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(b0_[v], x), _mm_mul_ps(b1_[v], x1_[v])),
                                                 _mm_mul_ps(b2_[v], x2_[v])),
                                      _mm_mul_ps(a1_[v], y1_[v])),
                           _mm_mul_ps(a2_[v], y2_[v]));
            if (Masked) {
                x2_[v] = select(active[v], x1_[v], x2_[v]);
                x1_[v] = select(active[v], x, x1_[v]);
                y2_[v] = select(active[v], y1_[v], y2_[v]);
                y1_[v] = select(active[v], y, y1_[v]);
                out2_[v] = out1_[v];
                out1_[v] = y;
            } else {
                x2_[v] = x1_[v];
                x1_[v] = x;
                y2_[v] = y1_[v];
                y1_[v] = y;
            }
            if (v == kOutVector)
                last = y;
        }
        return last;
    }

    // A step where every band runs, written over the older of two history slots: called with the
    // slots' roles swapped at every other step, it moves no history around.
    QV_ALWAYS_INLINE __m128 flow(__m128 in, const __m128* xNew, __m128* xOld, const __m128* yNew, __m128* yOld)
    {
        __m128 last = _mm_setzero_ps();
        for (int v = kVectors - 1; v >= 0; --v) {
            const __m128 x = shiftIn(v, in, v == 0 ? in : yOld[v - 1], yOld[v]);
            const __m128 y =
                _mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(b0_[v], x), _mm_mul_ps(b1_[v], xNew[v])),
                                                 _mm_mul_ps(b2_[v], xOld[v])),
                                      _mm_mul_ps(a1_[v], yNew[v])),
                           _mm_mul_ps(a2_[v], yOld[v]));
            xOld[v] = x;
            yOld[v] = y;
            if (v == kOutVector)
                last = y;
        }
        return last;
    }

    // A step at the chunk's edges, where band p runs only while frame s - 2p lies in the chunk.
    template <class Io>
    QV_ALWAYS_INLINE void edgeStep(Io& io, int32_t n, int32_t s)
    {
        __m128 active[kVectors];
        const __m128i newest = _mm_set1_epi32(s);
        const __m128i oldest = _mm_set1_epi32(s - n);
        for (int v = 0; v < kVectors; ++v)
            active[v] = _mm_castsi128_ps(
                _mm_andnot_si128(_mm_cmpgt_epi32(step_[v], newest), _mm_cmpgt_epi32(step_[v], oldest)));
        const __m128 y = step<true>(s < n ? io.input(s) : _mm_setzero_ps(), active);
        if (s >= kDelay)
            io.output(s - kDelay, low(y));
    }

    __m128 b0_[kVectors], b1_[kVectors], b2_[kVectors], a1_[kVectors], a2_[kVectors];
    __m128 x1_[kVectors], x2_[kVectors], y1_[kVectors], y2_[kVectors];
    __m128 out1_[kVectors], out2_[kVectors];  // outputs of the last two steps, run or not
    __m128i step_[kVectors];
};

inline __m128 loadFrame(const float* frame, int channels)
{
    return channels == 2 ? _mm_castpd_ps(_mm_load_sd(reinterpret_cast<const double*>(frame))) : _mm_load_ss(frame);
}

inline void storeFrame(float* frame, int channels, __m128 y)
{
    if (channels == 2)
        _mm_storel_pi(reinterpret_cast<__m64*>(frame), y);
    else
        _mm_store_ss(frame, y);
}

// Only the lanes of one frame, the others zero, for the meters.
inline __m128 frameLanes(__m128 y, int channels)
{
    return channels == 2 ? _mm_movelh_ps(y, _mm_setzero_ps()) : _mm_move_ss(_mm_setzero_ps(), y);
}

template <int Channels>
struct InPlaceIo {
    float* frames;
    QV_ALWAYS_INLINE __m128 input(int32_t s) const { return loadFrame(frames + s * Channels, Channels); }
    QV_ALWAYS_INLINE void output(int32_t f, __m128 y) const { storeFrame(frames + f * Channels, Channels, y); }
};

// The noise goes in with the frame; the constant output gain and the meters come after the bands.
template <int Channels>
struct FusedInterleavedIo {
    float* frames;
    const float* noise;
    __m128 gain;
    LaneMeters meters;

    QV_ALWAYS_INLINE __m128 input(int32_t s) const
    {
        return _mm_add_ps(loadFrame(frames + s * Channels, Channels), _mm_load1_ps(noise + s));
    }
    QV_ALWAYS_INLINE void output(int32_t f, __m128 y)
    {
        const __m128 g = _mm_mul_ps(y, gain);
        meters.add(frameLanes(g, Channels));
        storeFrame(frames + f * Channels, Channels, g);
    }
};

template <bool Accumulate>
struct FusedSeparateIo {
    SeparateChannels channels;
    const float* noise;
    __m128 gain;
    LaneMeters meters;

    QV_ALWAYS_INLINE __m128 input(int32_t s) const
    {
        const __m128 frame = _mm_unpacklo_ps(_mm_load_ss(channels.inLeft + s), _mm_load_ss(channels.inRight + s));
        return _mm_add_ps(frame, _mm_load1_ps(noise + s));
    }
    QV_ALWAYS_INLINE void output(int32_t f, __m128 y)
    {
        const __m128 g = _mm_mul_ps(y, gain);
        meters.add(frameLanes(g, 2));
        const __m128 right = _mm_shuffle_ps(g, g, _MM_SHUFFLE(1, 1, 1, 1));
        if (Accumulate) {
            _mm_store_ss(channels.outLeft + f, _mm_add_ss(_mm_load_ss(channels.outLeft + f), g));
            _mm_store_ss(channels.outRight + f, _mm_add_ss(_mm_load_ss(channels.outRight + f), right));
        } else {
            _mm_store_ss(channels.outLeft + f, g);
            _mm_store_ss(channels.outRight + f, right);
        }
    }
};

template <int Channels, int Bands, class Io>
void runWith(BandLanes& lanes, Io& io, int32_t count)
{
    Skew<Channels, Bands> skew(lanes);
    skew.run(io, count);
    skew.store(lanes);
}

template <int Channels, class Io>
void dispatch(BandLanes& lanes, int bands, Io& io, int32_t count)
{
    if (count <= 0)
        return;
    switch (bands) {
    case 1:
        return runWith<Channels, 1>(lanes, io, count);
    case 2:
        return runWith<Channels, 2>(lanes, io, count);
    case 3:
        return runWith<Channels, 3>(lanes, io, count);
    case 4:
        return runWith<Channels, 4>(lanes, io, count);
    case 5:
        return runWith<Channels, 5>(lanes, io, count);
    case 6:
        return runWith<Channels, 6>(lanes, io, count);
    default:
        return;
    }
}

void mergeMeters(const LaneMeters& meters, int channels, BlockRun& run)
{
    meters.mergeInto(0, channels, run.maxLeft, run.clipLeft);
    if (channels == 2)
        meters.mergeInto(1, 2, run.maxRight, run.clipRight);
}

}  // namespace

void runSkewedBands(BandLanes& lanes, int channels, int bands, float* frames, int32_t count)
{
    if (channels == 2) {
        InPlaceIo<2> io{frames};
        dispatch<2>(lanes, bands, io, count);
    } else {
        InPlaceIo<1> io{frames};
        dispatch<1>(lanes, bands, io, count);
    }
}

void runSkewedBands(BandLanes& lanes, int channels, int bands, float* frames, const float* noise, int32_t count,
                    BlockRun& run)
{
    const __m128 gain = _mm_set1_ps(run.gain);
    if (channels == 2) {
        FusedInterleavedIo<2> io{frames, noise, gain, {}};
        dispatch<2>(lanes, bands, io, count);
        mergeMeters(io.meters, 2, run);
    } else {
        FusedInterleavedIo<1> io{frames, noise, gain, {}};
        dispatch<1>(lanes, bands, io, count);
        mergeMeters(io.meters, 1, run);
    }
}

void runSkewedBands(BandLanes& lanes, int bands, const SeparateChannels& channels, bool accumulate, const float* noise,
                    int32_t count, BlockRun& run)
{
    const __m128 gain = _mm_set1_ps(run.gain);
    if (accumulate) {
        FusedSeparateIo<true> io{channels, noise, gain, {}};
        dispatch<2>(lanes, bands, io, count);
        mergeMeters(io.meters, 2, run);
    } else {
        FusedSeparateIo<false> io{channels, noise, gain, {}};
        dispatch<2>(lanes, bands, io, count);
        mergeMeters(io.meters, 2, run);
    }
}

#undef QV_ALWAYS_INLINE

}  // namespace qv
