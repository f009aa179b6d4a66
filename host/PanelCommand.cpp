// `qxhost panel PLUGIN OUT.png [--param NAME=VALUE ...] [--meter GAIN,PEAK | --input FILE ...]`:
// loads the plug-in binary, sets the parameters by the names the host shows, opens the panel on
// the memory-only window layer through the panel's private channel and writes what the window
// shows. With --input the file is first run through the plug-in (the options of `process`) while
// the panel's timer ticks every 40 ms of audio, as in a host playing it, so the meters show the
// material's real gain reduction and level at its end.
#include "host/AudioFile.h"
#include "host/Commands.h"
#include "host/FileProcessor.h"
#include "host/ImageWriter.h"
#include "host/OutputFile.h"
#include "host/PanelClient.h"
#include "host/ProcessOptions.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace qxhost {

namespace {

int fail(const std::string& message, int code = 2) {
    std::fprintf(stderr, "qxhost panel: %s\n", message.c_str());
    return code;
}

bool parseFloat(const std::string& text, float& out) {
    char* end = nullptr;
    const float v = std::strtof(text.c_str(), &end);
    if (text.empty() || *end != '\0') return false;
    out = v;
    return true;
}

struct PanelOptions {
    std::string plugin, out, input;
    ProcessOptions process;
    bool meters = false;
    float gain = 1.0f, peak = 0.0f;
};

// False (with the message printed) on bad arguments.
bool parse(int argc, char** argv, PanelOptions& o) {
    auto bad = [](const std::string& message) {
        fail(message);
        return false;
    };
    std::vector<std::string> positional;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        std::string error;
        if (a == "--plot" || a == "--plot-size" || a == "--json" || a == "--out-dir" || a == "--float" ||
            a == "--dither")
            return bad(a + " is an option of process, not of panel");
        const ProcessOptions::Take taken = o.process.take(argc, argv, i, error);
        if (taken == ProcessOptions::Take::Bad) return bad(error);
        if (taken == ProcessOptions::Take::Taken) continue;
        if (a == "--meter" || a == "--input") {
            if (i + 1 >= argc) return bad(a + " needs a value");
            const std::string v = argv[++i];
            if (a == "--input") {
                o.input = v;
                continue;
            }
            const auto sep = v.find(',');
            if (sep == std::string::npos) return bad("--meter wants GAIN,PEAK");
            if (!parseFloat(v.substr(0, sep), o.gain) || !parseFloat(v.substr(sep + 1), o.peak))
                return bad("--meter wants GAIN,PEAK as numbers");
            o.meters = true;
        } else if (!a.empty() && a[0] == '-') {
            return bad("unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2)
        return bad("usage: qxhost panel PLUGIN OUT.png [--param NAME=VALUE ...] [--meter GAIN,PEAK | --input FILE]");
    o.plugin = positional[0];
    o.out = positional[1];
    std::string error;
    if (o.meters && !o.input.empty()) return bad("--meter and --input exclude each other");
    if (o.input.empty() && (o.process.program >= 0 || o.process.accumulate || o.process.replace ||
                            o.process.block != 512))
        return bad("--program, --block, --replace and --accumulate need --input");
    if (!o.process.consistent(error)) return bad(error);
    if (!checkExtension(o.out, {"png"}, error)) return bad(error);
    return true;
}

} // namespace

int runPanelCommand(int argc, char** argv) {
    PanelOptions o;
    if (!parse(argc, argv, o)) return 2;
    if (!ImageWriter::available()) return fail("pictures are not available in this build");
    const std::vector<std::string> inputs = o.input.empty() ? std::vector<std::string>{}
                                                            : std::vector<std::string>{o.input};
    std::string error;
    if (!OutputFile::checkDestination(o.out, inputs, error)) return fail(error, 1);

    const auto s = PluginSession::forModule(o.plugin);
    std::string changed;
    bool badArgument = false;
    if (!FileProcessor::setUp(*s, o.plugin, o.process, changed, error, badArgument))
        return fail(error, badArgument ? 2 : 1);

    PanelClient panel(*s);
    AudioReader reader;
    if (!o.input.empty()) {
        if (!reader.open(o.input)) return fail(o.input + ": " + reader.error(), 1);
        if (reader.format().channels < 1 || reader.format().channels > 2)
            return fail(o.input + ": only mono and stereo files are supported", 1);
    }
    if (!panel.open()) return fail("the plug-in's panel did not open headless", 1);
    // As the audio thread leaves them after a block with this gain and this peak.
    if (o.meters) panel.setMeters(o.gain, o.peak, o.peak > 1.0f ? 27 : 0, 0);
    if (!o.input.empty()) {
        FileProcessor processor(*s, o.process);
        processor.readMeters = false; // the panel's ticks read them
        const int64_t tickFrames = reader.format().sampleRate / 25 > 0 ? reader.format().sampleRate / 25 : 1;
        int64_t nextTick = tickFrames;
        processor.afterBlock = [&](int64_t done) {
            for (; done >= nextTick; nextTick += tickFrames) panel.tick(1);
        };
        ProcessResult result;
        if (!processor.run(reader, nullptr, result, error)) {
            panel.close();
            return fail(o.input + ": " + error, 1);
        }
        if (result.truncated)
            std::fprintf(stderr, "qxhost panel: warning: %s ends before its header says; %lld frames read\n",
                         o.input.c_str(), static_cast<long long>(result.frames));
        // The last frames' meters land on a tick of their own, and the whole panel is drawn.
        panel.expose();
    }
    // A fresh (or uncovered) window recomposes the whole panel on its next tick.
    const std::vector<uint32_t> pixels =
        panel.tick(1) == 1 ? panel.pixels() : std::vector<uint32_t>();
    panel.close();
    if (pixels.empty()) return fail("the panel did not draw", 1);

    OutputFile::installSignalCleanup();
    OutputFile out;
    if (!out.begin(o.out, inputs)) return fail(out.error(), 1);
    if (!ImageWriter::writePng(out.tempPath(), PanelClient::kWidth, PanelClient::kHeight, pixels, error))
        return fail(error, 1);
    if (!out.commit()) return fail(out.error(), 1);
    return 0;
}

} // namespace qxhost
