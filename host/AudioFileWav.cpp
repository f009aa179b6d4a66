// WAV reading and writing for builds without libsndfile: PCM 16, 24 and 32 bit and 32-bit float.
#include "host/AudioFile.h"

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

void put16(FILE* f, uint32_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}
void put32(FILE* f, uint32_t v) {
    put16(f, v & 0xffff);
    put16(f, v >> 16);
}

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
    FILE* file = nullptr;
    int tag = 0, bits = 0, channels = 0;
    uint32_t dataBytes = 0;
    std::vector<unsigned char> raw;
    ~Impl() {
        if (file != nullptr) std::fclose(file);
    }
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
    return static_cast<int64_t>(got);
}

AudioWriter::AudioWriter() : impl_(new Impl) {}
AudioWriter::~AudioWriter() = default;

bool AudioWriter::open(const std::string& path, const AudioFormat& like, bool asFloatWav) {
    impl_->tag = asFloatWav ? kFloat : tagOf(like.code);
    impl_->bits = asFloatWav ? 32 : bitsOf(like.code);
    impl_->channels = like.channels;
    if (impl_->tag != kFloat && impl_->tag != kPcm) {
        error_ = "unsupported output format";
        return false;
    }
    impl_->file = std::fopen(path.c_str(), "wb");
    if (impl_->file == nullptr) {
        error_ = "cannot create " + path;
        return false;
    }
    FILE* f = impl_->file;
    const uint32_t blockAlign = like.channels * impl_->bits / 8;
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 0);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, static_cast<uint32_t>(impl_->tag));
    put16(f, static_cast<uint32_t>(like.channels));
    put32(f, static_cast<uint32_t>(like.sampleRate));
    put32(f, static_cast<uint32_t>(like.sampleRate) * blockAlign);
    put16(f, blockAlign);
    put16(f, static_cast<uint32_t>(impl_->bits));
    std::fwrite("data", 1, 4, f);
    put32(f, 0);
    return true;
}

bool AudioWriter::write(const float* in, int64_t frames) {
    const int bytes = impl_->bits / 8;
    const size_t samples = static_cast<size_t>(frames) * impl_->channels;
    impl_->raw.resize(samples * bytes);
    unsigned char* p = impl_->raw.data();
    for (size_t i = 0; i < samples; ++i, p += bytes) {
        uint32_t v;
        if (impl_->tag == kFloat) {
            std::memcpy(&v, &in[i], 4);
        } else {
            const double scale = std::ldexp(1.0, impl_->bits - 1);
            double s = std::floor(static_cast<double>(in[i]) * scale + 0.5);
            if (!(s < scale - 1)) s = scale - 1;
            if (s < -scale) s = -scale;
            v = static_cast<uint32_t>(static_cast<int64_t>(s));
        }
        for (int b = 0; b < bytes; ++b) p[b] = static_cast<unsigned char>(v >> (8 * b));
    }
    if (std::fwrite(impl_->raw.data(), 1, impl_->raw.size(), impl_->file) != impl_->raw.size()) {
        error_ = "write failed";
        return false;
    }
    impl_->dataBytes += static_cast<uint32_t>(impl_->raw.size());
    return true;
}

bool AudioWriter::close() {
    FILE* f = impl_->file;
    if (f == nullptr) return true;
    impl_->file = nullptr;
    bool ok = std::fseek(f, 4, SEEK_SET) == 0;
    put32(f, 36 + impl_->dataBytes);
    ok = ok && std::fseek(f, 40, SEEK_SET) == 0;
    put32(f, impl_->dataBytes);
    ok = std::fclose(f) == 0 && ok;
    if (!ok) error_ = "could not finish the WAV file";
    return ok;
}

} // namespace qxhost
