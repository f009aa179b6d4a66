#pragma once
// Our own tools' channel into a VST 3 instance: the private requests of core/PrivateRequests.h
// (meter read-out, the panel on the memory-only window layer), carried by an interface of ours
// that the instance answers to queryInterface like any other. Hosts never ask for this id.
//
//   IPrivateRequests* p = nullptr;
//   component->queryInterface(IPrivateRequests::iid.bytes, (void**)&p);
//   p->request(QX_METER_INDEX, 0, &readout);
//
// Threads: the panel's (the host's user-interface thread).

#include "vst3/Vst3Abi.h"

namespace qx::vst3 {

class IPrivateRequests : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0xE85ACB82, 0xF4BA4DA1, 0xB5F39ABE, 0xBAFA0E58);
    // `index` selects the request, `command` and `ptr` are its own; 1 when done, 0 otherwise.
    virtual intptr_t QX_VST3_API request(int32 index, intptr_t command, void* ptr) = 0;
};

} // namespace qx::vst3
