#pragma once
// How the eleven parameters and the program selector look to a VST 3 host: ids, step counts, and
// the conversions between the host's normalized values (0..1, double), its "plain" values and
// the values the model stores.
//
// Continuous parameters: normalized, plain and stored value are the same number (the stored
// float is the normalized double rounded to float, so a float that went through a double comes
// back with its bits). Switches are stepped: a normalized value v selects state
// min(steps, floor(v * (steps + 1))), the plain value is that state's number and the model
// receives the state's exact value (0 or 1; 0, 0.5 or 1 for Force Channel), the values the VST 2
// module reads. The program selector (id 11) is stepped the same way over the ten programs.
//
// Pure functions of their arguments: callable from any thread, the audio thread included (one
// host converts plain values there).

#include "dsp/ParamIndex.h"
#include "vst3/Vst3Abi.h"

namespace qx::vst3 {

constexpr ParamID kProgramParamId = kNumParams;
constexpr int32 kParameterCount = kNumParams + 1;
constexpr int32 kProgramSteps = 9;

// 0 for a continuous parameter, the number of steps of a stepped one, -1 for an unknown id.
int32 stepCount(ParamID id);
// The state a normalized value selects; NaN and values below 0 select 0, values above 1 the
// last state.
int32 stateOf(int32 steps, ParamValue normalized);
// The value the model receives for parameter `index` (0..10) set to `normalized`.
float storedValue(int32 index, ParamValue normalized);
// The normalized value the host sees for a stored value: continuous values clamped to 0..1 (NaN
// reads 0), switch values as the state they select (a value selecting none reads as the nearer
// end).
ParamValue normalizedOf(int32 index, float value);

ParamValue normalizedToPlain(ParamID id, ParamValue normalized);
ParamValue plainToNormalized(ParamID id, ParamValue plain);

} // namespace qx::vst3
