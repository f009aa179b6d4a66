// Puts the bitmaps together the way the editor does (plain copies, and
// AND mask / OR frame for the knobs), for previews and for the checks.
#pragma once

#include "Artwork.h"
#include "dsp/ParamIndex.h"

#include <string>
#include <vector>

namespace artgen {

struct PanelState {
    PanelState(); // every parameter at its default
    float params[qx::kNumParams];
    int clipHold = 0;
    int singleChannel = 0;
    int grUnits = 0;         // gain reduction shown, meter units 0..308
    int levelUnits = 353;    // output level marker, meter units (353: silence)
    bool about = false;
};

Image composePanel(const Artwork& art, const PanelState& state);

// Checks that this artwork fits the editor's layout tables, its meter scale
// and its compositing rules; each problem found is appended to `problems`.
void checkArtwork(const Artwork& art, std::vector<std::string>& problems);

} // namespace artgen
