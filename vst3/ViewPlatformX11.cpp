// The view on the X11 window layer: embedded by window id, driven by the host's run loop.
#include "vst3/Vst3View.h"

namespace qx::vst3 {

FIDString Vst3View::platformType() {
    return kPlatformTypeX11EmbedWindowID;
}
bool Vst3View::needsRunLoop() {
    return true;
}

} // namespace qx::vst3
