#pragma once
// A frequency response chart in the manual's style: log frequency 20 Hz to 20 kHz, dB upwards.

#include <functional>
#include <string>
#include <vector>

#include "Canvas.h"

namespace qvresp {

struct Curve {
    std::function<double(double)> db;  // response at a frequency in Hz
    std::string label;
    unsigned colour;
    bool dashed = false;
};

struct Chart {
    std::string title;
    double dbMin = -20, dbMax = 20, dbStep = 6;
    std::vector<Curve> curves;
    // A dotted level line with its label (for measured widths), and vertical markers at frequencies.
    bool hasLevel = false;
    double level = 0;
    std::string levelLabel;
    std::vector<double> markers;
};

constexpr int kChartWidth = 600, kChartHeight = 284;

void drawChart(skingen::Canvas& canvas, const Chart& chart);

}  // namespace qvresp
