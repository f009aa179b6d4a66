#pragma once
// The built-in demo material: a few seconds of drum-like transients over a music-like bed,
// peaking near full scale, the same samples on every run.

#include <vector>

namespace qxhost {

// Interleaved stereo frames.
std::vector<float> makeDemoSignal(int sampleRate, double seconds);

} // namespace qxhost
