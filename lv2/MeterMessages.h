#pragma once
// Reading and writing the meter messages of MeterProtocol.h with the LV2 atom forge. Shared by the
// DSP and the UI; nothing here allocates, locks or calls the system, so both sides may use it on
// any thread.

#include "lv2/MeterProtocol.h"

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/urid/urid.h>

#include <cstdint>

namespace qx::lv2 {

// URIDs of the message vocabulary and of the atom types it uses.
struct MeterUrids {
    LV2_URID atomObject = 0, atomLong = 0, atomFloat = 0, atomBool = 0, atomEventTransfer = 0;
    LV2_URID meterReport = 0, meterAck = 0;
    LV2_URID sequence = 0, acked = 0, minGain = 0, peakOut = 0, clip = 0, singleChannel = 0;

    // Maps every URI through the host's map. False (and all zero) without a map.
    bool map(const LV2_URID_Map* map);
};

// One report: the extremes over the runs after the last acknowledged one.
struct MeterReport {
    int64_t sequence = 0;
    int64_t acked = 0;  // the last ack applied before the run
    float minGain = 1.0f;
    float peakOut = 0.0f;
    bool clip = false;
    bool singleChannel = false;
};

// Writes the report as one object at the forge's position (the DSP inside its notify sequence,
// after lv2_atom_forge_frame_time). Answers 0 when the buffer is too small.
LV2_Atom_Forge_Ref writeMeterReport(LV2_Atom_Forge* forge, const MeterUrids& u,
                                    const MeterReport& report);

// Parses a report. False, leaving `out` untouched, for any other atom, a truncated object or a
// report without its sequence or acked number; missing meter values keep their neutral defaults.
bool readMeterReport(const MeterUrids& u, const LV2_Atom* atom, MeterReport& out);

// The UI's acknowledgement of the report with `sequence`.
LV2_Atom_Forge_Ref writeMeterAck(LV2_Atom_Forge* forge, const MeterUrids& u, int64_t sequence);

// Parses an acknowledgement; false for anything else.
bool readMeterAck(const MeterUrids& u, const LV2_Atom* atom, int64_t& sequence);

} // namespace qx::lv2
