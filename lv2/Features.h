#pragma once
// Looking up a host feature. Unlike the LV2 utility header's lookup, this one also survives a
// host whose feature array holds an entry without a URI.

#include <lv2/core/lv2.h>

#include <cstring>

namespace qx::lv2 {

// The data of the feature `uri`, or null when the host offers none (or no feature array).
inline const void* findFeature(const LV2_Feature* const* features, const char* uri) {
    if (features == nullptr) return nullptr;
    for (const LV2_Feature* const* f = features; *f != nullptr; ++f)
        if ((*f)->URI != nullptr && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    return nullptr;
}

} // namespace qx::lv2
