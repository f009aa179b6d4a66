#pragma once
// The plug-in's texts are ASCII; VST 3 passes most texts as UTF-16. These copy between the two
// within a fixed field, always terminated, never past `capacity` units.

#include "vst3/Vst3Abi.h"

namespace qx::vst3 {

// `text` without leading and trailing blanks into a UTF-16 field (cut to capacity - 1 units).
// A null text gives an empty field.
void toUtf16(const char* text, char16* out, int32 capacity);
// The same into an 8-bit field.
void copyTrimmed(const char* text, char8* out, int32 capacity);
// A UTF-16 text as 8-bit ASCII: other characters become '?'; at most capacity - 1 characters.
void fromUtf16(const char16* text, char* out, int32 capacity);

} // namespace qx::vst3
