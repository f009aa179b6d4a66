// What a host shows beside each parameter: name, value text and unit label.
#include "tests/plugin/LoadedPlugin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

using namespace qx;
using qxhost::HostSession;

namespace {

class ParameterTexts : public LoadedPlugin {
protected:
    std::string display(int32_t index, float value) {
        effect->setParameter(effect, index, value);
        return host.text(effGetParamDisplay, index);
    }
};

struct TextCase {
    int32_t index;
    float value;
    const char* text;
};

} // namespace

TEST_F(ParameterTexts, ValueTextsFollowTheTruncatingFormatter) {
    const TextCase cases[] = {
        {0, 0.0f, "0.00"},   {0, 0.05f, "5.00"},  {0, 0.123f, "12.3"}, {0, 0.7f, "70.0"},
        {0, 0.999f, "99.9"}, {0, 1.0f, "100"},    {1, 0.7f, "70.0"},   {2, 0.4f, "40.0"},
        {3, 0.5f, "50.0"},   {0, 1.5f, "150."},   {4, 0.0f, "-100"},   {4, 0.25f, "-50.0"},
        {4, 0.5f, " 0.00"},  {4, 0.75f, "+50.0"}, {4, 1.0f, "+100"},   {4, 0.49f, "-1.99"},
        {4, 0.51f, "+1.99"}, {4, 0.7f, "+39.9"},  {4, 1.5f, "+200."},   {5, 0.0f, "Hard"},
        {5, 0.999f, "Hard"}, {5, 0.5f, "Hard"},   {5, 1.0f, "Soft"},   {6, 1.0f, "On"},
        {6, 0.0f, "Off"},    {7, 1.0f, "On"},     {8, 0.0f, "Normal"}, {8, 1.0f, "HQ"},
        {9, 0.0f, "Off"},    {10, 0.49f, "Stereo"}, {10, 0.5f, "Left"}, {10, 1.0f, "Right"},
        {5, -0.5f, "Hard"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(display(c.index, c.value), c.text) << "index " << c.index << " value " << c.value;
}

TEST_F(ParameterTexts, NoTextIsLongerThanEightCharacters) {
    const float values[] = {0.0f, 0.3333f, 0.5f, 0.999f, 1.0f, -1.0f, 2.0f, 1e9f, -1e9f,
                            1e30f, -1e30f, std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity()};
    for (int32_t i = 0; i < 11; ++i)
        for (float v : values) {
            EXPECT_LE(display(i, v).size(), 8u) << "index " << i << " value " << v;
            EXPECT_LE(host.text(effGetParamLabel, i).size(), 8u);
        }
}

TEST_F(ParameterTexts, SwitchValuesThatSelectNoStateLeaveTheBufferAlone) {
    for (float v : {2.0f, -1.0f, 7.5f}) {
        effect->setParameter(effect, 5, v);
        char buffer[32] = "keep";
        host.dispatch(effGetParamDisplay, 5, 0, buffer);
        EXPECT_STREQ(buffer, "keep");
    }
    effect->setParameter(effect, 10, 1.5f);
    char buffer[32] = "keep";
    host.dispatch(effGetParamDisplay, 10, 0, buffer);
    EXPECT_STREQ(buffer, "keep");
}

TEST_F(ParameterTexts, NamesAreBlankPaddedFieldsAndLabelsFollowTheKind) {
    const char* names[11] = {"Input", "Pressure", "Release1", "Release2",
                             "Output", "Limit", "Low Punch", "Stereo Link",
                             "Link Quality", "Auto Channel", "Force Channel"};
    for (int32_t i = 0; i < 11; ++i) {
        std::string expected = names[i];
        expected.resize(22, ' ');
        EXPECT_EQ(host.text(effGetParamName, i), expected);
        EXPECT_EQ(host.text(effGetParamLabel, i), i <= 4 ? "%" : " ");
    }
    EXPECT_EQ(host.text(effGetParamDisplay, 11), "error");
    EXPECT_EQ(host.text(effGetParamDisplay, -1), "error");
    EXPECT_EQ(host.text(effGetParamLabel, 11), " ");
    EXPECT_EQ(host.text(effGetParamName, 11), "");
    EXPECT_EQ(host.text(effGetParamName, -5), "");
}
