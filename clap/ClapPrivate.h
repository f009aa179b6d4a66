#pragma once
// Our own tools' channel into the CLAP plug-in: the private requests of core/PrivateRequests.h
// (the meter read-out and the panel on the memory-only window layer), carried by a plug-in
// extension of our own instead of VST 2's effVendorSpecific. Hosts never ask for this id.
//
//   const qx_clap_private* p = plugin->get_extension(plugin, QX_CLAP_EXT_PRIVATE);
//   p->request(plugin, QX_METER_INDEX, 0, &readout);
//   p->request(plugin, QX_HEADLESS_INDEX, qxHeadlessOpen, &headlessRequest);
//
// `index`, `command` and `ptr` are exactly what effVendorSpecific's index, value and ptr would
// carry, and the answer is the same (1 done, 0 refused or unknown). Call on the main thread.

#include "clap/ClapAbi.h"

#include <cstdint>

extern "C" {

constexpr const char QX_CLAP_EXT_PRIVATE[] = "com.qem.orv4417-qx/private";

struct qx_clap_private {
    intptr_t(QX_CLAP_ABI* request)(const clap_plugin* plugin, int32_t index, intptr_t command,
                                   void* ptr);
};

} // extern "C"
