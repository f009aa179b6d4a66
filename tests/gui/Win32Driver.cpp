// The window tests' host side on Windows: frameless top-level windows placed where asked, the
// panel's pixels read back from the screen, and a real pointer through SendInput, so the system
// routes each message by position and capture as it does for a person's mouse.
#include "WindowDriver.h"

#include <windows.h>

#include <chrono>
#include <thread>

namespace qxgui {

namespace {

using std::chrono::milliseconds;

const char kHostClass[] = "QxTestHost";
const char kPanelClass[] = "KVclass";
// Just over the panel's 30 ms timer period.
constexpr milliseconds kTickWait{32};
// Time for injected input to reach the thread's queue.
constexpr milliseconds kSettle{10};
constexpr milliseconds kPresent{60};

// Everything pending for this thread except timers, which only tick() lets through.
void deliverPending() {
    MSG msg;
    for (bool any = true; any;) {
        any = false;
        while (PeekMessageA(&msg, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
               PeekMessageA(&msg, nullptr, WM_TIMER + 1, 0xffffffffu, PM_REMOVE)) {
            any = true;
            DispatchMessageA(&msg);
        }
    }
}

void sendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = dx;
    in.mi.dy = dy;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

class Win32Driver final : public WindowDriver {
public:
    bool ready() override {
        if (!registered_) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
            wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
            wc.lpszClassName = kHostClass;
            registered_ = RegisterClassA(&wc) != 0;
        }
        return registered_;
    }

    void* createHostWindow(int x, int y) override {
        // A popup has no frame, so its client area is exactly where it is placed. Hosts clip
        // their children, so their own painting never covers the panel.
        HWND w = CreateWindowExA(0, kHostClass, "host", WS_POPUP | WS_CLIPCHILDREN, x, y,
                                 kPanelWidth, kPanelHeight, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        // Shown without activation: wine then leaves the window to itself rather than to a
        // window manager, and there is none on the test server to answer it.
        SetWindowPos(w, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        UpdateWindow(w);
        deliverPending();
        return w;
    }

    void destroyHostWindow(void* host) override {
        DestroyWindow(static_cast<HWND>(host));
        deliverPending();
    }

    intptr_t openValue() override { return 0; }

    std::vector<void*> notWindows() override {
        // Null, and the handle of a window that has been destroyed.
        void* gone = createHostWindow(0, 0);
        destroyHostWindow(gone);
        return {nullptr, gone};
    }

    int panelsIn(void* host) override {
        int n = 0;
        for (HWND c = nullptr; (c = FindWindowExA(static_cast<HWND>(host), c, kPanelClass,
                                                  nullptr)) != nullptr;)
            ++n;
        return n;
    }

    bool readPanel(void* host, std::vector<uint32_t>& out) override {
        HWND panel = FindWindowExA(static_cast<HWND>(host), nullptr, kPanelClass, nullptr);
        if (panel == nullptr) return false;
        // Wine hands what is drawn into a window to the X server from the message loop, at
        // most every 50 ms.
        std::this_thread::sleep_for(kPresent);
        deliverPending();
        RECT r;
        GetWindowRect(panel, &r);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = kPanelWidth;
        bi.bmiHeader.biHeight = -kPanelHeight; // rows from the top
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ was = SelectObject(mem, dib);
        // From the screen, not the window: what is really shown there.
        const bool copied = BitBlt(mem, 0, 0, kPanelWidth, kPanelHeight, screen, r.left, r.top,
                                   SRCCOPY) != 0;
        GdiFlush();
        if (copied) {
            const auto* px = static_cast<const uint32_t*>(bits);
            out.assign(px, px + size_t(kPanelWidth) * kPanelHeight);
            for (uint32_t& p : out) p &= 0xffffff;
        }
        SelectObject(mem, was);
        DeleteObject(dib);
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        return copied;
    }

    void pointerTo(void* host, int x, int y) override {
        POINT p{x, y};
        ClientToScreen(static_cast<HWND>(host), &p);
        // Absolute positions are in 1/65536 of the screen; rounding up lands on pixel p.
        const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        sendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, LONG((p.x * 65536 + w - 1) / w),
                  LONG((p.y * 65536 + h - 1) / h));
        std::this_thread::sleep_for(kSettle);
        deliverPending();
    }

    void button(bool right, bool press) override {
        sendMouse(right ? (press ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                        : (press ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP));
        std::this_thread::sleep_for(kSettle);
        deliverPending();
    }

    void tick(const std::vector<AEffect*>& effects) override {
        std::this_thread::sleep_for(kTickWait);
        deliverPending();
        // One WM_TIMER per running timer: the system keeps at most one pending for each, and
        // a timer just served is not due again for 30 ms.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageA(&msg);
        for (AEffect* e : effects) e->dispatcher(e, qx::effEditIdle, 0, 0, nullptr, 0.0f);
    }

private:
    bool registered_ = false;
};

} // namespace

WindowDriver& driver() {
    static Win32Driver d;
    return d;
}

} // namespace qxgui
