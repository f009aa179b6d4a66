// The bank of ten programs: names, selection, copies, and the values each program keeps.
#include "tests/plugin/LoadedPlugin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace qx;
using qxhost::HostSession;

namespace {

class ProgramBank : public LoadedPlugin {
protected:
    void SetUp() override {
        LoadedPlugin::SetUp();
        host.takeAutomation();
    }
    std::string indexedName(int32_t program) {
        char buffer[64] = "untouched";
        if (host.dispatch(effGetProgramNameIndexed, program, 0, buffer) == 0) return "<refused>";
        return buffer;
    }
};

std::string padded(const char* s) {
    std::string t = s;
    t.resize(23, ' ');
    return t;
}

} // namespace

TEST_F(ProgramBank, DefaultNamesAndSelection) {
    EXPECT_EQ(host.text(effGetProgramName), padded("default"));
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
    EXPECT_EQ(effect->getParameter(effect, 1), 0.7f);
    EXPECT_EQ(indexedName(3), padded("empty 3"));
    EXPECT_EQ(indexedName(9), padded("empty 9"));
    EXPECT_EQ(indexedName(10), "<refused>");
    EXPECT_EQ(indexedName(-1), "<refused>");
}

TEST_F(ProgramBank, EachProgramKeepsTheValuesSetWhileItWasCurrent) {
    host.dispatch(effSetProgram, 0, 4);
    effect->setParameter(effect, 1, 0.25f);
    host.dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(effect->getParameter(effect, 1), 0.7f);
    host.dispatch(effSetProgram, 0, 4);
    EXPECT_EQ(effect->getParameter(effect, 1), 0.25f);
    // Values are stored unvalidated.
    effect->setParameter(effect, 2, 1.7f);
    EXPECT_EQ(effect->getParameter(effect, 2), 1.7f);
}

TEST_F(ProgramBank, CopyTakesValuesAndName) {
    host.dispatch(effSetProgram, 0, 2);
    effect->setParameter(effect, 0, 0.33f);
    char name[32] = "Drums bus";
    host.dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ(host.dispatch(effCopyProgram, 7), 1);
    EXPECT_EQ(host.dispatch(effGetProgram), 2);
    EXPECT_EQ(indexedName(7), "Drums bus");
    host.dispatch(effSetProgram, 0, 7);
    EXPECT_EQ(effect->getParameter(effect, 0), 0.33f);
    EXPECT_EQ(host.dispatch(effCopyProgram, 10), 0);
    EXPECT_EQ(host.dispatch(effCopyProgram, -1), 0);
    EXPECT_EQ(host.dispatch(effCopyProgram, 7), 1) << "copy onto itself";
    EXPECT_EQ(indexedName(7), "Drums bus");
}

TEST_F(ProgramBank, NamesAreCutToTwentyThreeCharacters) {
    char exact[] = "ABCDEFGHIJKLMNOPQRSTUVW";
    host.dispatch(effSetProgramName, 0, 0, exact);
    EXPECT_EQ(host.text(effGetProgramName), exact);
    char longer[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    host.dispatch(effSetProgramName, 0, 0, longer);
    EXPECT_EQ(host.text(effGetProgramName), "ABCDEFGHIJKLMNOPQRSTUVW");
}

TEST_F(ProgramBank, SelectingAProgramReportsEveryValueInIndexOrder) {
    effect->setParameter(effect, 3, 0.9f);
    EXPECT_TRUE(host.takeAutomation().empty()) << "host writes are not echoed";
    host.dispatch(effSetProgram, 0, 0);
    auto calls = host.takeAutomation();
    ASSERT_EQ(calls.size(), 11u);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(calls[i].index, i);
    EXPECT_EQ(calls[3].value, 0.9f);
}
