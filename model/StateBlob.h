#pragma once
// The model's saved state as one versioned little-endian record, the same bytes on every
// platform and in every format that stores state (VST 3 component state, CLAP state).
//
//   offset  size  field
//        0     4  magic "QXst"
//        4     4  version (uint32), 1
//        8     4  size of the whole record in bytes (uint32), 744 for version 1
//       12     4  current program (int32, 0..9)
//       16    44  the eleven current values (float bits, parameter order)
//       60   680  ten programs, each 11 values (44 bytes) and a name of 24 bytes (at most 23
//                 characters, zero-terminated, zero-filled)
//      740     4  CRC-32 (IEEE, reflected, as zlib) of bytes 0..739
//
// Values are stored as their bits, so NaN, infinities and values outside 0..1 come back exactly
// as they were written. A reader refuses a record that is short, does not start with the magic,
// has a newer version, or whose size, checksum, program number or names do not hold up; the
// caller then changes nothing.

#include "dsp/ParamIndex.h"

#include <cstddef>
#include <cstdint>

namespace qx {

class StateBlob {
public:
    static constexpr uint32_t kVersion = 1;
    static constexpr std::size_t kSize = 744;
    static constexpr int32_t kPrograms = 10;
    static constexpr int32_t kNameBytes = 24;

    enum class Result { Ok, Short, Foreign, NewerVersion, Damaged };

    struct Contents {
        int32_t program = 0;
        float values[kNumParams] = {};
        float programValues[kPrograms][kNumParams] = {};
        char names[kPrograms][kNameBytes] = {};
    };

    // Writes kSize bytes.
    static void write(const Contents& contents, uint8_t* out);
    // Reads `size` bytes at `data` (may be null when size is 0); `out` is written only on Ok.
    static Result read(const void* data, std::size_t size, Contents& out);
    // A short English sentence for messages and logs.
    static const char* describe(Result result);
};

} // namespace qx
