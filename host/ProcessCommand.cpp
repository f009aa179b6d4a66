#include "host/Commands.h"

#include <cstdio>

namespace qxhost {

int runProcessCommand(int, char**) {
    std::fprintf(stderr, "qxhost process: not built yet\n");
    return 2;
}

} // namespace qxhost
