#include "vst3/Vst3Effect.h"

#include "vst3/ParamMapping.h"
#include "vst3/Utf16.h"
#include "vst3/Vst3View.h"

#include <new>

namespace qx::vst3 {

namespace {

constexpr uint32 kAllMoved = (1u << (kNumParams + 1)) - 1;

bool isAudioBus(MediaType type, BusDirection dir, int32 index) {
    return type == kAudio && (dir == kInput || dir == kOutput) && index == 0;
}

// Points `to` at `from` moved by `offset` frames; a missing channel stays missing.
template <typename Sample> void shifted(Sample* const* from, Sample** to, int32 offset) {
    for (int c = 0; c < 2; ++c)
        to[c] = from[c] != nullptr ? from[c] + offset : nullptr;
}

} // namespace

Vst3Effect* Vst3Effect::create() {
    return new (std::nothrow) Vst3Effect();
}

Vst3Effect::Vst3Effect() {
    model_.setListener(this);
    panel_.initialise();
}

Vst3Effect::~Vst3Effect() {
    model_.setListener(nullptr);
    if (handler_ != nullptr) handler_->release();
}

// ---------------------------------------------------------------- FUnknown

tresult Vst3Effect::queryInterface(const TUID iid, void** obj) {
    if (obj == nullptr) return kInvalidArgument;
    *obj = nullptr;
    if (iid == nullptr) return kInvalidArgument;
    if (FUnknown::iid.equals(iid) || IPluginBase::iid.equals(iid) || IComponent::iid.equals(iid))
        *obj = static_cast<IComponent*>(this);
    else if (IAudioProcessor::iid.equals(iid))
        *obj = static_cast<IAudioProcessor*>(this);
    else if (IProcessContextRequirements::iid.equals(iid))
        *obj = static_cast<IProcessContextRequirements*>(this);
    else if (IEditController::iid.equals(iid))
        *obj = static_cast<IEditController*>(this);
    else if (IUnitInfo::iid.equals(iid))
        *obj = static_cast<IUnitInfo*>(this);
    else if (IPrivateRequests::iid.equals(iid))
        *obj = static_cast<IPrivateRequests*>(this);
    else
        return kNoInterface;
    addRef();
    return kResultOk;
}

uint32 Vst3Effect::addRef() {
    return refCount_.fetch_add(1, std::memory_order_relaxed) + 1;
}

uint32 Vst3Effect::release() {
    const uint32 left = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

// ---------------------------------------------------------------- IPluginBase

// Hosts call initialize once for the component and, seeing the same object, maybe again for
// the controller; nothing here depends on the host's context.
tresult Vst3Effect::initialize(FUnknown*) {
    return kResultOk;
}

tresult Vst3Effect::terminate() {
    setComponentHandler(nullptr);
    return kResultOk;
}

// ---------------------------------------------------------------- IComponent

tresult Vst3Effect::getControllerClassId(TUID) {
    return kNotImplemented;
}

tresult Vst3Effect::setIoMode(IoMode) {
    return kNotImplemented;
}

int32 Vst3Effect::getBusCount(MediaType type, BusDirection dir) {
    return isAudioBus(type, dir, 0) ? 1 : 0;
}

tresult Vst3Effect::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) {
    if (!isAudioBus(type, dir, index)) return kInvalidArgument;
    bus.mediaType = kAudio;
    bus.direction = dir;
    bus.channelCount = dir == kInput ? inputChannels_.load(std::memory_order_relaxed) : 2;
    toUtf16(dir == kInput ? "Input" : "Output", bus.name, 128);
    bus.busType = kMain;
    bus.flags = BusInfo::kDefaultActive;
    return kResultOk;
}

tresult Vst3Effect::getRoutingInfo(RoutingInfo&, RoutingInfo&) {
    return kNotImplemented;
}

tresult Vst3Effect::activateBus(MediaType type, BusDirection dir, int32 index, TBool state) {
    if (!isAudioBus(type, dir, index)) return kInvalidArgument;
    (dir == kInput ? inputActive_ : outputActive_).store(state ? 1 : 0, std::memory_order_relaxed);
    return kResultOk;
}

tresult Vst3Effect::setActive(TBool state) {
    if (state)
        model_.activate();
    else
        model_.deactivate();
    return kResultOk;
}

tresult Vst3Effect::setState(IBStream* state) {
    return loadRecord(state);
}

tresult Vst3Effect::getState(IBStream* state) {
    if (state == nullptr) return kInvalidArgument;
    uint8_t record[StateBlob::kSize];
    const auto size = static_cast<int32>(model_.saveState(record, sizeof record));
    int32 written = 0;
    while (written < size) {
        int32 n = 0;
        if (state->write(record + written, size - written, &n) != kResultOk || n <= 0)
            return kResultFalse;
        written += n;
    }
    return kResultOk;
}

tresult Vst3Effect::loadRecord(IBStream* state) {
    if (state == nullptr) return kInvalidArgument;
    // Reads no further than one record: a host's stream may go on with data of its own.
    uint8_t record[StateBlob::kSize];
    int32 size = 0;
    while (size < static_cast<int32>(sizeof record)) {
        int32 n = 0;
        if (state->read(record + size, static_cast<int32>(sizeof record) - size, &n) != kResultOk ||
            n <= 0)
            break;
        size += n;
    }
    return model_.loadState(record, static_cast<std::size_t>(size)) == StateBlob::Result::Ok
               ? kResultOk
               : kResultFalse;
}

// ---------------------------------------------------------------- IAudioProcessor

tresult Vst3Effect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                       SpeakerArrangement* outputs, int32 numOuts) {
    if (inputs == nullptr || outputs == nullptr || numIns != 1 || numOuts != 1) return kResultFalse;
    if (outputs[0] != kStereo || (inputs[0] != kStereo && inputs[0] != kMono)) return kResultFalse;
    inputChannels_.store(inputs[0] == kMono ? 1 : 2, std::memory_order_relaxed);
    return kResultTrue;
}

tresult Vst3Effect::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) {
    if (!isAudioBus(kAudio, dir, index)) return kInvalidArgument;
    arr = dir == kInput && inputChannels_.load(std::memory_order_relaxed) == 1 ? kMono : kStereo;
    return kResultOk;
}

tresult Vst3Effect::canProcessSampleSize(int32 symbolicSampleSize) {
    return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

// The engine's buffers are sized here, so the host must not be processing: refused while
// active, as the interface allows set-up only then.
tresult Vst3Effect::setupProcessing(ProcessSetup& setup) {
    if (setup.symbolicSampleSize != kSample32 || model_.active()) return kResultFalse;
    model_.setMaxBlockSizeAndSampleRate(setup.maxSamplesPerBlock, setup.sampleRate);
    return kResultOk;
}

tresult Vst3Effect::setProcessing(TBool) {
    return kResultOk;
}

// 1. Gather the block's parameter points into one sorted list.
// 2. A call without samples or output buffers is a parameter flush: apply the list in order.
// 3. Otherwise run the block, cut at program changes, through the model's block runner.
// 4. Report parameters that a program change moved.
tresult Vst3Effect::process(ProcessData& data) {
    const bool flush = data.numSamples <= 0 || data.numOutputs <= 0 || data.outputs == nullptr ||
                       data.symbolicSampleSize != kSample32;
    const int32 frames = flush ? 0 : data.numSamples;
    const int32 count = collector_.collect(data.inputParameterChanges, frames);
    ProcessData block = data;
    block.numSamples = frames;
    runBlock(block, collector_.changes(), count);
    reportMovedParameters(data.outputParameterChanges);
    return data.symbolicSampleSize == kSample32 ? kResultOk : kInvalidArgument;
}

void Vst3Effect::runBlock(const ProcessData& data, ParamChange* changes, int32 count) {
    const float* inputs[2] = {nullptr, nullptr};
    float* outputs[2] = {nullptr, nullptr};
    if (data.numSamples > 0) {
        // A mono input feeds both engine inputs with one buffer; its second pin reads as
        // unconnected (see inputConnected), as for a VST 2 host with one input connected.
        const AudioBusBuffers* in = data.numInputs > 0 ? data.inputs : nullptr;
        if (in != nullptr && in->channelBuffers32 != nullptr && in->numChannels > 0) {
            inputs[0] = in->channelBuffers32[0];
            inputs[1] = in->numChannels > 1 ? in->channelBuffers32[1] : inputs[0];
        }
        AudioBusBuffers* out = data.outputs;
        out->silenceFlags = 0; // the outputs are written, silent or not
        if (out->channelBuffers32 != nullptr && out->numChannels > 0) {
            outputs[0] = out->channelBuffers32[0];
            outputs[1] = out->numChannels > 1 ? out->channelBuffers32[1] : nullptr;
        }
    }

    int32 start = 0;
    int32 first = 0;
    for (int32 i = 0; i <= count; ++i) {
        const bool last = i == count;
        if (!last && changes[i].index != static_cast<int32>(kProgramParamId)) continue;
        const int32 cut = last ? data.numSamples : changes[i].frame;
        ParamChange* piece = changes + first;
        const int32 pieceCount = i - first;
        if (cut > start) {
            for (int32 k = 0; k < pieceCount; ++k)
                piece[k].frame -= start;
            const float* pieceIn[2];
            float* pieceOut[2];
            shifted(inputs, pieceIn, start);
            shifted(outputs, pieceOut, start);
            AudioBlock audio;
            audio.inputs = pieceIn;
            audio.outputs = pieceOut;
            audio.frames = cut - start;
            model_.process(audio, piece, pieceCount, *this, IdleOutput::Silent);
        } else if (pieceCount > 0) {
            model_.applyChanges(piece, pieceCount);
        }
        if (!last) changeProgram(static_cast<int32>(changes[i].value));
        start = cut;
        first = i + 1;
    }
}

void Vst3Effect::changeProgram(int32 program) {
    if (program == model_.currentProgram() || !model_.selectProgram(program)) return;
    moved_.fetch_or(kAllMoved, std::memory_order_relaxed);
}

void Vst3Effect::reportMovedParameters(IParameterChanges* out) {
    if (out == nullptr) return;
    const uint32 moved = moved_.exchange(0, std::memory_order_relaxed);
    for (int32 id = 0; id < kParameterCount; ++id) {
        if ((moved & (1u << id)) == 0) continue;
        int32 index = 0;
        const ParamID pid = static_cast<ParamID>(id);
        IParamValueQueue* queue = out->addParameterData(pid, index);
        if (queue != nullptr) queue->addPoint(0, getParamNormalized(pid), index);
    }
}

bool Vst3Effect::inputConnected(int pin) {
    return inputActive_.load(std::memory_order_relaxed) != 0 &&
           pin < inputChannels_.load(std::memory_order_relaxed);
}

bool Vst3Effect::outputConnected(int pin) {
    return outputActive_.load(std::memory_order_relaxed) != 0 && pin < 2;
}

void Vst3Effect::viewClosed(const Vst3View* view) {
    if (view_ == view) view_ = nullptr;
}

} // namespace qx::vst3
