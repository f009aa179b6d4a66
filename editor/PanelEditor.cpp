#include "editor/PanelEditor.h"

#include "effect/LimiterEffect.h"
#include "effect/ParamTable.h"

namespace qx {

namespace {
ERect panelRect{0, 0, PanelEditor::kHeight, PanelEditor::kWidth};
}

PanelEditor::PanelEditor(LimiterEffect* effect) : EditorBase(effect), owner(effect) {
    effect->setEditor(this);
}

PanelEditor::~PanelEditor() = default;

void PanelEditor::initialise() {
    for (int i = 0; i < kNumParams; ++i)
        owner->values()[i].store(kParamTable[i].defaultValue, std::memory_order_relaxed);
    MeterShared& m = owner->meters();
    m.minGain.store(1.0f, std::memory_order_relaxed);
    m.peakOut.store(0.0f, std::memory_order_relaxed);
    m.clipHold.store(0, std::memory_order_relaxed);
    m.singleChannel.store(0, std::memory_order_relaxed);
    fullRedraw.store(1, std::memory_order_relaxed);
    dirtyMask.store(0, std::memory_order_relaxed);
    owner->recalculate();
}

int32_t PanelEditor::getRect(ERect** rect) {
    if (rect == nullptr) return 0;
    *rect = &panelRect;
    return 1;
}

int32_t PanelEditor::open(void* parent) {
    parentWindow = parent;
    return 0;
}

void PanelEditor::close() {}
void PanelEditor::idle() {}
void PanelEditor::refresh() {}
void PanelEditor::buildTables() {}

} // namespace qx
