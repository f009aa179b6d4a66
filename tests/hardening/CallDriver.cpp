#include "tests/hardening/CallDriver.h"

#include "core/PrivateRequests.h"
#include "effect/LimiterEffect.h"
#include "host/RecordingHost.h"
#include "plugin/PluginEntry.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>
#include <vector>

namespace qxtest {

namespace {

using namespace qx;

// Reads the fuzz input; past its end every read answers 0, which ends the sequence.
class Bytes {
public:
    Bytes(const uint8_t* d, size_t n) : data_(d), size_(n) {}
    bool empty() const { return pos_ >= size_; }
    uint8_t u8() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint32_t u32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | u8();
        return v;
    }
    int32_t pick(int32_t n) { return static_cast<int32_t>(u32() % static_cast<uint32_t>(n)); }
    float rawFloat() {
        const uint32_t bits = u32();
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    // Values a host or a broken project file may send for a parameter.
    float parameterValue() {
        static const float special[] = {0.0f, 1.0f, 0.5f, 0.999f, 0.27f, -0.0f, -1.0f, 2.0f,
                                        1e9f, -1e9f, std::numeric_limits<float>::infinity(),
                                        -std::numeric_limits<float>::infinity(),
                                        std::numeric_limits<float>::quiet_NaN(), 1e-40f, 1.5f};
        // Bytes below 240 keep choosing from the first table, so the kept inputs replay as before.
        static const float extreme[] = {1e30f, -1e30f, 3.4e38f, -3.4e38f, 10.0f, FLT_MAX, -FLT_MAX,
                                        1.0000001f};
        switch (u8() % 4) {
        case 0: {
            const uint8_t k = u8();
            if (k < 240) return special[k % (sizeof special / sizeof special[0])];
            return extreme[k % (sizeof extreme / sizeof extreme[0])];
        }
        case 1: return rawFloat();
        default: return (u32() % 100001) / 100000.0f;
        }
    }
    // Samples: mostly audio, sometimes NaN, infinities, denormals or absurd levels.
    float sample(bool& finite) {
        const uint8_t kind = u8();
        float v;
        if (kind < 200) {
            v = static_cast<float>(static_cast<int32_t>(u32()) / 2147483648.0 * 4.0);
        } else if (kind < 215) {
            v = 1e-41f * (kind - 200);
        } else if (kind < 225) {
            v = std::numeric_limits<float>::quiet_NaN();
        } else if (kind < 235) {
            v = (kind & 1) ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
        } else {
            v = rawFloat();
        }
        if (!std::isfinite(v)) finite = false;
        return v;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// The host of the sequence running now; its pin answers are part of the sequence.
qxhost::RecordingHost& host = qxhost::RecordingHost::shared();

// The smallest buffer a host may pass for each text or record opcode; 0 when ptr is unused.
size_t minimumBuffer(int32_t opcode) {
    switch (opcode) {
    case effGetProgramName:
    case effGetProgramNameIndexed: return 24;
    case effGetParamLabel:
    case effGetParamDisplay: return 9;
    case effGetParamName: return 23;
    case effGetEffectName: return 32;
    case effGetErrorText: return 256;
    case effGetVendorString:
    case effGetProductString: return 64;
    case effGetInputProperties:
    case effGetOutputProperties: return sizeof(VstPinProperties);
    case effEditGetRect:
    case effGetChunk: return sizeof(void*);
    case effGetParameterProperties: return 128;
    default: return 0;
    }
}

class Driver {
public:
    Driver(const uint8_t* data, size_t size) : in_(data, size) {}

    DriverResult run() {
        host.reset();
        effect_ = createEffect(qxhost::RecordingHost::callback);
        if (effect_ == nullptr) return fail("createEffect refused");
        limiter_ = static_cast<LimiterEffect*>(effect_->object);
        while (!in_.empty() && result_.ok && result_.calls < 4000) step();
        dispatch(effClose, 0, 0, nullptr, 0.0f);
        return result_;
    }

private:
    DriverResult fail(const std::string& what) {
        if (result_.ok) {
            result_.ok = false;
            std::ostringstream s;
            s << "call " << result_.calls << ": " << what;
            result_.failure = s.str();
        }
        return result_;
    }

    intptr_t dispatch(int32_t op, int32_t index, intptr_t value, void* ptr, float opt) {
        ++result_.calls;
        if (trace_)
            std::fprintf(stderr, "#%d dispatcher(%d, %d, %lld, %p, %g)\n", result_.calls, op, index,
                         static_cast<long long>(value), ptr, static_cast<double>(opt));
        if (op == effClose) {
            const intptr_t r = effect_->dispatcher(effect_, op, index, value, ptr, opt);
            effect_ = nullptr;
            return r;
        }
        return effect_->dispatcher(effect_, op, index, value, ptr, opt);
    }

    void step() {
        switch (in_.u8() % 9) {
        case 0:
        case 1: callDispatcher(); break;
        case 2: setParameter(); break;
        case 3:
        case 4: processBlock(); break;
        case 5: setUp(); break;
        case 6: panel(); break;
        case 7: pins(); break;
        case 8: checkTexts(); break;
        }
    }

    void callDispatcher() {
        int32_t op;
        const uint8_t how = in_.u8();
        if (how < 240) {
            op = in_.pick(61);
        } else {
            op = static_cast<int32_t>(in_.u32());
        }
        // Closing is the sequence's end; the panel's opcodes go through the panel step.
        if (op == effClose || op == effEditOpen) return;
        const int32_t index = in_.u8() < 200 ? in_.pick(14) - 2 : static_cast<int32_t>(in_.u32());
        intptr_t value = in_.u8() < 200 ? in_.pick(16) - 2 : static_cast<int32_t>(in_.u32());
        const float opt = in_.parameterValue() * 96000.0f;
        size_t size = minimumBuffer(op);
        std::vector<char> text;
        void* ptr = nullptr;
        const bool nullPtr = in_.u8() < 20;
        if (op == effSetProgramName || op == effCanDo || op == effString2Parameter) {
            const size_t n = in_.u8() % 40;
            text.resize(n + 1);
            for (size_t i = 0; i < n; ++i) text[i] = static_cast<char>(1 + in_.u8() % 255);
            text[n] = '\0';
            ptr = text.data();
        } else if (op == effVendorSpecific) {
            // The private requests need their own records; anything else carries no pointer.
            static QxMeterReadout readout;
            if (in_.u8() & 1) {
                ptr = &readout;
                dispatch(op, QX_METER_INDEX, value, ptr, opt);
                return;
            }
        } else if (op == effSetSpeakerArrangement || op == effProcessEvents ||
                   (op >= effOfflineNotify && op <= effProcessVarIo)) {
            value = 0; // pointers in both slots; a host would pass real records
        } else if (size > 0) {
            text.assign(size, '\x55');
            ptr = text.data();
        } else if (op == effSetChunk) {
            text.assign(16, 0);
            ptr = text.data();
        }
        if (nullPtr) ptr = nullptr;
        if (op == effSetBlockSize && (value > (1 << 16) || value < -(1 << 16))) value = 1 << 16;
        dispatch(op, index, value, ptr, opt);
        if (ptr != nullptr && size > 0 && op != effEditGetRect && op != effGetChunk &&
            op != effGetInputProperties && op != effGetOutputProperties &&
            op != effGetParameterProperties && text[0] != '\x55') {
            if (std::memchr(text.data(), 0, size) == nullptr) fail("unterminated text, opcode " + std::to_string(op));
            else if ((op == effGetParamDisplay || op == effGetParamLabel) && std::strlen(text.data()) > 8)
                fail("value text longer than 8 characters: '" + std::string(text.data()) + "'");
        }
    }

    void setParameter() {
        const int32_t index = in_.u8() < 230 ? in_.pick(11) : static_cast<int32_t>(in_.u32());
        const float value = in_.parameterValue();
        ++result_.calls;
        if (trace_) std::fprintf(stderr, "#%d setParameter(%d, %g)\n", result_.calls, index, static_cast<double>(value));
        effect_->setParameter(effect_, index, value);
        if (index >= 0 && index < 11) {
            const float back = effect_->getParameter(effect_, index);
            if (std::memcmp(&back, &value, 4) != 0) fail("getParameter differs from the stored value");
        } else if (effect_->getParameter(effect_, index) != 0.0f) {
            fail("getParameter of an invalid index is not 0");
        }
    }

    void setUp() {
        switch (in_.u8() % 5) {
        case 0: {
            static const float rates[] = {44100.0f, 48000.0f, 96000.0f, 22050.0f, 192000.0f, 8000.0f,
                                          0.0f, -44100.0f, 1e9f, 1.0f,
                                          std::numeric_limits<float>::quiet_NaN()};
            dispatch(effSetSampleRate, 0, 0, nullptr, rates[in_.u8() % 11]);
            break;
        }
        case 1: {
            static const intptr_t sizes[] = {512, 64, 1, 0, -1, 4096, 1024, 3, 65536};
            dispatch(effSetBlockSize, 0, sizes[in_.u8() % 9], nullptr, 0.0f);
            break;
        }
        case 2:
            dispatch(effSetBlockSizeAndSampleRate, 0, in_.pick(5000) - 10, nullptr,
                     in_.parameterValue() * 200000.0f);
            break;
        default:
            dispatch(effMainsChanged, 0, in_.u8() & 1, nullptr, 0.0f);
            break;
        }
    }

    void pins() {
        host.takeCalls(); // one sequence's calls are not worth keeping
        for (auto& d : host.pinAnswer)
            for (auto& p : d) p = in_.u8() % 3; // 0 connected, 1 not, 2 nonsense
    }

    void processBlock() {
        const int32_t frames = in_.u8() < 240 ? in_.pick(4200) : in_.pick(20) - 10;
        const size_t n = frames > 0 ? static_cast<size_t>(frames) : 0;
        bool finite = true;
        const int sparse = 1 + in_.u8() % 8;
        std::vector<float> l(n + 1), r(n + 1), outL(n + 1), outR(n + 1);
        for (size_t i = 0; i < n; ++i) {
            l[i] = (i % sparse == 0) ? in_.sample(finite) : l[i - 1] * 0.5f;
            r[i] = (i % sparse == 0) ? in_.sample(finite) : 0.25f;
            outL[i] = 0.125f;
            outR[i] = -0.125f;
        }
        float* inputs[2] = {l.data(), r.data()};
        float* outputs[2] = {outL.data(), outR.data()};
        const uint8_t shape = in_.u8();
        if (shape % 5 == 1) inputs[1] = inputs[0];
        if (shape % 7 == 2) outputs[1] = outputs[0];
        float** ins = inputs;
        float** outs = outputs;
        if (shape == 250) ins = nullptr;
        if (shape == 251) outs = nullptr;
        if (shape == 252) inputs[1] = nullptr;
        if (shape == 253) outputs[0] = nullptr;
        ++result_.calls;
        if (trace_)
            std::fprintf(stderr, "#%d %s(%d frames, shape %d, finite %d)\n", result_.calls,
                         (shape & 0x80) ? "process" : "processReplacing", frames, shape, finite);
        if (shape & 0x80)
            effect_->process(effect_, ins, outs, frames);
        else
            effect_->processReplacing(effect_, ins, outs, frames);
        if (trace_)
            for (int c = 0; c < 2; ++c) {
                const LimiterChannel& ch = limiter_->dsp().channel(c);
                std::fprintf(stderr, "   channel %d: level %g env %g shaped %g gain %g last %g speed %g ref %g\n",
                             c, ch.lastLevel, ch.envelope, ch.shapedGain, ch.gain, ch.lastGain,
                             ch.softSpeed, ch.releaseRef);
            }
        if (!finite) return;
        for (size_t i = 0; i < n; ++i)
            if (!std::isfinite(outL[i]) || !std::isfinite(outR[i])) {
                fail("non-finite output from finite input at frame " + std::to_string(i));
                return;
            }
        for (int c = 0; c < 2; ++c) {
            const float g = limiter_->dsp().channel(c).gain;
            if (!(g > 0.0f && g <= 1.0f)) fail("channel gain outside (0, 1]: " + std::to_string(g));
        }
    }

    void panel() {
        QxHeadlessRequest req{};
        req.size = sizeof req;
        std::vector<uint32_t> pixels;
        const int32_t command = 1 + in_.pick(7);
        switch (command) {
        case qxHeadlessTick: req.count = 1 + in_.pick(4); break;
        case qxHeadlessMouse:
            req.event = in_.pick(3);
            req.button = in_.pick(2);
            req.x = in_.pick(600) - 75;
            req.y = in_.pick(400) - 100;
            break;
        case qxHeadlessReadPixels:
            pixels.resize(QX_HEADLESS_WIDTH * QX_HEADLESS_HEIGHT);
            req.pixels = pixels.data();
            break;
        case qxHeadlessSetMeters:
            req.minGain = in_.parameterValue();
            req.peakOut = in_.parameterValue() * 2.0f;
            req.clipHold = static_cast<int32_t>(in_.u32() % 64) - 8;
            req.singleChannel = in_.pick(3);
            break;
        default: break;
        }
        if (in_.u8() < 10) {
            // The host's own editor opcodes, on a closed or open panel alike.
            static const int32_t ops[] = {effEditIdle, effEditClose, effEditGetRect};
            ERect* rect = nullptr;
            dispatch(ops[in_.u8() % 3], 0, 0, &rect, 0.0f);
            return;
        }
        dispatch(effVendorSpecific, QX_HEADLESS_INDEX, command, &req, 0.0f);
    }

    void checkTexts() {
        for (int32_t i = -1; i <= 11; ++i) {
            char display[9];
            char label[9];
            std::memset(display, 0, sizeof display);
            std::memset(label, 0, sizeof label);
            dispatch(effGetParamDisplay, i, 0, display, 0.0f);
            dispatch(effGetParamLabel, i, 0, label, 0.0f);
            if (std::memchr(display, 0, 9) == nullptr || std::memchr(label, 0, 9) == nullptr)
                fail("text of parameter " + std::to_string(i) + " is longer than 8 characters");
        }
    }

    Bytes in_;
    // Set QXTEST_TRACE to see the calls a failing input makes.
    bool trace_ = std::getenv("QXTEST_TRACE") != nullptr;
    AEffect* effect_ = nullptr;
    LimiterEffect* limiter_ = nullptr;
    DriverResult result_;
};

} // namespace

DriverResult runCallSequence(const uint8_t* data, size_t size) {
    return Driver(data, size).run();
}

} // namespace qxtest
