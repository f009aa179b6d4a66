// Puts the bitmaps together the way the editor does (plain copies, and
// AND mask / OR frame for the knobs), for previews and for the checks.
#pragma once

#include "Artwork.h"

#include <string>
#include <vector>

namespace artgen {

struct PanelState {
    float params[9] = {0.0f, 0.7f, 0.4f, 0.5f, 0.5f, 1.0f, 0.0f, 1.0f, 1.0f}; // the panel defaults
    int clipHold = 0;
    int singleChannel = 0;
    int grUnits = 0;         // gain reduction shown, meter units 0..308
    int levelUnits = 353;    // output level marker, meter units (353: silence)
    bool about = false;
};

Image composePanel(const Artwork& art, const PanelState& state);

// Checks that the compositing rules hold for this artwork; each problem
// found is appended to `problems`.
void checkArtwork(const Artwork& art, std::vector<std::string>& problems);

} // namespace artgen
