// `qxhost info PLUGIN`: everything a host learns about the plug-in before any audio runs.
// The output holds no addresses, so runs of the Linux and Windows builds can be compared.
#include "host/Commands.h"
#include "host/PluginSession.h"

#include <cstdio>

namespace qxhost {

int runInfoCommand(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr, "qxhost info: expected exactly one PLUGIN argument\n");
        return 2;
    }
    const auto s = PluginSession::forModule(argv[0]);
    if (!s->open(argv[0])) {
        std::fprintf(stderr, "qxhost info: %s\n", s->error().c_str());
        return 1;
    }
    s->printInfo(stdout);
    return 0;
}

} // namespace qxhost
