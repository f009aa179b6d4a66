#pragma once
// One stored program: values and a name of at most 23 characters.
//
// Values are written by parameter writes on whichever thread the host uses and read when a program
// is selected or copied, so each is a 32-bit atomic. The name is only touched through the
// dispatcher (user-interface thread).

#include <atomic>

namespace qx {

class LimiterProgram {
public:
    static constexpr int kValueSlots = 20; // 11 in use; the rest travel with copies only
    static constexpr int kNameLength = 23;

    LimiterProgram();

    void setName(const char* text); // cut to 23 characters, always terminated
    const char* getName() const { return name; }
    void copyFrom(const LimiterProgram& other);

    std::atomic<float> values[kValueSlots];

private:
    char name[kNameLength + 1];
};

} // namespace qx
