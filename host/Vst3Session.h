#pragma once
// qxhost's PluginSession for VST 3 bundles: the module loaded as a host loads it (Vst3Module),
// one instance, and the calls a host makes: parameter writes through the controller and, like a
// host's automation, in the next process call's queues at offset 0; programs through the
// program-change parameter; 32-bit processing of one stereo bus each way.
//
// Values are the VST 2 ones (see PluginSession.h): a stepped parameter's state is the one the
// VST 2 engine reads from the value (the value times the steps, truncated).

#include "host/PluginSession.h"
#include "host/Vst3HostObjects.h"
#include "host/Vst3Module.h"

#include <memory>
#include <string>
#include <vector>

namespace qxhost {

// A UTF-16 text of the plug-in's as ASCII ('?' for anything else).
std::string vst3Text(const qx::vst3::char16* text);

class Vst3Session : public PluginSession {
  public:
    ~Vst3Session() override;

    bool open(const std::string& path) override;
    const std::string& error() const override { return error_; }
    void printInfo(std::FILE* out) override;
    int32_t parameterCount() override { return int32_t(params_.size()); }
    std::string parameterName(int32_t index) override;
    std::string parameterText(int32_t index) override;
    std::string parameterLabel(int32_t index) override;
    float parameter(int32_t index) override;
    void setParameter(int32_t index, float value) override;
    bool selectProgram(int32_t program) override;
    void startProcessing(double sampleRate, int32_t maxFrames) override;
    void process(float* const* inputs, float* const* outputs, int32_t frames,
                 bool accumulate) override;
    void stopProcessing() override;
    intptr_t privateRequest(int32_t index, intptr_t command, void* ptr) override;

  private:
    // The parameter behind index `index` (the program selector is not counted), or null.
    const qx::vst3::ParameterInfo* info(int32_t index) const;
    // A write as hosts make it: to the controller, and into the next block's queues.
    void write(qx::vst3::ParamID id, double normalized);

    Vst3Module module_;
    std::unique_ptr<Vst3Instance> instance_;
    std::vector<qx::vst3::ParameterInfo> params_;
    qx::vst3::ParameterInfo program_{};
    bool hasProgram_ = false;
    ParamChanges pending_, sent_;
    std::vector<float> scratch_[2];
    std::string error_;
};

} // namespace qxhost
