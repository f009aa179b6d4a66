#pragma once
// What the LV2 plug-in and its UI say to each other: URIs, port numbers and the meter messages.
//
// The UI may live in another process and hosts deliver port events at their own pace (often
// 25 per second, sometimes only the newest event), so the meters cannot be a value the UI reads
// and clears, as the VST 2 panel does. Instead:
//
// DSP -> UI, atom output port `notify` (kPortNotify), one atom:Object of type kMeterReport per
// run while the port is connected:
//     kSequence      atom:Long   number of the run (1, 2, 3 ... since instantiation)
//     kAcked         atom:Long   sequence number of the last ack the DSP applied before this run
//     kMinGain       atom:Float  smallest applied gain over the runs the UI has not acknowledged
//     kPeakOut       atom:Float  largest |output sample| over those runs
//     kClip          atom:Bool   an output sample above 1.0 in those runs
//     kSingleChannel atom:Bool   exactly one input channel processed in this run
// Every report covers all runs after the last acknowledged one, so a UI that sees only the newest
// report of a burst still sees every extreme.
//
// UI -> DSP, atom input port `control` (kPortControl): after taking a report (one panel tick),
// the UI sends one atom:Object of type kMeterAck whose kSequence is the sequence number of the
// report it took. The DSP then drops exactly the runs up to that number: it keeps the extremes of
// its last kHistoryRuns runs in a fixed ring and rebuilds "everything after s" from it. An ack
// older than the ring cannot be rebuilt exactly; then nothing is dropped (min/max are idempotent,
// so the UI at worst sees an extreme twice, never loses one). Acks that are older than the last
// one, or name a run that has not happened, are ignored.
//
// An ack takes effect only at the start of a run the DSP makes after it arrives, so a report made
// in between still holds the runs the UI took. kAcked tells the UI which: a report whose kAcked is
// older than the last ack the UI sent is stale, and the UI leaves it (no take, no ack). The runs
// new in it stay pending until the DSP applies the ack, so a later report brings them: delayed,
// never lost, never taken twice. An ack too old for the ring still counts as applied: it dropped
// nothing, so what the UI takes next may repeat an extreme, as said above, but holds every one.
//
// Until the first ack the reports cover every run since activation; activate starts afresh and
// counts every earlier ack as applied.
// Both atom ports are lv2:connectionOptional: without them the plug-in runs as usual, and the
// control outputs (gain reduction, output peak, clip) serve hosts' generic views.

#include "dsp/LimiterEngine.h"

#include <cstdint>

namespace qx::lv2 {

constexpr const char* kPluginUri = "urn:qem:orv4417-qx";
constexpr const char* kUiUri = "urn:qem:orv4417-qx#ui";

// Message vocabulary (URIDs mapped through the host's urid:map).
constexpr const char* kMeterReport = "urn:qem:orv4417-qx#MeterReport";
constexpr const char* kMeterAck = "urn:qem:orv4417-qx#MeterAck";
constexpr const char* kSequence = "urn:qem:orv4417-qx#sequence";
constexpr const char* kAcked = "urn:qem:orv4417-qx#acked";
constexpr const char* kMinGain = "urn:qem:orv4417-qx#minGain";
constexpr const char* kPeakOut = "urn:qem:orv4417-qx#peakOut";
constexpr const char* kClip = "urn:qem:orv4417-qx#clip";
constexpr const char* kSingleChannel = "urn:qem:orv4417-qx#singleChannel";

// Port numbers, in the order of the plug-in description.
enum Port : uint32_t {
    kPortInLeft = 0,
    kPortInRight = 1,
    kPortOutLeft = 2,
    kPortOutRight = 3,
    kPortFirstParam = 4,           // the eleven parameters, in parameter order
    kPortGainReduction = 15,       // control output, dB (0 = no reduction)
    kPortOutputPeak = 16,          // control output, dBFS, kPeakFloorDb..kPeakCeilingDb
    kPortClip = 17,                // control output, 1 for kClipHoldSeconds after a clip
    kPortLatency = 18,             // control output, always 0
    kPortControl = 19,             // atom input: kMeterAck
    kPortNotify = 20,              // atom output: kMeterReport
    kNumPorts = 21,
};

constexpr int kHistoryRuns = 256;        // runs the DSP can rebuild after an ack
constexpr float kPeakFloorDb = -90.0f;   // output peak port's value for silence
constexpr float kPeakCeilingDb = 12.0f;  // output peak port's upper bound
constexpr float kMaxReductionDb = 60.0f; // gain reduction port's upper bound
// As long as the panel's clip LED stays lit: its hold in ticks of 30 ms.
constexpr double kClipHoldSeconds = kClipHoldTicks * 30 / 1000.0;

// Room one report needs in the notify buffer (object header and six properties, padded).
constexpr uint32_t kReportAtomBytes = 160;

} // namespace qx::lv2
