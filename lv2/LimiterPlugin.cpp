#include "lv2/LimiterPlugin.h"

#include "core/ParamTable.h"
#include "lv2/Features.h"

#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace qx::lv2 {

namespace {

// The block length the host promises, or 0: the maximum if given, else the nominal one.
int32_t hostBlockLength(const LV2_Options_Option* options, const LV2_URID_Map* map) {
    if (options == nullptr || map == nullptr) return 0;
    const LV2_URID atomInt = map->map(map->handle, LV2_ATOM__Int);
    const LV2_URID maxLength = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
    const LV2_URID nominal = map->map(map->handle, LV2_BUF_SIZE__nominalBlockLength);
    int32_t maxValue = 0, nominalValue = 0;
    for (const LV2_Options_Option* o = options; o->key != 0 || o->value != nullptr; ++o) {
        if (o->context != LV2_OPTIONS_INSTANCE || o->type != atomInt || o->value == nullptr ||
            o->size < sizeof(int32_t))
            continue;
        const int32_t v = *static_cast<const int32_t*>(o->value);
        if (v <= 0) continue;
        if (o->key == maxLength) maxValue = v;
        else if (o->key == nominal) nominalValue = v;
    }
    return maxValue > 0 ? maxValue : nominalValue;
}

uint32_t bitsOf(float v) {
    uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

} // namespace

LimiterPlugin* LimiterPlugin::create(double sampleRate, const LV2_Feature* const* features) {
    return new (std::nothrow) LimiterPlugin(sampleRate, features);
}

LimiterPlugin::LimiterPlugin(double sampleRate, const LV2_Feature* const* features) {
    const auto* map = static_cast<const LV2_URID_Map*>(findFeature(features, LV2_URID__map));
    haveUrids_ = urids_.map(map);
    if (haveUrids_) lv2_atom_forge_init(&forge_, const_cast<LV2_URID_Map*>(map));

    const auto* options =
        static_cast<const LV2_Options_Option*>(findFeature(features, LV2_OPTIONS__options));
    const int32_t block = hostBlockLength(options, haveUrids_ ? map : nullptr);
    model_.setMaxBlockSizeAndSampleRate(block > 0 ? block : kDefaultBlockSize, sampleRate);
    rate_ = model_.sampleRate();
}

void LimiterPlugin::connect(uint32_t port, void* data) {
    if (port < kNumPorts) ports_[port] = data;
}

void LimiterPlugin::activate() {
    model_.activate();
    history_.restart();
    clipHoldLeft_ = 0;
}

void LimiterPlugin::deactivate() { model_.deactivate(); }

// LV2 has no pin query and no timed changes: the control ports apply from the run's first
// sample, missing audio ports or a run before activate leave silence.
void LimiterPlugin::run(uint32_t frames) {
    ParamChange changes[kNumParams];
    const int32_t count = readControls(changes);
    readAcks();

    MeterReader& meters = model_.meters();
    meters.clear();
    const float* in[2] = {static_cast<const float*>(ports_[kPortInLeft]),
                          static_cast<const float*>(ports_[kPortInRight])};
    float* out[2] = {static_cast<float*>(ports_[kPortOutLeft]),
                     static_cast<float*>(ports_[kPortOutRight])};
    model_.process({in, out, frames, false}, changes, count, *this);

    const MeterReading m = meters.peek();
    RunExtremes run;
    run.minGain = m.minGain;
    run.peakOut = m.peakOut;
    run.clip = m.clipHold != 0;
    history_.add(run);
    writeMeterPorts(run, frames);
    writeReport();
}

// A port value lands in the model as a VST 2 setParameter between blocks would: stored
// unchanged, only when its bits differ from the current value's.
int32_t LimiterPlugin::readControls(ParamChange* changes) {
    int32_t count = 0;
    for (int i = 0; i < kNumParams; ++i) {
        const auto* port = static_cast<const float*>(ports_[kPortFirstParam + i]);
        if (port == nullptr) continue;
        const float v = *port;
        if (bitsOf(v) == bitsOf(model_.parameter(i))) continue;
        changes[count++] = {0, i, v};
    }
    return count;
}

void LimiterPlugin::readAcks() {
    const auto* in = static_cast<const LV2_Atom_Sequence*>(ports_[kPortControl]);
    if (in == nullptr || !haveUrids_ || in->atom.size < sizeof(LV2_Atom_Sequence_Body)) return;
    LV2_ATOM_SEQUENCE_FOREACH(in, ev) {
        int64_t sequence = 0;
        if (readMeterAck(urids_, &ev->body, sequence)) history_.acknowledge(sequence);
    }
}

void LimiterPlugin::writeMeterPorts(const RunExtremes& run, uint32_t frames) {
    if (run.clip) clipHoldLeft_ = static_cast<uint64_t>(rate_ * kClipHoldSeconds);
    else clipHoldLeft_ -= std::min<uint64_t>(clipHoldLeft_, frames);

    auto put = [this](uint32_t port, float v) {
        if (auto* p = static_cast<float*>(ports_[port])) *p = v;
    };
    // No reduction is +0 dB, not the -0 the logarithm gives, which generic views print as "-0".
    const float reduction = run.minGain >= 1.0f  ? 0.0f
                            : run.minGain > 0.0f ? -20.0f * std::log10(run.minGain)
                                                 : kMaxReductionDb;
    put(kPortGainReduction, std::clamp(reduction, 0.0f, kMaxReductionDb));
    const float peak = run.peakOut > 0.0f ? 20.0f * std::log10(run.peakOut) : kPeakFloorDb;
    // Within the declared range even for a runaway output (infinite samples): hosts may assume it.
    put(kPortOutputPeak, std::clamp(peak, kPeakFloorDb, kPeakCeilingDb));
    put(kPortClip, clipHoldLeft_ > 0 ? 1.0f : 0.0f);
    put(kPortLatency, 0.0f);
}

void LimiterPlugin::writeReport() {
    auto* out = static_cast<LV2_Atom_Sequence*>(ports_[kPortNotify]);
    if (out == nullptr) return;
    // The host says how much room the buffer has in its atom size.
    const uint32_t capacity = out->atom.size;
    if (!haveUrids_ || capacity < sizeof(LV2_Atom_Sequence)) return;
    lv2_atom_forge_set_buffer(&forge_, reinterpret_cast<uint8_t*>(out), capacity);
    LV2_Atom_Forge_Frame frame;
    lv2_atom_forge_sequence_head(&forge_, &frame, 0);
    // Only a whole event goes in: a time stamp without its object would corrupt the sequence.
    if (capacity >= sizeof(LV2_Atom_Sequence) + sizeof(LV2_Atom_Event) + kReportAtomBytes) {
        MeterReport r;
        r.sequence = history_.lastSequence();
        r.acked = history_.acknowledged();
        r.minGain = history_.pending().minGain;
        r.peakOut = history_.pending().peakOut;
        r.clip = history_.pending().clip;
        r.singleChannel = model_.meters().singleChannel() != 0;
        lv2_atom_forge_frame_time(&forge_, 0);
        writeMeterReport(&forge_, urids_, r);
    }
    lv2_atom_forge_pop(&forge_, &frame);
}

} // namespace qx::lv2
