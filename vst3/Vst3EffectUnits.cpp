// The program list of Vst3Effect: one root unit holding the ten programs, selected through the
// program-change parameter (id 11).
#include "vst3/Vst3Effect.h"

#include "vst3/Utf16.h"

namespace qx::vst3 {

tresult Vst3Effect::getUnitInfo(int32 unitIndex, UnitInfo& info) {
    if (unitIndex != 0) return kInvalidArgument;
    info.id = kRootUnitId;
    info.parentUnitId = kNoParentUnitId;
    toUtf16("Root", info.name, 128);
    info.programListId = kProgramListId;
    return kResultOk;
}

tresult Vst3Effect::getProgramListInfo(int32 listIndex, ProgramListInfo& info) {
    if (listIndex != 0) return kInvalidArgument;
    info.id = kProgramListId;
    toUtf16("Programs", info.name, 128);
    info.programCount = LimiterModel::kNumPrograms;
    return kResultOk;
}

tresult Vst3Effect::getProgramName(ProgramListID listId, int32 programIndex, String128 name) {
    if (listId != kProgramListId || !ProgramBank::valid(programIndex) || name == nullptr)
        return kInvalidArgument;
    toUtf16(model_.programName(programIndex), name, 128);
    return kResultOk;
}

tresult Vst3Effect::getProgramInfo(ProgramListID, int32, CString, String128) {
    return kResultFalse;
}

tresult Vst3Effect::hasProgramPitchNames(ProgramListID, int32) {
    return kResultFalse;
}

tresult Vst3Effect::getProgramPitchName(ProgramListID, int32, int16, String128) {
    return kResultFalse;
}

tresult Vst3Effect::selectUnit(UnitID id) {
    return id == kRootUnitId ? kResultOk : kInvalidArgument;
}

tresult Vst3Effect::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&) {
    return kResultFalse;
}

tresult Vst3Effect::setUnitProgramData(int32, int32, IBStream*) {
    return kNotImplemented;
}

} // namespace qx::vst3
