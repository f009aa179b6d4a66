#pragma once
// Turns a block's parameter queues into the one list of timed changes the model's block runner
// takes: every point of every known parameter, as the value the model stores, sorted by frame.
// Points at the same frame keep the host's order (queue by queue, point by point), so the last
// point written for a parameter at an offset wins. Program selections (id 11) come in the same
// list with index kProgramParamId and the program number as value; the wrapper cuts the block
// there.
//
// A host's queue is meant to be sorted; an offset below the one before it in its queue is raised
// to it, offsets are clamped into 0..frames. Unknown ids are skipped. Past kCapacity points a
// queue keeps only its last value (at its last stored offset), past kMaxQueues queues the rest
// are ignored: a host sends one queue per changed parameter, so neither limit is reached by a
// host that follows the interface.
//
// Threads: the audio thread. No allocation: the lists live in the object.

#include "model/BlockRunner.h"
#include "vst3/Vst3Abi.h"

namespace qx::vst3 {

class ChangeCollector {
  public:
    static constexpr int32 kCapacity = 4096;
    static constexpr int32 kMaxQueues = 64;

    // Reads `changes` (may be null) for a block of `frames` samples; answers the count.
    int32 collect(IParameterChanges* changes, int32 frames);
    ParamChange* changes() { return merged_; }

  private:
    struct Run {
        int32 begin;
        int32 end;
    };

    void readQueue(IParamValueQueue& queue, int32 frames);
    void merge();

    ParamChange gathered_[kCapacity];
    ParamChange merged_[kCapacity];
    Run runs_[kMaxQueues];
    int32 runCount_ = 0;
    int32 count_ = 0;
};

} // namespace qx::vst3
