// The Win32 layer in this process against the window-layer suite every backend passes: real
// windows, GDI and the system's own mouse routing. The program carries the bitmap resources
// itself and stands in for the module whose instance the layer loads them from.
#include "../editor/PlatformConformance.h"
#include "TapPlatform.h"
#include "WindowDriver.h"

#include "editor/platform/BmpImage.h"
#include "editor/platform/ModuleBitmaps.h"

#include <windows.h>

#include <chrono>
#include <climits>
#include <thread>

namespace qx {
void* moduleInstance() { return GetModuleHandleA(nullptr); }
} // namespace qx

using namespace qx;
using namespace qxgui;
using namespace qxtest;

namespace {

void deliverAll() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

struct Win32Traits {
    static TapPlatform& tap() {
        static TapPlatform t(nativePlatform());
        return t;
    }
    static Platform& platform() { return tap(); }
    static void prepare() {
        ASSERT_TRUE(driver().ready());
        if (host != nullptr) driver().destroyHostWindow(host);
        // Room on every side, for pointer positions outside the panel.
        host = driver().createHostWindow(100, 100);
        pointerX = pointerY = INT_MIN;
    }
    static void* parent() { return host; }
    static void pump(PlatformWindow*, int ticks) {
        for (int i = 0; i < ticks; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(32));
            deliverAll();
        }
    }
    static bool mouse(PlatformWindow*, PanelEvent::Kind kind, int x, int y) {
        if (kind != PanelEvent::MouseMove && (x != pointerX || y != pointerY)) {
            tap().mute(true);
            driver().pointerTo(host, x, y);
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

void* Win32Traits::host = nullptr;
int Win32Traits::pointerX = INT_MIN;
int Win32Traits::pointerY = INT_MIN;

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, PlatformConformance, Win32Traits);

namespace {

struct EventSink final : PanelEventSink {
    void handlePanelEvent(const PanelEvent&) override {}
};

} // namespace

// The class exists exactly while the layer holds it, under the module's instance, and the
// window carries the panel in its user-data slot.
TEST(Win32Layer, ClassAndWindowAsTheHostSeesThem) {
    Platform& p = nativePlatform();
    WNDCLASSA wc{};
    ASSERT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "KVclass", &wc));
    ASSERT_TRUE(p.registerWindowClass());
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "KVclass", &wc));
    EXPECT_FALSE(p.registerWindowClass()) << "registered twice";

    HWND host = static_cast<HWND>(driver().createHostWindow(100, 100));
    EventSink sink;
    PlatformWindow* w = p.createWindow(host, 450, 200, &sink);
    ASSERT_NE(w, nullptr);
    HWND panel = FindWindowExA(host, nullptr, "KVclass", "Orv_Lumen");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(panel, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&sink));
    const LONG style = GetWindowLongA(panel, GWL_STYLE);
    EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    RECT r;
    GetClientRect(panel, &r);
    EXPECT_EQ(r.right - r.left, 450);
    EXPECT_EQ(r.bottom - r.top, 200);
    // The background is never erased: the panel covers every pixel itself.
    EXPECT_EQ(SendMessageA(panel, WM_ERASEBKGND, 0, 0), 1);

    p.destroyWindow(w);
    EXPECT_FALSE(IsWindow(panel));
    p.unregisterWindowClass();
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "KVclass", &wc));
    driver().destroyHostWindow(host);
}
