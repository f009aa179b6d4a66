#include "tests/vst3/Vst3TestHost.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace qx::vst3::test {

// ---------------------------------------------------------------- module and instance

#if defined(QX_VST3_BINARY)
const char* sharedModulePath = QX_VST3_BINARY;
#else
const char* sharedModulePath = "";
#endif

qxhost::Vst3Module& sharedModule() {
    static qxhost::Vst3Module module;
    static bool tried = false;
    if (!tried) {
        std::string error;
        tried = true;
        if (!module.load(sharedModulePath, error)) std::fprintf(stderr, "%s\n", error.c_str());
    }
    return module;
}

Instance::Instance(const qxhost::Vst3Module& module) : Vst3Instance(module) {
    if (component == nullptr) throw std::runtime_error("no VST 3 instance");
}

// ---------------------------------------------------------------- block

StereoBlock::StereoBlock(int32_t frames) {
    for (int c = 0; c < 2; ++c) {
        in[c].assign(static_cast<size_t>(frames), 0.0f);
        out[c].assign(static_cast<size_t>(frames), 0.0f);
    }
    const float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    set(inputs, outputs, frames);
    data.inputParameterChanges = &inChanges;
    data.outputParameterChanges = &outChanges;
}

void StereoBlock::fillSignal(int64_t start, float gain) {
    for (size_t i = 0; i < in[0].size(); ++i) {
        const double t = static_cast<double>(start + static_cast<int64_t>(i));
        in[0][i] = gain * static_cast<float>(std::sin(t * 0.031) * std::sin(t * 0.0007));
        in[1][i] = gain * static_cast<float>(std::cos(t * 0.047) * std::sin(t * 0.0011));
    }
}

// ---------------------------------------------------------------- texts

std::string displayText(IEditController* controller, ParamID id, double normalized) {
    String128 text{};
    if (controller->getParamStringByValue(id, normalized, text) != kResultOk) return "<refused>";
    std::string out;
    for (const char16* c = text; *c != 0; ++c)
        out += static_cast<char>(*c);
    return out;
}

std::u16string u16(const char* text) {
    std::u16string out;
    for (; *text != '\0'; ++text)
        out += static_cast<char16_t>(static_cast<unsigned char>(*text));
    return out;
}

} // namespace qx::vst3::test
