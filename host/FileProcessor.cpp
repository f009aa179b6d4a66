#include "host/FileProcessor.h"

#include "host/LevelPlot.h"
#include "host/PanelClient.h"
#include "host/ParameterAssigner.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

namespace qxhost {

namespace {

void progress(int64_t done, int64_t total) {
    const int width = 40;
    const int filled = total > 0 ? static_cast<int>(std::min<int64_t>(width, width * done / total)) : width;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################",
                 width - filled, "",
                 total > 0 ? static_cast<int>(std::min<int64_t>(100, 100 * done / total)) : 100);
    std::fflush(stderr);
}

} // namespace

bool FileProcessor::setUp(PluginSession& s, const std::string& plugin, const ProcessOptions& o,
                          std::string& changed, std::string& error, bool& badArgument) {
    badArgument = false;
    if (!s.open(plugin)) {
        error = s.error();
        return false;
    }
    if (o.program >= 0) s.selectProgram(o.program);
    ParameterAssigner assigner(s);
    const std::vector<std::string> before = assigner.shownValues();
    for (const auto& p : o.params) {
        if (!assigner.assign(p, error)) {
            badArgument = true;
            return false;
        }
    }
    const std::vector<std::string> after = assigner.shownValues();
    changed.clear();
    for (size_t i = 0; i < after.size() && i < before.size(); ++i)
        if (after[i] != before[i]) changed += (changed.empty() ? "" : ", ") + after[i];
    return true;
}

FileProcessor::FileProcessor(PluginSession& session, const ProcessOptions& options)
    : session_(session), options_(options) {}

bool FileProcessor::run(AudioReader& reader, AudioWriter* writer, ProcessResult& r,
                        std::string& error) {
    PanelClient panel(session_);
    const AudioFormat& format = reader.format();
    const int channels = format.channels;
    const int block = options_.block;
    r.input = format;
    session_.startProcessing(format.sampleRate, block);

    std::vector<float> in(static_cast<size_t>(block) * channels), out(in.size());
    std::vector<float> inL(block), inR(block), outL(block), outR(block);
    // A mono file feeds one buffer to both inputs, which the plug-in treats as a mono source.
    float* inputs[2] = {inL.data(), channels == 1 ? inL.data() : inR.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    LoudnessMeter inMeter(channels, format.sampleRate), outMeter(channels, format.sampleRate);

    const bool showProgress = isatty(2) && format.frames > 10LL * format.sampleRate;
    bool ok = true;
    for (;;) {
        const int64_t n = reader.read(in.data(), block);
        if (n <= 0) break;
        for (int64_t i = 0; i < n; ++i) {
            inL[i] = in[i * channels];
            if (channels == 2) inR[i] = in[i * channels + 1];
        }
        if (options_.accumulate) {
            std::fill(outL.begin(), outL.end(), 0.0f);
            std::fill(outR.begin(), outR.end(), 0.0f);
        }
        const auto start = std::chrono::steady_clock::now();
        session_.process(inputs, outputs, static_cast<int32_t>(n), options_.accumulate);
        r.pluginSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        QxMeterReadout meters{1.0f, 0.0f, 0, 0};
        if (readMeters) panel.readMeters(meters);
        for (int64_t i = 0; i < n; ++i) {
            out[i * channels] = outL[i];
            if (channels == 2) out[i * channels + 1] = outR[i];
        }
        for (int64_t i = 0; i < n * channels; ++i) {
            r.inPeak = std::max(r.inPeak, static_cast<double>(std::fabs(in[i])));
            r.outPeak = std::max(r.outPeak, static_cast<double>(std::fabs(out[i])));
            if (writer == nullptr && (out[i] > 1.0f || out[i] < -1.0f)) ++r.clipped;
        }
        if (std::isfinite(meters.minGain)) r.minGain = std::min(r.minGain, static_cast<double>(meters.minGain));
        inMeter.add(in.data(), n);
        outMeter.add(out.data(), n);
        if (plot != nullptr) plot->add(in.data(), out.data(), n, meters.minGain);
        if (writer != nullptr && !writer->write(out.data(), n)) {
            error = writer->error();
            ok = false;
            break;
        }
        r.frames += n;
        if (afterBlock) afterBlock(r.frames);
        if (showProgress && (r.frames / block) % 64 == 0) progress(r.frames, format.frames);
    }
    if (showProgress) {
        progress(format.frames, format.frames);
        std::fputc('\n', stderr);
    }
    session_.stopProcessing();
    r.truncated = reader.truncated() || (format.frames > 0 && r.frames < format.frames);
    r.inLoudness = inMeter.result();
    r.outLoudness = outMeter.result();
    if (writer != nullptr) {
        r.clipped = writer->clipped();
        if (ok && !writer->close()) {
            error = writer->error();
            ok = false;
        }
    }
    return ok;
}

} // namespace qxhost
