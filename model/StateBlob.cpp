#include "model/StateBlob.h"

#include <cstring>

namespace qx {

namespace {

constexpr uint8_t kMagic[4] = {'Q', 'X', 's', 't'};
constexpr std::size_t kChecked = StateBlob::kSize - 4;

// CRC-32 as zlib computes it (reflected, polynomial 0xEDB88320), bit by bit: the record is
// 744 bytes and read once per state load, so no table is worth its space.
uint32_t crc32(const uint8_t* data, std::size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= data[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void put32(uint8_t*& p, uint32_t v) {
    for (int i = 0; i < 4; ++i) *p++ = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t get32(const uint8_t*& p) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(*p++) << (8 * i);
    return v;
}

void putFloat(uint8_t*& p, float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    put32(p, v);
}

float getFloat(const uint8_t*& p) {
    const uint32_t v = get32(p);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

} // namespace

void StateBlob::write(const Contents& c, uint8_t* out) {
    uint8_t* p = out;
    std::memcpy(p, kMagic, 4);
    p += 4;
    put32(p, kVersion);
    put32(p, static_cast<uint32_t>(kSize));
    put32(p, static_cast<uint32_t>(c.program));
    for (float v : c.values) putFloat(p, v);
    for (int32_t prog = 0; prog < kPrograms; ++prog) {
        for (float v : c.programValues[prog]) putFloat(p, v);
        std::memset(p, 0, kNameBytes);
        std::memcpy(p, c.names[prog], strnlen(c.names[prog], kNameBytes - 1));
        p += kNameBytes;
    }
    put32(p, crc32(out, kChecked));
}

StateBlob::Result StateBlob::read(const void* data, std::size_t size, Contents& out) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (bytes == nullptr || size < 12) return Result::Short;
    if (std::memcmp(bytes, kMagic, 4) != 0) return Result::Foreign;
    const uint8_t* p = bytes + 4;
    const uint32_t version = get32(p);
    const uint32_t declared = get32(p);
    if (version > kVersion) return Result::NewerVersion;
    if (version != kVersion || declared != kSize) return Result::Damaged;
    if (size < kSize) return Result::Short;
    const uint8_t* tail = bytes + kChecked;
    if (get32(tail) != crc32(bytes, kChecked)) return Result::Damaged;

    Contents c;
    c.program = static_cast<int32_t>(get32(p));
    if (c.program < 0 || c.program >= kPrograms) return Result::Damaged;
    for (float& v : c.values) v = getFloat(p);
    for (int32_t prog = 0; prog < kPrograms; ++prog) {
        for (float& v : c.programValues[prog]) v = getFloat(p);
        if (std::memchr(p, 0, kNameBytes) == nullptr) return Result::Damaged;
        std::memcpy(c.names[prog], p, kNameBytes);
        p += kNameBytes;
    }
    out = c;
    return Result::Ok;
}

const char* StateBlob::describe(Result result) {
    switch (result) {
    case Result::Ok:
        return "state loaded";
    case Result::Short:
        return "the saved state is cut short";
    case Result::Foreign:
        return "the saved state is not this plug-in's";
    case Result::NewerVersion:
        return "the saved state comes from a newer version of this plug-in";
    case Result::Damaged:
        return "the saved state is damaged";
    }
    return "unknown";
}

} // namespace qx
