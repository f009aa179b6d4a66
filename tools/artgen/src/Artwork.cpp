#include "Artwork.h"
#include "EditorLayout.h"

namespace artgen {

Artwork renderArtwork() {
    using namespace layout;
    Artwork a;
    a.bar = renderBarStrip();
    a.switches = renderSwitchStrip();
    a.knob = renderKnobStrip();
    a.panel = renderPanel(a.bar, a.switches);
    a.clip = renderClipStrip(a.panel.crop(kClipLed.x, kClipLed.y, kClipLed.w, kClipLed.h));
    a.panel.copyFrom(a.clip, 0, 0, kLedSize, kLedSize, kClipLed.x, kClipLed.y); // dark LED
    a.about = renderAbout();
    return a;
}

} // namespace artgen
