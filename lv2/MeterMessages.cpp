#include "lv2/MeterMessages.h"

#include <lv2/atom/util.h>

namespace qx::lv2 {

bool MeterUrids::map(const LV2_URID_Map* m) {
    *this = MeterUrids{};
    if (m == nullptr || m->map == nullptr) return false;
    auto id = [m](const char* uri) { return m->map(m->handle, uri); };
    atomObject = id(LV2_ATOM__Object);
    atomLong = id(LV2_ATOM__Long);
    atomFloat = id(LV2_ATOM__Float);
    atomBool = id(LV2_ATOM__Bool);
    atomEventTransfer = id(LV2_ATOM__eventTransfer);
    meterReport = id(kMeterReport);
    meterAck = id(kMeterAck);
    sequence = id(kSequence);
    acked = id(kAcked);
    minGain = id(kMinGain);
    peakOut = id(kPeakOut);
    clip = id(kClip);
    singleChannel = id(kSingleChannel);
    return true;
}

LV2_Atom_Forge_Ref writeMeterReport(LV2_Atom_Forge* forge, const MeterUrids& u,
                                    const MeterReport& r) {
    LV2_Atom_Forge_Frame frame;
    const LV2_Atom_Forge_Ref ref = lv2_atom_forge_object(forge, &frame, 0, u.meterReport);
    if (ref == 0) return 0;
    // Each write returns 0 once the buffer is full; the forge then stays failed, so checking the
    // last one suffices.
    lv2_atom_forge_key(forge, u.sequence);
    lv2_atom_forge_long(forge, r.sequence);
    lv2_atom_forge_key(forge, u.acked);
    lv2_atom_forge_long(forge, r.acked);
    lv2_atom_forge_key(forge, u.minGain);
    lv2_atom_forge_float(forge, r.minGain);
    lv2_atom_forge_key(forge, u.peakOut);
    lv2_atom_forge_float(forge, r.peakOut);
    lv2_atom_forge_key(forge, u.clip);
    lv2_atom_forge_bool(forge, r.clip);
    lv2_atom_forge_key(forge, u.singleChannel);
    const LV2_Atom_Forge_Ref last = lv2_atom_forge_bool(forge, r.singleChannel);
    lv2_atom_forge_pop(forge, &frame);
    return last == 0 ? 0 : ref;
}

namespace {

// The object body, if `atom` is an object of `type` whose properties fit in its own size.
const LV2_Atom_Object* objectOf(const MeterUrids& u, const LV2_Atom* atom, LV2_URID type) {
    if (atom == nullptr || u.atomObject == 0 || atom->type != u.atomObject ||
        atom->size < sizeof(LV2_Atom_Object_Body))
        return nullptr;
    const auto* obj = reinterpret_cast<const LV2_Atom_Object*>(atom);
    return obj->body.otype == type ? obj : nullptr;
}

// Walks the properties with bounds checks of our own: lv2_atom_object_get trusts the sizes.
template <typename Visit>
void eachProperty(const LV2_Atom_Object* obj, Visit visit) {
    const auto* base = reinterpret_cast<const uint8_t*>(&obj->body);
    const uint32_t end = obj->atom.size;
    uint32_t at = sizeof(LV2_Atom_Object_Body);
    while (at + sizeof(LV2_Atom_Property_Body) <= end) {
        const auto* p = reinterpret_cast<const LV2_Atom_Property_Body*>(base + at);
        const uint32_t bytes = static_cast<uint32_t>(sizeof(LV2_Atom_Property_Body)) + p->value.size;
        if (p->value.size > end - at - sizeof(LV2_Atom_Property_Body)) return;
        visit(p->key, p->value);
        at += lv2_atom_pad_size(bytes);
    }
}

} // namespace

bool readMeterReport(const MeterUrids& u, const LV2_Atom* atom, MeterReport& out) {
    const LV2_Atom_Object* obj = objectOf(u, atom, u.meterReport);
    if (obj == nullptr) return false;
    MeterReport r;
    bool haveSequence = false, haveAcked = false;
    eachProperty(obj, [&](LV2_URID key, const LV2_Atom& v) {
        const void* body = &v + 1;
        if (key == u.sequence && v.type == u.atomLong && v.size >= sizeof(int64_t)) {
            r.sequence = *static_cast<const int64_t*>(body);
            haveSequence = true;
        } else if (key == u.acked && v.type == u.atomLong && v.size >= sizeof(int64_t)) {
            r.acked = *static_cast<const int64_t*>(body);
            haveAcked = true;
        } else if (key == u.minGain && v.type == u.atomFloat && v.size >= sizeof(float)) {
            r.minGain = *static_cast<const float*>(body);
        } else if (key == u.peakOut && v.type == u.atomFloat && v.size >= sizeof(float)) {
            r.peakOut = *static_cast<const float*>(body);
        } else if (key == u.clip && v.type == u.atomBool && v.size >= sizeof(int32_t)) {
            r.clip = *static_cast<const int32_t*>(body) != 0;
        } else if (key == u.singleChannel && v.type == u.atomBool && v.size >= sizeof(int32_t)) {
            r.singleChannel = *static_cast<const int32_t*>(body) != 0;
        }
    });
    if (!haveSequence || !haveAcked) return false;
    out = r;
    return true;
}

LV2_Atom_Forge_Ref writeMeterAck(LV2_Atom_Forge* forge, const MeterUrids& u, int64_t sequence) {
    LV2_Atom_Forge_Frame frame;
    const LV2_Atom_Forge_Ref ref = lv2_atom_forge_object(forge, &frame, 0, u.meterAck);
    if (ref == 0) return 0;
    lv2_atom_forge_key(forge, u.sequence);
    const LV2_Atom_Forge_Ref last = lv2_atom_forge_long(forge, sequence);
    lv2_atom_forge_pop(forge, &frame);
    return last == 0 ? 0 : ref;
}

bool readMeterAck(const MeterUrids& u, const LV2_Atom* atom, int64_t& sequence) {
    const LV2_Atom_Object* obj = objectOf(u, atom, u.meterAck);
    if (obj == nullptr) return false;
    bool found = false;
    eachProperty(obj, [&](LV2_URID key, const LV2_Atom& v) {
        if (key == u.sequence && v.type == u.atomLong && v.size >= sizeof(int64_t)) {
            sequence = *reinterpret_cast<const int64_t*>(&v + 1);
            found = true;
        }
    });
    return found;
}

} // namespace qx::lv2
