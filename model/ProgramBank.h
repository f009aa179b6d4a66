#pragma once
// The ten programs: stored values and names, filled from the core's tables (every program starts
// with the default values; program 0 is "default", the rest "empty N").
//
// Threads: values are 32-bit atomics (host writes land in the current program from any thread);
// names are touched only on the user-interface thread.

#include "core/LimiterProgram.h"

#include <cstdint>

namespace qx {

class ProgramBank {
public:
    static constexpr int32_t kNumPrograms = 10;

    ProgramBank();

    static bool valid(int32_t index) { return index >= 0 && index < kNumPrograms; }

    // `index` must be valid.
    LimiterProgram& operator[](int32_t index) { return programs_[index]; }
    const LimiterProgram& operator[](int32_t index) const { return programs_[index]; }

    // The table's name of program `index`, padded with blanks to 23 characters, into `text`
    // (24 characters).
    static void tableName(int32_t index, char* text);

private:
    LimiterProgram programs_[kNumPrograms];
};

} // namespace qx
