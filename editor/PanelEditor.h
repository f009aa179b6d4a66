#pragma once
// The 450 x 200 bitmap panel. (Skeleton: window, drawing and mouse handling come with the
// editor work; the effect relies only on the members below.)

#include "editor/EditorBase.h"

#include <atomic>
#include <cstdint>

namespace qx {

class LimiterEffect;

class PanelEditor : public EditorBase {
public:
    static constexpr int kWidth = 450;
    static constexpr int kHeight = 200;

    explicit PanelEditor(LimiterEffect* effect);
    ~PanelEditor() override;

    // Writes the panel defaults into the effect's current values and puts the panel into its
    // initial state; called once, at the end of the effect's construction.
    void initialise();

    int32_t getRect(ERect** rect) override;
    int32_t open(void* parent) override;
    void close() override;
    void idle() override;
    void refresh() override;

    // Any thread: ask the next tick to redraw the controls in `bits`, or everything.
    void markDirty(uint32_t bits) { dirtyMask.fetch_or(bits, std::memory_order_relaxed); }
    void requestFullRedraw() { fullRedraw.store(1, std::memory_order_relaxed); }

    // Module-wide frame tables; built once, before the first panel is drawn.
    static void buildTables();

    std::atomic<int32_t> fullRedraw{1};
    std::atomic<uint32_t> dirtyMask{0};

private:
    LimiterEffect* owner;
};

} // namespace qx
