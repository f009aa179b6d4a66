#pragma once
// Writes WAV files the same way on every build, header included: PCM 16, 24 or 32 bit (plain
// 16-byte fmt chunk) or 32-bit float (18-byte fmt chunk with its empty extension and a fact
// chunk, the layout readers expect for non-PCM data). Integer samples go through
// SampleQuantizer's rule.

#include "host/SampleQuantizer.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace qxhost {

class WavFileWriter {
public:
    WavFileWriter() = default;
    ~WavFileWriter();
    WavFileWriter(const WavFileWriter&) = delete;
    WavFileWriter& operator=(const WavFileWriter&) = delete;

    // True for the sample widths this writer handles: 16, 24, 32, or 0 for 32-bit float.
    static bool supports(int bits) { return bits == 0 || bits == 16 || bits == 24 || bits == 32; }

    // `bits` 0 writes 32-bit float.
    bool open(const std::string& path, int channels, int sampleRate, int bits, bool dither);
    bool write(const float* interleaved, int64_t frames);
    // Completes the header; false on any I/O error since open.
    bool close();
    int64_t clipped() const { return clipped_; }
    const std::string& error() const { return error_; }

private:
    std::FILE* file_ = nullptr;
    int channels_ = 0, bits_ = 0;
    uint64_t dataBytes_ = 0;
    std::unique_ptr<SampleQuantizer> quantizer_;
    std::vector<int32_t> ints_;
    std::vector<unsigned char> raw_;
    int64_t clipped_ = 0;
    std::string error_;
};

} // namespace qxhost
