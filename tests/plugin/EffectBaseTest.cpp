// The base layer's formatters and default answers, on a bare effect class.
#include "plugin/ExtendedEffect.h"
#include "host/RecordingHost.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace qx;

namespace {

qxhost::RecordingHost& host = qxhost::RecordingHost::shared();
constexpr auto recordingHost = qxhost::RecordingHost::callback;

class BareEffect : public ExtendedEffect {
public:
    explicit BareEffect(HostCallback host) : ExtendedEffect(host, 3, 4) {}
    void process(float**, float**, int32_t) override {}
    float getVu() override { return vu; }
    void suspend() override { ++suspends; }
    void resume() override { ++resumes; }
    float vu = 0.0f;
    int suspends = 0, resumes = 0;
};

std::string formatted(float v, int8_t reserve) {
    BareEffect e(nullptr);
    char text[32];
    e.formatFloat(v, text, reserve);
    return text;
}

} // namespace

TEST(Formatters, FloatDigitsAreTruncatedNeverRounded) {
    EXPECT_EQ(formatted(1.5f, 0), "1.500000");
    EXPECT_EQ(formatted(0.0f, 0), "0.000000");
    EXPECT_EQ(formatted(-3.25f, 0), "-3.25000");
    EXPECT_EQ(formatted(440.0f, 0), "440.0000");
    EXPECT_EQ(formatted(0.7f, 0), "0.699999");
    EXPECT_EQ(formatted(1234567.0f, 0), "1234567.");
    EXPECT_EQ(formatted(70.0f, 4), "70.0");
    EXPECT_EQ(formatted(5.5f, 4), "5.50");
    EXPECT_EQ(formatted(33.3f, 4), "33.2");
    EXPECT_EQ(formatted(0.001f, 4), "0.00");
    EXPECT_EQ(formatted(100.0f, 4), "100.");
}

TEST(Formatters, FloatOverflowAndUnrepresentableValues) {
    EXPECT_EQ(formatted(123456789.0f, 0), " Huge!  ");
    EXPECT_EQ(formatted(99999999.0f, 0), " Huge!  ") << "float holds it as 100000000";
    EXPECT_EQ(formatted(-10000000.0f, 0), " Huge!  ");
    // Wider than the field: overflow text rather than a number with missing leading digits.
    EXPECT_EQ(formatted(12345678.0f, 0), " Huge!  ");
    EXPECT_EQ(formatted(std::numeric_limits<float>::infinity(), 0), " Huge!  ");
    EXPECT_EQ(formatted(std::numeric_limits<float>::quiet_NaN(), 0).size(), 8u);
}

TEST(Formatters, DecibelsHertzMillisecondsIntegers) {
    BareEffect e(nullptr);
    char t[32];
    e.formatDecibels(1.0f, t);
    EXPECT_STREQ(t, "0.000000");
    e.formatDecibels(0.0f, t);
    EXPECT_STREQ(t, "  -oo   ");
    e.formatDecibels(-1.0f, t);
    EXPECT_STREQ(t, "  -oo   ");
    e.formatDecibels(std::numeric_limits<float>::quiet_NaN(), t);
    EXPECT_STREQ(t, "  -oo   ");
    e.formatHertz(0.0f, t);
    EXPECT_STREQ(t, "0.000000");
    e.formatHertz(100.0f, t);
    EXPECT_STREQ(t, "441.0000");
    e.formatMilliseconds(441.0f, t);
    EXPECT_STREQ(t, "10.00000");
    e.formatInteger(5, t);
    EXPECT_STREQ(t, "      5");
    e.formatInteger(99999999, t);
    EXPECT_STREQ(t, "99999999");
    e.formatInteger(-1234567, t);
    EXPECT_STREQ(t, "-1234567");
    e.formatInteger(100000000, t);
    EXPECT_STREQ(t, " Huge!  ");
    e.formatInteger(-12345678, t);
    EXPECT_STREQ(t, " Huge!  ");
}

TEST(BaseDispatcher, VuIsScaledAndTruncated) {
    BareEffect e(nullptr);
    e.vu = 0.5f;
    EXPECT_EQ(e.dispatcher(effGetVu, 0, 0, nullptr, 0.0f), 16383);
    e.vu = 1.0f;
    EXPECT_EQ(e.dispatcher(effGetVu, 0, 0, nullptr, 0.0f), 32767);
    e.vu = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(e.dispatcher(effGetVu, 0, 0, nullptr, 0.0f), 0);
}

TEST(BaseDispatcher, MainsChangedSwitchesOnAnyNonZeroValue) {
    BareEffect e(nullptr);
    e.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    e.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    e.dispatcher(effMainsChanged, 0, -7, nullptr, 0.0f);
    EXPECT_EQ(e.suspends, 1);
    EXPECT_EQ(e.resumes, 2);
}

TEST(BaseDispatcher, ProgramRangeAndEditorlessOpcodes) {
    BareEffect e(nullptr);
    e.dispatcher(effSetProgram, 0, 2, nullptr, 0.0f);
    e.dispatcher(effSetProgram, 0, 3, nullptr, 0.0f);
    e.dispatcher(effSetProgram, 0, -1, nullptr, 0.0f);
    EXPECT_EQ(e.getProgram(), 2);
    ERect* r = reinterpret_cast<ERect*>(1);
    EXPECT_EQ(e.dispatcher(effEditGetRect, 0, 0, &r, 0.0f), 0);
    EXPECT_EQ(e.dispatcher(effEditOpen, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(e.record()->flags & effFlagsHasEditor, 0);
    EXPECT_EQ(e.record()->numInputs, 1) << "base default";
    EXPECT_EQ(e.record()->uniqueID, fourCC("NoEf"));
}

TEST(HostQueries, PinAnswersAndDefaultsWithoutAHost) {
    BareEffect e(recordingHost);
    host.reset();
    EXPECT_TRUE(e.isInputPinConnected(1));
    host.pinAnswer[0][1] = 1;
    host.pinAnswer[1][0] = 1;
    EXPECT_FALSE(e.isInputPinConnected(1));
    EXPECT_FALSE(e.isOutputPinConnected(0));
    const auto calls = host.takeCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[2].opcode, audioMasterPinConnected);
    EXPECT_EQ(calls[2].index, 0);
    EXPECT_EQ(calls[2].value, 1);
    host.versionAnswer = 0;
    EXPECT_EQ(e.getHostVersion(), 1) << "a host answering 0 counts as version 1";
    host.reset();

    BareEffect alone(nullptr);
    EXPECT_TRUE(alone.isInputPinConnected(0));
    EXPECT_TRUE(alone.isOutputPinConnected(1));
    EXPECT_EQ(alone.getHostVersion(), 1);
    EXPECT_EQ(alone.getHostCurrentId(), 0);
}

TEST(HostQueries, AutomateCallsSetParameterThenTheHost) {
    BareEffect e(recordingHost);
    host.reset();
    e.automateParameter(2, 0.75f);
    const auto calls = host.takeCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].opcode, audioMasterAutomate);
    EXPECT_EQ(calls[0].index, 2);
    EXPECT_EQ(calls[0].value, 0);
    EXPECT_EQ(calls[0].opt, 0.75f);
}
