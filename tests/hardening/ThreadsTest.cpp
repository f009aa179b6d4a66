// One instance used the way hosts really use it: an audio thread processes without pause, a host
// thread writes parameters and switches programs, and a user-interface thread ticks the panel and
// drags its knobs. Built with the thread sanitizer in CI, where any data race fails the run; in
// every build the values seen must stay whole and in range.
#include "core/PrivateRequests.h"
#include "effect/LimiterEffect.h"
#include "plugin/PluginEntry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

using namespace qx;

namespace {

std::atomic<int> automationCalls{0};

intptr_t QX_CALL host(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    if (opcode == audioMasterAutomate) automationCalls.fetch_add(1);
    return opcode == audioMasterVersion ? 2400 : 0;
}

} // namespace

TEST(Threads, AudioHostAndPanelThreadsTogether) {
    AEffect* e = createEffect(host);
    ASSERT_NE(e, nullptr);
    auto* limiter = static_cast<LimiterEffect*>(e->object);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    e->dispatcher(e, effSetBlockSize, 0, 128, nullptr, 0.0f);
    e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);

    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0}, badOutputs{0}, badMeters{0};

    std::thread audio([&] {
        std::vector<float> l(128), r(128), ol(128), orr(128);
        std::mt19937 rng(1);
        std::uniform_real_distribution<float> d(-1.0f, 1.0f);
        while (!stop.load()) {
            for (int k = 0; k < 128; ++k) {
                l[k] = d(rng);
                r[k] = 0.5f * d(rng);
            }
            float* in[2] = {l.data(), r.data()};
            float* out[2] = {ol.data(), orr.data()};
            e->processReplacing(e, in, out, 128);
            for (int k = 0; k < 128; ++k)
                if (!std::isfinite(ol[k]) || !std::isfinite(orr[k])) badOutputs.fetch_add(1);
            blocks.fetch_add(1);
        }
    });

    std::thread hostThread([&] {
        std::mt19937 rng(2);
        while (!stop.load()) {
            for (int i = 0; i < 50; ++i)
                e->setParameter(e, static_cast<int32_t>(rng() % 11), (rng() % 65) / 64.0f);
            e->dispatcher(e, effSetProgram, 0, static_cast<intptr_t>(rng() % 10), nullptr, 0.0f);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });

    std::thread ui([&] {
        QxHeadlessRequest r{};
        r.size = sizeof r;
        ASSERT_EQ(e->dispatcher(e, effVendorSpecific, QX_HEADLESS_INDEX, qxHeadlessOpen, &r, 0.0f), 1);
        std::mt19937 rng(3);
        const int knobs[5] = {91, 163, 235, 307, 379};
        while (!stop.load()) {
            const int x = knobs[rng() % 5];
            r.event = qxMousePress;
            r.button = qxButtonLeft;
            r.x = x;
            r.y = 70;
            e->dispatcher(e, effVendorSpecific, QX_HEADLESS_INDEX, qxHeadlessMouse, &r, 0.0f);
            for (int step = 0; step < 6; ++step) {
                r.event = qxMouseMove;
                r.y = 70 - static_cast<int>(rng() % 200) + 100;
                e->dispatcher(e, effVendorSpecific, QX_HEADLESS_INDEX, qxHeadlessMouse, &r, 0.0f);
                r.count = 1;
                e->dispatcher(e, effVendorSpecific, QX_HEADLESS_INDEX, qxHeadlessTick, &r, 0.0f);
                const MeterShared& m = limiter->meters();
                const float g = m.minGain.load();
                const float p = m.peakOut.load();
                const int c = m.clipHold.load();
                if (!(g > 0.0f && g <= 1.0f) || !(p >= 0.0f && std::isfinite(p)) || c < 0 || c > 27)
                    badMeters.fetch_add(1);
            }
            r.event = qxMouseRelease;
            e->dispatcher(e, effVendorSpecific, QX_HEADLESS_INDEX, qxHeadlessMouse, &r, 0.0f);
        }
        e->dispatcher(e, effVendorSpecific, QX_HEADLESS_INDEX, qxHeadlessClose, &r, 0.0f);
    });

    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    stop.store(true);
    audio.join();
    hostThread.join();
    ui.join();

    EXPECT_GT(blocks.load(), 10);
    EXPECT_EQ(badOutputs.load(), 0);
    EXPECT_EQ(badMeters.load(), 0);
    EXPECT_GT(automationCalls.load(), 11);
    for (int i = 0; i < 11; ++i) {
        const float v = e->getParameter(e, i);
        EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << "parameter " << i << " = " << v;
    }
    EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
}
