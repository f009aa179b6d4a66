#include "editor/platform/PixelSurface.h"

#include <algorithm>

namespace qx {

namespace {

// Clips a transfer of `to` from (fromX, fromY) so it stays inside both surfaces.
bool clip(PanelRect& to, int& fromX, int& fromY, const PixelSurface& into,
          const PixelSurface& from) {
    auto trimStart = [](int& dst, int& src, int& len) {
        const int cut = std::max({0, -dst, -src});
        dst += cut;
        src += cut;
        len -= cut;
    };
    trimStart(to.x, fromX, to.w);
    trimStart(to.y, fromY, to.h);
    to.w = std::min({to.w, into.width - to.x, from.width - fromX});
    to.h = std::min({to.h, into.height - to.y, from.height - fromY});
    return to.w > 0 && to.h > 0;
}

} // namespace

void transferPixels(PixelSurface& into, PanelRect to, const PixelSurface& from, int fromX,
                    int fromY, RasterOp op) {
    if (!clip(to, fromX, fromY, into, from)) return;
    for (int row = 0; row < to.h; ++row) {
        uint32_t* d = into.pixels.data() + std::size_t(to.y + row) * std::size_t(into.width) + to.x;
        const uint32_t* s =
            from.pixels.data() + std::size_t(fromY + row) * std::size_t(from.width) + fromX;
        switch (op) {
        case RasterOp::Copy:
            std::copy(s, s + to.w, d);
            break;
        case RasterOp::And:
            for (int i = 0; i < to.w; ++i) d[i] &= s[i];
            break;
        case RasterOp::Or:
            for (int i = 0; i < to.w; ++i) d[i] |= s[i];
            break;
        }
    }
}

} // namespace qx
