#include "FrequencyAnalyzer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qv {

namespace {

// Band weight 1 - x^2 over |x| < 1 (x the distance from the column's frequency in half widths): its
// sums need only the running sums of P, kP and k^2 P, so a band of any width costs the same, and
// its round top puts a tone's peak at the power centroid of the tone's bins, which for a Hann
// window is the tone's frequency itself.
// Noise bandwidth 4h/3 = 1/3 octave (2^(1/6) - 2^(-1/6) of the frequency).
constexpr double kHalfWidthPerBin = 0.75 * 0.23156;
// Below this half width the band misses part of a tone's bins and the reading would depend on
// where the tone falls between bins; at 1.5 bins the spread is under 0.1 dB.
constexpr double kMinHalfWidth = 1.5;
// Second moment of a Hann-windowed tone's bin powers about its frequency, in bins squared, the
// same wherever the tone falls between bins: a centred band sees the tone at 1 - (1/3) / h^2.
constexpr double kHannMoment = 1.0 / 3.0;

// Rise and fall on power: a rise shows an onset within a frame; the fall is 87 dB per second, so
// a full-scale trace is gone under the floor within about a second and noise still reads steadily.
constexpr float kRiseSeconds = 0.03f;
constexpr float kFallSeconds = 0.05f;

constexpr int kMarks[3] = {-20, -40, -60};

// A window whose samples all stay below this (-86 dBFS) has no band above the floor: a band's
// power is at most the mean square, and 10 log10(2 * 5e-5^2) is -83 dB. It is not transformed.
constexpr float kNearSilence = 5e-5f;

float peakOf(const float* x, uint32_t n)
{
    float peak = 0.0f;
    for (uint32_t i = 0; i < n; ++i)
        peak = std::max(peak, std::fabs(x[i]));
    return peak;
}

}  // namespace

int analyzerFftSize(float sampleRate)
{
    if (sampleRate > 96000.0f)
        return 16384;
    if (sampleRate > 48000.0f)
        return 8192;
    return 4096;
}

int analyzerY(const GraphAxes& a, float db)
{
    if (!(db >= kAnalyzerFloorDb))
        return kAnalyzerNone;
    if (db > kAnalyzerTopDb)
        db = kAnalyzerTopDb;
    const double height = a.bottom - 1 - a.top;
    return a.top + static_cast<int>(std::lround((kAnalyzerTopDb - db) * height / (kAnalyzerTopDb - kAnalyzerFloorDb)));
}

std::array<AnalyzerMark, 3> analyzerMarks(const GraphAxes& a)
{
    std::array<AnalyzerMark, 3> marks{};
    for (int i = 0; i < 3; ++i)
        marks[static_cast<size_t>(i)] = AnalyzerMark{kMarks[i], analyzerY(a, static_cast<float>(kMarks[i]))};
    return marks;
}

void FrequencyAnalyzer::configure(float sampleRate, const GraphAxes& axes, bool withInput)
{
    axes_ = axes;
    withInput_ = withInput;
    const int n = analyzerFftSize(sampleRate);
    fft_.configure(n);
    window_.resize(static_cast<size_t>(n));
    double energy = 0.0;
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < n; ++i) {
        // Periodic Hann: its transform is exactly three bins, which the band gain below relies on.
        const double w = 0.5 - 0.5 * std::cos(2.0 * pi * i / n);
        window_[static_cast<size_t>(i)] = static_cast<float>(w);
        energy += w * w;
    }
    // Bin power of the mean of the channels, one-sided, so that a tone's bins add up to its power:
    // (|Z_k|^2 + |Z_N-k|^2) / (2 N sum w^2) for Z the transform of left + i right.
    powerScale_ = static_cast<float>(1.0 / (2.0 * n * energy));

    const int count = axes.width >= 2 && axes.span > 0.0f && sampleRate > 0.0f ? axes.width - 1 : 0;
    columns_.resize(static_cast<size_t>(count));
    const int nyquist = n / 2;
    for (int k = 0; k < count; ++k) {
        const double f = 16.0 * std::pow(10.0, (k + 0.5) * axes.span / axes.width);
        const double u = f * n / sampleRate;
        const double h = std::max(u * kHalfWidthPerBin, kMinHalfWidth);
        Column& c = columns_[static_cast<size_t>(k)];
        // Bins strictly inside the band; the DC bin carries no sound.
        c.first = std::max(1, static_cast<int>(std::floor(u - h)) + 1);
        c.last = std::min(nyquist - 1, static_cast<int>(std::ceil(u + h)) - 1);
        c.centre = static_cast<float>(u);
        c.invH2 = static_cast<float>(1.0 / (h * h));
        c.gain = static_cast<float>(1.0 / (1.0 - kHannMoment / (h * h)));
    }

    for (Channel* c : {&output_, &input_}) {
        const bool used = c == &output_ || withInput;
        c->left.assign(used ? static_cast<size_t>(n) : 0, 0.0f);
        c->right.assign(used ? static_cast<size_t>(n) : 0, 0.0f);
        c->power.assign(used ? static_cast<size_t>(count) : 0, 0.0f);
        c->trace.y.assign(used ? static_cast<size_t>(count) : 0, kAnalyzerNone);
        c->trace.db.assign(used ? static_cast<size_t>(count) : 0, -INFINITY);
    }
    re_.assign(static_cast<size_t>(n), 0.0f);
    im_.assign(static_cast<size_t>(n), 0.0f);
    measured_.assign(static_cast<size_t>(count), 0.0f);
    sum0_.assign(static_cast<size_t>(nyquist + 1), 0.0);
    sum1_.assign(static_cast<size_t>(nyquist + 1), 0.0);
    sum2_.assign(static_cast<size_t>(nyquist + 1), 0.0);
    write_ = 0;
    arrived_ = 0;
    sinceSound_ = ~0u;
    visible_ = false;
}

void FrequencyAnalyzer::reset()
{
    for (Channel* c : {&output_, &input_}) {
        std::fill(c->left.begin(), c->left.end(), 0.0f);
        std::fill(c->right.begin(), c->right.end(), 0.0f);
        std::fill(c->power.begin(), c->power.end(), 0.0f);
        std::fill(c->trace.y.begin(), c->trace.y.end(), kAnalyzerNone);
        std::fill(c->trace.db.begin(), c->trace.db.end(), -INFINITY);
    }
    write_ = 0;
    arrived_ = 0;
    sinceSound_ = ~0u;
    visible_ = false;
}

void FrequencyAnalyzer::feed(const float* outL, const float* outR, const float* inL, const float* inR, uint32_t frames)
{
    const int n = fft_.size();
    if (n == 0 || !outL || frames == 0)
        return;
    if (!outR)
        outR = outL;
    if (inL && !inR)
        inR = inL;
    arrived_ = arrived_ < ~0u - frames ? arrived_ + frames : ~0u;
    float peak = std::max(peakOf(outL, frames), peakOf(outR, frames));
    if (withInput_ && inL)
        peak = std::max(peak, std::max(peakOf(inL, frames), peakOf(inR, frames)));
    if (peak >= kNearSilence)
        sinceSound_ = 0;
    else if (sinceSound_ < ~0u - frames)
        sinceSound_ += frames;
    // Only the newest N samples can reach the transform.
    const uint32_t skip = frames > static_cast<uint32_t>(n) ? frames - static_cast<uint32_t>(n) : 0;
    // In straight runs up to the end of the history, then from its start.
    for (uint32_t i = skip; i < frames;) {
        const uint32_t run = std::min(frames - i, static_cast<uint32_t>(n - write_));
        const size_t at = static_cast<size_t>(write_), bytes = run * sizeof(float);
        std::memcpy(&output_.left[at], outL + i, bytes);
        std::memcpy(&output_.right[at], outR + i, bytes);
        if (withInput_ && inL) {
            std::memcpy(&input_.left[at], inL + i, bytes);
            std::memcpy(&input_.right[at], inR + i, bytes);
        } else if (withInput_) {
            std::fill_n(&input_.left[at], run, 0.0f);
            std::fill_n(&input_.right[at], run, 0.0f);
        }
        write_ = (write_ + static_cast<int>(run)) % n;
        i += run;
    }
}

void FrequencyAnalyzer::analyse(Channel& c)
{
    const int n = fft_.size();
    // Oldest sample first, windowed; left in the real part, right in the imaginary.
    const size_t older = static_cast<size_t>(n - write_);
    const float* w = window_.data();
    const float* l = c.left.data();
    const float* r = c.right.data();
    for (size_t i = 0; i < older; ++i) {
        re_[i] = l[static_cast<size_t>(write_) + i] * w[i];
        im_[i] = r[static_cast<size_t>(write_) + i] * w[i];
    }
    for (size_t i = older; i < static_cast<size_t>(n); ++i) {
        re_[i] = l[i - older] * w[i];
        im_[i] = r[i - older] * w[i];
    }
    fft_.forward(re_.data(), im_.data());

    // Running sums in double: a quiet band is the difference of two sums that include every louder
    // band below it.
    const int nyquist = n / 2;
    double s0 = 0.0, s1 = 0.0, s2 = 0.0;
    sum0_[0] = sum1_[0] = sum2_[0] = 0.0;
    sum0_[1] = sum1_[1] = sum2_[1] = 0.0;  // the DC bin stays out
    for (int k = 1; k < nyquist; ++k) {
        const size_t a = static_cast<size_t>(k), b = static_cast<size_t>(n - k);
        const double p = (re_[a] * re_[a] + im_[a] * im_[a] + re_[b] * re_[b] + im_[b] * im_[b]) * powerScale_;
        s0 += p;
        s1 += k * p;
        s2 += static_cast<double>(k) * k * p;
        sum0_[a + 1] = s0;
        sum1_[a + 1] = s1;
        sum2_[a + 1] = s2;
    }

    for (size_t k = 0; k < columns_.size(); ++k) {
        const Column& col = columns_[k];
        double band = 0.0;
        if (col.first <= col.last) {
            const size_t lo = static_cast<size_t>(col.first), hi = static_cast<size_t>(col.last) + 1;
            const double p0 = sum0_[hi] - sum0_[lo], p1 = sum1_[hi] - sum1_[lo], p2 = sum2_[hi] - sum2_[lo];
            const double u = col.centre;
            // sum of (1 - (k - u)^2 / h^2) P_k over the band
            const double moment = p2 - 2.0 * u * p1 + u * u * p0;
            band = (p0 - moment * col.invH2) * col.gain;
        }
        measured_[k] = band > 0.0 ? static_cast<float>(band) : 0.0f;
    }
}

void FrequencyAnalyzer::fall(Channel& c, float elapsed, bool fresh)
{
    const float t = elapsed > 0.0f ? elapsed : 0.0f;
    const float rise = 1.0f - std::exp(-t / kRiseSeconds);
    const float drop = 1.0f - std::exp(-t / kFallSeconds);
    const float floorPower = 0.5f * std::pow(10.0f, kAnalyzerFloorDb * 0.1f);
    for (size_t k = 0; k < c.power.size(); ++k) {
        const float target = fresh ? measured_[k] : 0.0f;
        float p = c.power[k];
        p += (target - p) * (target > p ? rise : drop);
        // Far under the floor the value only decays: stop it before it turns denormal. A damaged
        // sample (not a number) would otherwise stick.
        if (!(p >= floorPower * 1e-6f))
            p = 0.0f;
        c.power[k] = p;
        const float db = p > 0.0f ? 10.0f * std::log10(2.0f * p) : -INFINITY;
        c.trace.db[k] = db;
        c.trace.y[k] = analyzerY(axes_, db);
        if (c.trace.y[k] != kAnalyzerNone)
            visible_ = true;
    }
}

void FrequencyAnalyzer::frame(float elapsed)
{
    if (fft_.size() == 0)
        return;
    // Samples that arrived are analysed unless the whole window is near-silent; without any, or
    // then, the traces fall as for silence.
    const bool fresh = arrived_ > 0 && soundInWindow();
    visible_ = false;
    if (fresh)
        analyse(output_);
    fall(output_, elapsed, fresh);
    if (withInput_) {
        if (fresh)
            analyse(input_);
        fall(input_, elapsed, fresh);
    }
    arrived_ = 0;
}

void analyzerPath(const std::vector<int>& ys, int left, std::vector<GraphPoint>& points, std::vector<int>& starts)
{
    points.clear();
    starts.clear();
    const size_t n = ys.size();
    size_t k = 0;
    while (k < n) {
        if (ys[k] == kAnalyzerNone) {
            ++k;
            continue;
        }
        size_t end = k;
        while (end < n && ys[end] != kAnalyzerNone)
            ++end;
        starts.push_back(static_cast<int>(points.size()));
        // As curvePolyline: inside a run of equal steps of at most one pixel a point adds no pixel.
        for (size_t i = k; i < end; ++i) {
            if (i > k && i + 1 < end) {
                const int before = ys[i] - ys[i - 1], after = ys[i + 1] - ys[i];
                if (before == after && before >= -1 && before <= 1)
                    continue;
            }
            points.push_back(GraphPoint{left + static_cast<int>(i), ys[i]});
        }
        k = end;
    }
}

}  // namespace qv
