#pragma once
// The eleven parameters as CLAP shows them, read from the core's table: ids equal to the indices,
// names without the padding blanks, every one automatable. The five continuous ones range over
// 0..1 and reach the model unchanged. The switches are stepped, as CLAP wants them, with one
// integer per state (0..1, Force Channel 0..2); the model receives the VST 2 value of the state
// (0 or 1; 0, 0.5 or 1), so a state gives the same output bits in every format.
//
// Values a host sends outside the declared range are clamped into it, NaN is refused; a model
// value no state stands for (after a VST 2 style write) reads as the state the engine decodes it
// to, so get_value always answers a value inside the range.
//
// Threads: pure functions of the table, callable from any thread.

#include "clap/ClapAbi.h"

#include <cstdint>

namespace qx {

class ClapParams {
  public:
    static uint32_t count();
    static bool valid(clap_id id);
    // Fills `info` for parameter `index`; false for an index outside the table or a null record.
    static bool info(uint32_t index, clap_param_info* info);

    // The model's value for CLAP value `value` of parameter `id`; false (nothing written) for an
    // unknown id or NaN.
    static bool toModel(clap_id id, double value, float* modelValue);
    // The CLAP value of model value `modelValue`; 0 for an unknown id.
    static double toClap(clap_id id, float modelValue);

    // The VST 2 display text of the value, a blank and the unit when it has one ("70 %", "Soft").
    // False when `capacity` cannot hold it (the text is then cut, still terminated, when there is
    // room for the terminator), the id is unknown or the value is NaN.
    static bool toText(clap_id id, double value, char* text, uint32_t capacity);
    // The inverse: a display text with or without its unit, blanks around it ignored.
    static bool fromText(clap_id id, const char* text, double* value);
};

} // namespace qx
