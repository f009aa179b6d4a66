// The window tests' host side on X11: our own connection, top-level windows placed where asked
// (override-redirect, so a window manager cannot move them), XGetImage for the pixels and the
// XTest extension for a real pointer, whose presses start the server's implicit grab as a
// person's would.
#include "WindowDriver.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <thread>

namespace qxgui {

namespace {

using std::chrono::milliseconds;

// Just over the panel's 30 ms period, so every idle call finds its tick due.
constexpr milliseconds kTickWait{32};
// Time for the server to deliver events to, and apply requests from, the plug-in's own
// connection, which no round trip of ours waits for.
constexpr milliseconds kSettle{10};

class X11Driver final : public WindowDriver {
public:
    ~X11Driver() override {
        if (display_ != nullptr) XCloseDisplay(display_);
    }

    bool ready() override {
        if (display_ == nullptr) display_ = XOpenDisplay(nullptr);
        int event = 0, error = 0, major = 0, minor = 0;
        return display_ != nullptr &&
               XTestQueryExtension(display_, &event, &error, &major, &minor) == True;
    }

    void* createHostWindow(int x, int y) override {
        const int screen = DefaultScreen(display_);
        XSetWindowAttributes a{};
        a.override_redirect = True;
        a.background_pixel = BlackPixel(display_, screen);
        const ::Window w = XCreateWindow(display_, RootWindow(display_, screen), x, y, kPanelWidth,
                                         kPanelHeight, 0, CopyFromParent, InputOutput,
                                         CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
        XMapWindow(display_, w);
        XSync(display_, False);
        return reinterpret_cast<void*>(uintptr_t(w));
    }

    void destroyHostWindow(void* host) override {
        XDestroyWindow(display_, id(host));
        XSync(display_, False);
    }

    intptr_t openValue() override { return reinterpret_cast<intptr_t>(display_); }

    std::vector<void*> notWindows() override {
        // Null, and the id of a window that has been destroyed.
        void* gone = createHostWindow(0, 0);
        destroyHostWindow(gone);
        return {nullptr, gone};
    }

    int panelsIn(void* host) override { return int(children(host).size()); }

    bool readPanel(void* host, std::vector<uint32_t>& out) override {
        std::this_thread::sleep_for(kSettle);
        const std::vector<::Window> panels = children(host);
        if (panels.size() != 1) return false;
        XImage* image = XGetImage(display_, panels[0], 0, 0, kPanelWidth, kPanelHeight, AllPlanes,
                                  ZPixmap);
        if (image == nullptr) return false;
        out.resize(size_t(kPanelWidth) * kPanelHeight);
        // A 24-bit TrueColor visual keeps red, green and blue in 0xRRGGBB.
        for (int y = 0; y < kPanelHeight; ++y)
            for (int x = 0; x < kPanelWidth; ++x)
                out[size_t(y) * kPanelWidth + x] = uint32_t(XGetPixel(image, x, y)) & 0xffffff;
        XDestroyImage(image);
        return true;
    }

    void pointerTo(void* host, int x, int y) override {
        // The panel sits at (0, 0) of its host window.
        XWindowAttributes a;
        XGetWindowAttributes(display_, id(host), &a);
        int rootX = 0, rootY = 0;
        ::Window child = 0;
        XTranslateCoordinates(display_, id(host), a.root, x, y, &rootX, &rootY, &child);
        XTestFakeMotionEvent(display_, -1, rootX, rootY, CurrentTime);
        XSync(display_, False);
        std::this_thread::sleep_for(kSettle);
    }

    void button(bool right, bool press) override {
        XTestFakeButtonEvent(display_, right ? Button3 : Button1, press ? True : False,
                             CurrentTime);
        XSync(display_, False);
        std::this_thread::sleep_for(kSettle);
    }

    void tick(const std::vector<AEffect*>& effects) override {
        std::this_thread::sleep_for(kTickWait);
        for (AEffect* e : effects) e->dispatcher(e, qx::effEditIdle, 0, 0, nullptr, 0.0f);
    }

private:
    static ::Window id(void* host) { return ::Window(reinterpret_cast<uintptr_t>(host)); }

    std::vector<::Window> children(void* host) {
        ::Window root = 0, parent = 0, *list = nullptr;
        unsigned count = 0;
        std::vector<::Window> out;
        if (XQueryTree(display_, id(host), &root, &parent, &list, &count) != 0) {
            out.assign(list, list + count);
            if (list != nullptr) XFree(list);
        }
        return out;
    }

    Display* display_ = nullptr;
};

} // namespace

WindowDriver& driver() {
    static X11Driver d;
    return d;
}

} // namespace qxgui
