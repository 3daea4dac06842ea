#pragma once
// What the EQ graph draws beside its curve and handles: the analyzer's traces behind them,
// with their dBFS marks, and the read-outs over them. The arithmetic is in FrequencyAnalyzer.h and
// GraphReadout.h.

#include <windows.h>

#include "GraphMath.h"
#include "SkinInternal.h"
#include "FrequencyAnalyzer.h"

namespace qv {

// The analyzer has something to show on these axes.
bool analyzerShown(const GraphAxes& a, const FrequencyAnalyzer* analyzer);
// The output's tinted area and line, the input's thin line, and the marks, into `canvas`, whose
// DC is `dc` (clipped to the inner rectangle of client rectangle `c`).
void drawAnalyzer(HDC dc, PixelWindow& canvas, const RECT& c, const GraphAxes& a, const FrequencyAnalyzer& sa,
                  const std::vector<GraphPoint>& handles, Scale scale);
// The pointer's frequency and gain, in the top right corner.
void drawPointerReadout(HDC dc, const RECT& c, const GraphAxes& a, int x, int y, Scale scale);
// A band's number and values beside its handle, inside the graph.
void drawBandReadout(HDC dc, const RECT& c, const GraphAxes& a, int number, const BandRecord& band, Scale scale);

}  // namespace qv
