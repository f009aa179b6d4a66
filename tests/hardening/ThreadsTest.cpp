// One instance used the way hosts really use it: an audio thread processes without pause, a host
// thread writes parameters and switches programs, and a user-interface thread ticks the panel and
// drags its knobs. Built with the thread sanitizer in CI, where any data race fails the run; in
// every build the values seen must stay whole and in range.
#include "host/PanelClient.h"
#include "host/RecordingHost.h"
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

constexpr auto host = qxhost::RecordingHost::callback;

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
        qxhost::PanelClient panel(e);
        ASSERT_TRUE(panel.open());
        std::mt19937 rng(3);
        const int knobs[5] = {91, 163, 235, 307, 379};
        while (!stop.load()) {
            const int x = knobs[rng() % 5];
            panel.mouse(qxMousePress, qxButtonLeft, x, 70);
            int y = 70;
            for (int step = 0; step < 6; ++step) {
                y = 70 - static_cast<int>(rng() % 200) + 100;
                panel.mouse(qxMouseMove, qxButtonLeft, x, y);
                panel.tick(1);
                const MeterShared& m = limiter->meters();
                const float g = m.minGain.load();
                const float p = m.peakOut.load();
                const int c = m.clipHold.load();
                if (!(g > 0.0f && g <= 1.0f) || !(p >= 0.0f && std::isfinite(p)) || c < 0 || c > 27)
                    badMeters.fetch_add(1);
            }
            panel.mouse(qxMouseRelease, qxButtonLeft, x, y);
        }
        panel.close();
    });

    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    stop.store(true);
    audio.join();
    hostThread.join();
    ui.join();

    EXPECT_GT(blocks.load(), 10);
    EXPECT_EQ(badOutputs.load(), 0);
    EXPECT_EQ(badMeters.load(), 0);
    EXPECT_GT(qxhost::RecordingHost::shared().count(audioMasterAutomate), 11);
    for (int i = 0; i < 11; ++i) {
        const float v = e->getParameter(e, i);
        EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << "parameter " << i << " = " << v;
    }
    EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
}
