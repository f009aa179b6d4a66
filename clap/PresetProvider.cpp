#include "clap/PresetProvider.h"

#include "clap/ClapPlugin.h"
#include "model/ProgramBank.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace qx {

namespace {

struct Provider {
    clap_preset_discovery_provider record;
    const clap_preset_discovery_indexer* indexer;
};

const clap_preset_discovery_indexer* indexerOf(const clap_preset_discovery_provider* p) {
    return p != nullptr && p->desc == &PresetProvider::kDescriptor
               ? static_cast<const Provider*>(p->provider_data)->indexer
               : nullptr;
}

bool QX_CLAP_ABI providerInit(const clap_preset_discovery_provider* p) {
    const clap_preset_discovery_indexer* indexer = indexerOf(p);
    if (indexer == nullptr || indexer->declare_location == nullptr) return false;
    const clap_preset_discovery_location location = {
        CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT, ClapPlugin::kDescriptor.name,
        CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr};
    return indexer->declare_location(indexer, &location);
}

void QX_CLAP_ABI providerDestroy(const clap_preset_discovery_provider* p) {
    if (indexerOf(p) != nullptr) delete static_cast<Provider*>(p->provider_data);
}

bool QX_CLAP_ABI providerMetadata(const clap_preset_discovery_provider* p, uint32_t kind,
                                  const char* location,
                                  const clap_preset_discovery_metadata_receiver* receiver) {
    if (indexerOf(p) == nullptr || kind != CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN ||
        location != nullptr || receiver == nullptr || receiver->begin_preset == nullptr)
        return false;
    const clap_universal_plugin_id id = {"clap", ClapPlugin::kDescriptor.id};
    for (int32_t program = 0; program < ProgramBank::kNumPrograms; ++program) {
        char name[32];
        ProgramBank::tableName(program, name);
        for (std::size_t n = std::strlen(name); n > 0 && name[n - 1] == ' '; --n)
            name[n - 1] = '\0';
        char key[8];
        std::snprintf(key, sizeof key, "%d", static_cast<int>(program));
        if (!receiver->begin_preset(receiver, name, key)) break;
        if (receiver->add_plugin_id != nullptr) receiver->add_plugin_id(receiver, &id);
        if (receiver->set_flags != nullptr)
            receiver->set_flags(receiver, CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT);
    }
    return true;
}

const void* QX_CLAP_ABI providerExtension(const clap_preset_discovery_provider*, const char*) {
    return nullptr;
}

uint32_t QX_CLAP_ABI factoryCount(const clap_preset_discovery_factory*) {
    return 1;
}

const clap_preset_discovery_provider_descriptor* QX_CLAP_ABI
factoryDescriptor(const clap_preset_discovery_factory*, uint32_t index) {
    return index == 0 ? &PresetProvider::kDescriptor : nullptr;
}

const clap_preset_discovery_provider* QX_CLAP_ABI
factoryCreate(const clap_preset_discovery_factory*, const clap_preset_discovery_indexer* indexer,
              const char* id) {
    if (indexer == nullptr || id == nullptr || std::strcmp(id, PresetProvider::kDescriptor.id) != 0)
        return nullptr;
    auto* provider = new (std::nothrow) Provider{};
    if (provider == nullptr) return nullptr;
    provider->record = {&PresetProvider::kDescriptor,
                        provider,
                        providerInit,
                        providerDestroy,
                        providerMetadata,
                        providerExtension};
    provider->indexer = indexer;
    return &provider->record;
}

} // namespace

const clap_preset_discovery_provider_descriptor PresetProvider::kDescriptor = {
    {1, 2, 0}, "com.qem.orv4417-qx.programs", "Orv4417-QX programs", "Qem v1.0"};

const clap_preset_discovery_factory PresetProvider::kFactory = {factoryCount, factoryDescriptor,
                                                                factoryCreate};

} // namespace qx
