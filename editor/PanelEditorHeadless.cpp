// The private channel: our test tools reach the panel through the effect record alone, so they
// exercise the very module a host loads.
#include "core/PrivateRequests.h"
#include "editor/PanelEditor.h"
#include "editor/platform/HeadlessPlatform.h"

namespace qx {

namespace {

PanelEvent::Kind mouseKind(int32_t event, int32_t button) {
    const bool right = button == qxButtonRight;
    switch (event) {
    case qxMousePress:
        return right ? PanelEvent::RightDown : PanelEvent::LeftDown;
    case qxMouseRelease:
        return right ? PanelEvent::RightUp : PanelEvent::LeftUp;
    default:
        return PanelEvent::MouseMove;
    }
}

} // namespace

intptr_t PanelEditor::headlessRequest(intptr_t command, void* request) {
    auto* r = static_cast<QxHeadlessRequest*>(request);
    if (r == nullptr || r->size != int32_t(sizeof(QxHeadlessRequest))) return 0;
    HeadlessPlatform& headless = HeadlessPlatform::instance();

    if (command == qxHeadlessOpen) return openOn(headless, nullptr);
    // The rest act on a panel this channel opened, never on a host's window.
    if (isOpen != 1 || platform != &headless) return 0;
    switch (command) {
    case qxHeadlessClose:
        close();
        return 1;
    case qxHeadlessTick:
        r->count = headless.tick(window, r->count);
        return 1;
    case qxHeadlessMouse:
        if (r->event < qxMouseMove || r->event > qxMouseRelease) return 0;
        return headless.mouse(window, mouseKind(r->event, r->button), r->x, r->y) ? 1 : 0;
    case qxHeadlessReadPixels:
        return headless.readPixels(window, r->pixels) ? 1 : 0;
    case qxHeadlessExpose:
        headless.invalidate(window);
        return 1;
    default:
        return 0;
    }
}

} // namespace qx
