#include "host/AudioFile.h"

#include <sndfile.h>

namespace qxhost {

struct AudioReader::Impl {
    SNDFILE* file = nullptr;
    ~Impl() {
        if (file != nullptr) sf_close(file);
    }
};

struct AudioWriter::Impl {
    SNDFILE* file = nullptr;
    ~Impl() {
        if (file != nullptr) sf_close(file);
    }
};

namespace {

std::string describe(int code) {
    SF_FORMAT_INFO major{}, minor{};
    major.format = code & SF_FORMAT_TYPEMASK;
    minor.format = code & SF_FORMAT_SUBMASK;
    sf_command(nullptr, SFC_GET_FORMAT_INFO, &major, sizeof major);
    sf_command(nullptr, SFC_GET_FORMAT_INFO, &minor, sizeof minor);
    return std::string(major.name ? major.name : "?") + ", " + (minor.name ? minor.name : "?");
}

} // namespace

AudioReader::AudioReader() : impl_(new Impl) {}
AudioReader::~AudioReader() = default;

bool AudioReader::open(const std::string& path) {
    SF_INFO info{};
    impl_->file = sf_open(path.c_str(), SFM_READ, &info);
    if (impl_->file == nullptr) {
        error_ = sf_strerror(nullptr);
        return false;
    }
    format_.channels = info.channels;
    format_.sampleRate = info.samplerate;
    format_.frames = info.frames;
    format_.code = info.format;
    format_.description = describe(info.format);
    return true;
}

int64_t AudioReader::read(float* interleaved, int64_t frames) {
    return sf_readf_float(impl_->file, interleaved, frames);
}

AudioWriter::AudioWriter() : impl_(new Impl) {}
AudioWriter::~AudioWriter() = default;

bool AudioWriter::open(const std::string& path, const AudioFormat& like, bool asFloatWav) {
    SF_INFO info{};
    info.channels = like.channels;
    info.samplerate = like.sampleRate;
    info.format = asFloatWav ? (SF_FORMAT_WAV | SF_FORMAT_FLOAT) : like.code;
    if (!sf_format_check(&info)) {
        error_ = "cannot write " + describe(info.format);
        return false;
    }
    impl_->file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (impl_->file == nullptr) {
        error_ = sf_strerror(nullptr);
        return false;
    }
    // Integer formats: clip rather than wrap samples above full scale.
    sf_command(impl_->file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return true;
}

bool AudioWriter::write(const float* interleaved, int64_t frames) {
    if (sf_writef_float(impl_->file, interleaved, frames) != frames) {
        error_ = sf_strerror(impl_->file);
        return false;
    }
    return true;
}

bool AudioWriter::close() {
    if (impl_->file == nullptr) return true;
    const int rc = sf_close(impl_->file);
    impl_->file = nullptr;
    if (rc != 0) error_ = sf_error_number(rc);
    return rc == 0;
}

} // namespace qxhost
