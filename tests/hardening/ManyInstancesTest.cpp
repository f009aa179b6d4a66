// Sixty-four instances in one process: built, processed on two audio threads, their panels opened
// and closed in random order, destroyed in random order. The module-wide state (live instance
// count, open panel count, the shared bitmaps) must stay right throughout; leaks show up under
// the address sanitizer build.
#include "host/PanelClient.h"
#include "host/RecordingHost.h"
#include "core/PrivateRequests.h"
#include "editor/PanelResources.h"
#include "editor/platform/Platform.h"
#include "effect/LimiterEffect.h"
#include "plugin/PluginEntry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <thread>
#include <vector>

using namespace qx;

namespace {

constexpr auto host = qxhost::RecordingHost::callback;

} // namespace

TEST(ManyInstances, SixtyFourInstancesShareModuleStateCorrectly) {
    constexpr int kCount = 64;
    const int32_t before = LimiterEffect::liveInstances();
    std::vector<AEffect*> effects;
    for (int i = 0; i < kCount; ++i) {
        AEffect* e = createEffect(host);
        ASSERT_NE(e, nullptr);
        e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, i % 2 ? 48000.0f : 44100.0f);
        e->dispatcher(e, effSetBlockSize, 0, 256, nullptr, 0.0f);
        e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
        e->setParameter(e, 0, (i % 8) / 8.0f);
        effects.push_back(e);
    }
    EXPECT_EQ(LimiterEffect::liveInstances(), before + kCount);

    // Two audio threads, each with its own half of the instances, while panels come and go.
    std::atomic<bool> stop{false};
    auto audio = [&](int first) {
        std::vector<float> l(256), r(256), ol(256), orr(256);
        std::mt19937 rng(first);
        std::uniform_real_distribution<float> d(-1.5f, 1.5f);
        while (!stop.load()) {
            for (int i = first; i < kCount; i += 2) {
                for (int k = 0; k < 256; ++k) {
                    l[k] = d(rng);
                    r[k] = d(rng);
                }
                float* in[2] = {l.data(), r.data()};
                float* out[2] = {ol.data(), orr.data()};
                effects[i]->processReplacing(effects[i], in, out, 256);
            }
        }
    };
    std::thread a(audio, 0), b(audio, 1);

    std::mt19937 rng(4417);
    std::vector<bool> open(kCount, false);
    for (int round = 0; round < 600; ++round) {
        const int i = static_cast<int>(rng() % kCount);
        qxhost::PanelClient panel(effects[i]);
        if (!open[i]) {
            ASSERT_TRUE(panel.open());
            panel.tick(1);
        } else {
            ASSERT_TRUE(panel.close());
        }
        open[i] = !open[i];
        const auto expected = std::count(open.begin(), open.end(), true);
        ASSERT_EQ(PanelResources::openCount(headlessPlatform()), expected);
        ASSERT_EQ(PanelResources::bitmap(headlessPlatform(), kPanelBitmap) != nullptr,
                  expected > 0);
    }
    stop.store(true);
    a.join();
    b.join();

    // Every panel still open draws the same picture of the same state once its meters have
    // settled (the held reduction and the level marker move a few units per tick).
    std::vector<uint32_t> reference;
    for (int i = 0; i < kCount; ++i) {
        if (!open[i]) continue;
        effects[i]->setParameter(effects[i], 0, 0.0f);
        effects[i]->dispatcher(effects[i], effMainsChanged, 0, 0, nullptr, 0.0f);
        qxhost::PanelClient panel(effects[i]);
        panel.setMeters(1.0f, 0.0f, 0, 0);
        panel.expose();
        panel.tick(200);
        auto px = panel.pixels();
        if (reference.empty())
            reference = px;
        else
            EXPECT_TRUE(px == reference) << "panel " << i << " differs";
    }

    // Destroyed in random order, some with their panel still open.
    std::vector<int> order(kCount);
    for (int i = 0; i < kCount; ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), rng);
    int alive = kCount;
    for (int i : order) {
        EXPECT_EQ(effects[i]->dispatcher(effects[i], effClose, 0, 0, nullptr, 0.0f), 1);
        --alive;
        if (open[i]) open[i] = false;
        EXPECT_EQ(LimiterEffect::liveInstances(), before + alive);
        EXPECT_EQ(PanelResources::openCount(headlessPlatform()),
                  std::count(open.begin(), open.end(), true));
    }
    EXPECT_EQ(PanelResources::openCount(), 0);
    EXPECT_EQ(PanelResources::bitmap(headlessPlatform(), kPanelBitmap), nullptr);
}
