#include "model/ProgramBank.h"

#include "core/ParamTable.h"

#include <cstring>

namespace qx {

ProgramBank::ProgramBank() {
    for (int32_t p = 0; p < kNumPrograms; ++p) {
        char name[LimiterProgram::kNameLength + 1];
        tableName(p, name);
        programs_[p].setName(name);
        for (int32_t i = 0; i < kNumParams; ++i)
            programs_[p].values[i].store(kParamTable[i].defaultValue, std::memory_order_relaxed);
    }
}

void ProgramBank::tableName(int32_t index, char* text) {
    std::memset(text, ' ', kProgramNameWidth);
    const char* name = valid(index) ? kProgramNameTable[index] : "";
    std::memcpy(text, name, std::strlen(name));
    text[kProgramNameWidth] = '\0';
}

} // namespace qx
