#include "host/Vst3Session.h"

#include <algorithm>
#include <cmath>

namespace qxhost {

using namespace qx::vst3;

std::string vst3Text(const char16* text) {
    std::string out;
    for (; text != nullptr && *text != 0; ++text)
        out += *text < 0x80 ? char(*text) : '?';
    return out;
}

Vst3Session::~Vst3Session() {
    instance_.reset();
    module_.unload();
}

bool Vst3Session::open(const std::string& path) {
    if (!module_.load(path, error_)) return false;
    instance_ = std::make_unique<Vst3Instance>(module_);
    if (instance_->component == nullptr || instance_->controller == nullptr ||
        instance_->processor == nullptr) {
        error_ = path + ": no instance with a processor and a controller";
        return false;
    }
    for (int32 i = 0; i < instance_->controller->getParameterCount(); ++i) {
        ParameterInfo p{};
        if (instance_->controller->getParameterInfo(i, p) != kResultOk) continue;
        if ((p.flags & ParameterInfo::kIsProgramChange) != 0)
            program_ = p, hasProgram_ = true;
        else
            params_.push_back(p);
    }
    return true;
}

const ParameterInfo* Vst3Session::info(int32_t index) const {
    return index >= 0 && size_t(index) < params_.size() ? &params_[size_t(index)] : nullptr;
}

std::string Vst3Session::parameterName(int32_t index) {
    const ParameterInfo* p = info(index);
    return p != nullptr ? vst3Text(p->title) : "";
}

std::string Vst3Session::parameterText(int32_t index) {
    const ParameterInfo* p = info(index);
    String128 text{};
    if (p == nullptr ||
        instance_->controller->getParamStringByValue(
            p->id, instance_->controller->getParamNormalized(p->id), text) != kResultOk)
        return "";
    return vst3Text(text);
}

std::string Vst3Session::parameterLabel(int32_t index) {
    const ParameterInfo* p = info(index);
    return p != nullptr ? vst3Text(p->units) : "";
}

float Vst3Session::parameter(int32_t index) {
    const ParameterInfo* p = info(index);
    return p != nullptr ? float(instance_->controller->getParamNormalized(p->id)) : 0.0f;
}

void Vst3Session::setParameter(int32_t index, float value) {
    const ParameterInfo* p = info(index);
    if (p == nullptr) return;
    const double steps = p->stepCount;
    write(p->id, steps > 0 ? std::min(steps, std::max(0.0, std::trunc(value * steps))) / steps
                           : double(value));
}

bool Vst3Session::selectProgram(int32_t program) {
    if (!hasProgram_ || program < 0 || program > program_.stepCount) return false;
    write(program_.id, program_.stepCount > 0 ? double(program) / program_.stepCount : 0.0);
    return true;
}

void Vst3Session::write(ParamID id, double normalized) {
    instance_->controller->setParamNormalized(id, normalized);
    pending_.add(id, 0, normalized);
}

void Vst3Session::startProcessing(double sampleRate, int32_t maxFrames) {
    instance_->start(sampleRate, maxFrames);
}

void Vst3Session::stopProcessing() {
    instance_->stop();
}

void Vst3Session::process(float* const* inputs, float* const* outputs, int32_t frames,
                          bool accumulate) {
    if (accumulate)
        for (auto& s : scratch_)
            s.resize(size_t(std::max(frames, 0)));
    float* out[2] = {accumulate ? scratch_[0].data() : outputs[0],
                     accumulate ? scratch_[1].data() : outputs[1]};
    StereoProcessData io;
    io.set(inputs, out, frames);
    io.data.inputParameterChanges = &pending_;
    io.data.outputParameterChanges = &sent_;
    instance_->processor->process(io.data);
    pending_.queues.clear();
    sent_.queues.clear();
    if (!accumulate) return;
    for (int c = 0; c < 2; ++c)
        for (int32_t i = 0; i < frames; ++i)
            outputs[c][i] += scratch_[c][size_t(i)];
}

intptr_t Vst3Session::privateRequest(int32_t index, intptr_t command, void* ptr) {
    IPrivateRequests* p = instance_ != nullptr ? instance_->privateRequests : nullptr;
    return p != nullptr ? p->request(index, command, ptr) : 0;
}

} // namespace qxhost
