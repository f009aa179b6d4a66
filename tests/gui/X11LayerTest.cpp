// The X11 layer in this process against the window-layer suite every backend passes, with a
// real X server, a real child window and the XTest pointer; and what only X11 can get wrong.
#include "../editor/PlatformConformance.h"
#include "HostedTraits.h"

#include <cstdlib>
#include <string>

using namespace qx;
using namespace qxgui;
using namespace qxtest;

namespace {

// What the host's idle call does.
void idleCall(Platform& p, PlatformWindow* w) { p.idle(w); }
using X11Traits = HostedTraits<idleCall>;

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(X11, PlatformConformance, X11Traits);

namespace {

struct EventSink final : PanelEventSink {
    void handlePanelEvent(const PanelEvent&) override {}
};

} // namespace

TEST(X11Layer, NoWindowWithoutAnXServer) {
    const char* was = std::getenv("DISPLAY");
    const std::string saved = was != nullptr ? was : "";
    setenv("DISPLAY", ":4095", 1); // no server listens there
    EventSink sink;
    PlatformWindow* w = nativePlatform().createWindow(reinterpret_cast<void*>(uintptr_t(1)), 450,
                                                      200, &sink);
    if (was != nullptr)
        setenv("DISPLAY", saved.c_str(), 1);
    else
        unsetenv("DISPLAY");
    EXPECT_EQ(w, nullptr);
    if (w != nullptr) nativePlatform().destroyWindow(w);
}
