#pragma once
// The window system around the plug-in, from the host's side: top-level windows to put the panel
// in, the panel's pixels as the screen shows them, a real pointer, and the passing of ticks. The
// scenarios in PanelInWindowTest.cpp are written once against this and run on X11 (the Linux
// module) and on Win32 (the Windows module, under wine). One implementation per system:
// X11Driver.cpp, Win32Driver.cpp.

#include "plugin/AEffect.h"

#include <cstdint>
#include <vector>

namespace qxgui {

constexpr int kPanelWidth = 450;
constexpr int kPanelHeight = 200;

class WindowDriver {
public:
    virtual ~WindowDriver() = default;

    // False when there is no display to talk to.
    virtual bool ready() = 0;
    // A shown top-level window with a 450 x 200 client area whose top-left corner is at (x, y)
    // on the screen; what the host passes to effEditOpen.
    virtual void* createHostWindow(int x, int y) = 0;
    virtual void destroyHostWindow(void* host) = 0;
    // effEditOpen's value argument on this system (hosts on Linux pass their Display there).
    virtual intptr_t openValue() = 0;
    // Values a confused host might pass as its window, none of them a window.
    virtual std::vector<void*> notWindows() = 0;

    // Panel windows inside `host`, as the window system lists them.
    virtual int panelsIn(void* host) = 0;
    // What the screen shows of the panel inside `host`, 0x00RRGGBB rows from the top; false when
    // there is no panel there.
    virtual bool readPanel(void* host, std::vector<uint32_t>& out) = 0;

    // The real pointer, in client coordinates of the panel inside `host`; positions outside the
    // panel are fine as long as they are on the screen.
    virtual void pointerTo(void* host, int x, int y) = 0;
    virtual void button(bool right, bool press) = 0;

    // One tick of every open panel: waits out the 30 ms period, lets the window system deliver
    // what is pending (input first) and exactly one timer per panel, and sends each effect the
    // effEditIdle a host sends from its loop.
    virtual void tick(const std::vector<AEffect*>& effects) = 0;
};

WindowDriver& driver();

// The module under test: the first non-option argument of the test program, else QX_MODULE.
const char* modulePath();
// The CLAP module under test: the second non-option argument, else QX_CLAP_MODULE, else "".
const char* clapModulePath();

} // namespace qxgui
