#pragma once
// A real backend with a tap on its event delivery, for the window-layer suite
// (tests/editor/PlatformConformance.h). Every call goes straight through; each window's events
// pass the tap on their way to the suite's sink. A real pointer has to travel to a press
// position, and the suite's event log should not see that travel, so the tap can hold events
// back for a while; it also counts mouse events, which tells the suite's `mouse` whether one
// arrived.

#include "editor/platform/Platform.h"

namespace qxgui {

class TapPlatform final : public qx::Platform {
public:
    explicit TapPlatform(qx::Platform& real) : real_(real) {}

    // Mouse events delivered so far.
    int mouseEvents() const { return tap_.mouse; }
    // While muted, events are dropped instead of delivered.
    void mute(bool muted) { tap_.muted = muted; }

    const char* name() const override { return real_.name(); }
    bool registerWindowClass() override { return real_.registerWindowClass(); }
    void unregisterWindowClass() override { real_.unregisterWindowClass(); }
    qx::PlatformSurface* loadBitmap(qx::PlatformWindow* reference, int id) override {
        return real_.loadBitmap(reference, id);
    }
    void destroySurface(qx::PlatformSurface* surface) override { real_.destroySurface(surface); }
    // The suite opens one window at a time.
    qx::PlatformWindow* createWindow(void* parent, int width, int height,
                                     qx::PanelEventSink* sink) override {
        tap_.inner = sink;
        tap_.mouse = 0;
        tap_.muted = false;
        return real_.createWindow(parent, width, height, &tap_);
    }
    void destroyWindow(qx::PlatformWindow* window) override { real_.destroyWindow(window); }
    qx::PlatformSurface* createSurface(qx::PlatformWindow* window, int width, int height) override {
        return real_.createSurface(window, width, height);
    }
    uintptr_t startTimer(qx::PlatformWindow* window, uintptr_t id, int periodMs) override {
        return real_.startTimer(window, id, periodMs);
    }
    void stopTimer(qx::PlatformWindow* window, uintptr_t timer) override {
        real_.stopTimer(window, timer);
    }
    void captureMouse(qx::PlatformWindow* window) override { real_.captureMouse(window); }
    void releaseMouse(qx::PlatformWindow* window) override { real_.releaseMouse(window); }
    void idle(qx::PlatformWindow* window) override { real_.idle(window); }
    void transfer(qx::PlatformSurface* into, const qx::PanelRect& to, qx::PlatformSurface* from,
                  int fromX, int fromY, qx::RasterOp op) override {
        real_.transfer(into, to, from, fromX, fromY, op);
    }
    bool beginShow(qx::PlatformWindow* window) override { return real_.beginShow(window); }
    void show(qx::PlatformWindow* window, qx::PlatformSurface* back,
              const qx::PanelRect& rect) override {
        real_.show(window, back, rect);
    }
    void endShow(qx::PlatformWindow* window) override { real_.endShow(window); }

private:
    struct Tap final : qx::PanelEventSink {
        void handlePanelEvent(const qx::PanelEvent& e) override {
            if (muted || inner == nullptr) return;
            if (e.kind >= qx::PanelEvent::MouseMove) ++mouse;
            inner->handlePanelEvent(e);
        }
        qx::PanelEventSink* inner = nullptr;
        int mouse = 0;
        bool muted = false;
    };

    qx::Platform& real_;
    Tap tap_;
};

} // namespace qxgui
