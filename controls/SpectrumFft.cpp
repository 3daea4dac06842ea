#include "SpectrumFft.h"

#include <cmath>
#include <utility>

namespace qv {

void SpectrumFft::configure(int size)
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

void SpectrumFft::forward(float* re, float* im) const
{
    if (size_ == 0)
        return;
    for (size_t s = 0; s < swaps_.size(); s += 2) {
        std::swap(re[swaps_[s]], re[swaps_[s + 1]]);
        std::swap(im[swaps_[s]], im[swaps_[s + 1]]);
    }
    for (int m = 1; m < size_; m *= 2) {
        const float* wr = twiddleRe_.data() + (m - 1);
        const float* wi = twiddleIm_.data() + (m - 1);
        for (int start = 0; start < size_; start += 2 * m) {
            float* ar = re + start;
            float* ai = im + start;
            float* br = ar + m;
            float* bi = ai + m;
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
