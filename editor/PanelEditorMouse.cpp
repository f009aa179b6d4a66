// Mouse handling. The mouse messages only record the pointer and the interaction mode; a knob
// follows the pointer on the tick (dragStep), so the host gets at most one change per knob and
// tick however fast the mouse reports.
#include "editor/PanelEditor.h"
#include "editor/PanelLayout.h"
#include "core/ParamTable.h"

namespace qx {

namespace {
// 400 pixels of vertical travel cover the whole range.
constexpr float kDragPerPixel = 0.0025f;
} // namespace

void PanelEditor::writeValue(int param, float value, int bit) {
    effect->writeParameter(param, value);
    if (bit >= 0) markDirty(1u << bit);
}

void PanelEditor::writeGesture(int param, float value, int bit) {
    effect->beginEdit(param);
    writeValue(param, value, bit);
    effect->endEdit(param);
}

void PanelEditor::onMouseMove(int16_t x, int16_t y) {
    mouseX = x;
    mouseY = y;
}

void PanelEditor::onLeftDown(int16_t x, int16_t y) {
    mouseX = x;
    mouseY = y;
    if (mode == ModeAbout) {
        // The click only takes the credits away.
        mode = ModeIdle;
        requestFullRedraw();
        return;
    }
    if (mode == ModeDrag) return;
    if (const PanelControl* c = hitTest(x, y, true)) {
        switch (c->kind) {
        case ControlKind::Knob:
            // The press itself changes nothing: the drag is relative to where it starts.
            dragBit = c->redrawBit;
            dragStartY = mouseY;
            dragStartValue = paramValue(c->param);
            dragParam = int8_t(c->param);
            mode = ModeDrag;
            effect->beginEdit(c->param);
            break;
        case ControlKind::Switch:
            // Flips what the lever shows, so a host's 0.7 (shown Off) becomes 1.0.
            writeGesture(c->param, switchState(paramValue(c->param)) != 0 ? 0.0f : 1.0f,
                         c->redrawBit);
            break;
        case ControlKind::AboutSpot:
            mode = ModeAbout;
            markDirty(1u << kAboutBit);
            break;
        }
    }
}

void PanelEditor::onRightDown(int16_t x, int16_t y) {
    mouseX = x;
    mouseY = y;
    if (mode == ModeAbout) {
        // Unlike the left button, this click goes on to act on the control under it.
        mode = ModeIdle;
        requestFullRedraw();
    }
    if (mode == ModeDrag) return;
    if (const PanelControl* c = hitTest(x, y, false))
        writeGesture(c->param, kParamTable[c->param].defaultValue, c->redrawBit);
}

void PanelEditor::onButtonUp() {
    // Either button ends a drag; the credits stay until the next press.
    if (mode == ModeDrag) effect->endEdit(dragParam);
    if (mode != ModeAbout) mode = ModeIdle;
}

void PanelEditor::dragStep() {
    double v = double(dragStartValue) - double(mouseY - dragStartY) * double(kDragPerPixel);
    if (!(v > 0.0)) v = 0.0; // NaN from a host's odd start value too
    if (v > 1.0) v = 1.0;
    // Compared as it will be stored: a knob held still then reports nothing.
    const float stored = float(v);
    if (stored != paramValue(dragParam)) writeValue(dragParam, stored, dragBit);
}

} // namespace qx
