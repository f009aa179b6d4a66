#pragma once
// The graphics every open panel shares: the six bitmaps and the backend's window class. They
// exist exactly while at least one panel is open on that backend; the first opening makes them
// and the last closing releases them, so a host with many instances loads the bitmaps once.
//
// User-interface thread only (where panels open and close); nothing here locks.

#include "editor/PanelLayout.h"
#include "editor/platform/Platform.h"

#include <cstdint>

namespace qx {

class PanelResources {
public:
    // An opening panel's first step: counts it and, for the first one, registers the window
    // class. False (and nothing counted) when the class cannot be registered.
    static bool enter(Platform& platform);
    // Once the panel has its window: the first panel loads the bitmaps, using `reference` for
    // compatibility. False when any is missing; the caller then leaves again.
    static bool loadBitmaps(Platform& platform, PlatformWindow* reference);
    // The last step of closing (or of a failed opening): the last panel releases the bitmaps and
    // unregisters the class.
    static void leave(Platform& platform);

    static PlatformSurface* bitmap(Platform& platform, BitmapId id);
    // Panels open on `platform`, and on all backends together.
    static int32_t openCount(Platform& platform);
    static int32_t openCount();
};

} // namespace qx
