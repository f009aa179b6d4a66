// `qxhost gui PLUGIN [--seconds N]`: the plug-in's panel in a window of its own, with the demo
// signal looping through the effect in real time, so a person can try the controls and watch
// the meters without a sequencer. Every automation call the plug-in sends is printed.
//
// It behaves the way the hosts we test against do: the panel is opened with effEditOpen in a
// top-level window of the host's, the audio runs on a thread of its own (paced by the clock, as
// there is no sound device), and on quit the host sends effEditClose, then effMainsChanged 0,
// then effClose. On Linux the host calls effEditIdle from its loop; on Windows the panel's own
// timer does the work and effEditIdle is sent all the same.
#include "host/Commands.h"
#include "host/DemoSignal.h"
#include "host/HostSession.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace qxhost {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSampleRate = 44100;
constexpr int kBlockSize = 512;
constexpr double kLoopSeconds = 8.0;

int fail(const std::string& message, int code = 1) {
    std::fprintf(stderr, "qxhost gui: %s\n", message.c_str());
    return code;
}

std::string trimmed(std::string s) {
    const auto b = s.find_first_not_of(' ');
    const auto e = s.find_last_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// The audio thread: the demo signal, looped, one block per block's worth of wall-clock time.
class DemoPlayer {
public:
    explicit DemoPlayer(AEffect* effect)
        : effect_(effect), signal_(makeDemoSignal(kSampleRate, kLoopSeconds)) {}
    ~DemoPlayer() { stop(); }

    void start() { thread_ = std::thread([this] { run(); }); }
    void stop() {
        stopping_.store(true);
        if (thread_.joinable()) thread_.join();
    }

private:
    void run() {
        std::vector<float> in[2], out[2];
        for (int c = 0; c < 2; ++c) {
            in[c].resize(kBlockSize);
            out[c].resize(kBlockSize);
        }
        float* inputs[2] = {in[0].data(), in[1].data()};
        float* outputs[2] = {out[0].data(), out[1].data()};
        const size_t frames = signal_.size() / 2;
        const auto blockTime = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(double(kBlockSize) / kSampleRate));
        size_t pos = 0;
        Clock::time_point next = Clock::now();
        while (!stopping_.load()) {
            for (int i = 0; i < kBlockSize; ++i, pos = (pos + 1) % frames) {
                in[0][i] = signal_[2 * pos];
                in[1][i] = signal_[2 * pos + 1];
            }
            effect_->processReplacing(effect_, inputs, outputs, kBlockSize);
            next += blockTime;
            // After a stall (a suspended process, a debugger) carry on from now, not in a burst.
            if (Clock::now() - next > std::chrono::seconds(1)) next = Clock::now();
            std::this_thread::sleep_until(next);
        }
    }

    AEffect* effect_;
    std::vector<float> signal_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
};

// Prints the automation calls that arrived since the last call, with the text the plug-in
// shows for the parameter now.
void printAutomation(HostSession& s) {
    for (const AutomationCall& a : s.takeAutomation()) {
        const std::string name = trimmed(s.text(qx::effGetParamName, a.index));
        const std::string display = trimmed(s.text(qx::effGetParamDisplay, a.index));
        const std::string label = trimmed(s.text(qx::effGetParamLabel, a.index));
        std::printf("automate %2d %-14s %.6f  %s%s%s\n", a.index, name.c_str(), double(a.value),
                    display.c_str(), label.empty() ? "" : " ", label.c_str());
    }
    std::fflush(stdout);
}

struct PanelSize {
    int width = 450;
    int height = 200;
};

PanelSize panelSize(HostSession& s) {
    PanelSize size;
    ERect* r = nullptr;
    if (s.dispatch(qx::effEditGetRect, 0, 0, &r) != 0 && r != nullptr &&
        r->right > r->left && r->bottom > r->top) {
        size.width = r->right - r->left;
        size.height = r->bottom - r->top;
    }
    return size;
}

struct Options {
    std::string plugin;
    double seconds = 0.0; // 0: until the window is closed
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seconds" && i + 1 < argc) {
            char* end = nullptr;
            o.seconds = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(o.seconds > 0.0)) return false;
        } else if (!a.empty() && a[0] != '-' && o.plugin.empty()) {
            o.plugin = a;
        } else {
            return false;
        }
    }
    return !o.plugin.empty();
}

bool expired(const Options& o, Clock::time_point started) {
    return o.seconds > 0.0 &&
           Clock::now() - started >= std::chrono::duration<double>(o.seconds);
}

#if defined(_WIN32)

struct WindowState {
    HostSession* session;
    const Options* options;
    Clock::time_point started;
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
            if (expired(*st->options, st->started)) PostMessageA(hwnd, WM_CLOSE, 0, 0);
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

// The host's window and message loop; answers the exit code.
int runWindow(HostSession& s, const Options& o, const std::string& title) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = hostWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "QxHostWindow";
    if (RegisterClassA(&wc) == 0) return fail("cannot register the host window class");

    const PanelSize size = panelSize(s);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, size.width, size.height};
    AdjustWindowRect(&frame, style, FALSE);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, title.c_str(), style, CW_USEDEFAULT,
                                CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr) return fail("cannot create the host window");
    WindowState st{&s, &o, Clock::now()};
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&st));
    ShowWindow(hwnd, SW_SHOWNORMAL);
    if (s.dispatch(qx::effEditOpen, 0, 0, hwnd) == 0) {
        DestroyWindow(hwnd);
        return fail("the plug-in did not open its panel");
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

#else

int runWindow(HostSession& s, const Options& o, const std::string& title) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return fail("cannot open the X display (is DISPLAY set?)");
    const PanelSize size = panelSize(s);
    const int screen = DefaultScreen(display);
    ::Window top = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                       unsigned(size.width), unsigned(size.height), 0,
                                       BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, top, title.c_str());
    // The panel has one size: tell the window manager not to offer another.
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = size.width;
    hints->min_height = hints->max_height = size.height;
    XSetWMNormalHints(display, top, hints);
    XFree(hints);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, top, &deleteWindow, 1);
    XMapWindow(display, top);
    XSync(display, False);

    // The window id in ptr, our Display in value, as Linux hosts pass them.
    if (s.dispatch(qx::effEditOpen, 0, reinterpret_cast<intptr_t>(display),
                   reinterpret_cast<void*>(uintptr_t(top))) == 0) {
        XDestroyWindow(display, top);
        XCloseDisplay(display);
        return fail("the plug-in did not open its panel");
    }
    const Clock::time_point started = Clock::now();
    bool running = true;
    while (running) {
        while (XPending(display) > 0) {
            XEvent e;
            XNextEvent(display, &e);
            if (e.type == ClientMessage && Atom(e.xclient.data.l[0]) == deleteWindow)
                running = false;
        }
        // More often than a host's 25 a second, so a drag follows the pointer on every tick.
        s.dispatch(qx::effEditIdle);
        printAutomation(s);
        if (expired(o, started)) running = false;
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    s.dispatch(qx::effEditClose);
    printAutomation(s);
    XDestroyWindow(display, top);
    XCloseDisplay(display);
    return 0;
}

#endif

} // namespace

int runGuiCommand(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) return fail("usage: qxhost gui PLUGIN [--seconds N]", 2);

    HostSession s;
    if (!s.load(o.plugin)) return fail(s.error());
    AEffect* e = s.create();
    if (e == nullptr) return fail(s.error());
    if ((e->flags & qx::effFlagsHasEditor) == 0) return fail("the plug-in has no panel");
    s.takeAutomation(); // the program load during construction is not the user's doing
    const std::string name = trimmed(s.text(qx::effGetEffectName));

    s.dispatch(qx::effSetSampleRate, 0, 0, nullptr, float(kSampleRate));
    s.dispatch(qx::effSetBlockSize, 0, kBlockSize);
    s.dispatch(qx::effMainsChanged, 0, 1);
    DemoPlayer player(e);
    player.start();
    const int code = runWindow(s, o, name.empty() ? "qxhost" : name);
    player.stop();
    s.dispatch(qx::effMainsChanged, 0, 0);
    s.destroy();
    return code;
}

} // namespace qxhost
