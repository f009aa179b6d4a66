#pragma once
// The backend without a window system: surfaces and windows are 32-bit pixel arrays in memory,
// transfers are done in software, and whoever drives it (a test, the command-line host through
// the panel's private channel) delivers the ticks and mouse events itself and reads back what the
// window shows. Behaves like a real window where the panel can tell: events reach the window only
// after creation, mouse events outside it only while captured, the timer only while it runs, and
// a new or uncovered window first gets Erase and Paint.

#include "editor/platform/Platform.h"

#include <cstddef>
#include <vector>

namespace qx {

class HeadlessPlatform final : public Platform {
public:
    static HeadlessPlatform& instance();

    const char* name() const override { return "headless"; }
    bool registerWindowClass() override;
    void unregisterWindowClass() override;
    PlatformSurface* loadBitmap(PlatformWindow* reference, int id) override;
    void destroySurface(PlatformSurface* surface) override;
    PlatformWindow* createWindow(void* parent, int width, int height,
                                 PanelEventSink* sink) override;
    void destroyWindow(PlatformWindow* window) override;
    PlatformSurface* createSurface(PlatformWindow* window, int width, int height) override;
    uintptr_t startTimer(PlatformWindow* window, uintptr_t id, int periodMs) override;
    void stopTimer(PlatformWindow* window, uintptr_t timer) override;
    void captureMouse(PlatformWindow* window) override;
    void releaseMouse(PlatformWindow* window) override;
    void idle(PlatformWindow* window) override;
    void transfer(PlatformSurface* into, const PanelRect& to, PlatformSurface* from, int fromX,
                  int fromY, RasterOp op) override;
    bool beginShow(PlatformWindow* window) override;
    void show(PlatformWindow* window, PlatformSurface* back, const PanelRect& rect) override;
    void endShow(PlatformWindow* window) override;

    // --- Driving a window, as its window system would.

    // Delivers a pending Erase and Paint, then up to `count` timer events (none while the timer
    // is stopped, and none after the window went away); answers how many ticks arrived.
    int tick(PlatformWindow* window, int count);
    // A mouse event at (x, y) in client coordinates; outside the window it arrives only while
    // the mouse is captured. Answers whether it arrived.
    bool mouse(PlatformWindow* window, PanelEvent::Kind kind, int x, int y);
    // Covering and uncovering the window: Erase and Paint arrive before the next tick.
    void invalidate(PlatformWindow* window);
    // Any event as it is, for cases the helpers above do not make (a foreign timer id).
    void post(PlatformWindow* window, const PanelEvent& event);

    // --- Observing.

    // The pixels the window shows, row by row from the top, 0x00RRGGBB; `out` holds
    // width x height of the window. False for an unknown window.
    bool readPixels(PlatformWindow* window, uint32_t* out) const;
    // The rectangles shown since the last call, in order.
    std::vector<PanelRect> takeShown(PlatformWindow* window);
    bool captured(PlatformWindow* window) const;
    // Makes beginShow fail, as when no device context can be had for the window.
    void setShowFails(PlatformWindow* window, bool fails);
    bool windowClassRegistered() const { return classRegistered_; }
    int liveSurfaces() const { return liveSurfaces_; }
    int liveWindows() const { return liveWindows_; }
    int bitmapsLoaded() const { return bitmapsLoaded_; }

    // Where loadBitmap takes the image bytes from: the module's own (ModuleBitmaps.h), unless a
    // test supplies its own (null goes back to the module's).
    using BitmapSource = const unsigned char* (*)(int id, std::size_t* size);
    void setBitmapSource(BitmapSource source) { source_ = source; }

private:
    HeadlessPlatform() = default;
    void deliver(PlatformWindow* window, const PanelEvent& event);

    BitmapSource source_ = nullptr;
    bool classRegistered_ = false;
    int liveSurfaces_ = 0;
    int liveWindows_ = 0;
    int bitmapsLoaded_ = 0;
};

} // namespace qx
