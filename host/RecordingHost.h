#pragma once
// A host's side of the callback: fixed answers and a record of every call. HostSession uses one
// per loaded module; tests that build effects in their own process use the shared one through
// `callback`, which is a plain HostCallback like any host's.
//
// Any thread may call in (automation arrives from the panel's thread and the host's), so the
// record is kept under a lock; this is a tool, not the audio path.

#include "plugin/AEffect.h"

#include <cstdint>
#include <mutex>
#include <vector>

namespace qxhost {

struct HostCall {
    int32_t opcode;
    int32_t index;
    intptr_t value;
    void* ptr;
    float opt;
};

struct AutomationCall {
    int32_t index;
    float value;
};

class RecordingHost {
public:
    RecordingHost() = default;
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    // The answers: audioMasterVersion gets versionAnswer; audioMasterPinConnected gets
    // pinAnswer[direction][pin] (0 connected, 1 not; 1 for pins outside the table); every other
    // opcode gets reply.
    intptr_t versionAnswer = 2400;
    intptr_t pinAnswer[2][2] = {{0, 0}, {0, 0}};
    intptr_t reply = 0;

    // Records the call and gives the answer above.
    intptr_t answer(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);

    // What arrived since the last take, in order.
    std::vector<HostCall> takeCalls();
    std::vector<AutomationCall> takeAutomation();
    std::vector<int32_t> takeOpcodes();
    // Calls of `opcode` since the last take, without taking them.
    int count(int32_t opcode);
    // Forgets what arrived and restores every answer.
    void reset();

    // The host of effects built in this process: `callback` answers through `shared()`.
    static RecordingHost& shared();
    static intptr_t QX_CALL callback(AEffect* effect, int32_t opcode, int32_t index,
                                     intptr_t value, void* ptr, float opt);

private:
    std::mutex mutex_;
    std::vector<HostCall> calls_;
};

} // namespace qxhost
