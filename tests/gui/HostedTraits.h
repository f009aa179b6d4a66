#pragma once
// How the window-layer suite (tests/editor/PlatformConformance.h) reaches a real backend: its
// windows live in a host window of the driver's, the pointer is the system's, and the screen is
// read back. `Deliver` hands the backend's pending events to the window (the host's idle call on
// X11, the message loop on Windows).

#include "TapPlatform.h"
#include "WindowDriver.h"

#include "editor/platform/BmpImage.h"
#include "editor/platform/ModuleBitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <thread>

namespace qxgui {

template <void (*Deliver)(qx::Platform&, qx::PlatformWindow*)>
struct HostedTraits {
    static TapPlatform& tap() {
        static TapPlatform t(qx::nativePlatform());
        return t;
    }
    static qx::Platform& platform() { return tap(); }
    static void prepare() {
        ASSERT_TRUE(driver().ready()) << "no display";
        if (host != nullptr) driver().destroyHostWindow(host);
        // Room on every side, for pointer positions outside the panel.
        host = driver().createHostWindow(100, 100);
        pointerX = pointerY = INT_MIN;
    }
    static void* parent() { return host; }
    static void pump(qx::PlatformWindow* w, int ticks) {
        for (int i = 0; i < ticks; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(32));
            Deliver(tap(), w);
        }
    }
    // A real pointer travels to a press position first; that travel is kept out of the log.
    static bool mouse(qx::PlatformWindow* w, qx::PanelEvent::Kind kind, int x, int y) {
        using qx::PanelEvent;
        if (kind != PanelEvent::MouseMove && (x != pointerX || y != pointerY)) {
            tap().mute(true);
            driver().pointerTo(host, x, y);
            Deliver(tap(), w);
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
        Deliver(tap(), w);
        return tap().mouseEvents() > before;
    }
    static void readWindow(qx::PlatformWindow*, uint32_t* out) {
        std::vector<uint32_t> px;
        ASSERT_TRUE(driver().readPanel(host, px));
        std::copy(px.begin(), px.end(), out);
    }
    // The module's own bitmaps, as the layer loads them.
    static std::vector<uint32_t> bitmap(int id, int& width, int& height) {
        std::size_t size = 0;
        const unsigned char* bytes = qx::moduleBitmap(id, &size);
        qx::BmpImage image;
        image.decode(bytes, size);
        width = image.width();
        height = image.height();
        return image.pixels();
    }

    static inline void* host = nullptr;
    static inline int pointerX = INT_MIN;
    static inline int pointerY = INT_MIN;
};

} // namespace qxgui
