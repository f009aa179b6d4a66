// Shared entry of the window tests: GoogleTest's options, then the module to load.
#include "WindowDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
const char* moduleArgument = nullptr;
}

namespace qxgui {

const char* modulePath() {
    if (moduleArgument != nullptr) return moduleArgument;
    const char* fromEnvironment = std::getenv("QX_MODULE");
    return fromEnvironment != nullptr ? fromEnvironment : "";
}

} // namespace qxgui

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-') moduleArgument = argv[i];
    return RUN_ALL_TESTS();
}
