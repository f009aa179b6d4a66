// `qxhost process PLUGIN IN OUT ...`: runs an audio file through the plug-in binary in host-sized
// blocks at the file's own sample rate, writes the result, and reports what the limiter did.
// `qxhost demo OUT` writes the built-in demo material.
#include "core/PrivateRequests.h"
#include "host/AudioFile.h"
#include "host/Commands.h"
#include "host/DemoSignal.h"
#include "host/HostSession.h"
#include "host/LevelPlot.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

namespace qxhost {

namespace {

struct ProcessOptions {
    std::string plugin, in, out, plot;
    std::vector<std::string> params;
    int program = -1;
    int block = 512;
    bool accumulate = false;
    bool asFloat = false;
};

int fail(const std::string& message, int code = 2) {
    std::fprintf(stderr, "qxhost process: %s\n", message.c_str());
    return code;
}

bool parseInt(const char* text, int lo, int hi, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

double dbfs(double v) { return v > 0.0 ? 20.0 * std::log10(v) : -INFINITY; }

// Removes a half-written output when processing stops early.
struct PendingFile {
    std::string path;
    bool keep = false;
    ~PendingFile() {
        if (!keep && !path.empty()) std::remove(path.c_str());
    }
};

void progress(int64_t done, int64_t total) {
    const int width = 40;
    const int filled = total > 0 ? static_cast<int>(width * done / total) : width;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################",
                 width - filled, "", total > 0 ? static_cast<int>(100 * done / total) : 100);
    std::fflush(stderr);
}

} // namespace

int runProcessCommand(int argc, char** argv) {
    ProcessOptions o;
    std::vector<std::string> positional;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](const char* what) -> const char* {
            if (i + 1 >= argc) return nullptr;
            (void)what;
            return argv[++i];
        };
        if (a == "--param") {
            const char* v = value("--param");
            if (v == nullptr) return fail("--param needs NAME=VALUE");
            o.params.emplace_back(v);
        } else if (a == "--program") {
            const char* v = value("--program");
            if (v == nullptr || !parseInt(v, 0, 9, o.program))
                return fail("--program needs a number from 0 to 9");
        } else if (a == "--block") {
            const char* v = value("--block");
            if (v == nullptr || !parseInt(v, 1, 1 << 20, o.block))
                return fail("--block needs a number of frames from 1 to 1048576");
        } else if (a == "--replace") {
            o.accumulate = false;
        } else if (a == "--accumulate") {
            o.accumulate = true;
        } else if (a == "--float") {
            o.asFloat = true;
        } else if (a == "--plot") {
            const char* v = value("--plot");
            if (v == nullptr) return fail("--plot needs a PNG file name");
            o.plot = v;
        } else if (a.size() > 1 && a[0] == '-') {
            return fail("unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 3) return fail("expected PLUGIN IN OUT");
    o.plugin = positional[0];
    o.in = positional[1];
    o.out = positional[2];

    AudioReader reader;
    if (!reader.open(o.in)) return fail(o.in + ": " + reader.error(), 1);
    const AudioFormat format = reader.format();
    if (format.channels < 1 || format.channels > 2)
        return fail(o.in + ": only mono and stereo files are supported", 1);

    HostSession host;
    if (!host.load(o.plugin)) return fail(host.error(), 1);
    AEffect* e = host.create();
    if (e == nullptr) return fail(host.error(), 1);
    if (o.program >= 0) host.dispatch(qx::effSetProgram, 0, o.program);
    for (const auto& p : o.params) {
        std::string error;
        if (!setParameterByName(host, p, error)) return fail(error);
    }
    host.dispatch(qx::effSetSampleRate, 0, 0, nullptr, static_cast<float>(format.sampleRate));
    host.dispatch(qx::effSetBlockSize, 0, o.block);
    host.dispatch(qx::effMainsChanged, 0, 1);

    PendingFile pending;
    pending.path = o.out + ".part";
    AudioWriter writer;
    if (!writer.open(pending.path, format, o.asFloat)) return fail(o.out + ": " + writer.error(), 1);

    const int channels = format.channels;
    std::vector<float> interleaved(static_cast<size_t>(o.block) * channels);
    std::vector<float> inL(o.block), inR(o.block), outL(o.block), outR(o.block);
    // A mono file feeds one buffer to both inputs, which the plug-in treats as a mono source.
    float* inputs[2] = {inL.data(), channels == 1 ? inL.data() : inR.data()};
    float* outputs[2] = {outL.data(), outR.data()};

    const bool showProgress = isatty(2) && format.frames > 10LL * format.sampleRate;
    double inPeak = 0.0, outPeak = 0.0, minGain = 1.0, seconds = 0.0;
    int64_t clipped = 0, done = 0;
    LevelPlot plot(format.sampleRate);
    for (;;) {
        const int64_t n = reader.read(interleaved.data(), o.block);
        if (n <= 0) break;
        double blockIn = 0.0;
        for (int64_t i = 0; i < n; ++i) {
            inL[i] = interleaved[i * channels];
            if (channels == 2) inR[i] = interleaved[i * channels + 1];
            blockIn = std::max(blockIn, static_cast<double>(std::fabs(inL[i])));
            if (channels == 2) blockIn = std::max(blockIn, static_cast<double>(std::fabs(inR[i])));
        }
        if (o.accumulate) {
            std::fill(outL.begin(), outL.end(), 0.0f);
            std::fill(outR.begin(), outR.end(), 0.0f);
        }
        const auto start = std::chrono::steady_clock::now();
        if (o.accumulate)
            e->process(e, inputs, outputs, static_cast<int32_t>(n));
        else
            e->processReplacing(e, inputs, outputs, static_cast<int32_t>(n));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        QxMeterReadout meters{1.0f, 0.0f, 0, 0};
        host.dispatch(qx::effVendorSpecific, QX_METER_INDEX, 0, &meters);
        double blockOut = 0.0;
        for (int64_t i = 0; i < n; ++i) {
            interleaved[i * channels] = outL[i];
            if (channels == 2) interleaved[i * channels + 1] = outR[i];
            for (int c = 0; c < channels; ++c) {
                const double v = std::fabs(interleaved[i * channels + c]);
                blockOut = std::max(blockOut, v);
                if (v > 1.0) ++clipped;
            }
        }
        inPeak = std::max(inPeak, blockIn);
        outPeak = std::max(outPeak, blockOut);
        minGain = std::min(minGain, static_cast<double>(meters.minGain));
        plot.add(n, blockIn, blockOut, meters.minGain);
        if (!writer.write(interleaved.data(), n)) return fail(o.out + ": " + writer.error(), 1);
        done += n;
        if (showProgress && (done / o.block) % 64 == 0) progress(done, format.frames);
    }
    if (showProgress) {
        progress(format.frames, format.frames);
        std::fputc('\n', stderr);
    }
    host.dispatch(qx::effMainsChanged, 0, 0);
    if (!writer.close()) return fail(o.out + ": " + writer.error(), 1);
    std::remove(o.out.c_str());
    if (std::rename(pending.path.c_str(), o.out.c_str()) != 0)
        return fail("cannot move the result to " + o.out, 1);
    pending.keep = true;

    if (!o.plot.empty() && !plot.write(o.plot)) return fail("cannot write " + o.plot, 1);

    const double duration = static_cast<double>(done) / format.sampleRate;
    std::printf("%s: %lld frames, %d Hz, %d channel%s, %s\n", o.in.c_str(),
                static_cast<long long>(done), format.sampleRate, channels, channels == 1 ? "" : "s",
                format.description.c_str());
    std::printf("input peak        %7.2f dBFS\n", dbfs(inPeak));
    std::printf("output peak       %7.2f dBFS\n", dbfs(outPeak));
    std::printf("gain reduction    %7.2f dB at most\n", -dbfs(minGain));
    std::printf("clipped samples   %lld\n", static_cast<long long>(clipped));
    if (seconds > 0.0)
        std::printf("speed             %.0fx real time\n", duration / seconds);
    std::printf("written           %s%s%s\n", o.out.c_str(), o.plot.empty() ? "" : ", ",
                o.plot.c_str());
    return 0;
}

int runDemoCommand(int argc, char** argv) {
    if (argc < 1) {
        std::fprintf(stderr, "qxhost demo: expected OUT.wav [SECONDS]\n");
        return 2;
    }
    double seconds = 6.0;
    if (argc >= 2) {
        char* end = nullptr;
        seconds = std::strtod(argv[1], &end);
        if (*end != '\0' || !(seconds > 0.0 && seconds <= 600.0)) {
            std::fprintf(stderr, "qxhost demo: SECONDS must be from 0 to 600\n");
            return 2;
        }
    }
    const int rate = 44100;
    const std::vector<float> frames = makeDemoSignal(rate, seconds);
    AudioFormat format;
    format.channels = 2;
    format.sampleRate = rate;
    AudioWriter writer;
    if (!writer.open(argv[0], format, true) ||
        !writer.write(frames.data(), static_cast<int64_t>(frames.size() / 2)) || !writer.close()) {
        std::fprintf(stderr, "qxhost demo: %s\n", writer.error().c_str());
        return 1;
    }
    std::printf("demo signal: %.1f s at %d Hz written to %s\n", seconds, rate, argv[0]);
    return 0;
}

} // namespace qxhost
