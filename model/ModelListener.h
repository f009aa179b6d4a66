#pragma once
// How a wrapper hears of the panel's edits, so it can tell its host: VST 2 reports automation,
// VST 3 calls beginEdit / performEdit / endEdit, CLAP queues gesture and value events for its
// next process or flush call.
//
// Threads: called on the thread that drives the panel (the host's user-interface thread), from
// inside LimiterModel's beginEdit / editParameter / endEdit. The value is already stored and the
// coefficients recomputed when editValue arrives.

#include <cstdint>

namespace qx {

class ModelListener {
public:
    virtual void editBegun(int32_t index) = 0;
    virtual void editValue(int32_t index, float value) = 0;
    virtual void editEnded(int32_t index) = 0;

protected:
    ~ModelListener() = default;
};

} // namespace qx
