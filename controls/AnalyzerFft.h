#pragma once
// A complex fast Fourier transform of a power-of-two size, radix 2, in single precision: the
// analyzer transforms both channels at once as left + i right. Tables are made once by configure;
// transforms allocate nothing.

#include <vector>

namespace qv {

class AnalyzerFft {
public:
    // size: a power of two from 4 up; anything else leaves the transform empty.
    void configure(int size);
    int size() const { return size_; }

    // Forward transform in place, X[k] = sum x[n] e^(-2 pi i n k / N), unscaled.
    void forward(float* re, float* im) const;

private:
    int size_ = 0;
    std::vector<int> swaps_;        // pairs of indices exchanged by the bit reversal
    std::vector<float> twiddleRe_;  // stage by stage, contiguous: m - 1 .. 2m - 2 for half-size m
    std::vector<float> twiddleIm_;
};

}  // namespace qv
