#pragma once
// A small CLAP host: loads a module through clap_entry, creates its first plug-in with one host
// record, and answers and records what the plug-in asks of it. It is qxhost's PluginSession for
// `.clap` modules and the host of the CLAP tests.
//
// The host record offers params, thread-check, timer-support, posix-fd-support and preset-load;
// each can be withheld (`offers`) to try a plug-in against a plainer host. Timers and fds are only
// recorded: whoever drives the session fires them (fireTimers, fireFds).
//
// Thread roles are simulated on the caller's thread: calls made inside an AudioScope answer
// "audio thread" to the plug-in's thread check and "not main thread", every other call the
// opposite. process() and flush() while active run inside one.

#include "clap/ClapAbi.h"
#include "host/ClapEventLists.h"
#include "host/PluginSession.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace qxhost {

class ClapSession : public PluginSession {
  public:
    enum Offer : uint32_t {
        kParams = 1,
        kThreadCheck = 2,
        kTimers = 4,
        kFds = 8,
        kPresetLoad = 16,
        kAll = 31,
    };

    explicit ClapSession(uint32_t offers = kAll);
    ~ClapSession() override;
    ClapSession(const ClapSession&) = delete;
    ClapSession& operator=(const ClapSession&) = delete;

    // Loads the module and calls init on its entry (false with error() set).
    bool load(const std::string& path);
    // Creates and initialises the factory's first plug-in.
    bool create();
    // Destroys the plug-in (deactivating it first), if there is one.
    void destroy();
    // Destroys the plug-in, calls deinit and unloads.
    void unload();

    const clap_plugin_entry* entry() const { return entry_; }
    const clap_plugin_factory* factory() const { return factory_; }
    const clap_plugin* plugin() const { return plugin_; }
    const clap_host* host() const { return &host_; }
    template <typename T> const T* ext(const char* id) const {
        return plugin_ != nullptr ? static_cast<const T*>(plugin_->get_extension(plugin_, id))
                                  : nullptr;
    }

    bool activate(double rate, uint32_t maxFrames);
    void deactivate();
    bool active() const { return active_; }
    // One block through the main ports (in place when `in` and `out` are the same) with
    // `events`; what the plug-in sends goes to `sent`.
    clap_process_status processBlock(float* const in[2], float* const out[2], uint32_t frames,
                                     const InputEvents* events, OutputEvents* sent);
    void flush(const InputEvents* events, OutputEvents* sent);
    double value(clap_id id) const;

    // The plug-in's state through a memory stream; `chunk` limits each read or write.
    std::vector<uint8_t> saveState(std::size_t chunk = SIZE_MAX) const;
    bool loadState(const std::vector<uint8_t>& bytes, std::size_t chunk = SIZE_MAX);

    struct Preset {
        std::string name, key;
    };
    // The presets the module lists through its preset-discovery factory, every provider and
    // every location inside the module; empty when it has none.
    std::vector<Preset> listPresets() const;

    // Calls on_timer for every registered timer and on_fd for every registered fd.
    void fireTimers();
    void fireFds();

    // What the plug-in asked of the host.
    int rescans = 0;
    int flushRequests = 0;
    int callbackRequests = 0;
    std::vector<std::string> presetsLoaded, presetErrors;
    std::map<clap_id, uint32_t> timers; // id -> period in ms
    std::set<int> fds;

    struct AudioScope {
        AudioScope();
        ~AudioScope();
    };

    // PluginSession
    bool open(const std::string& path) override { return load(path) && create(); }
    const std::string& error() const override { return error_; }
    void printInfo(std::FILE* out) override;
    int32_t parameterCount() override;
    std::string parameterName(int32_t index) override;
    std::string parameterText(int32_t index) override;
    std::string parameterLabel(int32_t) override { return ""; }
    float parameter(int32_t index) override;
    void setParameter(int32_t index, float value) override;
    bool selectProgram(int32_t program) override;
    void startProcessing(double sampleRate, int32_t maxFrames) override;
    void process(float* const* inputs, float* const* outputs, int32_t frames,
                 bool accumulate) override;
    void stopProcessing() override { deactivate(); }
    intptr_t privateRequest(int32_t index, intptr_t command, void* ptr) override;

    uint32_t offers() const { return offers_; }
    // The CLAP value of a VST 2 value of parameter `index`: a stepped parameter's state is the
    // one the engine reads from the value.
    double clapValue(int32_t index, float value) const;

  private:
    // A stepped parameter's top value (0 for a continuous one).
    double stepsOf(int32_t index) const;

    uint32_t offers_;
    clap_host host_{};
    void* module_ = nullptr;
    const clap_plugin_entry* entry_ = nullptr;
    const clap_plugin_factory* factory_ = nullptr;
    const clap_plugin* plugin_ = nullptr;
    bool active_ = false;
    std::string error_;
    InputEvents pending_; // parameter writes waiting for the next block
    std::vector<float> scratch_[2];
};

} // namespace qxhost
