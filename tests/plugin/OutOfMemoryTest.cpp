// When the panel cannot be allocated the entry refuses, now and for the module's whole life.
#include "effect/LimiterEffect.h"
#include "host/RecordingHost.h"
#include "plugin/PluginEntry.h"

#include <gtest/gtest.h>

using namespace qx;

namespace {

constexpr auto host = qxhost::RecordingHost::callback;

bool refuse() { return false; }

} // namespace

TEST(OutOfMemory, FailedEditorAllocationRefusesEveryLaterEntry) {
    AEffect* fine = createEffect(host);
    ASSERT_NE(fine, nullptr);
    EXPECT_FALSE(outOfMemory());

    setEditorAllocationHook(refuse);
    EXPECT_EQ(createEffect(host), nullptr);
    EXPECT_TRUE(outOfMemory());
    EXPECT_EQ(LimiterEffect::liveInstances(), 1) << "the half-made object is destroyed";

    setEditorAllocationHook(nullptr);
    EXPECT_EQ(createEffect(host), nullptr);
    EXPECT_EQ(createEffect(host), nullptr);
    EXPECT_EQ(LimiterEffect::liveInstances(), 1);

    // The effect made before the failure keeps working and closes cleanly.
    fine->setParameter(fine, 0, 0.5f);
    EXPECT_EQ(fine->getParameter(fine, 0), 0.5f);
    EXPECT_EQ(fine->dispatcher(fine, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(LimiterEffect::liveInstances(), 0);
}
