#include "host/PluginSession.h"

#include "host/HostSession.h"

namespace qxhost {

std::unique_ptr<PluginSession> PluginSession::forModule(const std::string&) {
    return std::make_unique<HostSession>();
}

} // namespace qxhost
