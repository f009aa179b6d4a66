// Builds without cairo (the Windows hosts) keep the levels but cannot draw them.
#include "host/LevelPlot.h"

namespace qxhost {

bool LevelPlot::available() { return false; }

std::vector<std::string> LevelPlot::extensions() { return {}; }

bool LevelPlot::write(const std::string&, const std::string&, std::string& error) const {
    error = "plots are not available in this build";
    return false;
}

} // namespace qxhost
