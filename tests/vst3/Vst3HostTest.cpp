// The built bundle's binary driven as a VST 3 host drives it: module and factory, buses,
// parameters and their texts, programs, state, timed changes, and calls no host should make.
#include "core/ParamTable.h"
#include "core/ParamText.h"
#include "host/PluginSession.h"
#include "tests/vst3/Vst3TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace qx::vst3::test {
namespace {

constexpr ParamID kProgramId = kNumParams;

std::string narrow(const char16* text) {
    std::string out;
    for (; *text != 0; ++text)
        out += static_cast<char>(*text);
    return out;
}

std::string trimmedLabel(int index) {
    std::string label = paramLabel(index);
    while (!label.empty() && label.back() == ' ')
        label.pop_back();
    return label;
}

// The float a state record holds for parameter `index`: the value the engine runs on.
float storedValue(Instance& p, int index) {
    MemoryStream s;
    EXPECT_EQ(p.component->getState(&s), kResultOk);
    float v;
    std::memcpy(&v, s.bytes.data() + 16 + 4 * index, sizeof v);
    return v;
}

TEST(Vst3Module, ExportsFactoryAndBalancedEntry) {
    qxhost::Vst3Module& m = sharedModule();
    ASSERT_NE(m.factory(), nullptr);
    auto entry = reinterpret_cast<ModuleEntryProc>(m.symbol("ModuleEntry"));
    auto exit = reinterpret_cast<ModuleExitProc>(m.symbol("ModuleExit"));
    ASSERT_TRUE(entry && exit);
    EXPECT_TRUE(entry(m.handle()));
    EXPECT_TRUE(exit());
    EXPECT_TRUE(exit());  // the shared module's own entry
    EXPECT_FALSE(exit()); // one exit too many
    EXPECT_TRUE(entry(m.handle()));

    IPluginFactory* f = m.factory();
    PFactoryInfo info{};
    ASSERT_EQ(f->getFactoryInfo(&info), kResultOk);
    EXPECT_STREQ(info.vendor, "Qem v1.0");
    EXPECT_EQ(info.flags, PFactoryInfo::kUnicode);
    EXPECT_EQ(f->countClasses(), 1);

    IPluginFactory3* f3 = nullptr;
    ASSERT_EQ(f->queryInterface(IPluginFactory3::iid.bytes, reinterpret_cast<void**>(&f3)),
              kResultOk);
    PClassInfo c1{};
    PClassInfo2 c2{};
    PClassInfoW cw{};
    ASSERT_EQ(f3->getClassInfo(0, &c1), kResultOk);
    ASSERT_EQ(f3->getClassInfo2(0, &c2), kResultOk);
    ASSERT_EQ(f3->getClassInfoUnicode(0, &cw), kResultOk);
    EXPECT_STREQ(c1.category, "Audio Module Class");
    EXPECT_STREQ(c1.name, "Orv4417-QX");
    EXPECT_EQ(c1.cardinality, PClassInfo::kManyInstances);
    EXPECT_STREQ(c2.subCategories, "Fx|Dynamics");
    EXPECT_STREQ(c2.vendor, "Qem v1.0");
    EXPECT_EQ(narrow(cw.name), "Orv4417-QX");
    EXPECT_EQ(narrow(cw.vendor), "Qem v1.0");
    EXPECT_EQ(std::memcmp(c1.cid, c2.cid, 16), 0);
    EXPECT_EQ(std::memcmp(c1.cid, cw.cid, 16), 0);
    EXPECT_NE(f3->getClassInfo(1, &c1), kResultOk);
    EXPECT_NE(f3->getClassInfo2(-1, &c2), kResultOk);
    f3->release();

    // Unknown class, unknown interface, null arguments: refused with nothing handed out.
    void* obj = &info;
    TUID other{};
    EXPECT_NE(f->createInstance(other, IComponent::iid.bytes, &obj), kResultOk);
    EXPECT_EQ(obj, nullptr);
    obj = &info;
    EXPECT_EQ(f->createInstance(c1.cid, IPlugView::iid.bytes, &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);
    EXPECT_NE(f->createInstance(nullptr, nullptr, &obj), kResultOk);
    EXPECT_NE(f->createInstance(c1.cid, IComponent::iid.bytes, nullptr), kResultOk);
    EXPECT_NE(f->getFactoryInfo(nullptr), kResultOk);
}

TEST(Vst3Buses, StereoOrMonoInStereoOutOnly) {
    Instance p;
    EXPECT_EQ(p.component->getBusCount(kAudio, kInput), 1);
    EXPECT_EQ(p.component->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(p.component->getBusCount(kEvent, kInput), 0);
    BusInfo bus{};
    ASSERT_EQ(p.component->getBusInfo(kAudio, kInput, 0, bus), kResultOk);
    EXPECT_EQ(bus.channelCount, 2);
    EXPECT_EQ(bus.busType, kMain);
    EXPECT_NE(p.component->getBusInfo(kAudio, kOutput, 1, bus), kResultOk);
    EXPECT_NE(p.component->getBusInfo(kEvent, kInput, 0, bus), kResultOk);

    SpeakerArrangement mono = kMono, stereo = kStereo, surround = 0x3F, none = kEmpty;
    SpeakerArrangement two[2] = {kStereo, kStereo};
    EXPECT_EQ(p.processor->setBusArrangements(&mono, 1, &stereo, 1), kResultTrue);
    SpeakerArrangement arr = 0;
    EXPECT_EQ(p.processor->getBusArrangement(kInput, 0, arr), kResultOk);
    EXPECT_EQ(arr, kMono);
    p.component->getBusInfo(kAudio, kInput, 0, bus);
    EXPECT_EQ(bus.channelCount, 1);
    // Refusals change nothing.
    EXPECT_NE(p.processor->setBusArrangements(&stereo, 1, &mono, 1), kResultTrue);
    EXPECT_NE(p.processor->setBusArrangements(&surround, 1, &stereo, 1), kResultTrue);
    EXPECT_NE(p.processor->setBusArrangements(&none, 1, &stereo, 1), kResultTrue);
    EXPECT_NE(p.processor->setBusArrangements(two, 2, &stereo, 1), kResultTrue);
    EXPECT_NE(p.processor->setBusArrangements(&stereo, 1, &stereo, 0), kResultTrue);
    EXPECT_NE(p.processor->setBusArrangements(nullptr, 1, nullptr, 1), kResultTrue);
    p.processor->getBusArrangement(kInput, 0, arr);
    EXPECT_EQ(arr, kMono);
    EXPECT_EQ(p.processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultTrue);
    p.processor->getBusArrangement(kOutput, 0, arr);
    EXPECT_EQ(arr, kStereo);
    EXPECT_NE(p.processor->getBusArrangement(kOutput, 1, arr), kResultOk);

    EXPECT_EQ(p.processor->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(p.processor->canProcessSampleSize(kSample64), kResultFalse);
    ProcessSetup setup64{kRealtime, kSample64, 512, 44100.0};
    EXPECT_NE(p.processor->setupProcessing(setup64), kResultOk);
    EXPECT_EQ(p.processor->getLatencySamples(), 0u);
    EXPECT_EQ(p.processor->getTailSamples(), 0u);
}

// A mono input is limited as one channel, as when a host feeds one buffer to both inputs of the
// stereo arrangement (Auto Channel's single-input case).
TEST(Vst3Buses, MonoInputProcessedAsOneChannel) {
    Instance mono, stereo;
    SpeakerArrangement m = kMono, s = kStereo;
    ASSERT_EQ(mono.processor->setBusArrangements(&m, 1, &s, 1), kResultTrue);
    mono.start(44100.0, 256);
    stereo.start(44100.0, 256);
    StereoBlock a(256), b(256);
    a.fillSignal(0);
    a.inBus.numChannels = 1;
    b.fillSignal(0);
    b.inPtr[1] = b.inPtr[0];
    ASSERT_EQ(a.process(mono.processor), kResultOk);
    ASSERT_EQ(b.process(stereo.processor), kResultOk);
    EXPECT_EQ(a.out[0], b.out[0]);
    EXPECT_EQ(a.out[1], a.out[0]);
}

TEST(Vst3Parameters, DescribedFromTheTable) {
    Instance p;
    ASSERT_EQ(p.controller->getParameterCount(), kNumParams + 1);
    for (int i = 0; i < kNumParams; ++i) {
        SCOPED_TRACE(i);
        ParameterInfo info{};
        ASSERT_EQ(p.controller->getParameterInfo(i, info), kResultOk);
        EXPECT_EQ(info.id, static_cast<ParamID>(i));
        EXPECT_EQ(narrow(info.title), kParamTable[i].name);
        EXPECT_EQ(narrow(info.units), trimmedLabel(i));
        EXPECT_EQ(info.stepCount, paramSteps(i));
        EXPECT_TRUE(info.flags & ParameterInfo::kCanAutomate);
        EXPECT_EQ(info.flags & ParameterInfo::kIsProgramChange, 0);
        EXPECT_EQ(info.defaultNormalizedValue, kParamTable[i].defaultValue);
        EXPECT_EQ(p.controller->getParamNormalized(info.id), info.defaultNormalizedValue);
    }
    ParameterInfo program{};
    ASSERT_EQ(p.controller->getParameterInfo(kNumParams, program), kResultOk);
    EXPECT_EQ(program.id, kProgramId);
    EXPECT_EQ(program.stepCount, 9);
    EXPECT_EQ(program.flags & ParameterInfo::kCanAutomate, 0);
    EXPECT_TRUE(program.flags & ParameterInfo::kIsProgramChange);
    EXPECT_NE(p.controller->getParameterInfo(kNumParams + 1, program), kResultOk);
    EXPECT_NE(p.controller->getParameterInfo(-1, program), kResultOk);
}

// Every parameter's text reads back as the value that shows it, for a sweep of values and every
// switch state; the texts are the VST 2 module's.
TEST(Vst3Parameters, TextsRoundTrip) {
    Instance p;
    for (int i = 0; i < kNumParams; ++i) {
        const int steps = paramSteps(i);
        const int count = steps > 0 ? steps + 1 : 41;
        for (int k = 0; k < count; ++k) {
            const double v = steps > 0 ? double(k) / steps : k / 40.0;
            const std::string text = displayText(p.controller, i, v);
            SCOPED_TRACE(std::to_string(i) + " " + text);
            char vst2[32] = "";
            paramDisplay(i, steps > 0 ? switchStateValue(i, k) : static_cast<float>(v), vst2);
            std::string expected = vst2;
            expected.erase(0, expected.find_first_not_of(' '));
            expected.erase(expected.find_last_not_of(' ') + 1);
            EXPECT_EQ(text, expected);
            ParamValue back = -1.0;
            std::u16string typed = u16(text.c_str());
            ASSERT_EQ(p.controller->getParamValueByString(i, typed.data(), back), kResultOk);
            EXPECT_EQ(displayText(p.controller, i, back), text);
            if (steps > 0) {
                EXPECT_EQ(back, v);
            }
        }
    }
    for (int program = 0; program < 10; ++program) {
        const std::string name = displayText(p.controller, kProgramId, program / 9.0);
        ParamValue back = -1.0;
        std::u16string typed = u16(name.c_str());
        ASSERT_EQ(p.controller->getParamValueByString(kProgramId, typed.data(), back), kResultOk);
        EXPECT_EQ(back, program / 9.0);
    }
    ParamValue v = 0.0;
    std::u16string junk = u16("loud");
    EXPECT_NE(p.controller->getParamValueByString(kInput, junk.data(), v), kResultOk);
}

// A stepped value selects state min(steps, floor(v * (steps + 1))) and the engine gets that
// state's exact value; plain values are the state numbers.
TEST(Vst3Parameters, SteppedValuesReachTheEngineExactly) {
    Instance p;
    const struct {
        int index;
        double normalized;
        float stored;
    } cases[] = {{kLimit, 0.49, 0.0f},        {kLimit, 0.5, 1.0f},
                 {kLowPunch, 0.9999, 1.0f},   {kForceChannel, 0.3, 0.0f},
                 {kForceChannel, 0.34, 0.5f}, {kForceChannel, 0.66, 0.5f},
                 {kForceChannel, 0.67, 1.0f}, {kInput, 0.123456789, 0.123456789f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.index) + " " + std::to_string(c.normalized));
        ASSERT_EQ(p.controller->setParamNormalized(c.index, c.normalized), kResultOk);
        EXPECT_EQ(storedValue(p, c.index), c.stored);
    }
    EXPECT_EQ(p.controller->normalizedParamToPlain(kForceChannel, 0.5), 1.0);
    EXPECT_EQ(p.controller->plainParamToNormalized(kForceChannel, 2.0), 1.0);
    EXPECT_EQ(p.controller->plainParamToNormalized(kProgramId, 3.0), 3.0 / 9.0);
    EXPECT_EQ(p.controller->normalizedParamToPlain(kInput, 0.25), 0.25);
}

TEST(Vst3Programs, ListedAndSelectedThroughTheProgramParameter) {
    Instance p;
    UnitInfo unit{};
    ASSERT_EQ(p.units->getUnitCount(), 1);
    ASSERT_EQ(p.units->getUnitInfo(0, unit), kResultOk);
    ProgramListInfo list{};
    ASSERT_EQ(p.units->getProgramListInfo(0, list), kResultOk);
    EXPECT_EQ(unit.programListId, list.id);
    EXPECT_EQ(list.programCount, 10);
    String128 name{};
    ASSERT_EQ(p.units->getProgramName(list.id, 0, name), kResultOk);
    EXPECT_EQ(narrow(name), "default");
    ASSERT_EQ(p.units->getProgramName(list.id, 9, name), kResultOk);
    EXPECT_EQ(narrow(name), "empty 9");
    EXPECT_NE(p.units->getProgramName(list.id, 10, name), kResultOk);
    EXPECT_NE(p.units->getProgramName(list.id + 1, 0, name), kResultOk);
    EXPECT_NE(p.units->getUnitInfo(1, unit), kResultOk);

    // A write lands in the current program; selecting another loads its values, and the next
    // process reports the parameters that moved.
    p.start(44100.0, 64);
    ComponentHandler handler;
    p.controller->setComponentHandler(&handler);
    p.controller->setParamNormalized(kInput, 0.25);
    p.controller->setParamNormalized(kProgramId, 3.0 / 9.0);
    EXPECT_EQ(p.controller->getParamNormalized(kProgramId), 3.0 / 9.0);
    EXPECT_EQ(p.controller->getParamNormalized(kInput), 0.0);
    EXPECT_TRUE(handler.calls.empty()); // nothing called back from inside a set
    StereoBlock block(64);
    block.process(p.processor);
    EXPECT_EQ(block.outChanges.getParameterCount(), kNumParams + 1);
    EXPECT_EQ(block.outChanges.last(kInput), 0.0);
    EXPECT_EQ(block.outChanges.last(kProgramId), 3.0 / 9.0);

    // The same through the audio thread's queue, at an offset.
    StereoBlock back(64);
    back.inChanges.add(kProgramId, 10, 0.0);
    back.process(p.processor);
    EXPECT_EQ(p.controller->getParamNormalized(kInput), 0.25);
    EXPECT_EQ(back.outChanges.last(kInput), 0.25);
    p.controller->setComponentHandler(nullptr);

    // A program change in a queue cuts the block there: the same bits as the values it loads,
    // timed at its offset.
    Instance a, b;
    StereoBlock x(64), y(64);
    for (Instance* i : {&a, &b}) {
        i->controller->setParamNormalized(kInput, 0.25);
        i->start(44100.0, 64);
    }
    x.fillSignal(0, 4.0f);
    y.fillSignal(0, 4.0f);
    x.inChanges.add(kProgramId, 40, 5.0 / 9.0);
    y.inChanges.add(kInput, 40, 0.0);
    x.process(a.processor);
    y.process(b.processor);
    EXPECT_EQ(x.out[0], y.out[0]);
    EXPECT_EQ(x.out[1], y.out[1]);
}

TEST(Vst3State, RoundTripIntoAFreshInstance) {
    Instance a;
    a.controller->setParamNormalized(kPressure, 0.9);
    a.controller->setParamNormalized(kForceChannel, 0.5);
    a.controller->setParamNormalized(kProgramId, 2.0 / 9.0);
    a.controller->setParamNormalized(kRelease1, 0.125);
    MemoryStream saved;
    ASSERT_EQ(a.component->getState(&saved), kResultOk);

    Instance b;
    ComponentHandler handler;
    b.controller->setComponentHandler(&handler);
    saved.position = 0;
    saved.chunk = 100; // a stream that serves less than asked
    ASSERT_EQ(b.component->setState(&saved), kResultOk);
    EXPECT_TRUE(handler.calls.empty()); // nothing called back from inside setState
    b.controller->setComponentHandler(nullptr);
    for (ParamID id = 0; id <= kProgramId; ++id)
        EXPECT_EQ(b.controller->getParamNormalized(id), a.controller->getParamNormalized(id)) << id;

    // The controller follows the same record.
    Instance c;
    saved.position = 0;
    ASSERT_EQ(c.controller->setComponentState(&saved), kResultOk);
    EXPECT_EQ(c.controller->getParamNormalized(kRelease1), 0.125);

    // Damaged, short or missing records change nothing.
    Instance d;
    MemoryStream bad;
    bad.bytes = saved.bytes;
    bad.bytes[100] ^= 1;
    EXPECT_NE(d.component->setState(&bad), kResultOk);
    bad.bytes = saved.bytes;
    bad.bytes.resize(200);
    bad.position = 0;
    EXPECT_NE(d.component->setState(&bad), kResultOk);
    EXPECT_NE(d.component->setState(nullptr), kResultOk);
    EXPECT_NE(d.component->getState(nullptr), kResultOk);
    EXPECT_EQ(d.controller->getParamNormalized(kRelease1), kParamTable[kRelease1].defaultValue);
    EXPECT_EQ(d.controller->getParamNormalized(kProgramId), 0.0);
}

// A call without samples or buffers applies the changes and leaves the buffers alone.
TEST(Vst3Processing, FlushAppliesChangesOnly) {
    Instance p;
    p.start(44100.0, 64);
    for (int shape = 0; shape < 3; ++shape) {
        StereoBlock b(64);
        b.out[0].assign(64, 7.0f);
        b.inChanges.add(kPressure, 0, 0.1 * (shape + 1));
        if (shape == 0) b.data.numSamples = 0;
        if (shape == 1) b.data.numOutputs = 0, b.data.numInputs = 0;
        if (shape == 2) b.data.outputs = nullptr;
        ASSERT_EQ(b.process(p.processor), kResultOk);
        EXPECT_EQ(p.controller->getParamNormalized(kPressure),
                  static_cast<float>(0.1 * (shape + 1)));
        EXPECT_EQ(b.out[0], std::vector<float>(64, 7.0f));
    }
}

TEST(Vst3Hostile, SafeAnswersToBadCalls) {
    Instance p;
    void* obj = &p;
    TUID unknown = {1, 2, 3};
    EXPECT_EQ(p.component->queryInterface(unknown, &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);
    EXPECT_NE(p.component->queryInterface(nullptr, &obj), kResultOk);
    EXPECT_NE(p.component->queryInterface(IComponent::iid.bytes, nullptr), kResultOk);
    EXPECT_EQ(p.controller->createView("nothing"), nullptr);
    EXPECT_EQ(p.controller->createView(nullptr), nullptr);

    for (ParamID id : {ParamID(kNumParams + 1), ParamID(1000), ParamID(0xFFFFFFFF)}) {
        String128 text{};
        ParamValue v = 0.5;
        std::u16string typed = u16("1");
        EXPECT_NE(p.controller->setParamNormalized(id, 0.5), kResultOk);
        EXPECT_EQ(p.controller->getParamNormalized(id), 0.0);
        EXPECT_NE(p.controller->getParamStringByValue(id, 0.5, text), kResultOk);
        EXPECT_NE(p.controller->getParamValueByString(id, typed.data(), v), kResultOk);
    }
    EXPECT_NE(p.controller->getParamStringByValue(kInput, 0.5, nullptr), kResultOk);
    ParamValue v = 0.0;
    EXPECT_NE(p.controller->getParamValueByString(kInput, nullptr, v), kResultOk);
    EXPECT_NE(p.units->getProgramName(1, -1, nullptr), kResultOk);
    EXPECT_NE(p.component->activateBus(kAudio, kInput, 3, 1), kResultOk);
    EXPECT_NE(p.component->activateBus(kEvent, kInput, 0, 1), kResultOk);

    // Values outside 0..1 or NaN from the host, and a NaN point in a queue.
    for (double bad : {-1.0, 2.0, std::numeric_limits<double>::quiet_NaN()}) {
        p.controller->setParamNormalized(kForceChannel, bad);
        p.controller->setParamNormalized(kProgramId, bad);
        EXPECT_GE(p.controller->getParamNormalized(kForceChannel), 0.0);
        EXPECT_LE(p.controller->getParamNormalized(kProgramId), 1.0);
    }

    // Processing before set-up, with zero, huge and NaN blocks, and unknown ids in the queues.
    StereoBlock early(32);
    EXPECT_EQ(early.process(p.processor), kResultOk);
    p.start(44100.0, 64);
    p.component->setActive(1); // repeated
    p.processor->setProcessing(1);
    StereoBlock huge(100000);
    huge.fillSignal(0, 8.0f);
    huge.inChanges.add(999, 5, 0.5)
        .add(kInput, -20, 0.5)
        .add(kInput, 10, 0.2)
        .add(kInput, 500000, 1.0);
    ASSERT_EQ(huge.process(p.processor), kResultOk);
    for (int c = 0; c < 2; ++c)
        for (float s : huge.out[c])
            ASSERT_TRUE(std::isfinite(s));
    StereoBlock nan(64);
    nan.in[0].assign(64, std::numeric_limits<float>::quiet_NaN());
    nan.inChanges.add(kRelease2, 3, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(nan.process(p.processor), kResultOk);
    StereoBlock zero(0);
    zero.data.inputs = nullptr;
    zero.data.inputParameterChanges = nullptr;
    zero.data.outputParameterChanges = nullptr;
    EXPECT_EQ(zero.process(p.processor), kResultOk);
    StereoBlock noChannels(64);
    noChannels.inBus.channelBuffers32 = nullptr;
    noChannels.outBus.numChannels = 0;
    EXPECT_EQ(noChannels.process(p.processor), kResultOk);

    // Set-up while active is refused; switching off and on in any order is safe.
    ProcessSetup setup{kRealtime, kSample32, 1 << 30, -1.0};
    EXPECT_NE(p.processor->setupProcessing(setup), kResultOk);
    p.processor->setProcessing(0);
    p.processor->setProcessing(0);
    p.component->setActive(0);
    p.component->setActive(0);
    p.processor->setProcessing(1);
    EXPECT_EQ(p.processor->setupProcessing(setup), kResultOk);
    p.controller->setParamNormalized(kRelease2, 0.5);
    p.start(44100.0, 64);
    StereoBlock after(64);
    after.fillSignal(0);
    ASSERT_EQ(after.process(p.processor), kResultOk);
    for (float s : after.out[0])
        ASSERT_TRUE(std::isfinite(s));
}

// qxhost's session renders through the bundle what it renders through the VST 2 module, for the
// same values, programs and blocks of any length.
TEST(Vst3Session, RendersTheVst2ModulesBits) {
    std::unique_ptr<qxhost::PluginSession> s[2] = {
        qxhost::PluginSession::forModule(QX_MODULE_PATH),
        qxhost::PluginSession::forModule(QX_VST3_BINARY)};
    ASSERT_TRUE(s[0]->open(QX_MODULE_PATH)) << s[0]->error();
    ASSERT_TRUE(s[1]->open(QX_VST3_BINARY)) << s[1]->error();
    ASSERT_EQ(s[1]->parameterCount(), kNumParams);
    const float values[kNumParams] = {0.6f, 0.9f, 0.3f, 0.6f, 0.55f, 0.0f,
                                      1.0f, 0.7f, 0.0f, 0.0f, 0.5f};
    std::vector<float> out[2];
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(s[k]->parameterName(kLinkQuality), "Link Quality");
        EXPECT_TRUE(s[k]->selectProgram(2));
        for (int i = 0; i < kNumParams; ++i)
            s[k]->setParameter(i, values[i]);
        s[k]->startProcessing(48000.0, 700);
        for (int32_t frames : {700, 1, 333, 64, 700}) {
            StereoBlock b(frames);
            b.fillSignal(int64_t(out[k].size()), 3.0f);
            s[k]->process(b.inPtr, b.outPtr, frames, false);
            out[k].insert(out[k].end(), b.out[0].begin(), b.out[0].end());
            out[k].insert(out[k].end(), b.out[1].begin(), b.out[1].end());
        }
        s[k]->stopProcessing();
    }
    EXPECT_FALSE(s[1]->selectProgram(10));
    EXPECT_EQ(s[1]->parameter(kForceChannel), 0.5f);
    EXPECT_EQ(out[0], out[1]);
}

} // namespace
} // namespace qx::vst3::test
