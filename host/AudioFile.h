#pragma once
// Reading and writing audio files as 32-bit float frames. On Linux libsndfile does the work (WAV,
// FLAC, AIFF, OGG, ...; AudioFileSndfile.cpp); the Windows build of the host reads and writes WAV
// on its own (AudioFileWav.cpp). Both writers turn floats into integers by SampleQuantizer's one
// rule, so both builds write the same sample bits.

#include "host/SampleQuantizer.h"

#include <cstdint>
#include <memory>
#include <string>

namespace qxhost {

struct AudioFormat {
    int channels = 0;
    int sampleRate = 0;
    int64_t frames = 0;      // as the header says; the file may hold fewer
    int code = 0;            // container and sample format, in the backend's own terms
    int bits = 0;            // integer PCM sample width; 0 for float and coded formats
    std::string description; // e.g. "WAV, Signed 16 bit PCM"
};

class AudioReader {
public:
    AudioReader();
    ~AudioReader();
    bool open(const std::string& path);
    const AudioFormat& format() const { return format_; }
    // Reads up to `frames` interleaved frames; returns the number read (0 at the end).
    int64_t read(float* interleaved, int64_t frames);
    // True when the file ended before the frames its header promised (known at the latest once
    // read() has returned 0).
    bool truncated() const { return truncated_; }
    const std::string& error() const { return error_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    AudioFormat format_;
    std::string error_;
    bool truncated_ = false;
};

class AudioWriter {
public:
    AudioWriter();
    ~AudioWriter();

    // The format a file named `path` gets: the container its extension names, the sample format
    // of `like` where that container holds it (else the nearest it does), 32-bit float when
    // `asFloat`. False with a one-line reason when this build writes no such container, or the
    // container cannot hold float samples.
    static bool formatFor(const std::string& path, const AudioFormat& like, bool asFloat,
                          AudioFormat& out, std::string& error);

    // Creates `path` in `format` (from formatFor, with the caller's channels and rate). Integer
    // formats are quantized with TPDF dither when `dither`.
    bool open(const std::string& path, const AudioFormat& format, bool dither);
    bool write(const float* interleaved, int64_t frames);
    bool close();
    // Samples outside -1..+1 written so far (clipped in integer formats, kept in float ones).
    int64_t clipped() const { return clipped_; }
    const std::string& error() const { return error_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string error_;
    int64_t clipped_ = 0;
};

} // namespace qxhost
