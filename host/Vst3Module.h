#pragma once
// A VST 3 module as a host loads it: the binary found in its bundle folder for this platform,
// loaded, entered (ModuleEntry on Linux, InitDll on Windows) and asked for its factory; and one
// instance of the factory's first class, initialised, with the interfaces the limiter answers.
// Used by Vst3Session and by the VST 3 tests.

#include "vst3/Vst3Abi.h"
#include "vst3/Vst3Private.h"

#include <cstdint>
#include <string>

namespace qxhost {

// The binary inside the bundle folder `path` for this platform
// (Contents/x86_64-linux/NAME.so, Contents/x86_64-win/NAME.vst3, Contents/x86-win/NAME.vst3);
// `path` itself when it is no folder.
std::string vst3Binary(const std::string& path);

class Vst3Module {
  public:
    Vst3Module() = default;
    ~Vst3Module() { unload(); }
    Vst3Module(const Vst3Module&) = delete;
    Vst3Module& operator=(const Vst3Module&) = delete;

    // Loads the bundle or binary at `path`, enters it and takes its factory; false with `error`
    // set (nothing stays loaded then).
    bool load(const std::string& path, std::string& error);
    // Releases the factory, exits the module and unloads it.
    void unload();

    void* handle() const { return handle_; }
    qx::vst3::IPluginFactory* factory() const { return factory_; }
    // An export of the module, or null.
    void* symbol(const char* name) const;

  private:
    void* handle_ = nullptr;
    qx::vst3::IPluginFactory* factory_ = nullptr;
};

// One instance of `module`'s first class, initialised; `component` is null when it could not be
// made. The other interfaces are null where the instance does not answer them.
struct Vst3Instance {
    qx::vst3::IComponent* component = nullptr;
    qx::vst3::IAudioProcessor* processor = nullptr;
    qx::vst3::IEditController* controller = nullptr;
    qx::vst3::IUnitInfo* units = nullptr;
    qx::vst3::IPrivateRequests* privateRequests = nullptr;

    explicit Vst3Instance(const Vst3Module& module);
    ~Vst3Instance();
    Vst3Instance(const Vst3Instance&) = delete;
    Vst3Instance& operator=(const Vst3Instance&) = delete;

    // setupProcessing (32-bit, real time), setActive(true) and setProcessing(true); stop()
    // switches both off.
    void start(double rate, int32_t maxBlock);
    void stop();
};

} // namespace qxhost
