#pragma once
// An off-screen surface as plain 32-bit pixels (0x00RRGGBB, rows from the top), and the
// rectangle transfer the panel composes with. Shared by the layers that compose in memory
// (headless and X11); the Win32 layer uses GDI's own.

#include "editor/platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qx {

struct PixelSurface final : PlatformSurface {
    PixelSurface(int w, int h) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h)) {}
    int width;
    int height;
    std::vector<uint32_t> pixels;
};

// Combines the `to.w` x `to.h` rectangle at (fromX, fromY) of `from` into `to` of `into`; the
// parts outside either surface are left out.
void transferPixels(PixelSurface& into, PanelRect to, const PixelSurface& from, int fromX,
                    int fromY, RasterOp op);

} // namespace qx
