// The VST 2 module through its record, as a VST 2 host drives it: writes between blocks, no
// state of its own (hosts save the parameters), programs through the dispatcher.
#include "host/HostSession.h"
#include "tests/formats/FormatConformance.h"

namespace qx::test {
namespace {

class Vst2Instance final : public FormatInstance {
public:
    bool load() {
        if (!session_.load(QX_MODULE_PATH)) return false;
        effect_ = session_.create();
        return effect_ != nullptr;
    }
    void start(double rate, uint32_t maxBlock) override {
        session_.dispatch(effSetSampleRate, 0, 0, nullptr, float(rate));
        session_.dispatch(effSetBlockSize, 0, intptr_t(maxBlock));
        session_.dispatch(effMainsChanged, 0, 1);
    }
    void setParameter(int32_t index, float value) override {
        effect_->setParameter(effect_, index, value);
    }
    void process(const float* const* in, float* const* out, uint32_t frames,
                 const std::vector<TimedChange>&) override {
        effect_->processReplacing(effect_, const_cast<float**>(in), const_cast<float**>(out),
                                  int32_t(frames));
    }
    int32_t programCount() const override { return effect_->numPrograms; }
    void selectProgram(int32_t p) override { session_.dispatch(effSetProgram, 0, p); }
    float parameter(int32_t index) override { return effect_->getParameter(effect_, index); }
    bool silentWithMissingPorts() const override { return false; }

private:
    qxhost::HostSession session_;
    AEffect* effect_ = nullptr;
};

struct Vst2Traits {
    static constexpr const char* kName = "VST 2";
    static std::unique_ptr<FormatInstance> create() {
        auto m = std::make_unique<Vst2Instance>();
        return m->load() ? std::move(m) : nullptr;
    }
};

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Vst2, FormatConformance, Vst2Traits);

} // namespace qx::test
