// The X11 window of `qxhost gui`: the host's loop calls effEditIdle, as Linux hosts do.
#include "host/GuiWindow.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <thread>

namespace qxhost {

int runGuiWindow(HostSession& s, const GuiOptions& o, const std::string& title) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return guiFail("cannot open the X display (is DISPLAY set?)");
    const PanelSize size = panelSize(s);
    const int screen = DefaultScreen(display);
    ::Window top = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                       unsigned(size.width), unsigned(size.height), 0,
                                       BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, top, title.c_str());
    // So window managers and scripts can tell the host's windows by class.
    XClassHint* classHint = XAllocClassHint();
    char resName[] = "qxhost", resClass[] = "Qxhost";
    classHint->res_name = resName;
    classHint->res_class = resClass;
    XSetClassHint(display, top, classHint);
    XFree(classHint);
    // The panel has one size: tell the window manager not to offer another.
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = size.width;
    hints->min_height = hints->max_height = size.height;
    XSetWMNormalHints(display, top, hints);
    XFree(hints);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, top, &deleteWindow, 1);
    // A window destroyed by someone else (a script, a window manager's kill) ends the host too.
    XSelectInput(display, top, StructureNotifyMask);
    XMapWindow(display, top);
    XSync(display, False);

    // The window id in ptr, our Display in value, as Linux hosts pass them.
    if (s.dispatch(qx::effEditOpen, 0, reinterpret_cast<intptr_t>(display),
                   reinterpret_cast<void*>(uintptr_t(top))) == 0) {
        XDestroyWindow(display, top);
        XCloseDisplay(display);
        return guiFail("the plug-in did not open its panel");
    }
    const GuiClock::time_point started = GuiClock::now();
    bool running = true, destroyed = false;
    while (running) {
        while (XPending(display) > 0) {
            XEvent e;
            XNextEvent(display, &e);
            if (e.type == ClientMessage && Atom(e.xclient.data.l[0]) == deleteWindow)
                running = false;
            if (e.type == DestroyNotify && e.xdestroywindow.window == top) {
                destroyed = true;
                running = false;
            }
        }
        // More often than a host's 25 a second, so a drag follows the pointer on every tick.
        s.dispatch(qx::effEditIdle);
        printAutomation(s);
        if (guiExpired(o, started)) running = false;
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    s.dispatch(qx::effEditClose);
    printAutomation(s);
    if (!destroyed) XDestroyWindow(display, top);
    XCloseDisplay(display);
    return 0;
}

} // namespace qxhost
