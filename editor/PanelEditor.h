#pragma once
// The 450 x 200 bitmap panel: five filmstrip knobs, four levers, the clip LED, the
// gain-reduction bar, the output-level marker and the about image, composed from six shared
// bitmaps into a back buffer of its own and shown in a child window of the host's.
//
// Threads: the host's user-interface thread opens, closes and idles the panel and receives its
// window's events, timer included; all drawing and all mouse handling happen there. What the
// host changed meanwhile (automation, a program change, switch-on) the tick pulls from the
// model; the meters arrive from the audio thread through the model's meter fields.
//
// The panel draws only on its 30 ms tick: a paint request or a click just sets fullRedraw or a
// dirtyMask bit, and the next tick draws what they and the model's changes name.
//
// Files: PanelEditor.cpp (window and its events), PanelEditorDraw.cpp (the tick and the drawing),
// PanelEditorMouse.cpp (mouse), PanelEditorHeadless.cpp (the private channel).

#include "editor/EditorBase.h"
#include "editor/PanelModel.h"
#include "editor/platform/Platform.h"

#include <atomic>
#include <cstdint>

namespace qx {

class PanelEditor : public EditorBase, private PanelEventSink {
public:
    static constexpr int kWidth = 450;
    static constexpr int kHeight = 200;
    static constexpr int kTickMs = 30;

    // What the mouse is doing to the panel. Idle: nothing held. Drag: a knob follows the
    // pointer's vertical travel on each tick. About: the credits cover the panel until the next
    // press. The numbers are the state byte's fixed values; code only compares for equality.
    enum Mode : uint8_t { ModeIdle = 0, ModeDrag = 7, ModeAbout = 100 };

    // The panel of `model`, which outlives it.
    explicit PanelEditor(PanelModel* model);
    // Closes the window first if the host left it open.
    ~PanelEditor() override;

    // Puts the panel into its initial state (meter displays idle, nothing held, everything to be
    // drawn). Touches nothing of the model's.
    void initialise();

    // The rectangle (0, 0, 200, 450); available before open.
    int32_t getRect(ERect** rect) override;
    // Opens the panel in the host's `parent` window on the module's native backend; 1 on success,
    // 0 (with nothing left behind) when any part of it fails or it is open already.
    int32_t open(void* parent) override;
    // The same on a chosen backend (the private channel uses the headless one).
    int32_t openOn(Platform& platform, void* parent);
    void close() override;
    // One turn of the panel's window: a backend without its own event loop (X11) handles the
    // events that arrived and runs the 30 ms tick when it is due. VST 2 hosts call it from their
    // idle call; VST 3 and CLAP wrappers from the host's timer and when eventFd is readable.
    void idle() override;
    // The file descriptor of the window system connection while open on a backend that has one
    // (X11), for hosts that watch descriptors; -1 otherwise.
    int eventFd() const;
    void refresh() override;

    // The panel's own requests to its next tick (the model's changes are pulled by the tick).
    void markDirty(uint32_t bits) { dirtyMask.fetch_or(bits, std::memory_order_relaxed); }
    void requestFullRedraw() { fullRedraw.store(1, std::memory_order_relaxed); }

    // Module-wide tables; built once, before the first panel is drawn.
    static void buildTables();

    // The private channel (core/PrivateRequests.h): `command` with its request; 1 when done,
    // 0 for anything unknown or impossible.
    intptr_t headlessRequest(intptr_t command, void* request);

    // Read-outs for tests and the private channel.
    bool isWindowOpen() const { return isOpen != 0; }
    Mode currentMode() const { return mode; }
    Platform* openPlatform() const { return isOpen != 0 ? platform : nullptr; }
    PlatformWindow* panelWindow() const { return window; }
    int32_t heldGainReduction() const { return grHeld; }
    int32_t levelMarkerUnits() const { return levelMarker; }

    std::atomic<int32_t> fullRedraw{1};
    std::atomic<uint32_t> dirtyMask{0};

private:
    // The window procedure: the platform's events mapped to the panel's routines.
    void handlePanelEvent(const PanelEvent& event) override;

    // The tick: drag step, then drawing.
    void onTimer();
    // Composes what `full` and `dirty` ask for into the back buffer and shows it.
    void drawPanel(bool full, uint32_t dirty);
    void drawClipLed(bool full);
    void drawSwitches(bool full, uint32_t dirty);
    void drawKnobs(bool full, uint32_t dirty);
    void drawBar(bool full);
    void drawLevelMarker(bool full);
    // Copies a rectangle of a shared bitmap into the back buffer.
    void paste(const PanelRect& to, int bitmapId, int fromX, int fromY,
               RasterOp op = RasterOp::Copy);
    // Shows a rectangle now unless the whole panel is shown at the end of this tick.
    void showPart(bool full, const PanelRect& rect);

    void onMouseMove(int16_t x, int16_t y);
    void onLeftDown(int16_t x, int16_t y);
    void onRightDown(int16_t x, int16_t y);
    void onButtonUp();
    void dragStep();
    // Stores `value` for parameter `param`, reports it to the host, and marks `bit` (-1: none).
    void writeValue(int param, float value, int bit);
    // The same as one whole edit: begin, the value, end.
    void writeGesture(int param, float value, int bit);
    float paramValue(int param) const;

    Platform* platform = nullptr;
    PlatformWindow* window = nullptr;
    int16_t mouseX = 0;
    int16_t mouseY = 0;
    uintptr_t timerId = 0;
    PlatformSurface* backBuffer = nullptr;
    Mode mode = ModeIdle;
    int8_t dragParam = 0;
    int32_t dragStartY = 0;
    int32_t dragBit = 0;
    float dragStartValue = 0.0f;
    int32_t levelMarker = 353; // meter units; starts past the left end, as for silence
    int32_t grHeld = 0;        // meter units of gain reduction shown
    int32_t isOpen = 0;
};

} // namespace qx
