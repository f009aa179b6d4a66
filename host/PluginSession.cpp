#include "host/PluginSession.h"

#include "host/ClapSession.h"
#include "host/HostSession.h"
#include "host/Vst3Session.h"

namespace qxhost {

std::unique_ptr<PluginSession> PluginSession::forModule(const std::string& path) {
    std::string bundle = path;
    while (!bundle.empty() && (bundle.back() == '/' || bundle.back() == '\\'))
        bundle.pop_back();
    const std::string vst3 = ".vst3";
    if (bundle.size() > vst3.size() &&
        bundle.compare(bundle.size() - vst3.size(), vst3.size(), vst3) == 0)
        return std::make_unique<Vst3Session>();
    const std::string clap = ".clap";
    if (path.size() > clap.size() &&
        path.compare(path.size() - clap.size(), clap.size(), clap) == 0)
        return std::make_unique<ClapSession>();
    return std::make_unique<HostSession>();
}

} // namespace qxhost
