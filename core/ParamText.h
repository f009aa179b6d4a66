#pragma once
// What a host shows beside each parameter: its blank-padded name, its value text and its unit
// label, all read from the parameter table. Shared by every front end so that the same value
// reads the same everywhere.

#include "core/ParamTable.h"

#include <cstdint>

namespace qx {

// The name padded with blanks to kParamNameWidth characters; `text` holds kParamNameWidth + 1.
// An index outside the table gives "".
void paddedParamName(int32_t index, char* text);

// "%" for the percentages (plain and centred), " " for the switches and for unknown indices.
const char* paramLabel(int32_t index);

// The value text of parameter `index` holding `value` into `text` (at least 9 characters):
// percentages with digits truncated ("100" at exactly 1.0), the centred one signed, switches as
// their state word. A switch value that selects no state leaves `text` as it was; an index
// outside the table gives "error".
void paramDisplay(int32_t index, float value, char* text);

// The state a switch value selects: 0 or 1 for a two-state switch (the value truncated), 0..2 for
// the three-state one (twice the value truncated); -1 for a value that selects none (NaN, or
// outside the states) and for parameters that are no switch.
int switchPosition(int32_t index, float value);

// The value a typed text stands for, the inverse of paramDisplay and paramLabel: a percentage
// ("40", "40.0 %"), the centred one signed ("-25", "+25 %", "0"), a switch word in any case
// ("soft", "Right") or its state number. Blanks around the text are ignored. False (and
// `value` untouched) for anything else or an unknown index; a number outside the parameter's
// range is clamped to it.
bool parseParamText(int32_t index, const char* text, float* value);

} // namespace qx
