#pragma once
// One instance of the limiter as a CLAP host sees it: the clap_plugin record, the model, the
// panel, and the host's extensions it uses. Translation only: every host call becomes one of the
// model's verbs, every panel edit an event for the host.
//
// Threads, as CLAP assigns them and as the host's thread-check (when it has one) confirms:
//   - main thread: init, destroy, activate, deactivate, parameter flush while inactive, state,
//     presets, the panel (gui, timer, fd) and the private channel; calls on another thread are
//     refused when the host can tell;
//   - audio thread: start/stop processing, reset, process, and flush while active; no allocation,
//     lock or system call there;
//   - queries (parameter info, values, texts, ports, latency, tail): any thread, read-only.
// Between the panel (main thread) and the audio thread only single 32-bit atomics pass: the
// model's values and meters, and EditGestures' per-parameter words.
//
// The instance never calls back into the host from inside a call the host made to set values,
// state or a preset: what the host must hear of those (values to rescan, a preset loaded or not)
// waits for the instance's timer, or for on_main_thread when the host has no timers.
//
// Files: ClapPlugin.cpp (life cycle, processing, parameters), ClapPluginState.cpp (state,
// presets, private channel), ClapPluginGui.cpp (panel, timer, fd), ClapPluginEntries.cpp (the C
// entries and extension tables).

#include "clap/ClapAbi.h"
#include "clap/EditGestures.h"
#include "editor/PanelEditor.h"
#include "model/LimiterModel.h"
#include "model/ModelListener.h"
#include "module/PanelBinding.h"

#include <atomic>
#include <cstdint>

namespace qx {

class ClapPlugin final : private ModelListener {
  public:
    static const clap_plugin_descriptor kDescriptor;
    // The record's entries (desc and plugin_data left null), ClapPluginEntries.cpp.
    static const clap_plugin kEntries;

    // A new instance for `host`, or null when the host record is unusable (null, no CLAP 1
    // version) or memory runs out. The host owns it through the record until destroy.
    static const clap_plugin* create(const clap_host* host);
    // The instance behind a record; null for a null or foreign record.
    static ClapPlugin* from(const clap_plugin* plugin);

    // --- clap_plugin
    bool init();
    void destroy();
    bool activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames);
    void deactivate();
    bool startProcessing();
    void stopProcessing();
    void reset();
    clap_process_status process(const clap_process* process);
    const void* extension(const char* id) const;
    void onMainThread();

    // --- params
    bool paramValue(clap_id id, double* value) const;
    void flush(const clap_input_events* in, const clap_output_events* out);

    // --- state and presets (ClapPluginState.cpp)
    bool saveState(const clap_ostream* stream) const;
    bool loadState(const clap_istream* stream);
    bool loadPreset(uint32_t kind, const char* location, const char* key);
    intptr_t privateRequest(int32_t index, intptr_t command, void* ptr);

    // --- gui, timer-support, posix-fd-support (ClapPluginGui.cpp)
    bool guiApiSupported(const char* api, bool floating) const;
    bool guiCreate(const char* api, bool floating);
    void guiDestroy();
    bool guiSetParent(const clap_window* window);
    bool guiVisible() const { return panel_.isWindowOpen(); }
    void onTimer(clap_id timer);
    void onFd(int fd, uint32_t flags);

    // What the panel and tests see.
    LimiterModel& model() { return model_; }

  private:
    // Host extensions, each kept only when every function we call in it is there.
    struct HostExtensions {
        const clap_host_params* params = nullptr;
        const clap_host_thread_check* threadCheck = nullptr;
        const clap_host_timer_support* timers = nullptr;
        const clap_host_posix_fd_support* fds = nullptr;
        const clap_host_preset_load* presetLoad = nullptr;
    };
    // Notifications waiting for the main thread (bits of `deferred_`).
    enum Deferred : uint32_t { kRescanValues = 1, kPresetLoaded = 2, kPresetFailed = 4 };
    // The instance's timer. Host timers are not exact and the panel ticks on the first call at
    // or after its 30 ms are up, so the timer runs three times as often as the tick.
    static constexpr uint32_t kTimerMs = PanelEditor::kTickMs / 3;
    // Changes gathered from one event list before they go to the model in one call.
    static constexpr int32_t kMaxChanges = 256;

    explicit ClapPlugin(const clap_host* host);
    ~ClapPlugin();

    bool onMainThreadNow() const;
    bool onAudioThreadNow() const;
    void queryHost();
    // Gathers the parameter value events of `in`; calls `run(changes, count, endFrame)` whenever
    // the list fills and once at the end (endFrame = `frames`).
    template <typename Run> void readEvents(const clap_input_events* in, uint32_t frames, Run run);
    void runBlock(const clap_process& p, uint32_t from, uint32_t to, const ParamChange* changes,
                  int32_t count);
    void tellEdits(const clap_output_events* out);
    void requestFlush();
    void defer(uint32_t what);
    void askForCallback();
    void deliverDeferred();
    void closePanel();

    // ModelListener: the panel's edits, on the main thread.
    void editBegun(int32_t index) override;
    void editValue(int32_t index, float value) override;
    void editEnded(int32_t index) override;

    clap_plugin record_;
    const clap_host* host_;
    HostExtensions ext_;
    LimiterModel model_;
    PanelBinding binding_{model_};
    PanelEditor panel_{&binding_};
    EditGestures gestures_;
    ParamChange changes_[kMaxChanges];

    bool initialised_ = false;
    bool active_ = false;
    bool processing_ = false;
    bool guiCreated_ = false;
    clap_id timer_ = CLAP_INVALID_ID;
    int registeredFd_ = -1;
    std::atomic<uint32_t> deferred_{0};
    std::atomic<int32_t> callbackAsked_{0};
    // Load keys of the last preset loaded and the last refused (main thread only).
    char loadedKey_[16] = {};
    char failedKey_[16] = {};
};

} // namespace qx
