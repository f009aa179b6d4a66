#include "editor/EditorBase.h"

namespace qx {

EditorBase::EditorBase(PanelModel* owner) : effect(owner) {}
EditorBase::~EditorBase() = default;

int32_t EditorBase::getRect(ERect** rect) {
    if (rect != nullptr) *rect = nullptr;
    return 0;
}

int32_t EditorBase::open(void* parent) {
    parentWindow = parent;
    return 0;
}

void EditorBase::close() {}

void EditorBase::idle() {
    if (refreshPending != 0) {
        refreshPending = 0;
        refresh();
    }
}

void EditorBase::refresh() {}
void EditorBase::requestRefresh() { refreshPending = 1; }

} // namespace qx
