#include "editor/PanelResources.h"

namespace qx {

namespace {

struct Shared {
    Platform* platform = nullptr;
    int32_t openCount = 0;
    PlatformSurface* bitmaps[kBitmapCount] = {};
};

// One entry per backend in use; a module holds at most a native and the headless backend.
constexpr int kMaxBackends = 4;
Shared shared[kMaxBackends];

Shared* lookup(Platform& platform, bool create) {
    for (Shared& s : shared)
        if (s.platform == &platform) return &s;
    if (!create) return nullptr;
    for (Shared& s : shared) {
        if (s.platform == nullptr) {
            s.platform = &platform;
            return &s;
        }
    }
    return nullptr;
}

// Release order: bar, clip LED, switch strip, knob, about, panel.
constexpr BitmapId kReleaseOrder[kBitmapCount] = {kBarBitmap,   kClipBitmap,  kSwitchBitmap,
                                                  kKnobBitmap,  kAboutBitmap, kPanelBitmap};

void releaseBitmaps(Shared& s) {
    for (BitmapId id : kReleaseOrder) {
        PlatformSurface*& b = s.bitmaps[id - kFirstBitmap];
        s.platform->destroySurface(b);
        b = nullptr;
    }
}

} // namespace

bool PanelResources::enter(Platform& platform) {
    Shared* s = lookup(platform, true);
    if (s == nullptr) return false;
    if (s->openCount == 0 && !platform.registerWindowClass()) {
        s->platform = nullptr;
        return false;
    }
    ++s->openCount;
    return true;
}

bool PanelResources::loadBitmaps(Platform& platform, PlatformWindow* reference) {
    Shared* s = lookup(platform, false);
    if (s == nullptr || s->openCount == 0) return false;
    if (s->bitmaps[0] != nullptr) return true;
    for (int i = 0; i < kBitmapCount; ++i) {
        s->bitmaps[i] = platform.loadBitmap(reference, kFirstBitmap + i);
        if (s->bitmaps[i] == nullptr) {
            releaseBitmaps(*s);
            return false;
        }
    }
    return true;
}

void PanelResources::leave(Platform& platform) {
    Shared* s = lookup(platform, false);
    if (s == nullptr || s->openCount == 0) return;
    if (--s->openCount > 0) return;
    releaseBitmaps(*s);
    platform.unregisterWindowClass();
    s->platform = nullptr;
}

PlatformSurface* PanelResources::bitmap(Platform& platform, BitmapId id) {
    Shared* s = lookup(platform, false);
    return s != nullptr ? s->bitmaps[id - kFirstBitmap] : nullptr;
}

int32_t PanelResources::openCount(Platform& platform) {
    Shared* s = lookup(platform, false);
    return s != nullptr ? s->openCount : 0;
}

int32_t PanelResources::openCount() {
    int32_t n = 0;
    for (const Shared& s : shared) n += s.openCount;
    return n;
}

} // namespace qx
