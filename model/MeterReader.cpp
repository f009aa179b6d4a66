#include "model/MeterReader.h"

namespace qx {

float MeterReader::takeMinGain() { return shared_.minGain.exchange(1.0f, std::memory_order_relaxed); }

float MeterReader::takePeakOut() { return shared_.peakOut.exchange(0.0f, std::memory_order_relaxed); }

int32_t MeterReader::clipHold() const { return shared_.clipHold.load(std::memory_order_relaxed); }

void MeterReader::countDownClipHold(int32_t seen) {
    shared_.clipHold.compare_exchange_strong(seen, seen - 1, std::memory_order_relaxed);
}

int32_t MeterReader::singleChannel() const {
    return shared_.singleChannel.load(std::memory_order_relaxed);
}

MeterReading MeterReader::take() {
    MeterReading r;
    r.minGain = takeMinGain();
    r.peakOut = takePeakOut();
    r.clipHold = clipHold();
    r.singleChannel = singleChannel();
    return r;
}

MeterReading MeterReader::peek() const {
    return {shared_.minGain.load(std::memory_order_relaxed),
            shared_.peakOut.load(std::memory_order_relaxed), clipHold(), singleChannel()};
}

void MeterReader::clear() {
    shared_.minGain.store(1.0f, std::memory_order_relaxed);
    shared_.peakOut.store(0.0f, std::memory_order_relaxed);
    shared_.clipHold.store(0, std::memory_order_relaxed);
}

void MeterReader::store(const MeterReading& r) {
    shared_.minGain.store(r.minGain, std::memory_order_relaxed);
    shared_.peakOut.store(r.peakOut, std::memory_order_relaxed);
    shared_.clipHold.store(r.clipHold, std::memory_order_relaxed);
    shared_.singleChannel.store(r.singleChannel, std::memory_order_relaxed);
}

} // namespace qx
