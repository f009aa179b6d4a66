#include "host/RecordingHost.h"

namespace qxhost {

intptr_t RecordingHost::answer(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                               float opt) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back({opcode, index, value, ptr, opt});
    }
    switch (opcode) {
    case qx::audioMasterVersion:
        return versionAnswer;
    case qx::audioMasterPinConnected:
        if (index >= 0 && index < 2 && (value == 0 || value == 1)) return pinAnswer[value][index];
        return 1;
    default:
        return reply;
    }
}

std::vector<HostCall> RecordingHost::takeCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<HostCall> out;
    out.swap(calls_);
    return out;
}

std::vector<AutomationCall> RecordingHost::takeAutomation() {
    std::vector<AutomationCall> out;
    for (const HostCall& c : takeCalls())
        if (c.opcode == qx::audioMasterAutomate) out.push_back({c.index, c.opt});
    return out;
}

std::vector<int32_t> RecordingHost::takeOpcodes() {
    std::vector<int32_t> out;
    for (const HostCall& c : takeCalls()) out.push_back(c.opcode);
    return out;
}

int RecordingHost::count(int32_t opcode) {
    std::lock_guard<std::mutex> lock(mutex_);
    int n = 0;
    for (const HostCall& c : calls_) n += c.opcode == opcode ? 1 : 0;
    return n;
}

void RecordingHost::reset() {
    takeCalls();
    versionAnswer = 2400;
    for (auto& direction : pinAnswer) direction[0] = direction[1] = 0;
    reply = 0;
}

RecordingHost& RecordingHost::shared() {
    static RecordingHost host;
    return host;
}

intptr_t QX_CALL RecordingHost::callback(AEffect*, int32_t opcode, int32_t index, intptr_t value,
                                         void* ptr, float opt) {
    return shared().answer(opcode, index, value, ptr, opt);
}

} // namespace qxhost
