// The panel needs nothing of an effect but its model interface: with a stand-in model and no
// effect at all it opens, writes its changes through the model and takes the meters from it.
#include "SyntheticBitmaps.h"

#include "core/ParamTable.h"
#include "editor/PanelEditor.h"
#include "editor/PanelLayout.h"
#include "editor/platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace qx;
using namespace qxtest;

namespace {

class FakeModel final : public PanelModel {
public:
    float readParameter(int32_t index) override { return values[index]; }
    void storeParameter(int32_t index, float value) override { values[index] = value; }
    void writeParameter(int32_t index, float value) override {
        values[index] = value;
        writes.emplace_back(index, value);
    }
    void recalculate() override { ++recalculations; }
    float takeMinGain() override { return std::exchange(minGain, 1.0f); }
    float takePeakOut() override { return std::exchange(peakOut, 0.0f); }
    int32_t clipHold() override { return hold; }
    void countDownClipHold(int32_t seen) override {
        if (hold == seen) hold = seen - 1;
    }
    int32_t singleChannel() override { return single; }
    void storeMeters(float g, float p, int32_t c, int32_t s) override {
        minGain = g;
        peakOut = p;
        hold = c;
        single = s;
    }

    float values[kNumParams] = {};
    std::vector<std::pair<int32_t, float>> writes;
    int recalculations = 0;
    float minGain = 0.0f, peakOut = 1.0f;
    int32_t hold = -1, single = -1;
};

} // namespace

TEST(PanelModel, PanelWorksAgainstAStandInModel) {
    useSyntheticBitmaps();
    PanelEditor::buildTables();
    FakeModel model;
    PanelEditor panel(&model);
    panel.initialise();
    for (int i = 0; i < kNumParams; ++i) EXPECT_EQ(model.values[i], kParamTable[i].defaultValue);
    EXPECT_EQ(model.minGain, 1.0f) << "initial meters stored through the model";
    EXPECT_EQ(model.hold, 0);
    EXPECT_GE(model.recalculations, 1);
    EXPECT_TRUE(model.writes.empty()) << "initialising reports nothing to a host";

    HeadlessPlatform& h = HeadlessPlatform::instance();
    ASSERT_EQ(panel.openOn(h, nullptr), 1);
    PlatformWindow* w = panel.panelWindow();
    h.tick(w, 1);

    // A reading taken by a tick is reset; a clip is counted down one step a tick.
    model.storeMeters(0.5f, 1.0f, 27, 0);
    h.tick(w, 1);
    EXPECT_EQ(model.minGain, 1.0f);
    EXPECT_EQ(model.peakOut, 0.0f);
    EXPECT_EQ(model.hold, 26);

    // A switch click and a knob drag arrive as the model's writes, in order.
    const PanelRect& punch = kPanelControls[6].image;
    h.mouse(w, PanelEvent::LeftDown, punch.x + 2, punch.y + 2);
    h.mouse(w, PanelEvent::LeftUp, punch.x + 2, punch.y + 2);
    const PanelRect& pressure = kPanelControls[kPressure].image;
    h.mouse(w, PanelEvent::LeftDown, pressure.x + 24, pressure.y + 24);
    h.mouse(w, PanelEvent::MouseMove, pressure.x + 24, pressure.y + 24 - 40);
    h.tick(w, 1);
    h.mouse(w, PanelEvent::LeftUp, pressure.x + 24, pressure.y + 24 - 40);
    ASSERT_EQ(model.writes.size(), 2u);
    EXPECT_EQ(model.writes[0], std::make_pair(int32_t(kLowPunch), 1.0f));
    EXPECT_EQ(model.writes[1].first, kPressure);
    EXPECT_FLOAT_EQ(model.writes[1].second, 0.8f);
    panel.close();
}
