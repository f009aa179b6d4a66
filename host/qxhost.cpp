// qxhost: load the plug-in like a host does and list it, run audio through it, render its panel
// or open it in a window.
#include "host/Commands.h"

#include <cstdio>
#include <cstring>

namespace {

void usage() {
    std::fprintf(stderr,
                 "usage: qxhost info PLUGIN\n"
                 "       qxhost process PLUGIN IN OUT [--param NAME=VALUE ...] [--program N]\n"
                 "                      [--block N] [--replace|--accumulate] [--float]\n"
                 "                      [--plot PNG]\n"
                 "       qxhost panel PLUGIN OUT.png [--param NAME=VALUE ...] [--meter GAIN,PEAK]\n"
                 "       qxhost gui PLUGIN\n"
                 "       qxhost demo OUT.wav [SECONDS]\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        usage();
        return 2;
    }
    const char* command = argv[1];
    if (std::strcmp(command, "info") == 0) return qxhost::runInfoCommand(argc - 2, argv + 2);
    if (std::strcmp(command, "process") == 0) return qxhost::runProcessCommand(argc - 2, argv + 2);
    if (std::strcmp(command, "panel") == 0) return qxhost::runPanelCommand(argc - 2, argv + 2);
    if (std::strcmp(command, "demo") == 0) return qxhost::runDemoCommand(argc - 2, argv + 2);
    if (std::strcmp(command, "gui") == 0) return qxhost::runGuiCommand(argc - 2, argv + 2);
    if (std::strcmp(command, "--help") == 0 || std::strcmp(command, "-h") == 0) {
        usage();
        return 0;
    }
    std::fprintf(stderr, "qxhost: unknown command '%s'\n", command);
    return 2;
}
