#pragma once
// The ten programs for a host's preset browser: a preset-discovery factory with one provider,
// whose one location is the module itself. Each program is listed by its table name with its
// number as the load key; ClapPlugin's preset-load takes that key back. Presets are the factory
// programs: names a user gives programs in an instance live in that instance's state.
//
// Threads: every call may come from any thread, as the factory requires; providers share nothing.

#include "clap/ClapAbi.h"

namespace qx {

class PresetProvider {
  public:
    static const clap_preset_discovery_factory kFactory;
    static const clap_preset_discovery_provider_descriptor kDescriptor;
};

} // namespace qx
