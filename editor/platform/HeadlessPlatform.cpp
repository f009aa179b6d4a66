#include "editor/platform/HeadlessPlatform.h"
#include "editor/platform/PixelSurface.h"

#include "editor/platform/BmpImage.h"
#include "editor/platform/ModuleBitmaps.h"

#include <algorithm>

namespace qx {

namespace {

struct HeadlessWindow final : PlatformWindow {
    HeadlessWindow(int w, int h, PanelEventSink* s) : screen(w, h), sink(s) {}
    PixelSurface screen; // what the window shows
    PanelEventSink* sink;
    uintptr_t timer = 0;
    bool captured = false;
    bool exposed = true; // a new window is shown, so it is painted first
    bool showFails = false;
    std::vector<PanelRect> shown;
};

// Windows come and go while events are being delivered (a panel may close inside its own
// handler), so every driver call checks its window against this list first.
std::vector<HeadlessWindow*> liveWindowList;

HeadlessWindow* find(PlatformWindow* window) {
    auto* w = static_cast<HeadlessWindow*>(window);
    return std::find(liveWindowList.begin(), liveWindowList.end(), w) != liveWindowList.end()
               ? w
               : nullptr;
}

} // namespace

HeadlessPlatform& HeadlessPlatform::instance() {
    static HeadlessPlatform platform;
    return platform;
}

Platform& headlessPlatform() { return HeadlessPlatform::instance(); }

bool HeadlessPlatform::registerWindowClass() {
    classRegistered_ = true;
    return true;
}

void HeadlessPlatform::unregisterWindowClass() { classRegistered_ = false; }

PlatformSurface* HeadlessPlatform::loadBitmap(PlatformWindow*, int id) {
    std::size_t size = 0;
    const unsigned char* bytes = source_ != nullptr ? source_(id, &size) : moduleBitmap(id, &size);
    BmpImage image;
    if (!image.decode(bytes, size)) return nullptr;
    auto* s = new PixelSurface(image.width(), image.height());
    s->pixels = image.pixels();
    ++liveSurfaces_;
    ++bitmapsLoaded_;
    return s;
}

void HeadlessPlatform::destroySurface(PlatformSurface* surface) {
    if (surface == nullptr) return;
    delete static_cast<PixelSurface*>(surface);
    --liveSurfaces_;
}

PlatformWindow* HeadlessPlatform::createWindow(void*, int width, int height, PanelEventSink* sink) {
    if (width <= 0 || height <= 0 || sink == nullptr) return nullptr;
    auto* w = new HeadlessWindow(width, height, sink);
    liveWindowList.push_back(w);
    ++liveWindows_;
    return w;
}

void HeadlessPlatform::destroyWindow(PlatformWindow* window) {
    HeadlessWindow* w = find(window);
    if (w == nullptr) return;
    liveWindowList.erase(std::find(liveWindowList.begin(), liveWindowList.end(), w));
    delete w;
    --liveWindows_;
}

PlatformSurface* HeadlessPlatform::createSurface(PlatformWindow*, int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    ++liveSurfaces_;
    return new PixelSurface(width, height);
}

uintptr_t HeadlessPlatform::startTimer(PlatformWindow* window, uintptr_t id, int periodMs) {
    HeadlessWindow* w = find(window);
    if (w == nullptr || id == 0 || periodMs <= 0) return 0;
    w->timer = id;
    return id;
}

void HeadlessPlatform::stopTimer(PlatformWindow* window, uintptr_t timer) {
    HeadlessWindow* w = find(window);
    if (w != nullptr && w->timer == timer) w->timer = 0;
}

void HeadlessPlatform::captureMouse(PlatformWindow* window) {
    if (HeadlessWindow* w = find(window)) w->captured = true;
}

void HeadlessPlatform::releaseMouse(PlatformWindow* window) {
    if (HeadlessWindow* w = find(window)) w->captured = false;
}

void HeadlessPlatform::idle(PlatformWindow*) {}

void HeadlessPlatform::transfer(PlatformSurface* into, const PanelRect& to, PlatformSurface* from,
                                int fromX, int fromY, RasterOp op) {
    if (into == nullptr || from == nullptr) return;
    transferPixels(*static_cast<PixelSurface*>(into), to, *static_cast<PixelSurface*>(from), fromX,
         fromY, op);
}

bool HeadlessPlatform::beginShow(PlatformWindow* window) {
    HeadlessWindow* w = find(window);
    return w != nullptr && !w->showFails;
}

void HeadlessPlatform::show(PlatformWindow* window, PlatformSurface* back, const PanelRect& rect) {
    HeadlessWindow* w = find(window);
    if (w == nullptr || back == nullptr) return;
    transferPixels(w->screen, rect, *static_cast<PixelSurface*>(back), rect.x, rect.y, RasterOp::Copy);
    w->shown.push_back(rect);
}

void HeadlessPlatform::endShow(PlatformWindow*) {}

void HeadlessPlatform::deliver(PlatformWindow* window, const PanelEvent& event) {
    if (HeadlessWindow* w = find(window)) w->sink->handlePanelEvent(event);
}

int HeadlessPlatform::tick(PlatformWindow* window, int count) {
    HeadlessWindow* w = find(window);
    if (w == nullptr) return 0;
    if (w->exposed) {
        w->exposed = false;
        deliver(window, {PanelEvent::Erase});
        deliver(window, {PanelEvent::Paint});
    }
    int delivered = 0;
    for (; delivered < count; ++delivered) {
        w = find(window);
        if (w == nullptr || w->timer == 0) break;
        PanelEvent e{PanelEvent::Timer};
        e.timer = w->timer;
        deliver(window, e);
    }
    return delivered;
}

bool HeadlessPlatform::mouse(PlatformWindow* window, PanelEvent::Kind kind, int x, int y) {
    HeadlessWindow* w = find(window);
    if (w == nullptr) return false;
    const bool inside = x >= 0 && y >= 0 && x < w->screen.width && y < w->screen.height;
    if (!inside && !w->captured) return false;
    PanelEvent e{kind};
    // Client coordinates travel as signed 16-bit values, as in a window message.
    e.x = int16_t(x);
    e.y = int16_t(y);
    deliver(window, e);
    return true;
}

void HeadlessPlatform::invalidate(PlatformWindow* window) {
    if (HeadlessWindow* w = find(window)) w->exposed = true;
}

void HeadlessPlatform::post(PlatformWindow* window, const PanelEvent& event) {
    deliver(window, event);
}

bool HeadlessPlatform::readPixels(PlatformWindow* window, uint32_t* out) const {
    HeadlessWindow* w = find(window);
    if (w == nullptr || out == nullptr) return false;
    std::copy(w->screen.pixels.begin(), w->screen.pixels.end(), out);
    return true;
}

std::vector<PanelRect> HeadlessPlatform::takeShown(PlatformWindow* window) {
    std::vector<PanelRect> rects;
    if (HeadlessWindow* w = find(window)) rects.swap(w->shown);
    return rects;
}

bool HeadlessPlatform::captured(PlatformWindow* window) const {
    HeadlessWindow* w = find(window);
    return w != nullptr && w->captured;
}

void HeadlessPlatform::setShowFails(PlatformWindow* window, bool fails) {
    if (HeadlessWindow* w = find(window)) w->showFails = fails;
}

} // namespace qx
