#pragma once
// A small VST 3 host for the tests: the bundle's binary loaded with dlopen and entered as a host
// enters it, one plug-in instance with the interfaces the limiter answers, and the host-side
// objects a host passes in: a memory stream, parameter change lists, a component handler that
// records what the plug-in tells it, and a stereo block ready for process().
//
// The host objects live on the test's stack; their reference counts only count.

#include "vst3/Vst3Abi.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace qx::vst3::test {

// The bundle binary, loaded once per process (as hosts keep modules loaded): the one at
// `sharedPath` if a test program set it, else the build tree's.
class Vst3Module {
  public:
    static Vst3Module& shared();
    static const char* sharedPath;
    explicit Vst3Module(const char* path);
    ~Vst3Module();
    Vst3Module(const Vst3Module&) = delete;
    Vst3Module& operator=(const Vst3Module&) = delete;

    void* handle() const { return handle_; }
    // The factory (null if the module did not load); released with the module.
    IPluginFactory* factory() const { return factory_; }
    template <typename Proc> Proc symbol(const char* name) const;

  private:
    void* load(const char* path);
    void unload();

    void* handle_ = nullptr;
    IPluginFactory* factory_ = nullptr;
};

// One limiter created through the factory, initialised, with its interfaces.
struct Instance {
    IComponent* component = nullptr;
    IAudioProcessor* processor = nullptr;
    IEditController* controller = nullptr;
    IUnitInfo* units = nullptr;

    explicit Instance(Vst3Module& module = Vst3Module::shared());
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    // setupProcessing (32-bit, real time) and setActive(true), setProcessing(true).
    void start(double rate, int32_t maxBlock);
};

template <typename T> class HostObject : public T {
  public:
    tresult QX_VST3_API queryInterface(const TUID iid, void** obj) override {
        if (obj == nullptr) return kInvalidArgument;
        *obj = (T::iid.equals(iid) || FUnknown::iid.equals(iid)) ? this : nullptr;
        return *obj != nullptr ? kResultOk : kNoInterface;
    }
    uint32 QX_VST3_API addRef() override { return ++refs; }
    uint32 QX_VST3_API release() override { return --refs; }
    uint32 refs = 1;
};

class MemoryStream : public HostObject<IBStream> {
  public:
    std::vector<uint8_t> bytes;
    int64_t position = 0;
    // Largest read or write served per call (hosts may serve less than asked).
    int32_t chunk = 1 << 30;

    tresult QX_VST3_API read(void* buffer, int32 numBytes, int32* numBytesRead) override;
    tresult QX_VST3_API write(void* buffer, int32 numBytes, int32* numBytesWritten) override;
    tresult QX_VST3_API seek(int64 pos, int32 mode, int64* result) override;
    tresult QX_VST3_API tell(int64* pos) override;
};

class ParamQueue : public HostObject<IParamValueQueue> {
  public:
    ParamID id = 0;
    std::vector<std::pair<int32_t, double>> points;

    ParamID QX_VST3_API getParameterId() override { return id; }
    int32 QX_VST3_API getPointCount() override { return static_cast<int32>(points.size()); }
    tresult QX_VST3_API getPoint(int32 index, int32& offset, ParamValue& value) override;
    tresult QX_VST3_API addPoint(int32 offset, ParamValue value, int32& index) override;
};

class ParamChanges : public HostObject<IParameterChanges> {
  public:
    std::deque<ParamQueue> queues; // stable addresses while queues are added

    // Adds a point to the parameter's queue (created on first use); returns *this.
    ParamChanges& add(ParamID id, int32_t offset, double value);
    // The last value reported for `id`, or -1.
    double last(ParamID id) const;

    int32 QX_VST3_API getParameterCount() override { return static_cast<int32>(queues.size()); }
    IParamValueQueue* QX_VST3_API getParameterData(int32 index) override;
    IParamValueQueue* QX_VST3_API addParameterData(const ParamID& id, int32& index) override;
};

class ComponentHandler : public HostObject<IComponentHandler> {
  public:
    // "b3", "p3=0.5", "e3", "r4": what the plug-in called, in order.
    std::vector<std::string> calls;

    tresult QX_VST3_API beginEdit(ParamID id) override;
    tresult QX_VST3_API performEdit(ParamID id, ParamValue value) override;
    tresult QX_VST3_API endEdit(ParamID id) override;
    tresult QX_VST3_API restartComponent(int32 flags) override;
};

// Stereo input and output buffers of `frames` samples and the process record pointing at them.
struct StereoBlock {
    std::vector<float> in[2], out[2];
    float* inPtr[2];
    float* outPtr[2];
    AudioBusBuffers inBus{}, outBus{};
    ParamChanges inChanges, outChanges;
    ProcessData data{};

    explicit StereoBlock(int32_t frames);
    // Fills both inputs with a deterministic test signal starting at sample `start`.
    void fillSignal(int64_t start, float gain = 1.5f);
    tresult process(IAudioProcessor* processor) { return processor->process(data); }
};

// A normalized value as a display text and back, through the controller.
std::string displayText(IEditController* controller, ParamID id, double normalized);
std::u16string u16(const char* text);

} // namespace qx::vst3::test
