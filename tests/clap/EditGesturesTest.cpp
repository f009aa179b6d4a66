// The order in which the panel's edits reach the host, whatever the panel did between two
// process calls and however full the host's queue was.
#include "clap/EditGestures.h"
#include "host/ClapEventLists.h"

#include <gtest/gtest.h>

namespace {

using qx::EditGestures;
using qxhost::OutputEvents;

std::string written(EditGestures& g, size_t capacity = SIZE_MAX, bool* complete = nullptr) {
    OutputEvents out;
    out.capacity = capacity;
    const bool all = g.write(&out.list, 0, [](int32_t index) { return index + 0.5; });
    if (complete != nullptr) *complete = all;
    return out.describe();
}

TEST(EditGestures, EachCallTellsWhatHappenedSinceTheLast) {
    EditGestures g;
    EXPECT_FALSE(g.pending());
    EXPECT_EQ(written(g), "");
    g.begin(1);
    EXPECT_TRUE(g.pending());
    EXPECT_EQ(written(g), "B1 V1=1.5");
    g.value(1);
    g.value(1);
    EXPECT_EQ(written(g), "V1=1.5");
    g.value(1);
    g.end(1);
    EXPECT_EQ(written(g), "V1=1.5 E1");
    g.begin(1);
    written(g);
    g.end(1);
    EXPECT_EQ(written(g), "E1");
    EXPECT_EQ(written(g), "");
    // A click between two calls, on two controls.
    g.begin(6);
    g.value(6);
    g.end(6);
    g.begin(0);
    g.value(0);
    g.end(0);
    EXPECT_EQ(written(g), "B0 V0=0.5 E0 B6 V6=6.5 E6");
    g.begin(-1);
    g.value(11);
    EXPECT_EQ(written(g), "");
}

TEST(EditGestures, EditsBetweenTwoCallsFoldIntoOne) {
    EditGestures g;
    g.begin(2);
    EXPECT_EQ(written(g), "B2 V2=2.5");
    // The open edit ends, two more come and go, a fourth is still open.
    g.end(2);
    for (int i = 0; i < 2; ++i) {
        g.begin(2);
        g.value(2);
        g.end(2);
    }
    g.begin(2);
    EXPECT_EQ(written(g), "V2=2.5 E2 B2 V2=2.5 E2 B2 V2=2.5");
    g.end(2);
    EXPECT_EQ(written(g), "E2");
}

TEST(EditGestures, AFullQueueLosesNothing) {
    EditGestures g;
    g.begin(3);
    g.value(3);
    g.end(3);
    g.begin(4);
    std::string all;
    bool complete = false;
    for (int call = 0; call < 10 && !complete; ++call) {
        const std::string part = written(g, 1, &complete);
        all += (all.empty() || part.empty() ? "" : " ") + part;
    }
    EXPECT_TRUE(complete);
    EXPECT_FALSE(g.pending());
    EXPECT_EQ(all, "B3 V3=3.5 E3 B4 V4=4.5");
}

} // namespace
