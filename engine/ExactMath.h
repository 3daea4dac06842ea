#pragma once
// Sine, cosine and powers of ten for the filter design, computed the same way on every build.
//
// The C libraries of the Windows and Linux builds return different last bits for sinf, cosf and
// powf, and the engine's output is specified to the bit. These evaluate in double precision with
// plain +, -, *, / (no contraction) and round once to float, which gives the correctly rounded float
// in all but vanishingly rare tie cases, identically on every build.

namespace qv {

float exactSin(float x);
float exactCos(float x);
float exactPow10(float x);  // 10^x

}  // namespace qv
