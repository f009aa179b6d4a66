// The record and the dispatcher's answers, seen through the built module exactly as a host sees
// them.
#include "tests/plugin/LoadedPlugin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>

using namespace qx;
using qxhost::HostSession;

TEST(ModuleExports, MainAndVSTPluginMainAreTheSameEntry) {
    void* m = dlopen(QX_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(m, nullptr) << dlerror();
    void* a = dlsym(m, "main");
    void* b = dlsym(m, "VSTPluginMain");
    EXPECT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    // Internal classes stay hidden.
    EXPECT_EQ(dlsym(m, "_ZN2qx10EffectBaseC2EPFlP7AEffectiilPvfEii"), nullptr);
    dlclose(m);
}

TEST(ModuleExports, HostVersionZeroRefusesTheEffect) {
    HostSession host;
    ASSERT_TRUE(host.load(QX_MODULE_PATH));
    host.versionAnswer = 0;
    EXPECT_EQ(host.create(), nullptr);
    EXPECT_TRUE(host.takeAutomation().empty()) << "nothing may be constructed";
}

TEST_F(LoadedPlugin, RecordHoldsTheValuesAHostReadsAfterMain) {
    EXPECT_EQ(effect->magic, 0x56737450);
    EXPECT_EQ(effect->numPrograms, 10);
    EXPECT_EQ(effect->numParams, 11);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->flags, 0x19);
    EXPECT_EQ(effect->resvd1, 0);
    EXPECT_EQ(effect->resvd2, 0);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->realQualities, 0);
    EXPECT_EQ(effect->offQualities, 0);
    uint32_t ratioBits;
    std::memcpy(&ratioBits, &effect->ioRatio, 4);
    EXPECT_EQ(ratioBits, 0x40000000u);
    EXPECT_NE(effect->object, nullptr);
    EXPECT_NE(effect->object, static_cast<void*>(effect));
    EXPECT_EQ(effect->user, nullptr);
    EXPECT_EQ(effect->uniqueID, fourCC("KVqr"));
    EXPECT_EQ(effect->version, 2);
    EXPECT_NE(effect->dispatcher, nullptr);
    EXPECT_NE(effect->process, nullptr);
    EXPECT_NE(effect->processReplacing, nullptr);
    EXPECT_NE(effect->setParameter, nullptr);
    EXPECT_NE(effect->getParameter, nullptr);
    for (char c : effect->future) EXPECT_EQ(c, 0);
}

TEST_F(LoadedPlugin, ConstructionAndProgramSelectionEchoElevenAutomationCalls) {
    HostSession second;
    ASSERT_TRUE(second.load(QX_MODULE_PATH));
    ASSERT_NE(second.create(), nullptr);
    const float defaults[11] = {0.0f, 0.7f, 0.4f, 0.5f, 0.5f, 1.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f};
    auto during = second.takeAutomation();
    ASSERT_EQ(during.size(), 11u);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(during[i].index, i);
        EXPECT_EQ(during[i].value, defaults[i]);
    }
    second.dispatch(effSetProgram, 0, 3);
    auto select = second.takeAutomation();
    ASSERT_EQ(select.size(), 11u);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(select[i].index, i);
    EXPECT_EQ(second.dispatch(effGetProgram), 3);
}

TEST_F(LoadedPlugin, ProgramNumbersOutsideTheBankAreIgnored) {
    host.takeAutomation();
    for (intptr_t bad : {intptr_t(10), intptr_t(-1), intptr_t(1) << 20}) {
        host.dispatch(effSetProgram, 0, bad);
        EXPECT_EQ(host.dispatch(effGetProgram), 0);
    }
    EXPECT_TRUE(host.takeAutomation().empty());
}

TEST_F(LoadedPlugin, FixedAnswersOfTheEffect) {
    EXPECT_EQ(host.text(effGetEffectName), "Orv4417-QX");
    EXPECT_EQ(host.text(effGetProductString), "Orv4417-QX");
    EXPECT_EQ(host.text(effGetVendorString), "Qem v1.0");
    EXPECT_EQ(host.dispatch(effGetEffectName), 0) << "no buffer, no answer";
    EXPECT_EQ(host.dispatch(effIdentify), fourCC("NvEf"));
    EXPECT_EQ(host.dispatch(effGetVu), 0);
    EXPECT_EQ(host.dispatch(effGetTailSize), 0);
    EXPECT_EQ(host.dispatch(effGetPlugCategory), 0);
    EXPECT_EQ(host.dispatch(effGetVstVersion), 2);
    EXPECT_EQ(host.dispatch(effKeysRequired), 1);
    EXPECT_EQ(host.dispatch(effCanBeAutomated, 7), 1);
    EXPECT_EQ(host.dispatch(effGetNumProgramCategories), 1);
    EXPECT_EQ(host.dispatch(effGetVendorVersion), 0);
    EXPECT_EQ(host.dispatch(effProcessEvents), 0);
    EXPECT_EQ(host.dispatch(effSetBypass, 0, 1), 0);
    EXPECT_EQ(host.dispatch(effConnectInput, 0, 1), 1);
    EXPECT_EQ(host.dispatch(effConnectOutput, 1, 0), 1);
    EXPECT_EQ(host.dispatch(effGetParameterProperties, 0, 0, nullptr), 0);
    char text[64] = "1.5";
    EXPECT_EQ(host.dispatch(effString2Parameter, 0, 0, text), 0);
    void* chunk = nullptr;
    EXPECT_EQ(host.dispatch(effGetChunk, 1, 0, &chunk), 0);
    EXPECT_EQ(host.dispatch(effSetChunk, 0, 16, text), 0);
    for (int op : {16, 17, 18, 20, 21, 59, 60, 1000, -1, -1000})
        EXPECT_EQ(host.dispatch(op, 1, 1, text, 1.0f), 0) << "opcode " << op;
}

TEST_F(LoadedPlugin, CapabilitiesAreExactAndCaseSensitive) {
    auto canDo = [&](const char* s) {
        char b[64];
        std::strcpy(b, s);
        return host.dispatch(effCanDo, 0, 0, b);
    };
    EXPECT_EQ(canDo("plugAsChannelInsert"), 1);
    EXPECT_EQ(canDo("plugAsSend"), 1);
    EXPECT_EQ(canDo("plugassend"), -1);
    EXPECT_EQ(canDo("receiveVstEvents"), -1);
    EXPECT_EQ(canDo(""), -1);
    EXPECT_EQ(host.dispatch(effCanDo, 0, 0, nullptr), 0);
}

TEST_F(LoadedPlugin, PinPropertiesForTwoPinsOnly) {
    VstPinProperties p;
    std::memset(&p, 0x55, sizeof p);
    EXPECT_EQ(host.dispatch(effGetOutputProperties, 1, 0, &p), 1);
    EXPECT_STREQ(p.label, "4417 2");
    EXPECT_EQ(p.flags, 3);
    EXPECT_EQ(host.dispatch(effGetInputProperties, 0, 0, &p), 1);
    EXPECT_STREQ(p.label, "4417 1");
    for (int bad : {2, 3, -1}) {
        VstPinProperties untouched;
        std::memset(&untouched, 0x55, sizeof untouched);
        EXPECT_EQ(host.dispatch(effGetOutputProperties, bad, 0, &untouched), 0);
        EXPECT_EQ(host.dispatch(effGetInputProperties, bad, 0, &untouched), 0);
        EXPECT_EQ(static_cast<unsigned char>(untouched.label[0]), 0x55);
    }
    EXPECT_EQ(host.dispatch(effGetInputProperties, 0, 0, nullptr), 0);
}

TEST_F(LoadedPlugin, ParameterIndicesOutsideTheTableAreHarmless) {
    for (int32_t bad : {11, -1, 1 << 30, INT32_MIN}) {
        effect->setParameter(effect, bad, 0.25f);
        EXPECT_EQ(effect->getParameter(effect, bad), 0.0f);
    }
    for (int i = 0; i < 11; ++i) {
        effect->setParameter(effect, i, 0.125f * (i % 8));
        EXPECT_EQ(effect->getParameter(effect, i), 0.125f * (i % 8));
    }
}

TEST_F(LoadedPlugin, TextOpcodesWithoutABufferAnswerZero) {
    for (int op : {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay,
                   effGetParamName, effGetProgramNameIndexed, effGetVendorString,
                   effGetProductString, effGetErrorText, effEditGetRect})
        EXPECT_EQ(host.dispatch(op, 0, 0, nullptr), 0) << "opcode " << op;
}

TEST_F(LoadedPlugin, EditorRectangleIsAvailableBeforeOpening) {
    ERect* rect = nullptr;
    EXPECT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 200);
    EXPECT_EQ(rect->right, 450);
}

TEST_F(LoadedPlugin, CloseAnswersOneAndTwoInstancesAreIndependent) {
    HostSession other;
    ASSERT_TRUE(other.load(QX_MODULE_PATH));
    AEffect* second = other.create();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, effect);
    EXPECT_NE(second->object, effect->object);
    second->setParameter(second, 1, 0.25f);
    EXPECT_NE(effect->getParameter(effect, 1), 0.25f);
    EXPECT_EQ(host.destroy(), 1);
    EXPECT_EQ(host.effect(), nullptr);
    EXPECT_EQ(second->getParameter(second, 1), 0.25f);
}
