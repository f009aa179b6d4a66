// `qxhost info` for a CLAP module: the descriptor, the extensions the plug-in offers and their
// answers, the parameters and the presets it lists. No addresses, so builds can be compared.
#include "host/ClapSession.h"

#include "clap/ClapPrivate.h"

#include <cstring>

namespace qxhost {

namespace {

const char* orEmpty(const char* s) {
    return s != nullptr ? s : "";
}

// An indexer that keeps the locations a provider declares, and a receiver that keeps presets.
struct Discovery {
    std::vector<std::pair<uint32_t, std::string>> locations; // kind, location ("" for null)
    std::vector<ClapSession::Preset> presets;
};

Discovery* discoveryOf(const void* data) {
    return static_cast<Discovery*>(const_cast<void*>(data));
}

bool QX_CLAP_ABI declareFiletype(const clap_preset_discovery_indexer*,
                                 const clap_preset_discovery_filetype*) {
    return true;
}
bool QX_CLAP_ABI declareLocation(const clap_preset_discovery_indexer* indexer,
                                 const clap_preset_discovery_location* location) {
    if (location == nullptr) return false;
    discoveryOf(indexer->indexer_data)
        ->locations.emplace_back(location->kind, orEmpty(location->location));
    return true;
}
bool QX_CLAP_ABI declareSoundpack(const clap_preset_discovery_indexer*,
                                  const clap_preset_discovery_soundpack*) {
    return true;
}
const void* QX_CLAP_ABI indexerExtension(const clap_preset_discovery_indexer*, const char*) {
    return nullptr;
}

void QX_CLAP_ABI onError(const clap_preset_discovery_metadata_receiver*, int32_t, const char*) {}
bool QX_CLAP_ABI beginPreset(const clap_preset_discovery_metadata_receiver* r, const char* name,
                             const char* key) {
    discoveryOf(r->receiver_data)->presets.push_back({orEmpty(name), orEmpty(key)});
    return true;
}
void QX_CLAP_ABI addPluginId(const clap_preset_discovery_metadata_receiver*,
                             const clap_universal_plugin_id*) {}
void QX_CLAP_ABI setText(const clap_preset_discovery_metadata_receiver*, const char*) {}
void QX_CLAP_ABI setFlags(const clap_preset_discovery_metadata_receiver*, uint32_t) {}
void QX_CLAP_ABI setTimestamps(const clap_preset_discovery_metadata_receiver*, uint64_t, uint64_t) {
}
void QX_CLAP_ABI addExtraInfo(const clap_preset_discovery_metadata_receiver*, const char*,
                              const char*) {}

} // namespace

std::vector<ClapSession::Preset> ClapSession::listPresets() const {
    Discovery found;
    const auto* factory = entry_ != nullptr
                              ? static_cast<const clap_preset_discovery_factory*>(
                                    entry_->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID))
                              : nullptr;
    if (factory == nullptr) return {};
    const clap_preset_discovery_indexer indexer = {
        {1, 2, 0},       "qxhost",         "Qem v1.0",      "", "1.0", &found, declareFiletype,
        declareLocation, declareSoundpack, indexerExtension};
    const clap_preset_discovery_metadata_receiver receiver = {
        &found,  onError, beginPreset,   addPluginId, setText,     setFlags,
        setText, setText, setTimestamps, setText,     addExtraInfo};
    for (uint32_t i = 0; i < factory->count(factory); ++i) {
        const auto* d = factory->get_descriptor(factory, i);
        const auto* provider = d != nullptr ? factory->create(factory, &indexer, d->id) : nullptr;
        if (provider == nullptr) continue;
        found.locations.clear();
        if (provider->init(provider))
            for (const auto& location : found.locations)
                if (location.first == CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN)
                    provider->get_metadata(provider, location.first, nullptr, &receiver);
        provider->destroy(provider);
    }
    return found.presets;
}

void ClapSession::printInfo(std::FILE* out) {
    if (plugin_ == nullptr) return;
    const clap_plugin_descriptor* d = plugin_->desc;
    std::fprintf(out, "format         CLAP %u.%u.%u\n", entry_->clap_version.major,
                 entry_->clap_version.minor, entry_->clap_version.revision);
    std::fprintf(out, "id             \"%s\"\n", orEmpty(d->id));
    std::fprintf(out, "name           \"%s\"\n", orEmpty(d->name));
    std::fprintf(out, "vendor         \"%s\"\n", orEmpty(d->vendor));
    std::fprintf(out, "version        \"%s\"\n", orEmpty(d->version));
    std::fprintf(out, "description    \"%s\"\n", orEmpty(d->description));
    std::fprintf(out, "features      ");
    for (const char* const* f = d->features; f != nullptr && *f != nullptr; ++f)
        std::fprintf(out, " %s", *f);
    std::fprintf(out, "\nextensions    ");
    for (const char* id : {CLAP_EXT_PARAMS, CLAP_EXT_AUDIO_PORTS, CLAP_EXT_STATE, CLAP_EXT_LATENCY,
                           CLAP_EXT_TAIL, CLAP_EXT_GUI, CLAP_EXT_TIMER_SUPPORT,
                           CLAP_EXT_POSIX_FD_SUPPORT, CLAP_EXT_PRESET_LOAD, QX_CLAP_EXT_PRIVATE})
        if (plugin_->get_extension(plugin_, id) != nullptr) std::fprintf(out, " %s", id);
    std::fprintf(out, "\n");

    if (const auto* ports = ext<clap_plugin_audio_ports>(CLAP_EXT_AUDIO_PORTS)) {
        for (bool input : {true, false}) {
            for (uint32_t i = 0; i < ports->count(plugin_, input); ++i) {
                clap_audio_port_info p{};
                if (!ports->get(plugin_, i, input, &p)) continue;
                std::fprintf(out, "audio %-3s %u     \"%s\" %u channels, %s%s, in place with %d\n",
                             input ? "in" : "out", i, p.name, p.channel_count, orEmpty(p.port_type),
                             (p.flags & CLAP_AUDIO_PORT_IS_MAIN) != 0 ? ", main" : "",
                             static_cast<int>(p.in_place_pair));
            }
        }
    }
    if (const auto* latency = ext<clap_plugin_latency>(CLAP_EXT_LATENCY))
        std::fprintf(out, "latency        %u\n", latency->get(plugin_));
    if (const auto* tail = ext<clap_plugin_tail>(CLAP_EXT_TAIL))
        std::fprintf(out, "tail           %u\n", tail->get(plugin_));
    if (const auto* gui = ext<clap_plugin_gui>(CLAP_EXT_GUI)) {
        const char* api = nullptr;
        bool floating = false;
        uint32_t w = 0, h = 0;
        if (gui->get_preferred_api(plugin_, &api, &floating) &&
            gui->create(plugin_, api, floating)) {
            gui->get_size(plugin_, &w, &h);
            std::fprintf(out, "editor         %s%s, %u x %u, %s\n", orEmpty(api),
                         floating ? " floating" : " embedded", w, h,
                         gui->can_resize(plugin_) ? "resizable" : "fixed size");
            gui->destroy(plugin_);
        }
    }

    std::fprintf(out, "\nparameters (id | name | range, default | text):\n");
    const auto* params = ext<clap_plugin_params>(CLAP_EXT_PARAMS);
    for (int32_t i = 0; i < parameterCount(); ++i) {
        clap_param_info p{};
        if (!params->get_info(plugin_, i, &p)) continue;
        std::fprintf(out, "%2u  \"%s\" | %g..%g%s%s, %g | \"%s\"\n", p.id, p.name, p.min_value,
                     p.max_value, (p.flags & CLAP_PARAM_IS_STEPPED) != 0 ? " stepped" : "",
                     (p.flags & CLAP_PARAM_IS_AUTOMATABLE) != 0 ? " automatable" : "",
                     p.default_value, parameterText(i).c_str());
    }
    std::fprintf(out, "\npresets (key | name):\n");
    for (const Preset& p : listPresets())
        std::fprintf(out, "%2s  \"%s\"\n", p.key.c_str(), p.name.c_str());
}

} // namespace qxhost
