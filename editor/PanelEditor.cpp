// The panel's window: opening and closing it, the shared graphics, and the window procedure.
#include "editor/PanelEditor.h"

#include "editor/MeterScale.h"
#include "editor/PanelResources.h"
#include "core/ParamTable.h"

namespace qx {

namespace {
ERect panelRect{0, 0, PanelEditor::kHeight, PanelEditor::kWidth};
constexpr uintptr_t kTimerId = 1;
} // namespace

PanelEditor::PanelEditor(PanelModel* model) : EditorBase(model) {}

// A host that destroys the effect with the panel still open would otherwise leave a window whose
// events and timer reach a destroyed editor.
PanelEditor::~PanelEditor() { close(); }

void PanelEditor::initialise() {
    levelMarker = 353;
    grHeld = 0;
    fullRedraw.store(1, std::memory_order_relaxed);
    dirtyMask.store(0, std::memory_order_relaxed);
    isOpen = 0;
    mode = ModeIdle;
}

int32_t PanelEditor::getRect(ERect** rect) {
    if (rect == nullptr) return 0;
    *rect = &panelRect;
    return 1;
}

int32_t PanelEditor::open(void* parent) { return openOn(nativePlatform(), parent); }

int32_t PanelEditor::openOn(Platform& on, void* parent) {
    if (isOpen != 0) return 0;
    parentWindow = parent;
    if (!PanelResources::enter(on)) return 0;
    PlatformWindow* w = on.createWindow(parent, kWidth, kHeight, this);
    PlatformSurface* back = w != nullptr ? on.createSurface(w, kWidth, kHeight) : nullptr;
    const bool loaded = back != nullptr && PanelResources::loadBitmaps(on, w);
    const uintptr_t timer = loaded ? on.startTimer(w, kTimerId, kTickMs) : 0;
    if (timer == 0) {
        on.destroySurface(back);
        if (w != nullptr) on.destroyWindow(w);
        PanelResources::leave(on);
        return 0;
    }
    platform = &on;
    window = w;
    backBuffer = back;
    timerId = timer;
    isOpen = 1;
    return 1;
}

void PanelEditor::close() {
    if (isOpen != 1) return;
    // A drag the window's closing cuts short still ends its edit, so the host's gesture closes.
    if (mode == ModeDrag) {
        effect->endEdit(dragParam);
        mode = ModeIdle;
    }
    isOpen = 0;
    platform->stopTimer(window, timerId);
    platform->destroySurface(backBuffer);
    backBuffer = nullptr;
    platform->destroyWindow(window);
    window = nullptr;
    PanelResources::leave(*platform);
}

void PanelEditor::idle() {
    if (isOpen == 1) platform->idle(window);
}

int PanelEditor::eventFd() const { return isOpen == 1 ? platform->eventFd(window) : -1; }

void PanelEditor::refresh() {}

void PanelEditor::buildTables() { MeterScale::build(); }

void PanelEditor::handlePanelEvent(const PanelEvent& event) {
    switch (event.kind) {
    case PanelEvent::Paint:
    case PanelEvent::Erase:
        // Drawing waits for the next tick, which recomposes everything.
        requestFullRedraw();
        break;
    case PanelEvent::Timer:
        if (event.timer == timerId) onTimer();
        break;
    case PanelEvent::MouseMove:
        onMouseMove(event.x, event.y);
        break;
    case PanelEvent::LeftDown:
        onLeftDown(event.x, event.y);
        if (isOpen == 1) platform->captureMouse(window);
        break;
    case PanelEvent::RightDown:
        onRightDown(event.x, event.y);
        if (isOpen == 1) platform->captureMouse(window);
        break;
    case PanelEvent::LeftUp:
    case PanelEvent::RightUp:
        onButtonUp();
        if (isOpen == 1) platform->releaseMouse(window);
        break;
    }
}

} // namespace qx
