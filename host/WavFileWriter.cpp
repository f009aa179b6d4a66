#include "host/WavFileWriter.h"

#include <cstring>

namespace qxhost {

namespace {

constexpr int kPcm = 1;
constexpr int kFloat = 3;
constexpr uint32_t kPcmHeader = 44;   // RIFF, fmt (16), data
constexpr uint32_t kFloatHeader = 58; // RIFF, fmt (18), fact, data

void put16(std::FILE* f, uint32_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}
void put32(std::FILE* f, uint32_t v) {
    put16(f, v & 0xffff);
    put16(f, v >> 16);
}

} // namespace

WavFileWriter::~WavFileWriter() {
    if (file_ != nullptr) std::fclose(file_);
}

bool WavFileWriter::open(const std::string& path, int channels, int sampleRate, int bits, bool dither) {
    if (!supports(bits) || channels < 1 || channels > 8 || sampleRate <= 0) {
        error_ = "unsupported WAV format";
        return false;
    }
    channels_ = channels;
    bits_ = bits;
    if (bits != 0) quantizer_.reset(new SampleQuantizer(bits, dither));
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        error_ = "cannot create " + path;
        return false;
    }
    const bool isFloat = bits == 0;
    const uint32_t sampleBits = isFloat ? 32 : static_cast<uint32_t>(bits);
    const uint32_t blockAlign = static_cast<uint32_t>(channels) * sampleBits / 8;
    std::fwrite("RIFF", 1, 4, file_);
    put32(file_, 0);
    std::fwrite("WAVEfmt ", 1, 8, file_);
    put32(file_, isFloat ? 18 : 16);
    put16(file_, isFloat ? kFloat : kPcm);
    put16(file_, static_cast<uint32_t>(channels));
    put32(file_, static_cast<uint32_t>(sampleRate));
    put32(file_, static_cast<uint32_t>(sampleRate) * blockAlign);
    put16(file_, blockAlign);
    put16(file_, sampleBits);
    if (isFloat) {
        put16(file_, 0); // no further extension
        std::fwrite("fact", 1, 4, file_);
        put32(file_, 4);
        put32(file_, 0); // frames, filled in by close()
    }
    std::fwrite("data", 1, 4, file_);
    put32(file_, 0);
    return std::ferror(file_) == 0;
}

bool WavFileWriter::write(const float* in, int64_t frames) {
    if (file_ == nullptr) return false;
    const size_t samples = static_cast<size_t>(frames) * channels_;
    const int bytes = bits_ == 0 ? 4 : bits_ / 8;
    raw_.resize(samples * bytes);
    unsigned char* p = raw_.data();
    if (quantizer_) {
        ints_.resize(samples);
        quantizer_->convert(in, ints_.data(), samples);
        clipped_ = quantizer_->clipped();
    }
    for (size_t i = 0; i < samples; ++i, p += bytes) {
        uint32_t v;
        if (bits_ == 0) {
            std::memcpy(&v, &in[i], 4);
            if (in[i] > 1.0f || in[i] < -1.0f) ++clipped_;
        } else {
            v = static_cast<uint32_t>(ints_[i]);
        }
        for (int b = 0; b < bytes; ++b) p[b] = static_cast<unsigned char>(v >> (8 * b));
    }
    if (std::fwrite(raw_.data(), 1, raw_.size(), file_) != raw_.size()) {
        error_ = "write failed";
        return false;
    }
    dataBytes_ += raw_.size();
    if (dataBytes_ > 0xffffffffull - kFloatHeader) {
        error_ = "too long for a WAV file";
        return false;
    }
    return true;
}

bool WavFileWriter::close() {
    std::FILE* f = file_;
    if (f == nullptr) return true;
    file_ = nullptr;
    const bool isFloat = bits_ == 0;
    const uint32_t header = isFloat ? kFloatHeader : kPcmHeader;
    const auto data = static_cast<uint32_t>(dataBytes_);
    bool ok = std::ferror(f) == 0 && std::fseek(f, 4, SEEK_SET) == 0;
    put32(f, header - 8 + data);
    if (isFloat) {
        ok = ok && std::fseek(f, 46, SEEK_SET) == 0;
        put32(f, data / (static_cast<uint32_t>(channels_) * 4));
    }
    ok = ok && std::fseek(f, static_cast<long>(header - 4), SEEK_SET) == 0;
    put32(f, data);
    ok = std::ferror(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) error_ = "could not finish the WAV file";
    return ok;
}

} // namespace qxhost
