#pragma once
// EBU R128 / ITU-R BS.1770 loudness of a signal fed block by block: integrated loudness,
// loudness range, true peak and sample peak. libebur128 measures (LoudnessMeterEbur128.cpp);
// builds without it (the Windows hosts) report the figures as not available rather than guess
// (LoudnessMeterNone.cpp).

#include <cstdint>
#include <memory>

namespace qxhost {

struct Loudness {
    bool available = false;
    double integrated = 0.0; // LUFS; -inf for silence
    double range = 0.0;      // LU
    double truePeak = 0.0;   // dBTP
    double samplePeak = 0.0; // dBFS
};

class LoudnessMeter {
public:
    // False where this build cannot measure loudness.
    static bool available();

    LoudnessMeter(int channels, int sampleRate);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    void add(const float* interleaved, int64_t frames);
    Loudness result() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace qxhost
