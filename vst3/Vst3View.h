#pragma once
// The effect's panel as a VST 3 view: 450 x 200, fixed size, shown in the host's window. One
// view at a time; attached() is refused while the panel is open elsewhere (the private
// channel's memory-only layer).
//
// On Linux the host's run loop (IRunLoop, asked of the frame the host sets before attaching)
// drives the panel: a 30 ms timer for the panel's tick and the X connection's file descriptor for
// its events; the view creates no thread or timer of its own, and a host that offers no run loop
// gets a refusal from attached(). On Windows the window layer keeps its own timer.
//
// The panel's edits reach the host through the effect's component handler (beginEdit /
// performEdit / endEdit); host changes are pulled and redrawn by the panel's tick. Opening the
// view changes no parameter.
//
// Threads: the host's user-interface thread, for every call and callback.
//
// Files: Vst3View.cpp, and one of ViewPlatformX11.cpp, ViewPlatformWin32.cpp,
// ViewPlatformHeadless.cpp for the window layer the module is built with.

#include "editor/PanelEditor.h"
#include "vst3/Vst3Abi.h"

#include <atomic>

namespace qx::vst3 {

class Vst3Effect;

class Vst3View final : public IPlugView, public ITimerHandler, public IEventHandler {
  public:
    // A view of `effect` with one reference, which keeps `effect` alive; null when out of memory.
    static Vst3View* create(Vst3Effect& effect);

    tresult QX_VST3_API queryInterface(const TUID iid, void** obj) override;
    uint32 QX_VST3_API addRef() override;
    uint32 QX_VST3_API release() override;

    tresult QX_VST3_API isPlatformTypeSupported(FIDString type) override;
    tresult QX_VST3_API attached(void* parent, FIDString type) override;
    tresult QX_VST3_API removed() override;
    tresult QX_VST3_API onWheel(float) override { return kResultFalse; }
    tresult QX_VST3_API onKeyDown(char16, int16, int16) override { return kResultFalse; }
    tresult QX_VST3_API onKeyUp(char16, int16, int16) override { return kResultFalse; }
    tresult QX_VST3_API getSize(ViewRect* size) override;
    tresult QX_VST3_API onSize(ViewRect* newSize) override;
    tresult QX_VST3_API onFocus(TBool) override { return kResultOk; }
    tresult QX_VST3_API setFrame(IPlugFrame* frame) override;
    tresult QX_VST3_API canResize() override { return kResultFalse; }
    tresult QX_VST3_API checkSizeConstraint(ViewRect* rect) override;

    // The run loop's callbacks: one turn of the panel's events and its tick when due.
    void QX_VST3_API onTimer() override;
    void QX_VST3_API onFDIsSet(FileDescriptor fd) override;

  private:
    explicit Vst3View(Vst3Effect& effect);
    ~Vst3View();

    // The platform type of the module's window layer (null: none) and whether that layer needs
    // the host's run loop.
    static FIDString platformType();
    static bool needsRunLoop();
    // Registers the panel's timer and fd on the frame's run loop; false if there is none.
    bool startClock();
    void stopClock();

    std::atomic<uint32> refCount_{1};
    Vst3Effect& effect_;
    PanelEditor& panel_; // the effect's
    IPlugFrame* frame_ = nullptr;
    IRunLoop* runLoop_ = nullptr;
    bool attached_ = false;
    bool watchingFd_ = false;
};

} // namespace qx::vst3
