// Headless builds: a host's effEditOpen also gets the memory-only window.
#include "editor/platform/Platform.h"

namespace qx {

Platform& nativePlatform() { return headlessPlatform(); }

} // namespace qx
