// The VST 3 bundle's binary through its factory, as a VST 3 host drives it: writes through the
// controller between blocks, timed changes in the process call's queues, the component state,
// programs through the program-change parameter.
#include "tests/formats/FormatConformance.h"
#include "tests/vst3/Vst3TestHost.h"

namespace qx::test {
namespace {

using namespace qx::vst3;
using namespace qx::vst3::test;

class Vst3FormatInstance final : public FormatInstance {
  public:
    void start(double rate, uint32_t maxBlock) override { p_.start(rate, int32_t(maxBlock)); }
    // The engine's values of these tests are the normalized values (switches at their states).
    void setParameter(int32_t index, float value) override {
        p_.controller->setParamNormalized(ParamID(index), value);
    }
    void process(const float* const* in, float* const* out, uint32_t frames,
                 const std::vector<TimedChange>& changes) override {
        ParamChanges queues;
        for (const TimedChange& c : changes)
            queues.add(ParamID(c.index), int32_t(c.frame), c.value);
        qxhost::StereoProcessData io;
        io.set(in, out, int32_t(frames));
        io.data.inputParameterChanges = &queues;
        p_.processor->process(io.data);
    }
    bool hasTimedChanges() const override { return true; }
    bool hasState() const override { return true; }
    std::vector<uint8_t> saveState() override {
        MemoryStream s;
        return p_.component->getState(&s) == kResultOk ? s.bytes : std::vector<uint8_t>{};
    }
    bool loadState(const std::vector<uint8_t>& bytes) override {
        MemoryStream s;
        s.bytes = bytes;
        return p_.component->setState(&s) == kResultOk;
    }
    int32_t programCount() const override { return 10; }
    void selectProgram(int32_t program) override {
        p_.controller->setParamNormalized(kNumParams, program / 9.0);
    }
    float parameter(int32_t index) override {
        return float(p_.controller->getParamNormalized(ParamID(index)));
    }

  private:
    Instance p_;
};

struct Vst3Traits {
    static constexpr const char* kName = "VST 3";
    static std::unique_ptr<FormatInstance> create() {
        if (sharedModule().factory() == nullptr) return nullptr;
        return std::make_unique<Vst3FormatInstance>();
    }
};

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Vst3, FormatConformance, Vst3Traits);

} // namespace qx::test
