#include "host/Commands.h"

#include <cstdio>

namespace qxhost {

int runPanelCommand(int, char**) {
    std::fprintf(stderr, "qxhost panel: not built yet\n");
    return 2;
}

} // namespace qxhost
