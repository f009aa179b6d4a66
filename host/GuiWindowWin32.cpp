// The Win32 window of `qxhost gui`. The panel's own timer animates it; effEditIdle is sent from a
// host timer all the same, as hosts do.
#include "host/GuiWindow.h"

#include <windows.h>

namespace qxhost {

namespace {

struct WindowState {
    HostSession* session;
    const GuiOptions* options;
    GuiClock::time_point started;
    bool editorOpen = false;
};

constexpr UINT_PTR kHostTimer = 1;

void closeEditor(WindowState& st) {
    if (!st.editorOpen) return;
    st.session->dispatch(qx::effEditClose);
    st.editorOpen = false;
}

LRESULT CALLBACK hostWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* st = reinterpret_cast<WindowState*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_TIMER:
        if (st != nullptr && wParam == kHostTimer) {
            st->session->dispatch(qx::effEditIdle);
            printAutomation(*st->session);
            if (guiExpired(*st->options, st->started)) PostMessageA(hwnd, WM_CLOSE, 0, 0);
        }
        return 0;
    case WM_CLOSE:
        if (st != nullptr) closeEditor(*st);
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

// The host's window and message loop; answers the exit code.
int runGuiWindow(HostSession& s, const GuiOptions& o, const std::string& title) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = hostWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "QxHostWindow";
    if (RegisterClassA(&wc) == 0) return guiFail("cannot register the host window class");

    const PanelSize size = panelSize(s);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, size.width, size.height};
    AdjustWindowRect(&frame, style, FALSE);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, title.c_str(), style, CW_USEDEFAULT,
                                CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return guiFail("cannot create the host window");
    WindowState st{&s, &o, GuiClock::now()};
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&st));
    ShowWindow(hwnd, SW_SHOWNORMAL);
    if (s.dispatch(qx::effEditOpen, 0, 0, hwnd) == 0) {
        DestroyWindow(hwnd);
        return guiFail("the plug-in did not open its panel");
    }
    st.editorOpen = true;
    SetTimer(hwnd, kHostTimer, 40, nullptr);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    closeEditor(st);
    printAutomation(s);
    UnregisterClassA(wc.lpszClassName, instance);
    return 0;
}

} // namespace qxhost
