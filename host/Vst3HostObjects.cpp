#include "host/Vst3HostObjects.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace qxhost {

using namespace qx::vst3;

// ---------------------------------------------------------------- stream

tresult MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
    const int64_t left = static_cast<int64_t>(bytes.size()) - position;
    const auto n =
        static_cast<int32>(std::max<int64_t>(0, std::min<int64_t>({numBytes, left, chunk})));
    if (n > 0) std::memcpy(buffer, bytes.data() + position, static_cast<size_t>(n));
    position += n;
    if (numBytesRead != nullptr) *numBytesRead = n;
    return kResultOk;
}

tresult MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
    const int32 n = std::max(0, std::min(numBytes, chunk));
    if (bytes.size() < static_cast<size_t>(position + n))
        bytes.resize(static_cast<size_t>(position + n));
    if (n > 0) std::memcpy(bytes.data() + position, buffer, static_cast<size_t>(n));
    position += n;
    if (numBytesWritten != nullptr) *numBytesWritten = n;
    return kResultOk;
}

tresult MemoryStream::seek(int64 pos, int32 mode, int64* result) {
    const int64 base = mode == kIBSeekCur   ? position
                       : mode == kIBSeekEnd ? static_cast<int64>(bytes.size())
                                            : 0;
    position = std::max<int64>(0, base + pos);
    if (result != nullptr) *result = position;
    return kResultOk;
}

tresult MemoryStream::tell(int64* pos) {
    if (pos == nullptr) return kInvalidArgument;
    *pos = position;
    return kResultOk;
}

// ---------------------------------------------------------------- parameter changes

tresult ParamQueue::getPoint(int32 index, int32& offset, ParamValue& value) {
    if (index < 0 || index >= getPointCount()) return kInvalidArgument;
    offset = points[static_cast<size_t>(index)].first;
    value = points[static_cast<size_t>(index)].second;
    return kResultOk;
}

tresult ParamQueue::addPoint(int32 offset, ParamValue value, int32& index) {
    index = getPointCount();
    points.emplace_back(offset, value);
    return kResultOk;
}

ParamChanges& ParamChanges::add(ParamID id, int32_t offset, double value) {
    int32 index = 0;
    int32 point = 0;
    addParameterData(id, index)->addPoint(offset, value, point);
    return *this;
}

double ParamChanges::last(ParamID id) const {
    for (const ParamQueue& q : queues)
        if (q.id == id && !q.points.empty()) return q.points.back().second;
    return -1.0;
}

IParamValueQueue* ParamChanges::getParameterData(int32 index) {
    if (index < 0 || index >= getParameterCount()) return nullptr;
    return &queues[static_cast<size_t>(index)];
}

IParamValueQueue* ParamChanges::addParameterData(const ParamID& id, int32& index) {
    for (size_t i = 0; i < queues.size(); ++i) {
        if (queues[i].id == id) {
            index = static_cast<int32>(i);
            return &queues[i];
        }
    }
    queues.emplace_back();
    queues.back().id = id;
    index = static_cast<int32>(queues.size() - 1);
    return &queues.back();
}

// ---------------------------------------------------------------- component handler

tresult ComponentHandler::beginEdit(ParamID id) {
    calls.push_back("b" + std::to_string(id));
    return kResultOk;
}

tresult ComponentHandler::performEdit(ParamID id, ParamValue value) {
    char text[48];
    std::snprintf(text, sizeof text, "p%u=%g", id, value);
    calls.emplace_back(text);
    return kResultOk;
}

tresult ComponentHandler::endEdit(ParamID id) {
    calls.push_back("e" + std::to_string(id));
    return kResultOk;
}

tresult ComponentHandler::restartComponent(int32 flags) {
    calls.push_back("r" + std::to_string(flags));
    return kResultOk;
}

// ---------------------------------------------------------------- process record

StereoProcessData::StereoProcessData() {
    inBus.numChannels = outBus.numChannels = 2;
    inBus.channelBuffers32 = inPtr;
    outBus.channelBuffers32 = outPtr;
    data.processMode = kRealtime;
    data.symbolicSampleSize = kSample32;
    data.numInputs = data.numOutputs = 1;
    data.inputs = &inBus;
    data.outputs = &outBus;
}

void StereoProcessData::set(const float* const* inputs, float* const* outputs, int32_t frames) {
    for (int c = 0; c < 2; ++c) {
        inPtr[c] = const_cast<float*>(inputs[c]);
        outPtr[c] = outputs[c];
    }
    data.numSamples = frames;
}

} // namespace qxhost
