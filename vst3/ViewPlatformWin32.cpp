// The view on the Win32 window layer: a child of the host's HWND with its own timer.
#include "vst3/Vst3View.h"

namespace qx::vst3 {

FIDString Vst3View::platformType() {
    return kPlatformTypeHWND;
}
bool Vst3View::needsRunLoop() {
    return false;
}

} // namespace qx::vst3
