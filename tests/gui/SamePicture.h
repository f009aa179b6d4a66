#pragma once
// A panel picture read from a real window against the module's memory-only rendering of the
// same state, with the first differing pixel named so a failure says where to look.

#include "WindowDriver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <vector>

namespace qxgui {

struct Rect {
    int x, y, w, h;
};
constexpr Rect kWhole{0, 0, kPanelWidth, kPanelHeight};

inline ::testing::AssertionResult samePicture(const std::vector<uint32_t>& shown,
                                              const std::vector<uint32_t>& wanted,
                                              Rect r = kWhole) {
    if (shown.size() != wanted.size() || shown.empty())
        return ::testing::AssertionFailure() << "no picture to compare";
    int differing = 0;
    std::ostringstream first;
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            const size_t i = size_t(y) * kPanelWidth + x;
            if (shown[i] == wanted[i]) continue;
            if (differing++ == 0)
                first << std::hex << "first at (" << std::dec << x << ", " << y << "): shown 0x"
                      << std::hex << shown[i] << ", headless 0x" << wanted[i];
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << differing << " of " << r.w * r.h << " pixels differ; " << first.str();
}

} // namespace qxgui
