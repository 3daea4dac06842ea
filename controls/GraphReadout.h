#pragma once
// What the EQ graph tells under the mouse, without windows: the frequency and gain at a point of its
// axes, the texts of the pointer's and a dragged band's read-outs, and where a read-out box stands
// so that it stays inside the graph.

#include <cstddef>

#include "GraphMath.h"

namespace qv {

// The inverse of graphX and graphY: frequency in Hz at the middle of client column x, gain in dB at
// client row y.
float graphFrequencyAt(const GraphAxes& a, int x);
float graphGainAt(const GraphAxes& a, int y);

// "62 Hz", "1.25 kHz", "12.5 kHz": three figures, as a reading off the axis deserves.
void formatReadingFrequency(float hz, char* out, size_t size);
// "1.25 kHz, -3.5 dB" for the point (x, y).
void formatPointerReadout(const GraphAxes& a, int x, int y, char* out, size_t size);
// "Band 3: 1250 Hz, +4.5 dB, Q 1.4" for band `number`, in the units its fields show; low- and high-pass
// bands have no gain to tell.
void formatBandReadout(int number, const BandRecord& band, char* out, size_t size);

struct ReadoutBox {
    int left, top;
};
// The top-left corner of a width x height box beside the point (x, y): right of it and above, `gap`
// away; on the other side where that leaves the inner rectangle (left .. right, top .. bottom,
// exclusive ends), and held inside it where neither side has room.
ReadoutBox placeReadout(int x, int y, int width, int height, int gap, int left, int top, int right, int bottom);

}  // namespace qv
