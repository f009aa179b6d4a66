#include "clap/ClapPlugin.h"

#include "clap/ClapParams.h"

#include <cmath>
#include <cstring>
#include <new>

namespace qx {

namespace {

// Answers for the engine's pin query: a channel is there when the host gave its buffer.
class BufferPins final : public PinQuery {
  public:
    BufferPins(const float* const* in, float* const* out) : in_(in), out_(out) {}
    bool inputConnected(int pin) override { return pin >= 0 && pin < 2 && in_[pin] != nullptr; }
    bool outputConnected(int pin) override { return pin >= 0 && pin < 2 && out_[pin] != nullptr; }

  private:
    const float* const* in_;
    float* const* out_;
};

// The first two channels of a host buffer from `from` on; null where the host gave none.
template <typename Sample>
void channelsOf(const clap_audio_buffer* buffers, uint32_t count, uint32_t from, Sample* out[2]) {
    out[0] = out[1] = nullptr;
    if (buffers == nullptr || count == 0 || buffers[0].data32 == nullptr) return;
    const uint32_t channels = buffers[0].channel_count < 2 ? buffers[0].channel_count : 2;
    for (uint32_t c = 0; c < channels; ++c)
        if (buffers[0].data32[c] != nullptr) out[c] = buffers[0].data32[c] + from;
}

} // namespace

ClapPlugin::ClapPlugin(const clap_host* host) : record_(kEntries), host_(host) {
    record_.desc = &kDescriptor;
    record_.plugin_data = this;
}

ClapPlugin::~ClapPlugin() {
    model_.setListener(nullptr);
}

ClapPlugin* ClapPlugin::from(const clap_plugin* plugin) {
    if (plugin == nullptr || plugin->desc != &kDescriptor) return nullptr;
    return static_cast<ClapPlugin*>(plugin->plugin_data);
}

bool ClapPlugin::onMainThreadNow() const {
    return ext_.threadCheck == nullptr || ext_.threadCheck->is_main_thread(host_);
}

bool ClapPlugin::onAudioThreadNow() const {
    return ext_.threadCheck == nullptr || ext_.threadCheck->is_audio_thread(host_);
}

void ClapPlugin::queryHost() {
    auto get = [this](const char* id) -> const void* {
        return host_->get_extension != nullptr ? host_->get_extension(host_, id) : nullptr;
    };
    if (auto* p = static_cast<const clap_host_params*>(get(CLAP_EXT_PARAMS)))
        if (p->rescan != nullptr && p->request_flush != nullptr) ext_.params = p;
    if (auto* t = static_cast<const clap_host_thread_check*>(get(CLAP_EXT_THREAD_CHECK)))
        if (t->is_main_thread != nullptr && t->is_audio_thread != nullptr) ext_.threadCheck = t;
    if (auto* t = static_cast<const clap_host_timer_support*>(get(CLAP_EXT_TIMER_SUPPORT)))
        if (t->register_timer != nullptr && t->unregister_timer != nullptr) ext_.timers = t;
    if (auto* f = static_cast<const clap_host_posix_fd_support*>(get(CLAP_EXT_POSIX_FD_SUPPORT)))
        if (f->register_fd != nullptr && f->unregister_fd != nullptr) ext_.fds = f;
    auto* l = static_cast<const clap_host_preset_load*>(get(CLAP_EXT_PRESET_LOAD));
    if (l == nullptr)
        l = static_cast<const clap_host_preset_load*>(get(CLAP_EXT_PRESET_LOAD_COMPAT));
    if (l != nullptr && l->on_error != nullptr && l->loaded != nullptr) ext_.presetLoad = l;
}

bool ClapPlugin::init() {
    if (initialised_) return true;
    queryHost();
    if (!onMainThreadNow()) return false;
    // One timer for the instance's life: the panel's tick, and what the host must hear later.
    if (ext_.timers != nullptr && !ext_.timers->register_timer(host_, kTimerMs, &timer_))
        timer_ = CLAP_INVALID_ID;
    model_.setListener(this);
    initialised_ = true;
    return true;
}

void ClapPlugin::destroy() {
    if (guiCreated_) guiDestroy();
    if (active_) {
        model_.deactivate();
        active_ = false;
    }
    if (timer_ != CLAP_INVALID_ID) ext_.timers->unregister_timer(host_, timer_);
    delete this;
}

bool ClapPlugin::activate(double sampleRate, uint32_t, uint32_t maxFrames) {
    if (!initialised_ || active_ || !onMainThreadNow()) return false;
    if (!std::isfinite(sampleRate) || sampleRate <= 0.0) return false;
    // The engine takes any block size and cuts longer blocks itself.
    const auto frames = static_cast<int32_t>(maxFrames > INT32_MAX ? INT32_MAX : maxFrames);
    model_.setMaxBlockSizeAndSampleRate(frames, sampleRate);
    model_.activate();
    active_ = true;
    return true;
}

void ClapPlugin::deactivate() {
    if (!active_ || !onMainThreadNow()) return;
    model_.deactivate();
    active_ = false;
    processing_ = false;
}

bool ClapPlugin::startProcessing() {
    if (!active_ || !onAudioThreadNow()) return false;
    processing_ = true;
    return true;
}

void ClapPlugin::stopProcessing() {
    if (onAudioThreadNow()) processing_ = false;
}

void ClapPlugin::reset() {
    if (active_ && onAudioThreadNow() && model_.engine().buffersAllocated()) model_.activate();
}

template <typename Run>
void ClapPlugin::readEvents(const clap_input_events* in, uint32_t frames, Run run) {
    uint32_t start = 0; // first frame of the piece whose changes are being gathered
    uint32_t last = 0;  // offset of the last change: offsets never go back
    int32_t count = 0;
    const uint32_t size =
        in != nullptr && in->size != nullptr && in->get != nullptr ? in->size(in) : 0;
    for (uint32_t k = 0; k < size; ++k) {
        const clap_event_header* h = in->get(in, k);
        if (h == nullptr || h->space_id != CLAP_CORE_EVENT_SPACE_ID ||
            h->type != CLAP_EVENT_PARAM_VALUE || h->size < sizeof(clap_event_param_value))
            continue;
        const auto* e = reinterpret_cast<const clap_event_param_value*>(h);
        float value = 0.0f;
        if (!ClapParams::toModel(e->param_id, e->value, &value)) continue;
        last = h->time < last ? last : h->time > frames ? frames : h->time;
        if (count == kMaxChanges) {
            run(changes_, count, start, last);
            start = last;
            count = 0;
        }
        changes_[count++] = {static_cast<int32_t>(last - start), static_cast<int32_t>(e->param_id),
                             value};
    }
    run(changes_, count, start, frames);
}

void ClapPlugin::runBlock(const clap_process& p, uint32_t from, uint32_t to,
                          const ParamChange* changes, int32_t count) {
    const float* in[2];
    float* out[2];
    channelsOf<const float>(p.audio_inputs, p.audio_inputs_count, from, in);
    channelsOf<float>(p.audio_outputs, p.audio_outputs_count, from, out);
    BufferPins pins(in, out);
    AudioBlock block;
    block.inputs = in;
    block.outputs = out;
    block.frames = static_cast<int32_t>(to - from);
    model_.process(block, changes, count, pins, IdleOutput::Silent);
}

clap_process_status ClapPlugin::process(const clap_process* p) {
    if (p == nullptr || !active_ || !onAudioThreadNow()) return CLAP_PROCESS_ERROR;
    const uint32_t frames = p->frames_count > INT32_MAX ? INT32_MAX : p->frames_count;
    readEvents(p->in_events, frames,
               [&](const ParamChange* changes, int32_t count, uint32_t from, uint32_t to) {
                   runBlock(*p, from, to, changes, count);
               });
    if (p->audio_outputs != nullptr && p->audio_outputs_count > 0)
        p->audio_outputs[0].constant_mask = 0;
    tellEdits(p->out_events);
    askForCallback();
    return CLAP_PROCESS_CONTINUE;
}

void ClapPlugin::flush(const clap_input_events* in, const clap_output_events* out) {
    if (active_ ? !onAudioThreadNow() : !onMainThreadNow()) return;
    readEvents(in, 0, [this](const ParamChange* changes, int32_t count, uint32_t, uint32_t) {
        model_.applyChanges(changes, count);
    });
    tellEdits(out);
    askForCallback();
}

bool ClapPlugin::paramValue(clap_id id, double* value) const {
    if (value == nullptr || !ClapParams::valid(id)) return false;
    *value = ClapParams::toClap(id, model_.parameter(static_cast<int32_t>(id)));
    return true;
}

void ClapPlugin::tellEdits(const clap_output_events* out) {
    if (!gestures_.pending()) return;
    gestures_.write(out, 0, [this](int32_t index) {
        return ClapParams::toClap(static_cast<clap_id>(index), model_.parameter(index));
    });
}

void ClapPlugin::requestFlush() {
    if (ext_.params != nullptr)
        ext_.params->request_flush(host_);
    else if (host_->request_process != nullptr)
        host_->request_process(host_);
}

void ClapPlugin::editBegun(int32_t index) {
    gestures_.begin(index);
    requestFlush();
}

void ClapPlugin::editValue(int32_t index, float) {
    gestures_.value(index);
    requestFlush();
}

void ClapPlugin::editEnded(int32_t index) {
    gestures_.end(index);
    requestFlush();
}

void ClapPlugin::defer(uint32_t what) {
    deferred_.fetch_or(what, std::memory_order_relaxed);
}

// Without timers the host hears the waiting notifications through on_main_thread, asked for
// from the next process or flush: never from inside the call that caused them.
void ClapPlugin::askForCallback() {
    if (timer_ != CLAP_INVALID_ID || deferred_.load(std::memory_order_relaxed) == 0) return;
    if (host_->request_callback == nullptr) return;
    if (callbackAsked_.exchange(1, std::memory_order_relaxed) == 0) host_->request_callback(host_);
}

void ClapPlugin::onMainThread() {
    if (!onMainThreadNow()) return;
    callbackAsked_.store(0, std::memory_order_relaxed);
    deliverDeferred();
}

void ClapPlugin::deliverDeferred() {
    const uint32_t what = deferred_.exchange(0, std::memory_order_relaxed);
    if ((what & kRescanValues) != 0 && ext_.params != nullptr)
        ext_.params->rescan(host_, CLAP_PARAM_RESCAN_VALUES);
    if (ext_.presetLoad == nullptr) return;
    if ((what & kPresetLoaded) != 0)
        ext_.presetLoad->loaded(host_, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, loadedKey_);
    if ((what & kPresetFailed) != 0)
        ext_.presetLoad->on_error(host_, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, failedKey_,
                                  0, "no such program");
}

const clap_plugin* ClapPlugin::create(const clap_host* host) {
    if (host == nullptr || host->clap_version.major < 1) return nullptr;
    try {
        ClapPlugin* p = new (std::nothrow) ClapPlugin(host);
        return p != nullptr ? &p->record_ : nullptr;
    } catch (...) {
        return nullptr;
    }
}

} // namespace qx
