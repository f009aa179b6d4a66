// libFuzzer entry: each input is one effect's life of host calls (see CallDriver.h).
#include "tests/hardening/CallDriver.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto result = qxtest::runCallSequence(data, size);
    if (!result.ok) {
        std::fprintf(stderr, "invariant broken: %s\n", result.failure.c_str());
        std::abort();
    }
    return 0;
}
