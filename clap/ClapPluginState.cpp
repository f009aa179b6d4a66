// The instance's state, presets and private channel (see ClapPlugin.h).
#include "clap/ClapPlugin.h"

#include "module/PrivateChannel.h"

#include <cstdio>
#include <cstring>

namespace qx {

bool ClapPlugin::saveState(const clap_ostream* stream) const {
    if (stream == nullptr || stream->write == nullptr || !onMainThreadNow()) return false;
    uint8_t record[StateBlob::kSize];
    const std::size_t size = model_.saveState(record, sizeof record);
    // A stream may take fewer bytes than offered; offer the rest until it has them all.
    for (std::size_t done = 0; done < size;) {
        const int64_t n = stream->write(stream, record + done, size - done);
        if (n <= 0 || static_cast<uint64_t>(n) > size - done) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ClapPlugin::loadState(const clap_istream* stream) {
    if (stream == nullptr || stream->read == nullptr || !onMainThreadNow()) return false;
    // A record's worth: a shorter one is refused by the model, a newer (longer) version by its
    // header.
    uint8_t record[StateBlob::kSize];
    std::size_t size = 0;
    while (size < sizeof record) {
        const int64_t n = stream->read(stream, record + size, sizeof record - size);
        if (n < 0 || static_cast<uint64_t>(n) > sizeof record - size) return false;
        if (n == 0) break;
        size += static_cast<std::size_t>(n);
    }
    if (model_.loadState(record, size) != StateBlob::Result::Ok) return false;
    defer(kRescanValues);
    return true;
}

// Presets live in the module (location kind "plugin", no location); the load key is the
// program number, 0 to 9, as the preset provider lists them.
bool ClapPlugin::loadPreset(uint32_t kind, const char* location, const char* key) {
    if (!onMainThreadNow()) return false;
    const bool plugin = kind == CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN && location == nullptr;
    const bool digit = key != nullptr && key[0] >= '0' && key[0] <= '9' && key[1] == '\0';
    const bool loaded = plugin && digit && model_.selectProgram(key[0] - '0');
    char* kept = loaded ? loadedKey_ : failedKey_;
    std::snprintf(kept, sizeof loadedKey_, "%s", key != nullptr ? key : "");
    defer(loaded ? kRescanValues | kPresetLoaded : kPresetFailed);
    return loaded;
}

intptr_t ClapPlugin::privateRequest(int32_t index, intptr_t command, void* ptr) {
    return onMainThreadNow() ? PrivateChannel::answer(model_, &panel_, index, command, ptr) : 0;
}

} // namespace qx
