#pragma once
// Turns a byte string into a sequence of host calls on one effect (every dispatcher opcode, text
// buffers of exactly the minimum size, null pointers, hostile parameter values, odd sample rates
// and block sizes, blocks longer than announced, NaN and denormal samples, panel ticks and mouse
// events on the memory-only window layer), and checks after every call what must always hold:
//   - no crash and no out-of-bounds access (the sanitizers watch that);
//   - outputs are finite whenever the input samples are finite (up to the float limit), whatever
//     value any parameter holds (1e30, the float limit, infinities, NaN included);
//   - every channel gain lies in (0, 1] under the same condition;
//   - no value text or label is longer than 8 characters;
//   - getParameter returns exactly what setParameter stored, for indices 0 to 10.
// Used by the fuzzer (arbitrary bytes) and by the property test (seeded random bytes).

#include <cstddef>
#include <cstdint>
#include <string>

namespace qxtest {

struct DriverResult {
    bool ok = true;
    std::string failure; // the first broken invariant, with the call that broke it
    int calls = 0;
};

// Runs the whole byte string as one effect's life: created, driven, closed.
DriverResult runCallSequence(const uint8_t* data, size_t size);

} // namespace qxtest
