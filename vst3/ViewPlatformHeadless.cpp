// A module built without a window layer shows no view in a host.
#include "vst3/Vst3View.h"

namespace qx::vst3 {

FIDString Vst3View::platformType() {
    return nullptr;
}
bool Vst3View::needsRunLoop() {
    return false;
}

} // namespace qx::vst3
