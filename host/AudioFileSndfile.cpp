#include "host/AudioFile.h"
#include "host/OutputFile.h"
#include "host/WavFileWriter.h"

#include <sndfile.h>

#include <cstring>
#include <vector>

namespace qxhost {

struct AudioReader::Impl {
    SNDFILE* file = nullptr;
    ~Impl() {
        if (file != nullptr) sf_close(file);
    }
};

struct AudioWriter::Impl {
    WavFileWriter wav; // WAV files: the same writer as on every build
    bool useWav = false;
    SNDFILE* file = nullptr;
    int channels = 0;
    std::unique_ptr<SampleQuantizer> quantizer; // null: floats go to libsndfile as they are
    std::vector<int32_t> ints;
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

int pcmBits(int code) {
    switch (code & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return 8;
    case SF_FORMAT_PCM_16:
        return 16;
    case SF_FORMAT_PCM_24:
        return 24;
    case SF_FORMAT_PCM_32:
        return 32;
    default:
        return 0;
    }
}

// The container an extension names, from libsndfile's own list, plus the usual aliases.
int majorFor(const std::string& ext) {
    if (ext == "aif") return SF_FORMAT_AIFF;
    if (ext == "ogg" || ext == "opus") return SF_FORMAT_OGG;
    int count = 0;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
    for (int i = 0; i < count; ++i) {
        SF_FORMAT_INFO info{};
        info.format = i;
        sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info);
        if (info.extension != nullptr && ext == info.extension) return info.format;
    }
    return 0;
}

bool writable(int code, int channels, int rate) {
    SF_INFO info{};
    info.format = code;
    info.channels = channels > 0 ? channels : 2;
    info.samplerate = rate > 0 ? rate : 44100;
    return sf_format_check(&info) != 0;
}

// libsndfile mends a header that promises more than the file holds and says so in its log.
bool headerPromisedMore(SNDFILE* file) {
    char log[4096] = {};
    sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
    for (const char* p = std::strstr(log, "data"); p != nullptr; p = std::strstr(p + 1, "data")) {
        const char* line = std::strchr(p, '\n');
        const char* should = std::strstr(p, "should be");
        if (should != nullptr && (line == nullptr || should < line)) return true;
    }
    return false;
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
    format_.bits = pcmBits(info.format);
    format_.description = describe(info.format);
    truncated_ = headerPromisedMore(impl_->file);
    return true;
}

int64_t AudioReader::read(float* interleaved, int64_t frames) {
    const int64_t got = sf_readf_float(impl_->file, interleaved, frames);
    return got > 0 ? got : 0;
}

AudioWriter::AudioWriter() : impl_(new Impl) {}
AudioWriter::~AudioWriter() = default;

bool AudioWriter::formatFor(const std::string& path, const AudioFormat& like, bool asFloat,
                            AudioFormat& out, std::string& error) {
    const std::string ext = extensionOf(path);
    int major = majorFor(ext);
    if (major == 0) {
        error = ext.empty() ? "'" + path + "' has no extension to tell the format by"
                            : "cannot write ." + ext + " files (use .wav, .flac, .aiff, .ogg, ...)";
        return false;
    }
    std::vector<int> candidates;
    if (asFloat) {
        candidates = {SF_FORMAT_FLOAT};
    } else {
        candidates = {like.code & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_24, SF_FORMAT_PCM_16,
                      ext == "opus" ? SF_FORMAT_OPUS : SF_FORMAT_VORBIS};
    }
    for (int sub : candidates) {
        if (sub == 0 || !writable(major | sub, like.channels, like.sampleRate)) continue;
        out = like;
        out.code = major | sub;
        out.bits = pcmBits(out.code);
        out.description = describe(out.code);
        return true;
    }
    error = asFloat ? "." + ext + " files cannot hold float samples" : "cannot write ." + ext + " files";
    return false;
}

bool AudioWriter::open(const std::string& path, const AudioFormat& format, bool dither) {
    const bool isFloat = (format.code & SF_FORMAT_SUBMASK) == SF_FORMAT_FLOAT;
    const int bits = isFloat ? 0 : pcmBits(format.code);
    // Our WAV writer takes 32-bit float and 16, 24 or 32-bit PCM; libsndfile writes the rest
    // (64-bit float, 8 bit, coded formats) as the format says.
    impl_->useWav = (format.code & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV &&
                    (isFloat || (bits != 0 && bits != 8 && WavFileWriter::supports(bits)));
    if (impl_->useWav) {
        if (impl_->wav.open(path, format.channels, format.sampleRate, bits, dither)) return true;
        error_ = impl_->wav.error();
        return false;
    }
    SF_INFO info{};
    info.channels = format.channels;
    info.samplerate = format.sampleRate;
    info.format = format.code;
    if (!sf_format_check(&info)) {
        error_ = "cannot write " + describe(info.format);
        return false;
    }
    impl_->file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (impl_->file == nullptr) {
        error_ = sf_strerror(nullptr);
        return false;
    }
    impl_->channels = format.channels;
    if (bits > 0) impl_->quantizer.reset(new SampleQuantizer(bits, dither));
    return true;
}

bool AudioWriter::write(const float* interleaved, int64_t frames) {
    if (impl_->useWav) {
        const bool ok = impl_->wav.write(interleaved, frames);
        clipped_ = impl_->wav.clipped();
        if (!ok) error_ = impl_->wav.error();
        return ok;
    }
    const size_t samples = static_cast<size_t>(frames) * impl_->channels;
    sf_count_t written;
    if (impl_->quantizer) {
        // libsndfile takes the top bits of a full-width int without rounding, so our rule alone
        // decides every output bit.
        impl_->ints.resize(samples);
        impl_->quantizer->convert(interleaved, impl_->ints.data(), samples);
        const int shift = 32 - impl_->quantizer->bits();
        for (int32_t& v : impl_->ints) v = static_cast<int32_t>(static_cast<uint32_t>(v) << shift);
        clipped_ = impl_->quantizer->clipped();
        written = sf_writef_int(impl_->file, impl_->ints.data(), frames);
    } else {
        for (size_t i = 0; i < samples; ++i)
            if (interleaved[i] > 1.0f || interleaved[i] < -1.0f) ++clipped_;
        written = sf_writef_float(impl_->file, interleaved, frames);
    }
    if (written != frames) {
        error_ = sf_strerror(impl_->file);
        return false;
    }
    return true;
}

bool AudioWriter::close() {
    if (impl_->useWav) {
        if (impl_->wav.close()) return true;
        error_ = impl_->wav.error();
        return false;
    }
    if (impl_->file == nullptr) return true;
    const int rc = sf_close(impl_->file);
    impl_->file = nullptr;
    if (rc != 0) error_ = sf_error_number(rc);
    return rc == 0;
}

} // namespace qxhost
