#include "host/ClapSession.h"

#include "clap/ClapPrivate.h"
#include "host/ModuleLibrary.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace qxhost {

namespace {

thread_local int audioDepth = 0;

ClapSession* sessionOf(const clap_host* h) {
    return static_cast<ClapSession*>(h->host_data);
}

void QX_CLAP_ABI rescan(const clap_host* h, uint32_t) {
    ++sessionOf(h)->rescans;
}
void QX_CLAP_ABI clearParam(const clap_host*, clap_id, uint32_t) {}
void QX_CLAP_ABI requestFlush(const clap_host* h) {
    ++sessionOf(h)->flushRequests;
}
const clap_host_params kParams = {rescan, clearParam, requestFlush};

bool QX_CLAP_ABI isMainThread(const clap_host*) {
    return audioDepth == 0;
}
bool QX_CLAP_ABI isAudioThread(const clap_host*) {
    return audioDepth > 0;
}
const clap_host_thread_check kThreadCheck = {isMainThread, isAudioThread};

bool QX_CLAP_ABI registerTimer(const clap_host* h, uint32_t period, clap_id* id) {
    ClapSession* s = sessionOf(h);
    if (id == nullptr) return false;
    clap_id next = 100;
    while (s->timers.count(next) != 0)
        ++next;
    s->timers[next] = period;
    *id = next;
    return true;
}
bool QX_CLAP_ABI unregisterTimer(const clap_host* h, clap_id id) {
    return sessionOf(h)->timers.erase(id) == 1;
}
const clap_host_timer_support kTimers = {registerTimer, unregisterTimer};

bool QX_CLAP_ABI registerFd(const clap_host* h, int fd, uint32_t) {
    return fd >= 0 && sessionOf(h)->fds.insert(fd).second;
}
bool QX_CLAP_ABI modifyFd(const clap_host* h, int fd, uint32_t) {
    return sessionOf(h)->fds.count(fd) == 1;
}
bool QX_CLAP_ABI unregisterFd(const clap_host* h, int fd) {
    return sessionOf(h)->fds.erase(fd) == 1;
}
const clap_host_posix_fd_support kFds = {registerFd, modifyFd, unregisterFd};

void QX_CLAP_ABI presetError(const clap_host* h, uint32_t, const char*, const char* key, int32_t,
                             const char*) {
    sessionOf(h)->presetErrors.push_back(key != nullptr ? key : "(null)");
}
void QX_CLAP_ABI presetLoaded(const clap_host* h, uint32_t, const char*, const char* key) {
    sessionOf(h)->presetsLoaded.push_back(key != nullptr ? key : "(null)");
}
const clap_host_preset_load kPresetLoad = {presetError, presetLoaded};

const void* QX_CLAP_ABI hostExtension(const clap_host* h, const char* id) {
    if (id == nullptr) return nullptr;
    const uint32_t offers = sessionOf(h)->offers();
    const struct {
        const char* id;
        uint32_t offer;
        const void* table;
    } known[] = {{CLAP_EXT_PARAMS, ClapSession::kParams, &kParams},
                 {CLAP_EXT_THREAD_CHECK, ClapSession::kThreadCheck, &kThreadCheck},
                 {CLAP_EXT_TIMER_SUPPORT, ClapSession::kTimers, &kTimers},
                 {CLAP_EXT_POSIX_FD_SUPPORT, ClapSession::kFds, &kFds},
                 {CLAP_EXT_PRESET_LOAD, ClapSession::kPresetLoad, &kPresetLoad}};
    for (const auto& k : known)
        if (std::strcmp(id, k.id) == 0) return (offers & k.offer) != 0 ? k.table : nullptr;
    return nullptr;
}

void QX_CLAP_ABI requestRestart(const clap_host*) {}
void QX_CLAP_ABI requestProcess(const clap_host*) {}
void QX_CLAP_ABI requestCallback(const clap_host* h) {
    ++sessionOf(h)->callbackRequests;
}

// A memory stream over `bytes`, `chunk` bytes at most per call.
struct Stream {
    std::vector<uint8_t>* bytes;
    std::size_t at;
    std::size_t chunk;
};

int64_t QX_CLAP_ABI streamWrite(const clap_ostream* s, const void* data, uint64_t size) {
    auto* st = static_cast<Stream*>(s->ctx);
    const auto n = static_cast<std::size_t>(std::min<uint64_t>(size, st->chunk));
    const auto* p = static_cast<const uint8_t*>(data);
    st->bytes->insert(st->bytes->end(), p, p + n);
    return static_cast<int64_t>(n);
}

int64_t QX_CLAP_ABI streamRead(const clap_istream* s, void* data, uint64_t size) {
    auto* st = static_cast<Stream*>(s->ctx);
    const auto n =
        static_cast<std::size_t>(std::min<uint64_t>({size, st->chunk, st->bytes->size() - st->at}));
    if (n > 0) std::memcpy(data, st->bytes->data() + st->at, n);
    st->at += n;
    return static_cast<int64_t>(n);
}

} // namespace

ClapSession::AudioScope::AudioScope() {
    ++audioDepth;
}
ClapSession::AudioScope::~AudioScope() {
    --audioDepth;
}

ClapSession::ClapSession(uint32_t offers) : offers_(offers) {
    host_.clap_version = {1, 2, 0};
    host_.host_data = this;
    host_.name = "qxhost";
    host_.vendor = "Qem v1.0";
    host_.url = "";
    host_.version = "1.0";
    host_.get_extension = hostExtension;
    host_.request_restart = requestRestart;
    host_.request_process = requestProcess;
    host_.request_callback = requestCallback;
}

ClapSession::~ClapSession() {
    unload();
}

bool ClapSession::load(const std::string& path) {
    unload();
    module_ = openModule(path, error_);
    if (module_ == nullptr) return false;
    entry_ = static_cast<const clap_plugin_entry*>(findSymbol(module_, "clap_entry"));
    if (entry_ == nullptr || entry_->init == nullptr || !entry_->init(path.c_str())) {
        error_ = path + (entry_ == nullptr ? " exports no clap_entry" : ": clap_entry init failed");
        entry_ = nullptr;
        unload();
        return false;
    }
    factory_ = static_cast<const clap_plugin_factory*>(entry_->get_factory(CLAP_PLUGIN_FACTORY_ID));
    if (factory_ == nullptr) error_ = path + " has no plug-in factory";
    return factory_ != nullptr;
}

bool ClapSession::create() {
    if (plugin_ != nullptr) return true;
    const clap_plugin_descriptor* d =
        factory_ != nullptr && factory_->get_plugin_count(factory_) > 0
            ? factory_->get_plugin_descriptor(factory_, 0)
            : nullptr;
    plugin_ = d != nullptr ? factory_->create_plugin(factory_, &host_, d->id) : nullptr;
    if (plugin_ != nullptr && !plugin_->init(plugin_)) destroy();
    if (plugin_ == nullptr) error_ = "the plug-in refused to start";
    return plugin_ != nullptr;
}

void ClapSession::destroy() {
    if (plugin_ == nullptr) return;
    if (active_) deactivate();
    plugin_->destroy(plugin_);
    plugin_ = nullptr;
}

void ClapSession::unload() {
    destroy();
    if (entry_ != nullptr) entry_->deinit();
    entry_ = nullptr;
    factory_ = nullptr;
    if (module_ != nullptr) closeModule(module_);
    module_ = nullptr;
}

bool ClapSession::activate(double rate, uint32_t maxFrames) {
    if (plugin_ == nullptr || active_ || !plugin_->activate(plugin_, rate, 1, maxFrames))
        return false;
    active_ = true;
    AudioScope audio;
    return plugin_->start_processing(plugin_);
}

void ClapSession::deactivate() {
    if (plugin_ == nullptr || !active_) return;
    {
        AudioScope audio;
        plugin_->stop_processing(plugin_);
    }
    plugin_->deactivate(plugin_);
    active_ = false;
}

clap_process_status ClapSession::processBlock(float* const in[2], float* const out[2],
                                              uint32_t frames, const InputEvents* events,
                                              OutputEvents* sent) {
    const InputEvents none;
    OutputEvents dropped;
    clap_audio_buffer inputs{const_cast<float**>(in), nullptr, 2, 0, 0};
    clap_audio_buffer outputs{const_cast<float**>(out), nullptr, 2, 0, 0};
    clap_process p{};
    p.steady_time = -1;
    p.frames_count = frames;
    p.audio_inputs = &inputs;
    p.audio_outputs = &outputs;
    p.audio_inputs_count = 1;
    p.audio_outputs_count = 1;
    p.in_events = &(events != nullptr ? events : &none)->list;
    p.out_events = &(sent != nullptr ? sent : &dropped)->list;
    AudioScope audio;
    return plugin_->process(plugin_, &p);
}

void ClapSession::flush(const InputEvents* events, OutputEvents* sent) {
    const auto* params = ext<clap_plugin_params>(CLAP_EXT_PARAMS);
    if (params == nullptr) return;
    const InputEvents none;
    OutputEvents dropped;
    const int scope = active_ ? 1 : 0;
    audioDepth += scope;
    params->flush(plugin_, &(events != nullptr ? events : &none)->list,
                  &(sent != nullptr ? sent : &dropped)->list);
    audioDepth -= scope;
}

double ClapSession::value(clap_id id) const {
    double v = 0.0;
    const auto* params = ext<clap_plugin_params>(CLAP_EXT_PARAMS);
    if (params == nullptr || !params->get_value(plugin_, id, &v)) return NAN;
    return v;
}

std::vector<uint8_t> ClapSession::saveState(std::size_t chunk) const {
    std::vector<uint8_t> bytes;
    Stream s{&bytes, 0, chunk};
    const clap_ostream stream{&s, streamWrite};
    const auto* state = ext<clap_plugin_state>(CLAP_EXT_STATE);
    if (state == nullptr || !state->save(plugin_, &stream)) bytes.clear();
    return bytes;
}

bool ClapSession::loadState(const std::vector<uint8_t>& bytes, std::size_t chunk) {
    std::vector<uint8_t> copy = bytes;
    Stream s{&copy, 0, chunk};
    const clap_istream stream{&s, streamRead};
    const auto* state = ext<clap_plugin_state>(CLAP_EXT_STATE);
    return state != nullptr && state->load(plugin_, &stream);
}

void ClapSession::fireTimers() {
    const auto* t = ext<clap_plugin_timer_support>(CLAP_EXT_TIMER_SUPPORT);
    const auto registered = timers;
    if (t != nullptr)
        for (const auto& timer : registered)
            t->on_timer(plugin_, timer.first);
}

void ClapSession::fireFds() {
    const auto* f = ext<clap_plugin_posix_fd_support>(CLAP_EXT_POSIX_FD_SUPPORT);
    const auto registered = fds;
    if (f != nullptr)
        for (int fd : registered)
            f->on_fd(plugin_, fd, CLAP_POSIX_FD_READ);
}

// --- PluginSession: values in the VST 2 domain; a stepped parameter's states spread over 0..1.

double ClapSession::stepsOf(int32_t index) const {
    clap_param_info info{};
    const auto* params = ext<clap_plugin_params>(CLAP_EXT_PARAMS);
    if (params == nullptr || index < 0 || !params->get_info(plugin_, index, &info)) return 0.0;
    return (info.flags & CLAP_PARAM_IS_STEPPED) != 0 ? info.max_value : 0.0;
}

int32_t ClapSession::parameterCount() {
    const auto* params = ext<clap_plugin_params>(CLAP_EXT_PARAMS);
    return params != nullptr ? static_cast<int32_t>(params->count(plugin_)) : 0;
}

std::string ClapSession::parameterName(int32_t index) {
    clap_param_info info{};
    const auto* params = ext<clap_plugin_params>(CLAP_EXT_PARAMS);
    if (params == nullptr || index < 0 || !params->get_info(plugin_, index, &info)) return "";
    info.name[sizeof info.name - 1] = '\0';
    return info.name;
}

std::string ClapSession::parameterText(int32_t index) {
    char text[256] = {};
    const auto* params = ext<clap_plugin_params>(CLAP_EXT_PARAMS);
    if (params == nullptr || index < 0 ||
        !params->value_to_text(plugin_, index, value(index), text, sizeof text))
        return "";
    return text;
}

float ClapSession::parameter(int32_t index) {
    const double steps = stepsOf(index);
    const double v = index >= 0 ? value(index) : 0.0;
    return static_cast<float>(steps > 0.0 ? v / steps : v);
}

double ClapSession::clapValue(int32_t index, float value) const {
    const double steps = stepsOf(index);
    return steps > 0.0 ? std::min(steps, std::max(0.0, std::trunc(value * steps))) : value;
}

void ClapSession::setParameter(int32_t index, float value) {
    if (index < 0) return;
    pending_.events.push_back(
        paramValueEvent(0, static_cast<clap_id>(index), clapValue(index, value)));
    if (!active_) {
        flush(&pending_, nullptr);
        pending_.events.clear();
    }
}

bool ClapSession::selectProgram(int32_t program) {
    const auto* presets = ext<clap_plugin_preset_load>(CLAP_EXT_PRESET_LOAD);
    const std::string key = std::to_string(program);
    return presets != nullptr &&
           presets->from_location(plugin_, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr,
                                  key.c_str());
}

void ClapSession::startProcessing(double sampleRate, int32_t maxFrames) {
    const auto frames = static_cast<std::size_t>(maxFrames > 0 ? maxFrames : 1);
    scratch_[0].assign(frames, 0.0f);
    scratch_[1].assign(frames, 0.0f);
    activate(sampleRate, static_cast<uint32_t>(frames));
}

void ClapSession::process(float* const* inputs, float* const* outputs, int32_t frames,
                          bool accumulate) {
    if (plugin_ == nullptr || frames < 0) return;
    const auto n = static_cast<std::size_t>(frames);
    // CLAP replaces; adding into the host's buffers goes through a block of our own.
    const bool viaScratch = accumulate && n <= scratch_[0].size();
    float* scratch[2] = {scratch_[0].data(), scratch_[1].data()};
    float* const* out = viaScratch ? scratch : outputs;
    processBlock(inputs, out, static_cast<uint32_t>(frames), &pending_, nullptr);
    pending_.events.clear();
    if (viaScratch)
        for (int c = 0; c < 2; ++c)
            for (std::size_t i = 0; i < n; ++i)
                outputs[c][i] += scratch[c][i];
}

intptr_t ClapSession::privateRequest(int32_t index, intptr_t command, void* ptr) {
    const auto* channel = ext<qx_clap_private>(QX_CLAP_EXT_PRIVATE);
    return channel != nullptr ? channel->request(plugin_, index, command, ptr) : 0;
}

} // namespace qxhost
