#pragma once
// A host callback that records every call and answers with a settable value, for tests of what
// the base layers send.

#include "plugin/AEffect.h"

#include <vector>

namespace qxtest {

struct HostCall {
    int32_t opcode, index;
    intptr_t value;
    void* ptr;
    float opt;
};

inline std::vector<HostCall> hostCalls;
inline intptr_t hostReply = 0;

inline intptr_t QX_CALL recordingHost(AEffect*, int32_t opcode, int32_t index, intptr_t value,
                                      void* ptr, float opt) {
    hostCalls.push_back({opcode, index, value, ptr, opt});
    return hostReply;
}

} // namespace qxtest
