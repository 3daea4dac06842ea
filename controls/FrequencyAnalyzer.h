#pragma once
// The analyzer behind the EQ graph's curve, without windows: the newest samples of the
// output (and optionally the input), a Hann-windowed FFT, band levels in 1/3-octave bands, rise and
// fall over frame time, and one y per pixel column of the graph's own frequency axis.
//
// Levels are band powers in dBFS (a full-scale sine reads 0 dBFS): each column sums the power of
// the bins in a 1/3-octave band around the column's frequency, so a sine reads its own level at its
// own x and pink noise, whose power per band is the same at every frequency, reads flat with no
// tilt. Where a 1/3 octave is narrower than the FFT resolves (below about 90 Hz at 44.1 kHz with
// 4096 points) the band stays 3 bins wide: tones still read true, noise there reads higher.
//
// The channels are combined as the mean of their powers, bin by bin: a centred sound reads its
// level, one channel alone reads 3 dB lower, and out-of-phase content cancels nothing.

#include <array>
#include <cstdint>
#include <vector>

#include "GraphMath.h"
#include "AnalyzerFft.h"

namespace qv {

// The analyzer's own level scale, over the graph's inner height.
constexpr float kAnalyzerTopDb = 0.0f;
constexpr float kAnalyzerFloorDb = -80.0f;
constexpr int kAnalyzerNone = -1;  // a column's y where the level lies below the floor

struct AnalyzerMark {
    int db;  // -20, -40, -60
    int y;
};
std::array<AnalyzerMark, 3> analyzerMarks(const GraphAxes& a);

// y of a level in dBFS; levels above the top stay at the top, below the floor give kAnalyzerNone.
int analyzerY(const GraphAxes& a, float db);

// FFT points for a sample rate: 4096 up to 48 kHz, 8192 up to 96 kHz, 16384 above, so the
// resolution in Hz (and the time a frame spans) stays the same.
int analyzerFftSize(float sampleRate);

// One trace: y per column k = 0 .. W - 2 (drawn at inner left + k, as the response curve) and the
// level it shows in dBFS.
struct AnalyzerTrace {
    std::vector<int> y;
    std::vector<float> db;
};

class FrequencyAnalyzer {
public:
    // Sizes everything; the only place that allocates. Call again when the rate, the graph's size
    // or its scale change, or the input trace is switched. Clears the traces. sampleRate is the
    // samples' own rate; the axes may be drawn for another (graphSampleRate), and columns beyond
    // the samples' half rate stay empty.
    void configure(float sampleRate, const GraphAxes& axes, bool withInput);
    void reset();

    // Samples in order, as AnalyzerRing::drain hands them over; inL and inR may be null.
    void feed(const float* outL, const float* outR, const float* inL, const float* inR, uint32_t frames);

    // One display frame, `elapsed` seconds after the previous one. Analyses the newest samples if
    // any arrived since the last frame; if none did, the traces fall as for silence.
    void frame(float elapsed);

    const AnalyzerTrace& output() const { return output_.trace; }
    const AnalyzerTrace& input() const { return input_.trace; }  // empty without the input trace
    bool hasInput() const { return withInput_; }
    // Nothing above the floor, and nothing that could rise above it since the last frame (no samples,
    // or only near-silence: a stopped transport, a paused stream). The editor drains the ring every
    // tick and calls frame() and repaints only while this is false.
    bool idle() const { return !visible_ && !(arrived_ > 0 && soundInWindow()); }
    int fftSize() const { return fft_.size(); }
    int columns() const { return static_cast<int>(columns_.size()); }

private:
    struct Column {
        int first, last;  // bins in the band
        float centre;     // the column's frequency in bins
        float invH2;      // 1 / h^2, h the band's half width in bins
        float gain;       // 1 / (the band's response to a centred tone)
    };
    struct Channel {
        std::vector<float> left, right;  // the newest N samples, circular
        AnalyzerTrace trace;
        std::vector<float> power;  // per column, after rise and fall
    };

    void analyse(Channel& c);
    void fall(Channel& c, float elapsed, bool fresh);

    GraphAxes axes_;
    AnalyzerFft fft_;
    bool withInput_ = false;
    bool soundInWindow() const { return sinceSound_ < static_cast<uint32_t>(fft_.size()); }

    bool visible_ = false;
    int write_ = 0;              // next history position
    uint32_t arrived_ = 0;       // samples fed since the last frame
    uint32_t sinceSound_ = ~0u;  // samples since the last block with a sample above near-silence
    std::vector<float> window_;
    float powerScale_ = 0.0f;
    std::vector<Column> columns_;
    Channel output_, input_;
    // Scratch of one frame
    std::vector<float> re_, im_;
    std::vector<float> measured_;             // band power per column of the frame analysed
    std::vector<double> sum0_, sum1_, sum2_;  // running sums of P, kP, k^2 P over the bins
};

// The trace as polylines for drawing: runs of columns above the floor, each as the points of
// curvePolyline from x = left. `starts` receives the index in `points` where each run begins.
// Reuses the vectors' capacity.
void analyzerPath(const std::vector<int>& ys, int left, std::vector<GraphPoint>& points, std::vector<int>& starts);

}  // namespace qv
