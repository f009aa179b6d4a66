#pragma once
// The editor interface the host layer drives through effEditGetRect, effEditOpen, effEditClose
// and effEditIdle. All calls arrive on the host's user-interface thread.

#include "editor/EditorRect.h"

#include <cstdint>

namespace qx {

class PanelModel;

class EditorBase {
public:
    explicit EditorBase(PanelModel* effect);
    virtual ~EditorBase();
    EditorBase(const EditorBase&) = delete;
    EditorBase& operator=(const EditorBase&) = delete;

    // Stores a pointer to the editor's rectangle through `rect`; 1 when it did, 0 otherwise.
    virtual int32_t getRect(ERect** rect);
    // Opens the editor inside the host's `parent` window; 1 on success, 0 on failure.
    virtual int32_t open(void* parent);
    virtual void close();
    virtual void idle();
    virtual void refresh();
    virtual void requestRefresh();

protected:
    PanelModel* effect; // the effect the editor shows
    void* parentWindow = nullptr;
    int32_t refreshPending = 0;
};

} // namespace qx
