#include "Artwork.h"
#include "PanelGeometry.h"

namespace artgen {

Artwork renderArtwork() {
    using namespace geo;
    Artwork a;
    a.bar = renderBarStrip();
    a.switches = renderSwitchStrip();
    a.knob = renderKnobStrip();
    a.panel = renderPanel(a.bar, a.switches);
    a.clip = renderClipStrip(a.panel.crop(kClip.x, kClip.y, kClip.w, kClip.h));
    a.panel.copyFrom(a.clip, 0, 0, kClip.w, kClip.h, kClip.x, kClip.y); // dark LED
    a.about = renderAbout();
    return a;
}

} // namespace artgen
