#pragma once
// What the panel needs of a window system, and nothing more: off-screen surfaces, rectangle
// transfers, one child window with a timer and the mouse, and a way to show a rectangle of the
// back buffer in that window. All compositing is done by the panel through these calls; a
// backend never decides what to draw.
//
// A module may carry more than one backend (the Windows DLL has the Win32 and the headless one,
// the Linux module the X11 and the headless one); the panel picks one per opening at run time.
// Everything here is called on the host's user-interface thread (the thread that opens the
// panel), and every event is delivered on that thread too.
//
// Backends: HeadlessPlatform.cpp (memory only, always present), Win32Platform.cpp, X11Platform.cpp.

#include <cstdint>

namespace qx {

// Backend-owned objects. The panel only holds pointers to them and hands them back to the
// backend that made them; a surface or window of one backend never reaches another.
class PlatformSurface {
public:
    virtual ~PlatformSurface() = default;
};

class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;
};

struct PanelRect {
    int x, y, w, h;
};

// How a transfer combines the source with what the destination holds (pixelwise on the 24 bits
// of colour): replace it, AND it (the knob mask punches a black disc) or OR it (the knob frame
// fills the disc).
enum class RasterOp : uint8_t { Copy, And, Or };

// One notification from the window, in client coordinates. Mouse positions are signed: while the
// mouse is captured, positions left of or above the window arrive negative.
struct PanelEvent {
    enum Kind : uint8_t {
        Paint,      // part of the window must be shown again
        Erase,      // the background would be erased: the panel covers it itself
        Timer,      // the periodic tick; `timer` is the id startTimer answered
        MouseMove,
        LeftDown,
        RightDown,
        LeftUp,
        RightUp,
    };
    Kind kind;
    int16_t x = 0;
    int16_t y = 0;
    uintptr_t timer = 0;
};

// The panel's side of the window: its window procedure.
class PanelEventSink {
public:
    virtual void handlePanelEvent(const PanelEvent& event) = 0;

protected:
    ~PanelEventSink() = default;
};

class Platform {
public:
    virtual ~Platform() = default;

    // Short lower-case name ("headless", "win32", "x11") for messages and test names.
    virtual const char* name() const = 0;

    // --- Module-wide, held from the first panel opened on this backend to the last one closed.

    // Whatever the backend must set up once before its windows can exist (the Win32 window
    // class). False leaves nothing behind.
    virtual bool registerWindowClass() = 0;
    virtual void unregisterWindowClass() = 0;
    // Loads bitmap `id` (107 to 112) from the module into a surface suitable for transfers into
    // surfaces made with `reference`; null when the bitmap is missing or cannot be decoded.
    virtual PlatformSurface* loadBitmap(PlatformWindow* reference, int id) = 0;
    virtual void destroySurface(PlatformSurface* surface) = 0;

    // --- One per open panel.

    // A visible child window of `width` x `height` at (0, 0) of `parent` (the host's window; its
    // meaning is the backend's), showing the system arrow cursor. Events go to `sink` from the
    // return of this call until destroyWindow; null on failure.
    virtual PlatformWindow* createWindow(void* parent, int width, int height,
                                         PanelEventSink* sink) = 0;
    virtual void destroyWindow(PlatformWindow* window) = 0;
    // An off-screen surface of the given size, compatible with `window`, contents undefined.
    virtual PlatformSurface* createSurface(PlatformWindow* window, int width, int height) = 0;
    // Starts a periodic Timer event every `periodMs` on `window`, asking for `id`; answers the id
    // the events will carry, 0 on failure.
    virtual uintptr_t startTimer(PlatformWindow* window, uintptr_t id, int periodMs) = 0;
    virtual void stopTimer(PlatformWindow* window, uintptr_t timer) = 0;
    // While captured, mouse events reach the window wherever the pointer is.
    virtual void captureMouse(PlatformWindow* window) = 0;
    virtual void releaseMouse(PlatformWindow* window) = 0;
    // Called from the host's idle call: a backend without its own event loop on the host's
    // thread (X11) handles its events and timer here; the others do nothing.
    virtual void idle(PlatformWindow* window) = 0;
    // The window system's own id of `window` (the X Window on X11), for hosts that must be told
    // which window is the panel's; 0 on a backend that has none to give.
    virtual uintptr_t nativeId(PlatformWindow*) { return 0; }
    // The descriptor that becomes readable when events for `window` arrive (the X connection),
    // for hosts that watch descriptors and then call idle; -1 on a backend that has none.
    virtual int eventFd(PlatformWindow*) { return -1; }

    // --- Drawing.

    // Combines the `to.w` x `to.h` rectangle at (`fromX`, `fromY`) of `from` into `to` of `into`.
    // Parts outside either surface are left out.
    virtual void transfer(PlatformSurface* into, const PanelRect& to, PlatformSurface* from,
                          int fromX, int fromY, RasterOp op) = 0;
    // Brackets the show calls of one tick. False when the window cannot be drawn into now (no
    // device context); then nothing is shown and endShow is not called.
    virtual bool beginShow(PlatformWindow* window) = 0;
    // Copies `rect` of `back` to the same place in the window.
    virtual void show(PlatformWindow* window, PlatformSurface* back, const PanelRect& rect) = 0;
    virtual void endShow(PlatformWindow* window) = 0;
};

// The memory-only backend, present in every module.
Platform& headlessPlatform();
// The backend a host's effEditOpen uses: the one this module was built for (the headless one in
// headless builds). Defined by that backend's library.
Platform& nativePlatform();

// The module's own handle (HINSTANCE on Windows, the load base on Linux): the Win32 layer
// registers its window class and loads its bitmaps with it. Defined by the module's glue.
void* moduleInstance();

} // namespace qx
