// Every parameter at values no control gives, through the built module as a host drives it: every
// output sample of the very block that follows the write is finite, for loud and for quiet audio,
// getParameter still answers the stored value, and once a usable value is back the effect limits
// as before.
#include "tests/plugin/LoadedPlugin.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using namespace qx;

constexpr int kBlock = 512;

// A tone at `amp` with a burst four times as loud in the middle of the block.
std::vector<float> tone(float amp, int phase) {
    std::vector<float> x(kBlock);
    for (int i = 0; i < kBlock; ++i) {
        const float burst = (i > 200 && i < 260) ? 4.0f : 1.0f;
        x[i] = amp * burst * std::sin(0.05f * static_cast<float>(i + phase));
    }
    return x;
}

class ExtremeParameters : public LoadedPlugin {
protected:
    void SetUp() override {
        LoadedPlugin::SetUp();
        host.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        host.dispatch(effSetBlockSize, 0, kBlock);
        host.dispatch(effMainsChanged, 0, 1);
    }
    // One block through processReplacing (or process, adding); the largest |sample|, or infinity
    // if any sample is not finite.
    float block(const std::vector<float>& x, bool accumulate = false) {
        std::vector<float> right(x.rbegin(), x.rend()), l(kBlock, 0.0f), r(kBlock, 0.0f);
        float* in[2] = {const_cast<float*>(x.data()), right.data()};
        float* out[2] = {l.data(), r.data()};
        auto proc = accumulate ? effect->process : effect->processReplacing;
        proc(effect, in, out, kBlock);
        float peak = 0.0f;
        for (int i = 0; i < kBlock; ++i) {
            if (!std::isfinite(l[i]) || !std::isfinite(r[i])) return std::numeric_limits<float>::infinity();
            peak = std::max({peak, std::fabs(l[i]), std::fabs(r[i])});
        }
        return peak;
    }
};

TEST_F(ExtremeParameters, OutputStaysFiniteForEveryValueOfEveryParameter) {
    const float inf = std::numeric_limits<float>::infinity();
    const float hostile[] = {1e30f, -1e30f, 3.4e38f, -3.4e38f, inf, -inf,
                             std::numeric_limits<float>::quiet_NaN(), -1.0f, 2.0f, 10.0f};
    const std::vector<float> loud = tone(2.0f, 0), quiet = tone(0.001f, 7);
    float defaults[11];
    for (int p = 0; p < 11; ++p) defaults[p] = effect->getParameter(effect, p);
    float settled = 0.0f; // the default program's peak on the loud tone
    for (int k = 0; k < 8; ++k) settled = block(loud);

    for (int p = 0; p < 11; ++p) {
        for (float v : hostile) {
            SCOPED_TRACE(::testing::Message() << "parameter " << p << " = " << v);
            effect->setParameter(effect, p, v);
            const float back = effect->getParameter(effect, p);
            EXPECT_EQ(std::memcmp(&back, &v, sizeof v), 0) << "the stored value is kept";
            for (const auto* x : {&loud, &quiet, &loud}) {
                ASSERT_TRUE(std::isfinite(block(*x)));
                ASSERT_TRUE(std::isfinite(block(*x, true)));
            }
            // With the default back, loud audio is held as before: the state the odd value left
            // behind is usable.
            effect->setParameter(effect, p, defaults[p]);
            float peak = 0.0f;
            for (int k = 0; k < 8; ++k) peak = block(loud);
            EXPECT_GT(peak, 0.0f);
            EXPECT_LT(peak, 1.1f * settled);
        }
    }
}

} // namespace
