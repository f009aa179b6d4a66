// The panel needs nothing of an effect but its model interface: with a stand-in model and no
// effect at all it opens, writes its changes through the model and takes the meters from it.
#include "SyntheticBitmaps.h"

#include "core/ParamTable.h"
#include "editor/PanelEditor.h"
#include "editor/PanelLayout.h"
#include "editor/platform/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace qx;
using namespace qxtest;

namespace {

class FakeModel final : public PanelModel {
public:
    float readParameter(int32_t index) override { return values[index]; }
    void beginEdit(int32_t index) override { log.push_back("begin " + std::to_string(index)); }
    void writeParameter(int32_t index, float value) override {
        values[index] = value;
        log.push_back("value " + std::to_string(index) + " " + std::to_string(value));
    }
    void endEdit(int32_t index) override { log.push_back("end " + std::to_string(index)); }
    uint32_t takeChanged() override { return std::exchange(changed, 0u); }
    float takeMinGain() override { return std::exchange(minGain, 1.0f); }
    float takePeakOut() override { return std::exchange(peakOut, 0.0f); }
    int32_t clipHold() override { return hold; }
    void countDownClipHold(int32_t seen) override {
        if (hold == seen) hold = seen - 1;
    }
    int32_t singleChannel() override { return single; }

    float values[kNumParams] = {};
    std::vector<std::string> log;
    uint32_t changed = 0;
    float minGain = 1.0f, peakOut = 0.0f;
    int32_t hold = 0, single = 0;
};

} // namespace

TEST(PanelModel, PanelWorksAgainstAStandInModel) {
    useSyntheticBitmaps();
    PanelEditor::buildTables();
    FakeModel model;
    for (int i = 0; i < kNumParams; ++i) model.values[i] = 0.25f;
    PanelEditor panel(&model);
    panel.initialise();
    HeadlessPlatform& h = HeadlessPlatform::instance();
    ASSERT_EQ(panel.openOn(h, nullptr), 1);
    PlatformWindow* w = panel.panelWindow();
    h.tick(w, 1);
    for (int i = 0; i < kNumParams; ++i) EXPECT_EQ(model.values[i], 0.25f) << "opening writes nothing";
    EXPECT_TRUE(model.log.empty());

    // A reading taken by a tick is reset; a clip is counted down one step a tick; what the host
    // changed is pulled by the tick.
    model.minGain = 0.5f;
    model.peakOut = 1.0f;
    model.hold = 27;
    model.changed = 1u << kPressure;
    h.tick(w, 1);
    EXPECT_EQ(model.minGain, 1.0f);
    EXPECT_EQ(model.peakOut, 0.0f);
    EXPECT_EQ(model.hold, 26);
    EXPECT_EQ(model.changed, 0u);

    // A switch click is one whole edit; a knob drag is one edit with a value per tick.
    const PanelRect& punch = kPanelControls[6].image;
    h.mouse(w, PanelEvent::LeftDown, punch.x + 2, punch.y + 2);
    h.mouse(w, PanelEvent::LeftUp, punch.x + 2, punch.y + 2);
    const PanelRect& pressure = kPanelControls[kPressure].image;
    h.mouse(w, PanelEvent::LeftDown, pressure.x + 24, pressure.y + 24);
    h.mouse(w, PanelEvent::MouseMove, pressure.x + 24, pressure.y + 24 - 40);
    h.tick(w, 1);
    h.mouse(w, PanelEvent::LeftUp, pressure.x + 24, pressure.y + 24 - 40);
    // A right-click reset is one whole edit too.
    h.mouse(w, PanelEvent::RightDown, pressure.x + 24, pressure.y + 24);
    h.mouse(w, PanelEvent::RightUp, pressure.x + 24, pressure.y + 24);
    const std::vector<std::string> expected = {
        "begin 6", "value 6 " + std::to_string(1.0f), "end 6",
        "begin 1", "value 1 " + std::to_string(0.35f), "end 1",
        "begin 1", "value 1 " + std::to_string(kParamTable[kPressure].defaultValue), "end 1"};
    EXPECT_EQ(model.log, expected);

    // A drag that the window's closing cuts short still ends its edit.
    model.log.clear();
    h.mouse(w, PanelEvent::LeftDown, pressure.x + 24, pressure.y + 24);
    panel.close();
    EXPECT_EQ(model.log, (std::vector<std::string>{"begin 1", "end 1"}));
}
