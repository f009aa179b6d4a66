#include "editor/PanelLayout.h"

#include <cmath>

namespace qx {

const PanelControl* hitTest(int x, int y, bool withAboutSpot) {
    for (const PanelControl& c : kPanelControls) {
        if (c.kind == ControlKind::AboutSpot && !withAboutSpot) continue;
        if (x >= c.image.x && x <= c.image.x + c.image.w && y >= c.image.y &&
            y <= c.image.y + c.image.h)
            return &c;
    }
    return nullptr;
}

int knobFrame(int knob, float value) {
    const double v = value >= 1.0f ? 1.0 : value > 0.0f ? double(value) : 0.0;
    // The gain knobs sweep 69 frames from straight down, Output 60 frames centred on straight up;
    // neither goes all the way round, so one wrap is enough.
    int f = knob == kKnobCount - 1 ? int(60.0 * v + 50.0) : int(69.0 * v + 40.0);
    if (f >= 80) f -= 80;
    return f;
}

int switchState(float value) { return value >= 1.0f ? 1 : 0; }

} // namespace qx
