// The laws that turn values into frames and meter positions, and the hit areas.
#include "editor/MeterScale.h"
#include "editor/PanelLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace qx;

TEST(KnobLaw, OddValuesDrawAsTheNearestEndInsideTheStrip) {
    const float inf = std::numeric_limits<float>::infinity();
    for (int k = 0; k < 5; ++k) {
        for (float v : {1.7f, 2.0f, 1e30f, inf}) EXPECT_EQ(knobFrame(k, v), knobFrame(k, 1.0f));
        for (float v : {-0.5f, -1e30f, -inf, std::nanf("")}) EXPECT_EQ(knobFrame(k, v), knobFrame(k, 0.0f));
    }
}

TEST(SwitchLaw, OnlyOneAndAboveShowTheSecondState) {
    EXPECT_EQ(switchState(0.0f), 0);
    EXPECT_EQ(switchState(0.999f), 0);
    EXPECT_EQ(switchState(1.0f), 1);
    // Odd host values stay inside the two-entry tables.
    EXPECT_EQ(switchState(2.0f), 1);
    EXPECT_EQ(switchState(-1.0f), 0);
    EXPECT_EQ(switchState(std::nanf("")), 0);
}

TEST(MeterScale, TableFollowsTheScaleMarksWithSinglePrecisionSlopes) {
    MeterScale::build();
    const int marks[][2] = {{0, 0},      {100, 11},   {200, 33},   {300, 55},   {500, 77},   {700, 110},
                            {1000, 143}, {2000, 176}, {2400, 209}, {3200, 242}, {4800, 275}, {7200, 308}};
    int previous = 0;
    for (int seg = 0; seg + 1 < 12; ++seg) {
        for (int d = marks[seg][0]; d < marks[seg + 1][0]; ++d) {
            const int du = marks[seg + 1][1] - marks[seg][1], dd = marks[seg + 1][0] - marks[seg][0];
            const int exact = marks[seg][1] + (d - marks[seg][0]) * du / dd;
            const int e = MeterScale::entry(d);
            ASSERT_TRUE(e == exact || e == exact - 1) << d;
            ASSERT_GE(e, previous) << d;
            previous = e;
        }
    }
    // Where the single-precision slope falls just short of a whole unit.
    EXPECT_EQ(MeterScale::entry(150), 21);
    EXPECT_EQ(MeterScale::entry(250), 43);
    EXPECT_EQ(MeterScale::entry(400), 65);
    EXPECT_EQ(MeterScale::entry(800), 120);
    EXPECT_EQ(MeterScale::entry(900), 131);
    EXPECT_EQ(MeterScale::entry(5600), 285);
    EXPECT_EQ(MeterScale::entry(6400), 296);
    EXPECT_EQ(MeterScale::entry(7199), 307);
}

TEST(MeterScale, UnitsForGainsAndPeaks) {
    EXPECT_EQ(MeterScale::units(1.0f), 0);
    EXPECT_EQ(MeterScale::units(0.999f), 0);
    EXPECT_EQ(MeterScale::units(0.5f), 93);
    EXPECT_EQ(MeterScale::units(-0.5f), 93);
    EXPECT_EQ(MeterScale::units(0.1f), 175);
    EXPECT_EQ(MeterScale::units(0.01f), 258);
    EXPECT_EQ(MeterScale::units(0.0f), 307);
    EXPECT_EQ(MeterScale::units(0.0002f), 307);
    // Above full scale, and garbage, read as no reduction and a full-scale peak.
    EXPECT_EQ(MeterScale::units(3.0f), 0);
    EXPECT_EQ(MeterScale::units(std::nanf("")), 0);
}

TEST(HitAreas, BoundsAreInclusiveAndReachOnePixelPastTheImage) {
    EXPECT_EQ(hitTest(115, 49, true)->param, 0);
    EXPECT_EQ(hitTest(67, 97, true)->param, 0);
    EXPECT_EQ(hitTest(116, 49, true), nullptr);
    EXPECT_EQ(hitTest(66, 49, true), nullptr);
    EXPECT_EQ(hitTest(90, 98, true), nullptr);
    // Each control answers at its four corners and nowhere just outside them.
    for (const PanelControl& c : kPanelControls) {
        const int x0 = c.image.x, y0 = c.image.y, x1 = x0 + c.image.w, y1 = y0 + c.image.h;
        for (auto [x, y] : {std::pair{x0, y0}, {x1, y0}, {x0, y1}, {x1, y1}})
            EXPECT_EQ(hitTest(x, y, true), &c) << x << "," << y;
        for (auto [x, y] : {std::pair{x0 - 1, y0}, {x1 + 1, y1}, {x0, y0 - 1}, {x1, y1 + 1}}) {
            const PanelControl* other = hitTest(x, y, true);
            EXPECT_NE(other, &c) << x << "," << y;
        }
    }
    // The about spot answers the left button only.
    EXPECT_EQ(hitTest(30, 70, true)->kind, ControlKind::AboutSpot);
    EXPECT_EQ(hitTest(30, 70, false), nullptr);
}
