// The Win32 layer in this process against the window-layer suite every backend passes: real
// windows, GDI and the system's own mouse routing. The program carries the bitmap resources
// itself and stands in for the module whose instance the layer loads them from.
#include "../editor/PlatformConformance.h"
#include "HostedTraits.h"

#include <windows.h>

namespace qx {
void* moduleInstance() { return GetModuleHandleA(nullptr); }
} // namespace qx

using namespace qx;
using namespace qxgui;
using namespace qxtest;

namespace {

// What the host's message loop does.
void messageLoop(Platform&, PlatformWindow*) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}
using Win32Traits = HostedTraits<messageLoop>;

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
