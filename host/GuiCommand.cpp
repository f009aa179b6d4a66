#include "host/Commands.h"

#include <cstdio>

namespace qxhost {

int runGuiCommand(int, char**) {
    std::fprintf(stderr, "qxhost gui: not built yet\n");
    return 2;
}

} // namespace qxhost
