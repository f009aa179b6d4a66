#pragma once
// What a VST 3 host hands a plug-in, as small objects of our own: a memory stream (state), the
// parameter change lists and the record of a process call, and a component handler that records
// the plug-in's edits. Used by Vst3Session and by the VST 3 tests. The objects live on their
// owner's stack or in its members; their reference counts only count.

#include "vst3/Vst3Abi.h"

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace qxhost {

template <typename T> class Vst3HostObject : public T {
  public:
    qx::vst3::tresult QX_VST3_API queryInterface(const qx::vst3::TUID iid, void** obj) override {
        if (obj == nullptr) return qx::vst3::kInvalidArgument;
        *obj = (T::iid.equals(iid) || qx::vst3::FUnknown::iid.equals(iid)) ? this : nullptr;
        return *obj != nullptr ? qx::vst3::kResultOk : qx::vst3::kNoInterface;
    }
    qx::vst3::uint32 QX_VST3_API addRef() override { return ++refs; }
    qx::vst3::uint32 QX_VST3_API release() override { return --refs; }
    qx::vst3::uint32 refs = 1;
};

class MemoryStream : public Vst3HostObject<qx::vst3::IBStream> {
  public:
    std::vector<uint8_t> bytes;
    int64_t position = 0;
    // Largest read or write served per call (hosts may serve less than asked).
    int32_t chunk = 1 << 30;

    qx::vst3::tresult QX_VST3_API read(void* buffer, qx::vst3::int32 numBytes,
                                       qx::vst3::int32* numBytesRead) override;
    qx::vst3::tresult QX_VST3_API write(void* buffer, qx::vst3::int32 numBytes,
                                        qx::vst3::int32* numBytesWritten) override;
    qx::vst3::tresult QX_VST3_API seek(qx::vst3::int64 pos, qx::vst3::int32 mode,
                                       qx::vst3::int64* result) override;
    qx::vst3::tresult QX_VST3_API tell(qx::vst3::int64* pos) override;
};

class ParamQueue : public Vst3HostObject<qx::vst3::IParamValueQueue> {
  public:
    qx::vst3::ParamID id = 0;
    std::vector<std::pair<int32_t, double>> points;

    qx::vst3::ParamID QX_VST3_API getParameterId() override { return id; }
    qx::vst3::int32 QX_VST3_API getPointCount() override {
        return static_cast<qx::vst3::int32>(points.size());
    }
    qx::vst3::tresult QX_VST3_API getPoint(qx::vst3::int32 index, qx::vst3::int32& offset,
                                           qx::vst3::ParamValue& value) override;
    qx::vst3::tresult QX_VST3_API addPoint(qx::vst3::int32 offset, qx::vst3::ParamValue value,
                                           qx::vst3::int32& index) override;
};

class ParamChanges : public Vst3HostObject<qx::vst3::IParameterChanges> {
  public:
    std::deque<ParamQueue> queues; // stable addresses while queues are added

    // Adds a point to the parameter's queue (created on first use); returns *this.
    ParamChanges& add(qx::vst3::ParamID id, int32_t offset, double value);
    // The last value reported for `id`, or -1.
    double last(qx::vst3::ParamID id) const;

    qx::vst3::int32 QX_VST3_API getParameterCount() override {
        return static_cast<qx::vst3::int32>(queues.size());
    }
    qx::vst3::IParamValueQueue* QX_VST3_API getParameterData(qx::vst3::int32 index) override;
    qx::vst3::IParamValueQueue* QX_VST3_API addParameterData(const qx::vst3::ParamID& id,
                                                             qx::vst3::int32& index) override;
};

// A process call's record with one stereo bus each way, 32-bit, real time. The buses point at
// `inPtr` and `outPtr`, which set() fills; no parameter lists until the caller gives some.
struct StereoProcessData {
    float* inPtr[2] = {};
    float* outPtr[2] = {};
    qx::vst3::AudioBusBuffers inBus{}, outBus{};
    qx::vst3::ProcessData data{};

    StereoProcessData();
    StereoProcessData(const StereoProcessData&) = delete; // the record points into itself
    StereoProcessData& operator=(const StereoProcessData&) = delete;

    void set(const float* const* inputs, float* const* outputs, int32_t frames);
};

class ComponentHandler : public Vst3HostObject<qx::vst3::IComponentHandler> {
  public:
    // "b3", "p3=0.5", "e3", "r4": what the plug-in called, in order.
    std::vector<std::string> calls;

    qx::vst3::tresult QX_VST3_API beginEdit(qx::vst3::ParamID id) override;
    qx::vst3::tresult QX_VST3_API performEdit(qx::vst3::ParamID id,
                                              qx::vst3::ParamValue value) override;
    qx::vst3::tresult QX_VST3_API endEdit(qx::vst3::ParamID id) override;
    qx::vst3::tresult QX_VST3_API restartComponent(qx::vst3::int32 flags) override;
};

} // namespace qxhost
