// The CLAP module through clap_entry, as a CLAP host drives it: writes as parameter events
// (flushed while inactive, at the next block's first frame while active), timed changes as
// events at their frames, state through streams, programs as presets.
#include "host/ClapSession.h"
#include "tests/formats/FormatConformance.h"

namespace qx::test {
namespace {

class ClapInstance final : public FormatInstance {
  public:
    bool load() { return session_.load(QX_CLAP_MODULE) && session_.create(); }
    void start(double rate, uint32_t maxBlock) override { session_.activate(rate, maxBlock); }
    void setParameter(int32_t index, float value) override {
        if (!session_.active()) {
            session_.setParameter(index, value);
            return;
        }
        writes_.push_back({0, index, value});
    }
    void process(const float* const* in, float* const* out, uint32_t frames,
                 const std::vector<TimedChange>& changes) override {
        qxhost::InputEvents events;
        auto add = [&](const TimedChange& c) {
            events.events.push_back(qxhost::paramValueEvent(c.frame, clap_id(c.index),
                                                            session_.clapValue(c.index, c.value)));
        };
        for (const TimedChange& c : writes_)
            add(c);
        for (const TimedChange& c : changes)
            add(c);
        writes_.clear();
        session_.processBlock(const_cast<float* const*>(in), out, frames, &events, nullptr);
    }
    bool hasTimedChanges() const override { return true; }
    bool hasState() const override { return true; }
    std::vector<uint8_t> saveState() override { return session_.saveState(); }
    bool loadState(const std::vector<uint8_t>& bytes) override { return session_.loadState(bytes); }
    int32_t programCount() const override { return int32_t(session_.listPresets().size()); }
    void selectProgram(int32_t p) override { session_.selectProgram(p); }
    float parameter(int32_t index) override { return session_.parameter(index); }

  private:
    qxhost::ClapSession session_;
    std::vector<TimedChange> writes_;
};

struct ClapTraits {
    static constexpr const char* kName = "CLAP";
    static std::unique_ptr<FormatInstance> create() {
        auto m = std::make_unique<ClapInstance>();
        return m->load() ? std::move(m) : nullptr;
    }
};

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Clap, FormatConformance, ClapTraits);

} // namespace qx::test
