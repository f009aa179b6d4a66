// The extended layer's host-callback wrappers send what they should and answer what they should.
#include "plugin/ExtendedEffect.h"
#include "host/RecordingHost.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qx;

namespace {

qxhost::RecordingHost& recorder = qxhost::RecordingHost::shared();
constexpr auto host = qxhost::RecordingHost::callback;

class Effect : public ExtendedEffect {
public:
    explicit Effect(HostCallback h) : ExtendedEffect(h, 1, 1) {}
    void process(float**, float**, int32_t) override {}
};

} // namespace

TEST(ExtendedWrappers, QueriesKeepTheStoredValuesWhateverTheHostSays) {
    Effect e(host);
    e.setSampleRate(48000.0f);
    e.setBlockSize(256);
    recorder.reset();
    recorder.reply = 96000;
    EXPECT_EQ(e.querySampleRate(), 48000.0f);
    EXPECT_EQ(e.queryBlockSize(), 256);
    const auto sent = recorder.takeCalls();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].opcode, audioMasterGetSampleRate);
    EXPECT_EQ(sent[1].opcode, audioMasterGetBlockSize);
}

TEST(ExtendedWrappers, PlugNeighboursAreAskedWithoutThePin) {
    Effect e(host);
    recorder.reset();
    recorder.reply = 0;
    e.getPreviousPlug(5);
    e.getNextPlug(7);
    const auto sent = recorder.takeCalls();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].opcode, audioMasterGetPreviousPlug);
    EXPECT_EQ(sent[0].index, 0);
    EXPECT_EQ(sent[1].opcode, audioMasterGetNextPlug);
    EXPECT_EQ(sent[1].index, 0);
}

TEST(ExtendedWrappers, ArgumentsLandInTheRightSlots) {
    Effect e(host);
    recorder.reset();
    recorder.reply = 5;
    int task = 0;
    EXPECT_TRUE(e.requestWindowSize(450, 200));
    EXPECT_TRUE(e.hostOfflineRead(&task, 3, true));
    EXPECT_TRUE(e.hostOfflineStart(&task, 4, 2));
    e.setHostOutputSampleRate(22050.0f);
    EXPECT_EQ(e.hostVendorSpecific(1, 2, &task, 3.0f), 5);
    const auto sent = recorder.takeCalls();
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[0].opcode, audioMasterSizeWindow);
    EXPECT_EQ(sent[0].index, 450);
    EXPECT_EQ(sent[0].value, 200);
    EXPECT_EQ(sent[1].opcode, audioMasterOfflineRead);
    EXPECT_EQ(sent[1].index, 1);
    EXPECT_EQ(sent[1].value, 3);
    EXPECT_EQ(sent[1].ptr, &task);
    EXPECT_EQ(sent[2].opcode, audioMasterOfflineStart);
    EXPECT_EQ(sent[2].index, 2);
    EXPECT_EQ(sent[2].value, 4);
    EXPECT_EQ(sent[3].opcode, audioMasterSetOutputSampleRate);
    EXPECT_EQ(sent[3].opt, 22050.0f);
    EXPECT_EQ(sent[4].opcode, audioMasterVendorSpecific);
    EXPECT_EQ(sent[4].opt, 3.0f);
}

TEST(ExtendedWrappers, WithoutAHostNothingIsSentAndDefaultsAnswer) {
    Effect e(nullptr);
    EXPECT_FALSE(e.requestIdle());
    EXPECT_EQ(e.getHostTime(0), 0);
    EXPECT_EQ(e.getHostDirectory(), 0);
    EXPECT_EQ(e.querySampleRate(), 44100.0f);
    EXPECT_EQ(e.queryBlockSize(), 1024);
}

TEST(ExtendedDispatcher, FlagSettersAndCategory) {
    Effect e(nullptr);
    EXPECT_EQ(e.dispatcher(effGetPlugCategory, 0, 0, nullptr, 0.0f), 0);
    e.setIsSynth(true);
    EXPECT_EQ(e.record()->flags, effFlagsIsSynth);
    EXPECT_EQ(e.dispatcher(effGetPlugCategory, 0, 0, nullptr, 0.0f), 2);
    e.setIsSynth(false);
    e.setNoSoundInStop(true);
    e.setExtIsAsync(true);
    e.setExtHasBuffer(true);
    EXPECT_EQ(e.record()->flags, effFlagsNoSoundInStop | effFlagsExtIsAsync | effFlagsExtHasBuffer);
    EXPECT_EQ(e.dispatcher(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 96000.0f), 1);
    EXPECT_EQ(e.getBlockSize(), 512);
    EXPECT_EQ(e.getSampleRate(), 96000.0f);
}
