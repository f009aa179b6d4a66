// The X11 layer in this process against the window-layer suite every backend passes, with a
// real X server, a real child window and the XTest pointer; and what only X11 can get wrong.
#include "../editor/PlatformConformance.h"
#include "TapPlatform.h"
#include "WindowDriver.h"

#include "editor/platform/BmpImage.h"
#include "editor/platform/ModuleBitmaps.h"

#include <chrono>
#include <climits>
#include <cstdlib>
#include <string>
#include <thread>

using namespace qx;
using namespace qxgui;
using namespace qxtest;

namespace {

struct X11Traits {
    static TapPlatform& tap() {
        static TapPlatform t(nativePlatform());
        return t;
    }
    static Platform& platform() { return tap(); }
    static void prepare() {
        ASSERT_TRUE(driver().ready()) << "no X server with XTest";
        if (host != nullptr) driver().destroyHostWindow(host);
        // Room on every side, for pointer positions outside the panel.
        host = driver().createHostWindow(100, 100);
        pointerX = pointerY = INT_MIN;
    }
    static void* parent() { return host; }
    // The host's idle calls, one per 30 ms period.
    static void pump(PlatformWindow* w, int ticks) {
        for (int i = 0; i < ticks; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(32));
            tap().idle(w);
        }
    }
    static bool mouse(PlatformWindow* w, PanelEvent::Kind kind, int x, int y) {
        if (kind != PanelEvent::MouseMove && (x != pointerX || y != pointerY)) {
            tap().mute(true);
            driver().pointerTo(host, x, y);
            tap().idle(w);
            tap().mute(false);
        }
        pointerX = x;
        pointerY = y;
        const int before = tap().mouseEvents();
        switch (kind) {
        case PanelEvent::MouseMove:
            driver().pointerTo(host, x, y);
            break;
        case PanelEvent::LeftDown:
        case PanelEvent::LeftUp:
            driver().button(false, kind == PanelEvent::LeftDown);
            break;
        case PanelEvent::RightDown:
        case PanelEvent::RightUp:
            driver().button(true, kind == PanelEvent::RightDown);
            break;
        default:
            return false;
        }
        tap().idle(w);
        return tap().mouseEvents() > before;
    }
    static void readWindow(PlatformWindow*, uint32_t* out) {
        std::vector<uint32_t> px;
        ASSERT_TRUE(driver().readPanel(host, px));
        std::copy(px.begin(), px.end(), out);
    }
    static std::vector<uint32_t> bitmap(int id, int& width, int& height) {
        std::size_t size = 0;
        const unsigned char* bytes = moduleBitmap(id, &size);
        BmpImage image;
        image.decode(bytes, size);
        width = image.width();
        height = image.height();
        return image.pixels();
    }

    static void* host;
    static int pointerX, pointerY;
};

void* X11Traits::host = nullptr;
int X11Traits::pointerX = INT_MIN;
int X11Traits::pointerY = INT_MIN;

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
