// The module's one export, `clap_entry`: init and deinit (counted, so a host may pair them any
// number of times), and the factories: the plug-in factory with its one plug-in, and the preset
// discovery factory.
#include "clap/ClapAbi.h"
#include "clap/ClapPlugin.h"
#include "clap/PresetProvider.h"

#include <atomic>
#include <cstring>

#if defined(_WIN32)
#define QX_CLAP_EXPORT __declspec(dllexport)
#else
#define QX_CLAP_EXPORT __attribute__((visibility("default")))
#endif

namespace qx {

namespace {

// The id is ours and never changes: hosts store sessions and presets under it.
constexpr const char* kFeatures[] = {"audio-effect", "limiter", "compressor", "stereo", nullptr};

std::atomic<int32_t> initCount{0};

uint32_t QX_CLAP_ABI pluginCount(const clap_plugin_factory*) {
    return 1;
}

const clap_plugin_descriptor* QX_CLAP_ABI pluginDescriptor(const clap_plugin_factory*,
                                                           uint32_t index) {
    return index == 0 ? &ClapPlugin::kDescriptor : nullptr;
}

const clap_plugin* QX_CLAP_ABI createPlugin(const clap_plugin_factory*, const clap_host* host,
                                            const char* id) {
    if (initCount.load() <= 0 || id == nullptr || std::strcmp(id, ClapPlugin::kDescriptor.id) != 0)
        return nullptr;
    return ClapPlugin::create(host);
}

const clap_plugin_factory kPluginFactory = {pluginCount, pluginDescriptor, createPlugin};

bool QX_CLAP_ABI entryInit(const char*) {
    initCount.fetch_add(1);
    return true;
}

// More deinits than inits are ignored.
void QX_CLAP_ABI entryDeinit() {
    int32_t n = initCount.load();
    while (n > 0 && !initCount.compare_exchange_weak(n, n - 1)) {
    }
}

const void* QX_CLAP_ABI entryFactory(const char* id) {
    if (initCount.load() <= 0 || id == nullptr) return nullptr;
    if (std::strcmp(id, CLAP_PLUGIN_FACTORY_ID) == 0) return &kPluginFactory;
    if (std::strcmp(id, CLAP_PRESET_DISCOVERY_FACTORY_ID) == 0 ||
        std::strcmp(id, CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT) == 0)
        return &PresetProvider::kFactory;
    return nullptr;
}

} // namespace

const clap_plugin_descriptor ClapPlugin::kDescriptor = {
    {1, 2, 0},       "com.qem.orv4417-qx",         "Orv4417-QX", "Qem v1.0", "", "", "",
    QX_VERSION_TEXT, "Stereo limiting compressor", kFeatures};

} // namespace qx

extern "C" QX_CLAP_EXPORT const clap_plugin_entry clap_entry = {
    {1, 2, 0}, qx::entryInit, qx::entryDeinit, qx::entryFactory};
