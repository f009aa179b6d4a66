// `qxhost gui PLUGIN [--seconds N]`: the plug-in's panel in a window of its own, with the demo
// signal looping through the effect in real time, so a person can try the controls and watch
// the meters without a sequencer. Every automation call the plug-in sends is printed.
//
// It behaves the way the hosts we test against do: the panel is opened with effEditOpen in a
// top-level window of the host's, the audio runs on a thread of its own (paced by the clock, as
// there is no sound device), and on quit the host sends effEditClose, then effMainsChanged 0,
// then effClose. On Linux the host calls effEditIdle from its loop; on Windows the panel's own
// timer does the work and effEditIdle is sent all the same.
#include "host/Commands.h"
#include "host/DemoSignal.h"
#include "host/GuiWindow.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace qxhost {

namespace {

using Clock = GuiClock;

constexpr int kSampleRate = 44100;
constexpr int kBlockSize = 512;
constexpr double kLoopSeconds = 8.0;

std::string trimmed(std::string s) {
    const auto b = s.find_first_not_of(' ');
    const auto e = s.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// The audio thread: the demo signal, looped, one block per block's worth of wall-clock time.
class DemoPlayer {
public:
    explicit DemoPlayer(AEffect* effect)
        : effect_(effect), signal_(makeDemoSignal(kSampleRate, kLoopSeconds)) {}
    ~DemoPlayer() { stop(); }

    void start() { thread_ = std::thread([this] { run(); }); }
    void stop() {
        stopping_.store(true);
        if (thread_.joinable()) thread_.join();
    }

private:
    void run() {
        std::vector<float> in[2], out[2];
        for (int c = 0; c < 2; ++c) {
            in[c].resize(kBlockSize);
            out[c].resize(kBlockSize);
        }
        float* inputs[2] = {in[0].data(), in[1].data()};
        float* outputs[2] = {out[0].data(), out[1].data()};
        const size_t frames = signal_.size() / 2;
        const auto blockTime = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(double(kBlockSize) / kSampleRate));
        size_t pos = 0;
        Clock::time_point next = Clock::now();
        while (!stopping_.load()) {
            for (int i = 0; i < kBlockSize; ++i, pos = (pos + 1) % frames) {
                in[0][i] = signal_[2 * pos];
                in[1][i] = signal_[2 * pos + 1];
            }
            effect_->processReplacing(effect_, inputs, outputs, kBlockSize);
            next += blockTime;
            // After a stall (a suspended process, a debugger) carry on from now, not in a burst.
            if (Clock::now() - next > std::chrono::seconds(1)) next = Clock::now();
            std::this_thread::sleep_until(next);
        }
    }

    AEffect* effect_;
    std::vector<float> signal_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
};

// The arguments; false with a one-line `error` saying what is wrong.
bool parse(int argc, char** argv, GuiOptions& o, std::string& error) {
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seconds") {
            if (i + 1 >= argc) {
                error = "--seconds needs a number of seconds";
                return false;
            }
            const char* text = argv[++i];
            char* end = nullptr;
            o.seconds = std::strtod(text, &end);
            if (*text == '\0' || *end != '\0' || !(o.seconds > 0.0 && o.seconds < 1e9)) {
                error = std::string("--seconds needs a number of seconds above 0, not '") + text +
                        "' (without it the window stays until closed)";
                return false;
            }
        } else if (!a.empty() && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else if (!o.plugin.empty()) {
            error = "one PLUGIN only; '" + a + "' is one too many";
            return false;
        } else {
            o.plugin = a;
        }
    }
    if (o.plugin.empty()) error = "expected a PLUGIN";
    return !o.plugin.empty();
}

} // namespace

void printAutomation(HostSession& s) {
    for (const AutomationCall& a : s.takeAutomation()) {
        const std::string name = trimmed(s.text(qx::effGetParamName, a.index));
        const std::string display = trimmed(s.text(qx::effGetParamDisplay, a.index));
        const std::string label = trimmed(s.text(qx::effGetParamLabel, a.index));
        std::printf("automate %2d %-14s %.6f  %s%s%s\n", a.index, name.c_str(), double(a.value),
                    display.c_str(), label.empty() ? "" : " ", label.c_str());
    }
    std::fflush(stdout);
}

PanelSize panelSize(HostSession& s) {
    PanelSize size;
    ERect* r = nullptr;
    if (s.dispatch(qx::effEditGetRect, 0, 0, &r) != 0 && r != nullptr &&
        r->right > r->left && r->bottom > r->top) {
        size.width = r->right - r->left;
        size.height = r->bottom - r->top;
    }
    return size;
}

bool guiExpired(const GuiOptions& o, GuiClock::time_point started) {
    return o.seconds > 0.0 &&
           GuiClock::now() - started >= std::chrono::duration<double>(o.seconds);
}

int guiFail(const std::string& message, int code) {
    std::fprintf(stderr, "qxhost gui: %s\n", message.c_str());
    return code;
}

int runGuiCommand(int argc, char** argv) {
    GuiOptions o;
    std::string error;
    if (!parse(argc, argv, o, error)) return guiFail(error + "; usage: qxhost gui PLUGIN [--seconds N]", 2);

    HostSession s;
    if (!s.load(o.plugin)) return guiFail(s.error());
    AEffect* e = s.create();
    if (e == nullptr) return guiFail(s.error());
    if ((e->flags & qx::effFlagsHasEditor) == 0) return guiFail("the plug-in has no panel");
    s.takeAutomation(); // the program load during construction is not the user's doing
    const std::string name = trimmed(s.text(qx::effGetEffectName));

    s.dispatch(qx::effSetSampleRate, 0, 0, nullptr, float(kSampleRate));
    s.dispatch(qx::effSetBlockSize, 0, kBlockSize);
    s.dispatch(qx::effMainsChanged, 0, 1);
    DemoPlayer player(e);
    player.start();
    const int code = runGuiWindow(s, o, name.empty() ? "qxhost" : name);
    player.stop();
    s.dispatch(qx::effMainsChanged, 0, 0);
    s.destroy();
    return code;
}

} // namespace qxhost
