#pragma once
// Reading and writing audio files as 32-bit float frames. On Linux libsndfile does the work (WAV,
// FLAC, AIFF, OGG, ...); the Windows build of the host reads and writes WAV on its own.

#include <cstdint>
#include <memory>
#include <string>

namespace qxhost {

struct AudioFormat {
    int channels = 0;
    int sampleRate = 0;
    int64_t frames = 0;
    int code = 0;            // container and sample format, in the backend's own terms
    std::string description; // e.g. "WAV 16-bit"
};

class AudioReader {
public:
    AudioReader();
    ~AudioReader();
    bool open(const std::string& path);
    const AudioFormat& format() const { return format_; }
    // Reads up to `frames` interleaved frames; returns the number read (0 at the end).
    int64_t read(float* interleaved, int64_t frames);
    const std::string& error() const { return error_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    AudioFormat format_;
    std::string error_;
};

class AudioWriter {
public:
    AudioWriter();
    ~AudioWriter();
    // Same container and sample format as `like`, or 32-bit float WAV when `asFloatWav`.
    bool open(const std::string& path, const AudioFormat& like, bool asFloatWav);
    bool write(const float* interleaved, int64_t frames);
    bool close();
    const std::string& error() const { return error_; }

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string error_;
};

} // namespace qxhost
