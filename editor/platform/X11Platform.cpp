// The X11 window layer. Linux hosts hand the panel an X window id and then call effEditIdle
// about 25 times a second from whichever thread runs their editors, so this layer has no thread
// and no event loop of its own: idle() reads the window's events and runs the tick.
//
// Each window talks to the server over its own display connection. The host's connection
// belongs to the host's thread (some hosts even give every editor a thread and a connection of
// their own), and Xlib connections must not be shared across threads without the host's locks.
// With a private connection several panels, in one host thread or in many, never meet.
//
// The bitmaps and the back buffer are plain pixel arrays composed in memory, like the headless
// layer's; only a shown rectangle goes to the server (XPutImage). Server pixmaps would belong to
// the connection that made them, and the shared bitmaps outlive the window that loaded them.
#include "editor/platform/BmpImage.h"
#include "editor/platform/Platform.h"
#include "editor/platform/ModuleBitmaps.h"
#include "editor/platform/PixelSurface.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
// For the per-connection error trap (see installErrorTrap); it defines min and max as macros.
#include <X11/Xlibint.h>
#undef min
#undef max

namespace qx {

namespace {

using Clock = std::chrono::steady_clock;

struct X11Window final : PlatformWindow {
    Display* display = nullptr;
    // Errors on this connection are counted here instead of reaching the process-wide handler,
    // which is the host's (Xlib's default one ends the process).
    _XAsyncHandler errorTrap{};
    int errors = 0;
    ::Window id = 0;
    GC gc = nullptr;
    Cursor arrow = 0;
    Visual* visual = nullptr;
    int depth = 0;
    bool directPixels = false; // the visual stores 0x00RRGGBB words as they are
    PanelEventSink* sink = nullptr;
    uintptr_t timer = 0;
    Clock::duration period{};
    Clock::time_point nextTick{};
    bool gone = false;       // destroyed along with the host's window
    bool delivering = false; // inside idle(), handing events to the panel
    bool closed = false;     // destroyWindow came while delivering; idle() frees it
};

Bool trapError(Display*, xReply* reply, char*, int, XPointer data) {
    if (reply->generic.type != X_Error) return False;
    ++reinterpret_cast<X11Window*>(data)->errors;
    return True;
}

// Xlib offers each connection a chain of handlers that see an error before the process-wide
// handler does; Xlib puts its own there for requests whose errors it expects. Ours stays in
// the chain for the connection's whole life and takes every error the others leave.
void installErrorTrap(X11Window& w) {
    w.errorTrap.handler = trapError;
    w.errorTrap.data = reinterpret_cast<XPointer>(&w);
    LockDisplay(w.display);
    w.errorTrap.next = w.display->async_handlers;
    w.display->async_handlers = &w.errorTrap;
    UnlockDisplay(w.display);
}

// The panel's pixels can go to the server untouched when the visual is 8-bit-per-channel
// TrueColor laid out as 0x00RRGGBB in 32-bit words, the usual 24-bit visual.
bool hasDirectPixels(Display* display, Visual* visual, int depth) {
    if (visual->c_class != TrueColor || visual->red_mask != 0xff0000 ||
        visual->green_mask != 0xff00 || visual->blue_mask != 0xff)
        return false;
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    bool words = false;
    for (int i = 0; i < count; ++i)
        if (formats[i].depth == depth) words = formats[i].bits_per_pixel == 32;
    if (formats != nullptr) XFree(formats);
    return words;
}

// One 8-bit channel scaled into the bits of `mask`.
unsigned long toMask(uint32_t channel, unsigned long mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    int bits = 0;
    while (((mask >> (shift + bits)) & 1) != 0) ++bits;
    const unsigned long value =
        bits >= 8 ? (unsigned long)(channel) << (bits - 8) : (unsigned long)(channel) >> (8 - bits);
    return (value << shift) & mask;
}

void putDirect(X11Window& w, PixelSurface& back, const PanelRect& r) {
    XImage image{};
    image.width = back.width;
    image.height = back.height;
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(back.pixels.data());
    const uint32_t probe = 1;
    image.byte_order = *reinterpret_cast<const unsigned char*>(&probe) == 1 ? LSBFirst : MSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = image.byte_order;
    image.bitmap_pad = 32;
    image.depth = w.depth;
    image.bytes_per_line = back.width * 4;
    image.bits_per_pixel = 32;
    image.red_mask = w.visual->red_mask;
    image.green_mask = w.visual->green_mask;
    image.blue_mask = w.visual->blue_mask;
    if (XInitImage(&image) == 0) return;
    XPutImage(w.display, w.id, w.gc, &image, r.x, r.y, r.x, r.y, unsigned(r.w), unsigned(r.h));
}

// Any other TrueColor visual (16-bit, BGR): the rectangle converted pixel by pixel.
void putConverted(X11Window& w, PixelSurface& back, const PanelRect& r) {
    XImage* image = XCreateImage(w.display, w.visual, unsigned(w.depth), ZPixmap, 0, nullptr,
                                 unsigned(r.w), unsigned(r.h), 32, 0);
    if (image == nullptr) return;
    image->data = static_cast<char*>(std::malloc(std::size_t(image->bytes_per_line) * r.h));
    if (image->data != nullptr) {
        for (int y = 0; y < r.h; ++y) {
            const uint32_t* row = back.pixels.data() + std::size_t(r.y + y) * back.width + r.x;
            for (int x = 0; x < r.w; ++x) {
                const uint32_t p = row[x];
                XPutPixel(image, x, y,
                          toMask((p >> 16) & 0xff, w.visual->red_mask) |
                              toMask((p >> 8) & 0xff, w.visual->green_mask) |
                              toMask(p & 0xff, w.visual->blue_mask));
            }
        }
        XPutImage(w.display, w.id, w.gc, image, 0, 0, r.x, r.y, unsigned(r.w), unsigned(r.h));
    }
    XDestroyImage(image); // frees the data too
}

// Releases the window's server objects and its connection; the record itself stays.
void release(X11Window& w) {
    if (w.display == nullptr) return;
    if (!w.gone && w.id != 0) XDestroyWindow(w.display, w.id);
    if (w.gc != nullptr) XFreeGC(w.display, w.gc);
    if (w.arrow != 0) XFreeCursor(w.display, w.arrow);
    // Errors from these (the host may have destroyed its window, and ours with it) arrive here,
    // still trapped; XCloseDisplay then has nothing left to report.
    XSync(w.display, True);
    XCloseDisplay(w.display);
    w.display = nullptr;
}

PanelEvent pointerEvent(PanelEvent::Kind kind, int x, int y) {
    PanelEvent e{kind};
    // Signed 16-bit client coordinates, as a Windows mouse message carries them.
    e.x = int16_t(x);
    e.y = int16_t(y);
    return e;
}

// The panel's meaning of an X event, if it has one.
bool translate(const XEvent& x, PanelEvent& out) {
    switch (x.type) {
    case Expose:
        out = PanelEvent{PanelEvent::Paint};
        return true;
    case MotionNotify:
        out = pointerEvent(PanelEvent::MouseMove, x.xmotion.x, x.xmotion.y);
        return true;
    case ButtonPress:
    case ButtonRelease: {
        // Button 1 is the left button, 3 the right one; the middle button and the wheel
        // (4 and 5) do nothing on the panel.
        const bool press = x.type == ButtonPress;
        if (x.xbutton.button == Button1)
            out = pointerEvent(press ? PanelEvent::LeftDown : PanelEvent::LeftUp, x.xbutton.x,
                               x.xbutton.y);
        else if (x.xbutton.button == Button3)
            out = pointerEvent(press ? PanelEvent::RightDown : PanelEvent::RightUp, x.xbutton.x,
                               x.xbutton.y);
        else
            return false;
        return true;
    }
    default:
        return false;
    }
}

class X11Platform final : public Platform {
public:
    const char* name() const override { return "x11"; }

    bool registerWindowClass() override { return true; }
    void unregisterWindowClass() override {}

    PlatformSurface* loadBitmap(PlatformWindow*, int id) override {
        std::size_t size = 0;
        const unsigned char* bytes = moduleBitmap(id, &size);
        BmpImage image;
        if (!image.decode(bytes, size)) return nullptr;
        auto* s = new PixelSurface(image.width(), image.height());
        s->pixels = image.pixels();
        return s;
    }

    void destroySurface(PlatformSurface* surface) override {
        delete static_cast<PixelSurface*>(surface);
    }

    PlatformWindow* createWindow(void* parent, int width, int height,
                                 PanelEventSink* sink) override {
        const auto parentId = ::Window(reinterpret_cast<uintptr_t>(parent));
        if (parentId == 0 || width <= 0 || height <= 0 || sink == nullptr) return nullptr;
        auto* w = new X11Window;
        w->sink = sink;
        if (!build(*w, parentId, width, height)) {
            release(*w);
            delete w;
            return nullptr;
        }
        return w;
    }

    void destroyWindow(PlatformWindow* window) override {
        auto* w = static_cast<X11Window*>(window);
        if (w == nullptr) return;
        release(*w);
        if (w->delivering)
            w->closed = true;
        else
            delete w;
    }

    PlatformSurface* createSurface(PlatformWindow*, int width, int height) override {
        if (width <= 0 || height <= 0) return nullptr;
        return new PixelSurface(width, height);
    }

    uintptr_t startTimer(PlatformWindow* window, uintptr_t id, int periodMs) override {
        auto* w = static_cast<X11Window*>(window);
        if (w == nullptr || id == 0 || periodMs <= 0) return 0;
        w->timer = id;
        w->period = std::chrono::milliseconds(periodMs);
        w->nextTick = Clock::now() + w->period;
        return id;
    }

    void stopTimer(PlatformWindow* window, uintptr_t timer) override {
        auto* w = static_cast<X11Window*>(window);
        if (w != nullptr && w->timer == timer) w->timer = 0;
    }

    // The press already holds the server's implicit grab; the explicit one keeps the pointer
    // ours until the panel lets go, as SetCapture does, and reports it relative to our window
    // (negative left of and above it).
    void captureMouse(PlatformWindow* window) override {
        auto* w = static_cast<X11Window*>(window);
        if (w == nullptr || w->display == nullptr || w->gone) return;
        XGrabPointer(w->display, w->id, False,
                     ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                     GrabModeAsync, None, w->arrow, CurrentTime);
        XFlush(w->display);
    }

    void releaseMouse(PlatformWindow* window) override {
        auto* w = static_cast<X11Window*>(window);
        if (w == nullptr || w->display == nullptr) return;
        XUngrabPointer(w->display, CurrentTime);
        XFlush(w->display);
    }

    // Every queued event, then at most one tick: a host that calls late gets a late tick, not
    // a burst of them.
    void idle(PlatformWindow* window) override {
        auto* w = static_cast<X11Window*>(window);
        if (w == nullptr || w->display == nullptr || w->delivering) return;
        w->delivering = true;
        while (!w->closed && w->display != nullptr && XPending(w->display) > 0) {
            XEvent x;
            XNextEvent(w->display, &x);
            if (x.type == DestroyNotify && x.xdestroywindow.window == w->id) w->gone = true;
            PanelEvent e{PanelEvent::Paint};
            if (translate(x, e)) w->sink->handlePanelEvent(e);
        }
        const Clock::time_point now = Clock::now();
        if (!w->closed && w->timer != 0 && now >= w->nextTick) {
            w->nextTick = now + w->period;
            PanelEvent e{PanelEvent::Timer};
            e.timer = w->timer;
            w->sink->handlePanelEvent(e);
        }
        w->delivering = false;
        if (w->closed)
            delete w;
        else if (w->display != nullptr)
            XFlush(w->display);
    }

    uintptr_t nativeId(PlatformWindow* window) override {
        auto* w = static_cast<X11Window*>(window);
        return w != nullptr ? uintptr_t(w->id) : 0;
    }

    int eventFd(PlatformWindow* window) override {
        auto* w = static_cast<X11Window*>(window);
        return w != nullptr && w->display != nullptr ? ConnectionNumber(w->display) : -1;
    }

    void transfer(PlatformSurface* into, const PanelRect& to, PlatformSurface* from, int fromX,
                  int fromY, RasterOp op) override;

    bool beginShow(PlatformWindow* window) override {
        auto* w = static_cast<X11Window*>(window);
        return w != nullptr && w->display != nullptr && !w->gone;
    }

    void show(PlatformWindow* window, PlatformSurface* back, const PanelRect& rect) override {
        auto* w = static_cast<X11Window*>(window);
        auto* b = static_cast<PixelSurface*>(back);
        if (w == nullptr || w->display == nullptr || w->gone || b == nullptr) return;
        PanelRect r = rect;
        r.w = std::min(r.x + r.w, b->width) - std::max(r.x, 0);
        r.h = std::min(r.y + r.h, b->height) - std::max(r.y, 0);
        r.x = std::max(r.x, 0);
        r.y = std::max(r.y, 0);
        if (r.w <= 0 || r.h <= 0) return;
        if (w->directPixels)
            putDirect(*w, *b, r);
        else
            putConverted(*w, *b, r);
    }

    void endShow(PlatformWindow* window) override {
        auto* w = static_cast<X11Window*>(window);
        if (w != nullptr && w->display != nullptr) XFlush(w->display);
    }

private:
    static bool build(X11Window& w, ::Window parent, int width, int height) {
        w.display = XOpenDisplay(nullptr);
        if (w.display == nullptr) return false;
        installErrorTrap(w);
        XWindowAttributes parentAttributes;
        if (XGetWindowAttributes(w.display, parent, &parentAttributes) == 0 || w.errors != 0)
            return false;
        // The screen's default visual rather than the parent's: a host window may use a
        // visual with alpha, where our 0x00RRGGBB pixels would come out transparent.
        Screen* screen = parentAttributes.screen;
        w.visual = DefaultVisualOfScreen(screen);
        w.depth = DefaultDepthOfScreen(screen);
        if (w.visual->c_class != TrueColor) return false;
        w.directPixels = hasDirectPixels(w.display, w.visual, w.depth);
        w.arrow = XCreateFontCursor(w.display, XC_left_ptr);

        XSetWindowAttributes a{};
        // No background: the server leaves uncovered parts alone and the next tick recomposes
        // the whole panel, as the Windows window answers its erase request without erasing.
        a.background_pixmap = None;
        a.border_pixel = 0;
        a.colormap = DefaultColormapOfScreen(screen);
        a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                       StructureNotifyMask;
        a.cursor = w.arrow;
        w.id = XCreateWindow(w.display, parent, 0, 0, unsigned(width), unsigned(height), 0,
                             w.depth, InputOutput, w.visual,
                             CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask | CWCursor,
                             &a);
        if (w.id == 0) return false;
        w.gc = XCreateGC(w.display, w.id, 0, nullptr);
        XMapWindow(w.display, w.id);
        // Everything above is checked in one round trip: a vanished or foreign parent shows
        // up here as a trapped error.
        XSync(w.display, False);
        return w.gc != nullptr && w.errors == 0;
    }
};

void X11Platform::transfer(PlatformSurface* into, const PanelRect& to, PlatformSurface* from,
                           int fromX, int fromY, RasterOp op) {
    auto* d = static_cast<PixelSurface*>(into);
    auto* s = static_cast<PixelSurface*>(from);
    if (d == nullptr || s == nullptr) return;
    transferPixels(*d, to, *s, fromX, fromY, op);
}

} // namespace

Platform& nativePlatform() {
    static X11Platform platform;
    return platform;
}

} // namespace qx
