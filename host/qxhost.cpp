// qxhost: load the plug-in like a host does and list it, run audio through it, render its panel
// or open it in a window.
#include "host/Commands.h"

#include <cstdio>
#include <cstring>

namespace {

void usage() {
    std::fprintf(stderr,
                 "usage: qxhost info PLUGIN\n"
                 "       qxhost process PLUGIN IN OUT [options]\n"
                 "       qxhost process PLUGIN IN... --out-dir DIR [options]\n"
                 "         --param NAME=VALUE   a number from 0 to 1 or a switch's word (Limit=Soft)\n"
                 "         --program N          program 0 to 9 before the parameters\n"
                 "         --block N            frames per process call (512)\n"
                 "         --replace | --accumulate   processReplacing (default) or process\n"
                 "         --float              32-bit float output\n"
                 "         --dither tpdf        triangular dither on integer output\n"
                 "         --plot FILE.png|.svg [--plot-size WxH]   level and gain-reduction plot\n"
                 "         --json FILE|-        the summary as JSON\n"
                 "       qxhost panel PLUGIN OUT.png [--param NAME=VALUE ...]\n"
                 "                    [--meter GAIN,PEAK | --input FILE [process options]]\n"
                 "       qxhost gui PLUGIN [--seconds N]\n"
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
