// --param takes the plug-in's own words for its switches, in any case, learnt from the plug-in.
#include "host/ParameterAssigner.h"
#include "LoadedPlugin.h"

#include <gtest/gtest.h>

using ParameterWords = LoadedPlugin;

TEST_F(ParameterWords, SwitchWordsAndNumbersSetTheValuesTheTextsShow) {
    qxhost::ParameterAssigner p(host);
    std::string error;
    auto shown = [&](const char* name) {
        for (const auto& s : p.shownValues())
            if (s.rfind(std::string(name) + " ", 0) == 0) return s.substr(std::string(name).size() + 1);
        return std::string("?");
    };
    const float input = effect->getParameter(effect, 0);
    EXPECT_TRUE(p.assign("Limit=Hard", error)) << error;
    EXPECT_EQ(shown("Limit"), "Hard");
    EXPECT_EQ(effect->getParameter(effect, 0), input); // probing put every value back
    EXPECT_TRUE(p.assign("limit=SOFT", error)) << error;
    EXPECT_EQ(shown("Limit"), "Soft");
    EXPECT_TRUE(p.assign(" Low Punch = On ", error)) << error;
    EXPECT_EQ(shown("Low Punch"), "On");
    for (const char* word : {"Left", "Right", "Stereo"}) {
        EXPECT_TRUE(p.assign(std::string("force channel=") + word, error)) << error;
        EXPECT_EQ(shown("Force Channel"), word);
    }
    EXPECT_TRUE(p.assign("Input=0.5", error)) << error;
    EXPECT_FLOAT_EQ(effect->getParameter(effect, 0), 0.5f);
}

TEST_F(ParameterWords, MistakesNameWhatWouldHaveBeenRight) {
    qxhost::ParameterAssigner p(host);
    std::string error;
    EXPECT_FALSE(p.assign("Loudness=1", error));
    EXPECT_NE(error.find("Input, Pressure"), std::string::npos) << error;
    EXPECT_NE(error.find("Force Channel"), std::string::npos) << error;
    EXPECT_FALSE(p.assign("Limit=Medium", error));
    EXPECT_NE(error.find("Hard, Soft"), std::string::npos) << error;
    EXPECT_FALSE(p.assign("Input=1.5", error));
    EXPECT_FALSE(p.assign("Input=On", error));
    EXPECT_FALSE(p.assign("Input", error));
}
