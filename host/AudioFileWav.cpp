// WAV reading and writing for builds without libsndfile: PCM 16, 24 and 32 bit and 32-bit float
// (the writing is WavFileWriter's, as on every build).
#include "host/AudioFile.h"
#include "host/OutputFile.h"
#include "host/WavFileWriter.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace qxhost {

namespace {

constexpr int kPcm = 1;
constexpr int kFloat = 3;
constexpr int kExtensible = 0xfffe;

int encode(int tag, int bits) { return (tag << 16) | bits; }
int tagOf(int code) { return code >> 16; }
int bitsOf(int code) { return code & 0xffff; }

uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

} // namespace

struct AudioReader::Impl {
    FILE* file = nullptr;
    int bytesPerSample = 0;
    int tag = 0;
    int64_t remaining = 0;
    std::vector<unsigned char> raw;
    ~Impl() {
        if (file != nullptr) std::fclose(file);
    }
};

struct AudioWriter::Impl {
    WavFileWriter wav;
};

AudioReader::AudioReader() : impl_(new Impl) {}
AudioReader::~AudioReader() = default;

bool AudioReader::open(const std::string& path) {
    impl_->file = std::fopen(path.c_str(), "rb");
    if (impl_->file == nullptr) {
        error_ = "cannot open " + path;
        return false;
    }
    unsigned char h[12];
    if (std::fread(h, 1, 12, impl_->file) != 12 || std::memcmp(h, "RIFF", 4) != 0 ||
        std::memcmp(h + 8, "WAVE", 4) != 0) {
        error_ = "not a WAV file (this build reads WAV only)";
        return false;
    }
    bool haveFormat = false;
    for (;;) {
        unsigned char c[8];
        if (std::fread(c, 1, 8, impl_->file) != 8) {
            error_ = "WAV file without data";
            return false;
        }
        const uint32_t size = le32(c + 4);
        if (std::memcmp(c, "fmt ", 4) == 0) {
            std::vector<unsigned char> fmt(size);
            if (size < 16 || std::fread(fmt.data(), 1, size, impl_->file) != size) {
                error_ = "broken WAV format chunk";
                return false;
            }
            if (size & 1) std::fgetc(impl_->file);
            impl_->tag = le16(&fmt[0]);
            if (impl_->tag == kExtensible && size >= 26) impl_->tag = le16(&fmt[24]);
            format_.channels = le16(&fmt[2]);
            format_.sampleRate = static_cast<int>(le32(&fmt[4]));
            const int bits = le16(&fmt[14]);
            impl_->bytesPerSample = bits / 8;
            const bool ok = (impl_->tag == kPcm && (bits == 16 || bits == 24 || bits == 32)) ||
                            (impl_->tag == kFloat && bits == 32);
            if (!ok || format_.channels < 1) {
                error_ = "unsupported WAV sample format";
                return false;
            }
            format_.code = encode(impl_->tag, bits);
            format_.bits = impl_->tag == kPcm ? bits : 0;
            format_.description = std::string("WAV, ") + (impl_->tag == kFloat ? "32-bit float" :
                                  std::to_string(bits) + "-bit PCM");
            haveFormat = true;
        } else if (std::memcmp(c, "data", 4) == 0) {
            if (!haveFormat) {
                error_ = "WAV data before its format";
                return false;
            }
            format_.frames = size / (impl_->bytesPerSample * format_.channels);
            impl_->remaining = format_.frames;
            return true;
        } else {
            std::fseek(impl_->file, static_cast<long>(size + (size & 1)), SEEK_CUR);
        }
    }
}

int64_t AudioReader::read(float* out, int64_t frames) {
    if (frames > impl_->remaining) frames = impl_->remaining;
    const size_t samples = static_cast<size_t>(frames) * format_.channels;
    impl_->raw.resize(samples * impl_->bytesPerSample);
    const size_t got = std::fread(impl_->raw.data(), impl_->bytesPerSample * format_.channels,
                                  static_cast<size_t>(frames), impl_->file);
    const unsigned char* p = impl_->raw.data();
    for (size_t i = 0; i < got * format_.channels; ++i, p += impl_->bytesPerSample) {
        if (impl_->tag == kFloat) {
            const uint32_t bits = le32(p);
            std::memcpy(&out[i], &bits, 4);
        } else if (impl_->bytesPerSample == 2) {
            out[i] = static_cast<int16_t>(le16(p)) / 32768.0f;
        } else if (impl_->bytesPerSample == 3) {
            const int32_t v = static_cast<int32_t>((p[0] << 8) | (p[1] << 16) | (p[2] << 24)) >> 8;
            out[i] = static_cast<float>(v / 8388608.0);
        } else {
            out[i] = static_cast<float>(static_cast<int32_t>(le32(p)) / 2147483648.0);
        }
    }
    impl_->remaining -= static_cast<int64_t>(got);
    if (got < static_cast<size_t>(frames)) {
        truncated_ = impl_->remaining > 0;
        impl_->remaining = 0;
    }
    return static_cast<int64_t>(got);
}

AudioWriter::AudioWriter() : impl_(new Impl) {}
AudioWriter::~AudioWriter() = default;

bool AudioWriter::formatFor(const std::string& path, const AudioFormat& like, bool asFloat,
                            AudioFormat& out, std::string& error) {
    const std::string ext = extensionOf(path);
    if (ext != "wav") {
        error = ext.empty() ? "'" + path + "' has no extension to tell the format by"
                            : "this build writes .wav files only, not ." + ext;
        return false;
    }
    out = like;
    const bool pcm = tagOf(like.code) == kPcm &&
                     (bitsOf(like.code) == 16 || bitsOf(like.code) == 24 || bitsOf(like.code) == 32);
    out.code = asFloat || !pcm ? encode(kFloat, 32) : like.code;
    out.bits = tagOf(out.code) == kPcm ? bitsOf(out.code) : 0;
    out.description = std::string("WAV, ") + (out.bits == 0 ? "32-bit float" :
                      std::to_string(out.bits) + "-bit PCM");
    return true;
}

bool AudioWriter::open(const std::string& path, const AudioFormat& format, bool dither) {
    const int bits = tagOf(format.code) == kPcm ? bitsOf(format.code) : 0;
    if (!impl_->wav.open(path, format.channels, format.sampleRate, bits, dither)) {
        error_ = impl_->wav.error();
        return false;
    }
    return true;
}

bool AudioWriter::write(const float* in, int64_t frames) {
    const bool ok = impl_->wav.write(in, frames);
    clipped_ = impl_->wav.clipped();
    if (!ok) error_ = impl_->wav.error();
    return ok;
}

bool AudioWriter::close() {
    if (impl_->wav.close()) return true;
    error_ = impl_->wav.error();
    return false;
}

} // namespace qxhost
