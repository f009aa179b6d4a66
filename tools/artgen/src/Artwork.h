// The six bitmaps of the panel and the pieces they are built from.
#pragma once

#include "Image.h"
#include "Paint.h"

namespace artgen {

struct Artwork {
    Image panel;    // 107
    Image bar;      // 108
    Image switches; // 109
    Image clip;     // 110
    Image knob;     // 111
    Image about;    // 112
};

// Builds everything; the panel embeds frames of the strips, so the order of
// the steps inside matters and is kept in one place.
Artwork renderArtwork();

namespace palette {
const Col kPanel{50, 52, 56};        // brushed graphite face
const Col kPrint{218, 218, 210};     // screen print, warm white
const Col kPrintDim{150, 152, 150};  // secondary print (scale figures, small words)
const Col kAccent{244, 162, 52};     // amber: logo, bar
const Col kWindow{13, 14, 16};       // meter window glass
const Col kSeat{31, 32, 35};         // recess under each knob
const Col kPlate{40, 41, 45};        // switch bezel plate
} // namespace palette

// Ticks along the top of the meter window, one on each segment boundary; the ones under a
// printed figure are brighter.
namespace meter {
constexpr int kTickY = 134;
const Col kTickMarked = grey(120);
const Col kTickPlain = grey(58);
} // namespace meter

// Knob geometry, relative to the centre of a 48 x 48 knob frame.
namespace knob {
constexpr double kBodyR = 17.5;  // outer edge of the knurled skirt
constexpr double kCapR = 12.0;   // spun metal cap
constexpr double kMaskR = 20.5;  // a pixel whose centre lies within this belongs to the knob
constexpr double kSeatR = 22.5;  // recess printed on the panel; wider than the mask
constexpr int kSamples = 8;      // per axis; a power of two keeps sample positions exact
} // namespace knob

// Colour of the recess around a knob (including the knob's shadow) at
// (dx, dy) from the knob's centre. The panel and every knob frame use this
// same function, so the pixels on either side of the mask's edge agree.
Col knobSeat(double dx, double dy);

Image renderKnobStrip();
Image renderBarStrip();
Image renderSwitchStrip();
// The LED frames are drawn over the panel's own pixels at the LED's place,
// so their corners blend into the panel exactly.
Image renderClipStrip(const Image& panelUnderLed);
Image renderPanel(const Image& barStrip, const Image& switchStrip);
Image renderAbout();

// The vendor mark: an amber ring with a tail, centred at (cx, cy).
void drawLogo(Canvas& c, double cx, double cy, double radius);

} // namespace artgen
