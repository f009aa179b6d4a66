#include "core/LimiterProgram.h"

#include <cstring>

namespace qx {

LimiterProgram::LimiterProgram() {
    for (auto& v : values) v.store(0.0f, std::memory_order_relaxed);
    setName("-- error --");
}

void LimiterProgram::setName(const char* text) {
    std::strncpy(name, text, kNameLength);
    name[kNameLength] = '\0';
}

void LimiterProgram::copyFrom(const LimiterProgram& other) {
    if (&other == this) return;
    for (int i = 0; i < kValueSlots; ++i)
        values[i].store(other.values[i].load(std::memory_order_relaxed), std::memory_order_relaxed);
    std::memcpy(name, other.name, sizeof name);
}

} // namespace qx
