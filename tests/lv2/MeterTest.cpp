// The meter hand-over: the ring's bookkeeping, the message format, and the reports and acks
// through a loaded instance.
#include "lv2/MeterHistory.h"
#include "lv2/MeterMessages.h"
#include "tests/lv2/Lv2TestHost.h"

#include <gtest/gtest.h>
#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>

#include <vector>

namespace qx::test {
namespace {

using lv2::MeterHistory;
using lv2::MeterReport;
using lv2::RunExtremes;

RunExtremes runWith(float gain, float peak, bool clip = false) { return {gain, peak, clip}; }

TEST(MeterHistory, AckDropsExactlyTheRunsTheUiHasSeen) {
    MeterHistory h;
    h.add(runWith(0.5f, 1.2f, true));          // 1
    h.add(runWith(0.9f, 0.3f));                // 2
    const int64_t third = h.add(runWith(0.7f, 0.6f));
    h.acknowledge(2);
    EXPECT_EQ(h.pending().minGain, 0.7f);
    EXPECT_EQ(h.pending().peakOut, 0.6f);
    EXPECT_FALSE(h.pending().clip);
    h.acknowledge(1);          // older than the last ack
    h.acknowledge(third + 5);  // a run that has not happened
    EXPECT_EQ(h.pending().minGain, 0.7f);
    h.acknowledge(third);
    EXPECT_EQ(h.pending().minGain, 1.0f);
    EXPECT_EQ(h.pending().peakOut, 0.0f);
}

TEST(MeterHistory, AckOlderThanTheRingLosesNothing) {
    MeterHistory h;
    h.add(runWith(0.1f, 2.0f, true));
    for (int i = 0; i < lv2::kHistoryRuns + 10; ++i) h.add(runWith(0.95f, 0.2f));
    h.acknowledge(2);  // run 1 is still pending, but runs 3.. are out of the ring
    EXPECT_EQ(h.pending().minGain, 0.1f);
    EXPECT_TRUE(h.pending().clip);
    h.acknowledge(h.lastSequence() - 3);  // within the ring again: rebuilt exactly
    EXPECT_EQ(h.pending().minGain, 0.95f);
    EXPECT_FALSE(h.pending().clip);
    const int64_t before = h.lastSequence();
    h.restart();
    EXPECT_EQ(h.pending().peakOut, 0.0f);
    EXPECT_EQ(h.add(runWith(1.0f, 0.0f)), before + 1);
}

class Meters : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(host.plugin(), nullptr);
        ASSERT_TRUE(u.map(host.map()));
        lv2_atom_forge_init(&forge, host.map());
    }
    // An empty input sequence, or one holding an ack for `ack`.
    void prepareControl(int64_t ack) {
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(control.data()),
                                  control.size() * 8);
        LV2_Atom_Forge_Frame frame;
        lv2_atom_forge_sequence_head(&forge, &frame, 0);
        if (ack > 0) {
            lv2_atom_forge_frame_time(&forge, 0);
            lv2::writeMeterAck(&forge, u, ack);
        }
        lv2_atom_forge_pop(&forge, &frame);
    }
    // Runs one block and answers the reports in the notify sequence.
    std::vector<MeterReport> runBlock(Lv2Instance& in, float level, int64_t ack = 0,
                                      uint32_t room = 4096) {
        prepareControl(ack);
        auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(notify.data());
        seq->atom.type = 0;
        seq->atom.size = room;
        std::vector<float> x(256, level), l(256), r(256);
        for (size_t i = 0; i < x.size(); i += 2) x[i] = -level;
        in.connect(lv2::kPortControl, control.data());
        in.connect(lv2::kPortNotify, notify.data());
        in.run(x.data(), x.data(), l.data(), r.data(), 256);
        std::vector<MeterReport> reports;
        if (seq->atom.size < sizeof(LV2_Atom_Sequence_Body)) return reports;
        LV2_ATOM_SEQUENCE_FOREACH(seq, ev) {
            MeterReport m;
            if (lv2::readMeterReport(u, &ev->body, m)) reports.push_back(m);
        }
        return reports;
    }
    Lv2TestHost host;
    lv2::MeterUrids u;
    LV2_Atom_Forge forge{};
    std::vector<uint64_t> control = std::vector<uint64_t>(128);
    std::vector<uint64_t> notify = std::vector<uint64_t>(512);
};

TEST_F(Meters, MessagesRoundTripAndRefuseDamage) {
    std::vector<uint64_t> buf(64);
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(buf.data()), buf.size() * 8);
    MeterReport r{42, 39, 0.25f, 1.5f, true, true};
    ASSERT_NE(lv2::writeMeterReport(&forge, u, r), 0u);
    auto* atom = reinterpret_cast<LV2_Atom*>(buf.data());
    MeterReport back;
    ASSERT_TRUE(lv2::readMeterReport(u, atom, back));
    EXPECT_EQ(back.sequence, 42);
    EXPECT_EQ(back.acked, 39);
    EXPECT_EQ(back.minGain, 0.25f);
    EXPECT_EQ(back.peakOut, 1.5f);
    EXPECT_TRUE(back.clip && back.singleChannel);
    int64_t seq = 0;
    EXPECT_FALSE(lv2::readMeterAck(u, atom, seq));  // a report is no ack
    atom->size = 20;  // cut inside the sequence property
    EXPECT_FALSE(lv2::readMeterReport(u, atom, back));

    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(buf.data()), 24);
    EXPECT_EQ(lv2::writeMeterReport(&forge, u, r), 0u);  // does not fit
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(buf.data()), buf.size() * 8);
    lv2::writeMeterAck(&forge, u, 7);
    ASSERT_TRUE(lv2::readMeterAck(u, atom, seq));
    EXPECT_EQ(seq, 7);
}

TEST_F(Meters, ReportsKeepExtremesUntilTheUiAcknowledges) {
    Lv2Instance in(host, 44100.0);
    lilv_instance_activate(in.instance);
    in.controls[kOutput] = 1.0f;  // +6 dB after the limiter: clips
    auto clipped = runBlock(in, 0.9f);
    ASSERT_EQ(clipped.size(), 1u);
    EXPECT_EQ(clipped[0].sequence, 1);
    EXPECT_EQ(clipped[0].acked, 0);
    EXPECT_TRUE(clipped[0].clip);
    EXPECT_GT(in.meters[1], 0.0f);  // output peak above full scale, dBFS
    EXPECT_EQ(in.meters[2], 1.0f);  // clip
    EXPECT_EQ(in.meters[3], 0.0f);  // latency

    in.controls[kInput] = 0.6f;
    in.controls[kOutput] = 0.5f;
    auto loud = runBlock(in, 0.9f);  // deep gain reduction
    ASSERT_EQ(loud.size(), 1u);
    EXPECT_LT(loud[0].minGain, 0.5f);
    EXPECT_TRUE(loud[0].clip);      // run 1 still pending
    EXPECT_GT(in.meters[0], 6.0f);  // gain reduction, dB

    // A quiet run: the report still carries the clip, and so does the clip port.
    auto quiet = runBlock(in, 0.0f);
    ASSERT_EQ(quiet.size(), 1u);
    EXPECT_EQ(quiet[0].sequence, 3);
    EXPECT_TRUE(quiet[0].clip);
    EXPECT_EQ(in.meters[2], 1.0f);

    // The UI took report 2: runs 3 and 4 (quiet) stay pending, runs 1 and 2 go.
    auto after = runBlock(in, 0.0f, 2);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].acked, 2);
    EXPECT_FALSE(after[0].clip);
    EXPECT_GT(after[0].minGain, loud[0].minGain);
    EXPECT_LT(after[0].peakOut, 1.0f);

    // A buffer too small for a report gets an empty sequence, and the run stays pending.
    in.controls[kInput] = 0.6f;
    EXPECT_TRUE(runBlock(in, 0.9f, 0, 40).empty());
    auto next = runBlock(in, 0.0f);
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].sequence, 6);
    EXPECT_EQ(next[0].acked, 2);
    EXPECT_LT(next[0].minGain, 0.5f);

    // activate starts afresh: every ack so far counts as applied.
    lilv_instance_deactivate(in.instance);
    lilv_instance_activate(in.instance);
    auto fresh = runBlock(in, 0.0f);
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0].acked, 6);
}

} // namespace
} // namespace qx::test
