// Sixty-four instances in one process: built, processed on two audio threads, their panels opened
// and closed in random order, destroyed in random order. The module-wide state (live instance
// count, open panel count, the shared bitmaps) must stay right throughout; leaks show up under
// the address sanitizer build.
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

intptr_t QX_CALL host(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

intptr_t panelRequest(AEffect* e, int32_t command, QxHeadlessRequest& r) {
    r.size = sizeof r;
    return e->dispatcher(e, effVendorSpecific, QX_HEADLESS_INDEX, command, &r, 0.0f);
}

std::vector<uint32_t> panelPixels(AEffect* e) {
    std::vector<uint32_t> px(QX_HEADLESS_WIDTH * QX_HEADLESS_HEIGHT, 0);
    QxHeadlessRequest r{};
    r.pixels = px.data();
    panelRequest(e, qxHeadlessReadPixels, r);
    return px;
}

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
        QxHeadlessRequest req{};
        if (!open[i]) {
            ASSERT_EQ(panelRequest(effects[i], qxHeadlessOpen, req), 1);
            req.count = 1;
            panelRequest(effects[i], qxHeadlessTick, req);
        } else {
            ASSERT_EQ(panelRequest(effects[i], qxHeadlessClose, req), 1);
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
        QxHeadlessRequest req{};
        req.size = sizeof req;
        req.minGain = 1.0f;
        panelRequest(effects[i], qxHeadlessSetMeters, req);
        panelRequest(effects[i], qxHeadlessExpose, req);
        req.count = 200;
        panelRequest(effects[i], qxHeadlessTick, req);
        auto px = panelPixels(effects[i]);
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
