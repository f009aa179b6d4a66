// Shared entry of the window tests: GoogleTest's options, then the modules to load (VST 2,
// then CLAP).
#include "WindowDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
const char* moduleArgument = nullptr;
const char* clapModuleArgument = nullptr;

const char* argumentOr(const char* argument, const char* variable) {
    if (argument != nullptr) return argument;
    const char* fromEnvironment = std::getenv(variable);
    return fromEnvironment != nullptr ? fromEnvironment : "";
}
} // namespace

namespace qxgui {

const char* modulePath() { return argumentOr(moduleArgument, "QX_MODULE"); }
const char* clapModulePath() { return argumentOr(clapModuleArgument, "QX_CLAP_MODULE"); }

} // namespace qxgui

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') continue;
        if (moduleArgument == nullptr)
            moduleArgument = argv[i];
        else
            clapModuleArgument = argv[i];
    }
    return RUN_ALL_TESTS();
}
