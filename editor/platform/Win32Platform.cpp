// The Win32 window layer: the panel as a child window of class "KVclass" named "Orv_Lumen",
// drawn with GDI from memory DCs, ticking on a window timer. Windows delivers the timer and the
// mouse through the message loop of the host's user-interface thread, so idle() has nothing
// to do here.
//
// Surfaces are memory DCs with a bitmap selected: the six bitmaps as LoadImageA makes them from
// the module's resources, the back buffer as a bitmap compatible with the window's DC (one
// compatible with a memory DC would be monochrome).
#include "editor/platform/Platform.h"

#include <windows.h>

namespace qx {

namespace {

const char kClassName[] = "KVclass";
const char kWindowName[] = "Orv_Lumen";

HINSTANCE moduleHandle() { return static_cast<HINSTANCE>(moduleInstance()); }

struct GdiSurface final : PlatformSurface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ saved = nullptr; // what the fresh DC held, selected back before deleting it
};

struct Win32Window final : PlatformWindow {
    HWND hwnd = nullptr;
    PanelEventSink* sink = nullptr;
    HDC windowDC = nullptr; // held while the window exists, the reference for memory DCs
    HDC showDC = nullptr;   // taken for one tick's drawing
};

// Selects `bitmap` into a new memory DC compatible with `reference`; takes ownership of the
// bitmap, and deletes it again when no DC can be had.
GdiSurface* adopt(HDC reference, HBITMAP bitmap) {
    if (bitmap == nullptr) return nullptr;
    HDC dc = CreateCompatibleDC(reference);
    if (dc == nullptr) {
        DeleteObject(bitmap);
        return nullptr;
    }
    auto* s = new GdiSurface;
    s->dc = dc;
    s->bitmap = bitmap;
    s->saved = SelectObject(dc, bitmap);
    return s;
}

// The window still is the one we made: the host may have destroyed it with its own window, and
// a later window may have been given the same handle.
bool stillOurs(const Win32Window& w) {
    return IsWindow(w.hwnd) &&
           GetWindowLongPtrA(w.hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(w.sink);
}

PanelEvent pointerEvent(PanelEvent::Kind kind, LPARAM lParam) {
    PanelEvent e{kind};
    // Signed: while the mouse is captured, positions left of or above the window are negative.
    e.x = int16_t(LOWORD(lParam));
    e.y = int16_t(HIWORD(lParam));
    return e;
}

// The slot holds the panel (as the receiver of its window's events); messages sent while
// creating the window, before the slot is set, get the default processing only.
LRESULT CALLBACK panelWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* sink = reinterpret_cast<PanelEventSink*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (sink == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        // Drawing waits for the next tick; the default processing validates the region.
        sink->handlePanelEvent({PanelEvent::Paint});
        break;
    case WM_ERASEBKGND:
        // The tick covers every pixel, so erasing would only flicker.
        sink->handlePanelEvent({PanelEvent::Erase});
        return 1;
    case WM_TIMER: {
        PanelEvent e{PanelEvent::Timer};
        e.timer = uintptr_t(wParam);
        sink->handlePanelEvent(e);
        break;
    }
    case WM_MOUSEMOVE:
        sink->handlePanelEvent(pointerEvent(PanelEvent::MouseMove, lParam));
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        break;
    // The panel captures the mouse on a press and lets it go on a release (captureMouse).
    case WM_LBUTTONDOWN:
        sink->handlePanelEvent(pointerEvent(PanelEvent::LeftDown, lParam));
        break;
    case WM_RBUTTONDOWN:
        sink->handlePanelEvent(pointerEvent(PanelEvent::RightDown, lParam));
        break;
    case WM_LBUTTONUP:
        sink->handlePanelEvent(pointerEvent(PanelEvent::LeftUp, lParam));
        break;
    case WM_RBUTTONUP:
        sink->handlePanelEvent(pointerEvent(PanelEvent::RightUp, lParam));
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

DWORD rasterOp(RasterOp op) {
    switch (op) {
    case RasterOp::And:
        return SRCAND;
    case RasterOp::Or:
        return SRCPAINT;
    case RasterOp::Copy:
    default:
        return SRCCOPY;
    }
}

class Win32Platform final : public Platform {
public:
    const char* name() const override { return "win32"; }

    bool registerWindowClass() override {
        WNDCLASSA wc{};
        wc.style = 0;
        wc.lpfnWndProc = panelWindowProc;
        wc.hInstance = moduleHandle();
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kClassName;
        return RegisterClassA(&wc) != 0;
    }

    void unregisterWindowClass() override { UnregisterClassA(kClassName, moduleHandle()); }

    PlatformSurface* loadBitmap(PlatformWindow* reference, int id) override {
        auto bitmap = static_cast<HBITMAP>(LoadImageA(moduleHandle(), MAKEINTRESOURCEA(id),
                                                      IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        auto* w = static_cast<Win32Window*>(reference);
        return adopt(w != nullptr ? w->windowDC : nullptr, bitmap);
    }

    void destroySurface(PlatformSurface* surface) override {
        auto* s = static_cast<GdiSurface*>(surface);
        if (s == nullptr) return;
        SelectObject(s->dc, s->saved);
        DeleteDC(s->dc);
        DeleteObject(s->bitmap);
        delete s;
    }

    PlatformWindow* createWindow(void* parent, int width, int height,
                                 PanelEventSink* sink) override {
        auto parentHwnd = static_cast<HWND>(parent);
        // A child needs a live parent; CreateWindowExA would refuse anyway, but a stale handle
        // is better turned away before any message is sent.
        if (parentHwnd == nullptr || !IsWindow(parentHwnd) || sink == nullptr) return nullptr;
        HWND hwnd = CreateWindowExA(0, kClassName, kWindowName, WS_CHILD | WS_VISIBLE, 0, 0, width,
                                    height, parentHwnd, nullptr, moduleHandle(), nullptr);
        if (hwnd == nullptr) return nullptr;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(sink));
        HDC dc = GetDC(hwnd);
        if (dc == nullptr) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            DestroyWindow(hwnd);
            return nullptr;
        }
        auto* w = new Win32Window;
        w->hwnd = hwnd;
        w->sink = sink;
        w->windowDC = dc;
        return w;
    }

    void destroyWindow(PlatformWindow* window) override {
        auto* w = static_cast<Win32Window*>(window);
        if (w == nullptr) return;
        if (stillOurs(*w)) {
            // Detached first: the panel hears nothing of its window's destruction.
            SetWindowLongPtrA(w->hwnd, GWLP_USERDATA, 0);
            ReleaseDC(w->hwnd, w->windowDC);
            DestroyWindow(w->hwnd);
        }
        delete w;
    }

    PlatformSurface* createSurface(PlatformWindow* window, int width, int height) override {
        auto* w = static_cast<Win32Window*>(window);
        if (w == nullptr || width <= 0 || height <= 0) return nullptr;
        return adopt(w->windowDC, CreateCompatibleBitmap(w->windowDC, width, height));
    }

    uintptr_t startTimer(PlatformWindow* window, uintptr_t id, int periodMs) override {
        auto* w = static_cast<Win32Window*>(window);
        if (w == nullptr || id == 0 || periodMs <= 0) return 0;
        return uintptr_t(SetTimer(w->hwnd, UINT_PTR(id), UINT(periodMs), nullptr));
    }

    void stopTimer(PlatformWindow* window, uintptr_t timer) override {
        auto* w = static_cast<Win32Window*>(window);
        if (w != nullptr) KillTimer(w->hwnd, UINT_PTR(timer));
    }

    void captureMouse(PlatformWindow* window) override {
        auto* w = static_cast<Win32Window*>(window);
        if (w != nullptr) SetCapture(w->hwnd);
    }

    void releaseMouse(PlatformWindow* window) override {
        if (window != nullptr) ReleaseCapture();
    }

    void idle(PlatformWindow*) override {}

    void transfer(PlatformSurface* into, const PanelRect& to, PlatformSurface* from, int fromX,
                  int fromY, RasterOp op) override {
        auto* d = static_cast<GdiSurface*>(into);
        auto* s = static_cast<GdiSurface*>(from);
        if (d == nullptr || s == nullptr) return;
        BitBlt(d->dc, to.x, to.y, to.w, to.h, s->dc, fromX, fromY, rasterOp(op));
    }

    bool beginShow(PlatformWindow* window) override {
        auto* w = static_cast<Win32Window*>(window);
        if (w == nullptr) return false;
        w->showDC = GetDC(w->hwnd);
        return w->showDC != nullptr;
    }

    void show(PlatformWindow* window, PlatformSurface* back, const PanelRect& rect) override {
        auto* w = static_cast<Win32Window*>(window);
        auto* b = static_cast<GdiSurface*>(back);
        if (w == nullptr || w->showDC == nullptr || b == nullptr) return;
        BitBlt(w->showDC, rect.x, rect.y, rect.w, rect.h, b->dc, rect.x, rect.y, SRCCOPY);
    }

    void endShow(PlatformWindow* window) override {
        auto* w = static_cast<Win32Window*>(window);
        if (w == nullptr || w->showDC == nullptr) return;
        ReleaseDC(w->hwnd, w->showDC);
        w->showDC = nullptr;
    }
};

} // namespace

Platform& nativePlatform() {
    static Win32Platform platform;
    return platform;
}

} // namespace qx
