// `qxhost panel PLUGIN OUT.png [--param NAME=VALUE ...] [--meter GAIN,PEAK]`: loads the plug-in
// binary, sets the parameters by the names the host shows, opens the panel on the memory-only
// window layer through the panel's private channel, lets one tick draw the whole panel and
// writes what the window shows.
#include "core/PrivateRequests.h"
#include "host/Commands.h"
#include "host/HostSession.h"
#include "host/PngWriter.h"

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
    std::string plugin, out;
    std::vector<std::string> params; // NAME=VALUE
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
        if (a == "--param" || a == "--meter") {
            if (i + 1 >= argc) return bad(a + " needs a value");
            const std::string v = argv[++i];
            if (a == "--param") {
                o.params.push_back(v);
            } else {
                const auto sep = v.find(',');
                if (sep == std::string::npos) return bad("--meter wants GAIN,PEAK");
                if (!parseFloat(v.substr(0, sep), o.gain) || !parseFloat(v.substr(sep + 1), o.peak))
                    return bad("--meter wants GAIN,PEAK as numbers");
                o.meters = true;
            }
        } else if (!a.empty() && a[0] == '-') {
            return bad("unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2)
        return bad("usage: qxhost panel PLUGIN OUT.png [--param NAME=VALUE ...] [--meter GAIN,PEAK]");
    o.plugin = positional[0];
    o.out = positional[1];
    return true;
}

} // namespace

int runPanelCommand(int argc, char** argv) {
    PanelOptions o;
    if (!parse(argc, argv, o)) return 2;

    HostSession s;
    if (!s.load(o.plugin)) return fail(s.error(), 1);
    AEffect* e = s.create();
    if (e == nullptr) return fail(s.error(), 1);
    for (const auto& p : o.params) {
        std::string error;
        if (!setParameterByName(s, p, error)) return fail(error);
    }

    QxHeadlessRequest r{};
    r.size = sizeof r;
    auto request = [&](QxHeadlessCommand c) {
        return s.dispatch(qx::effVendorSpecific, QX_HEADLESS_INDEX, c, &r) == 1;
    };
    if (!request(qxHeadlessOpen)) return fail("the plug-in's panel did not open headless", 1);
    if (o.meters) {
        // As the audio thread leaves them after a block with this gain and this peak.
        r.minGain = o.gain;
        r.peakOut = o.peak;
        r.clipHold = o.peak > 1.0f ? 27 : 0;
        request(qxHeadlessSetMeters);
    }
    // A fresh window is exposed, so its first tick recomposes the whole panel.
    r.count = 1;
    const bool ticked = request(qxHeadlessTick) && r.count == 1;
    std::vector<uint32_t> pixels(QX_HEADLESS_WIDTH * QX_HEADLESS_HEIGHT);
    r.pixels = pixels.data();
    const bool read = ticked && request(qxHeadlessReadPixels);
    request(qxHeadlessClose);
    if (!read) return fail("the panel did not draw", 1);
    if (!writePng(o.out, QX_HEADLESS_WIDTH, QX_HEADLESS_HEIGHT, pixels))
        return fail("cannot write " + o.out, 1);
    return 0;
}

} // namespace qxhost
