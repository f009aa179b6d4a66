#pragma once
// The VST 3 tests' host: the shared module and its instances (host/Vst3Module), the host
// objects a host passes in (host/Vst3HostObjects), and a stereo block ready for process().

#include "host/Vst3HostObjects.h"
#include "host/Vst3Module.h"
#include "vst3/Vst3Abi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qx::vst3::test {

using qxhost::ComponentHandler;
using qxhost::MemoryStream;
using qxhost::ParamChanges;
using qxhost::ParamQueue;
template <typename T> using HostObject = qxhost::Vst3HostObject<T>;

// The bundle binary, loaded once per process (as hosts keep modules loaded): the one at
// `sharedModulePath` if a test program set it, else the build tree's.
extern const char* sharedModulePath;
qxhost::Vst3Module& sharedModule();

// One limiter from the shared module (or `module`); throws when none could be made.
struct Instance : qxhost::Vst3Instance {
    explicit Instance(const qxhost::Vst3Module& module = sharedModule());
};

// Stereo input and output buffers of `frames` samples and the process record pointing at them.
struct StereoBlock : qxhost::StereoProcessData {
    std::vector<float> in[2], out[2];
    ParamChanges inChanges, outChanges;

    explicit StereoBlock(int32_t frames);
    // Fills both inputs with a deterministic test signal starting at sample `start`.
    void fillSignal(int64_t start, float gain = 1.5f);
    tresult process(IAudioProcessor* processor) { return processor->process(data); }
};

// A normalized value as a display text and back, through the controller.
std::string displayText(IEditController* controller, ParamID id, double normalized);
std::u16string u16(const char* text);

} // namespace qx::vst3::test
