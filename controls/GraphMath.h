#pragma once
// Platform-free arithmetic of the EQ graph: axes, the summed response curve from the biquad
// coefficients, hit testing, rubber-band selection and the block drag of selected bands.

#include <vector>

#include "BandDesign.h"
#include "ScaleMath.h"

namespace qv {

struct GraphAxes {
    int width = 0;   // inner right edge W (client width - 2)
    int top = 2;     // inner top T
    int bottom = 0;  // inner bottom B
    int centre = 0;  // Hc
    int half = 0;    // Hh
    float lowest = 16.0f;
    float topFrequency = 22050.0f;
    float span = 0.0f;        // log10(top / lowest)
    int range = 20;           // R, dB above and below the centre line
    Scale scale = kScale100;  // display scale: frame, handles and hit boxes grow with it
};

// The frame outside the inner rectangle, 2 pixels at 100 %.
int graphFrame(Scale scale);
// Half a band handle's side less its centre pixel: handles are 2 * radius + 1 square.
int graphHandleRadius(Scale scale);

GraphAxes makeGraphAxes(int clientWidth, int clientHeight, float sampleRate, int range, Scale scale = kScale100);
int graphX(const GraphAxes& a, float frequency);
int graphY(const GraphAxes& a, float gainTenths);

// Sample rate the graph works with: below 11025 it takes 44100.
float graphSampleRate(int hz);

// cos w, -sin w, cos 2w, -sin 2w at 4 points per pixel column of the axis.
struct FrequencyTables {
    std::vector<float> cos1, sin1, cos2, sin2;
    bool empty() const { return cos1.empty(); }
};
FrequencyTables makeFrequencyTables(const GraphAxes& a, float sampleRate);

// y of the curve in columns 0 .. W - 2 (drawn at inner left + k). Per column the largest of four
// summed responses is kept so narrow peaks stay visible. Without bands the curve is the centre line.
std::vector<int> responseCurve(const GraphAxes& a, const FrequencyTables& t, const BandRecord* bands, int count);

// The curve as a polyline from column 0 at x = left. Inside a run of equal steps of at most one
// pixel (flat or diagonal) a point adds no pixel: a segment stops short of its end, and the run's
// pixels are the same drawn as one line. So only the ends of such runs are kept.
struct GraphPoint {
    int x, y;
};
std::vector<GraphPoint> curvePolyline(const std::vector<int>& ys, int left);

// The right end of a label `width` wide between rows `top` and `bottom` that would end at `right`,
// kept clear of the handles (centres, `radius`) by `gap`: moved left past every handle it would touch.
// Where that would take it left of `left`, it stays at `right`.
int labelRightClearOf(int right, int width, int top, int bottom, const std::vector<GraphPoint>& handles, int radius,
                      int gap, int left);

// Horizontal grid gains -M .. M by S, and the vertical grid frequencies below the sample rate.
std::vector<int> gridGains(int range, int step);
std::vector<float> gridFrequencies(float sampleRate);

// 1-based band whose handle lies under (px, py); on bands first, each pass from the last record. The
// box is 10 pixels square at 100 %, scaled with the axes.
int graphHitTest(const GraphAxes& a, const BandRecord* bands, int count, int px, int py);

// Selects exactly the bands whose handle centre lies within 4 pixels (at 100 %) of the rectangle; returns
// whether any selection changed.
bool rubberBandSelect(const GraphAxes& a, BandRecord* bands, int count, int x1, int y1, int x2, int y2);

// Q limits of a filter type; other types are not limited.
float limitQ(float q, float type);

// Limits of a block drag, taken at the press.
struct DragLimits {
    int logFloor = 0, logCeiling = 0;
    int low = 0, high = 0;  // drag positions of the selection
    float gainLow = 0, gainHigh = 0;
    float sampleRate = 44100.0f;
};

// Sets every record's drag position from its frequency and measures the selection.
DragLimits beginDrag(BandRecord* bands, int count, float sampleRate);

// One drag move of dx, dy pixels: Q with Shift, else frequency and gain of the selection as a block.
void dragSelection(BandRecord* bands, int count, DragLimits& lim, int dx, int dy, bool shift);

// Adds a wheel step to the Q of the selected bands; returns whether any band is selected.
bool wheelSelection(BandRecord* bands, int count, int step);

}  // namespace qv
