#include "host/PluginSession.h"

#include "host/ClapSession.h"
#include "host/HostSession.h"

namespace qxhost {

std::unique_ptr<PluginSession> PluginSession::forModule(const std::string& path) {
    const std::string clap = ".clap";
    if (path.size() > clap.size() &&
        path.compare(path.size() - clap.size(), clap.size(), clap) == 0)
        return std::make_unique<ClapSession>();
    return std::make_unique<HostSession>();
}

} // namespace qxhost
