#include "AnalyzerFft.h"

#include <cmath>
#include <utility>

namespace qv {

void AnalyzerFft::configure(int size)
{
    size_ = 0;
    swaps_.clear();
    twiddleRe_.clear();
    twiddleIm_.clear();
    if (size < 4 || (size & (size - 1)) != 0)
        return;
    size_ = size;
    int bits = 0;
    while ((1 << bits) < size)
        ++bits;
    for (int i = 0; i < size; ++i) {
        int r = 0;
        for (int b = 0; b < bits; ++b)
            r |= ((i >> b) & 1) << (bits - 1 - b);
        if (i < r) {
            swaps_.push_back(i);
            swaps_.push_back(r);
        }
    }
    // Twiddles in double, rounded once: a float recurrence would drift over the larger stages.
    twiddleRe_.resize(static_cast<size_t>(size));
    twiddleIm_.resize(static_cast<size_t>(size));
    const double pi = 3.14159265358979323846;
    for (int m = 1; m < size; m *= 2) {
        for (int j = 0; j < m; ++j) {
            const double a = -pi * j / m;
            twiddleRe_[static_cast<size_t>(m - 1 + j)] = static_cast<float>(std::cos(a));
            twiddleIm_[static_cast<size_t>(m - 1 + j)] = static_cast<float>(std::sin(a));
        }
    }
}

void AnalyzerFft::forward(float* re, float* im) const
{
    if (size_ == 0)
        return;
    for (size_t s = 0; s < swaps_.size(); s += 2) {
        std::swap(re[swaps_[s]], re[swaps_[s + 1]]);
        std::swap(im[swaps_[s]], im[swaps_[s + 1]]);
    }
    // The first two stages have twiddles 1 and -i: done together, without the short inner loops.
    for (int s = 0; s < size_; s += 4) {
        const float ar = re[s] + re[s + 1], ai = im[s] + im[s + 1];
        const float br = re[s] - re[s + 1], bi = im[s] - im[s + 1];
        const float cr = re[s + 2] + re[s + 3], ci = im[s + 2] + im[s + 3];
        const float dr = re[s + 2] - re[s + 3], di = im[s + 2] - im[s + 3];
        re[s] = ar + cr;
        im[s] = ai + ci;
        re[s + 2] = ar - cr;
        im[s + 2] = ai - ci;
        // (dr + i di) * -i = di - i dr
        re[s + 1] = br + di;
        im[s + 1] = bi - dr;
        re[s + 3] = br - di;
        im[s + 3] = bi + dr;
    }
    for (int m = 4; m < size_; m *= 2) {
        const float* __restrict wr = twiddleRe_.data() + (m - 1);
        const float* __restrict wi = twiddleIm_.data() + (m - 1);
        for (int start = 0; start < size_; start += 2 * m) {
            float* __restrict ar = re + start;
            float* __restrict ai = im + start;
            float* __restrict br = ar + m;
            float* __restrict bi = ai + m;
            // Independent iterations over j: the compiler vectorizes this loop.
            for (int j = 0; j < m; ++j) {
                const float tr = br[j] * wr[j] - bi[j] * wi[j];
                const float ti = br[j] * wi[j] + bi[j] * wr[j];
                br[j] = ar[j] - tr;
                bi[j] = ai[j] - ti;
                ar[j] += tr;
                ai[j] += ti;
            }
        }
    }
}

}  // namespace qv
