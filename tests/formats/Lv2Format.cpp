// The LV2 bundle through lilv: control ports read at each run's start, no timed changes, no
// state of its own (the host keeps the port values), presets listed in the bundle.
#include "tests/formats/FormatConformance.h"
#include "tests/lv2/Lv2TestHost.h"

#include <optional>

namespace qx::test {
namespace {

class Lv2FormatInstance final : public FormatInstance {
public:
    Lv2FormatInstance() {
        for (int i = 0; i < kNumParams; ++i) values_[i] = kParamTable[i].defaultValue;
    }
    void start(double rate, uint32_t maxBlock) override {
        static Lv2TestHost host; // one world for the whole run, as a host keeps one
        instance_.emplace(host, rate, int32_t(maxBlock));
        instance_->controls = values_;
        lilv_instance_activate(instance_->instance);
    }
    void setParameter(int32_t index, float value) override {
        values_[index] = value;
        if (instance_) instance_->controls[index] = value;
    }
    void process(const float* const* in, float* const* out, uint32_t frames,
                 const std::vector<TimedChange>&) override {
        instance_->run(in[0], in[1], out[0], out[1], frames);
    }
    float parameter(int32_t index) override { return values_[index]; }

private:
    std::array<float, kNumParams> values_{};
    std::optional<Lv2Instance> instance_;
};

struct Lv2Traits {
    static constexpr const char* kName = "LV2";
    static std::unique_ptr<FormatInstance> create() { return std::make_unique<Lv2FormatInstance>(); }
};

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Lv2, FormatConformance, Lv2Traits);

} // namespace qx::test
