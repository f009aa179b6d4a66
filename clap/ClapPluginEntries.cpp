// The C entries of the plug-in record and of every extension it offers: each finds the instance
// behind the record (a null or foreign record gets the neutral answer) and forwards.
#include "clap/ClapParams.h"
#include "clap/ClapPlugin.h"
#include "clap/ClapPrivate.h"

#include <cstring>

namespace qx {

namespace {

// The instance, or null; `answer` is what a call on a bad record returns.
#define QX_SELF_OR(answer)                                                                         \
    ClapPlugin* self = ClapPlugin::from(plugin);                                                   \
    if (self == nullptr) return answer

// --- clap_plugin

bool QX_CLAP_ABI pluginInit(const clap_plugin* plugin) {
    QX_SELF_OR(false);
    return self->init();
}

void QX_CLAP_ABI pluginDestroy(const clap_plugin* plugin) {
    QX_SELF_OR();
    self->destroy();
}

bool QX_CLAP_ABI pluginActivate(const clap_plugin* plugin, double rate, uint32_t minFrames,
                                uint32_t maxFrames) {
    QX_SELF_OR(false);
    return self->activate(rate, minFrames, maxFrames);
}

void QX_CLAP_ABI pluginDeactivate(const clap_plugin* plugin) {
    QX_SELF_OR();
    self->deactivate();
}

bool QX_CLAP_ABI pluginStartProcessing(const clap_plugin* plugin) {
    QX_SELF_OR(false);
    return self->startProcessing();
}

void QX_CLAP_ABI pluginStopProcessing(const clap_plugin* plugin) {
    QX_SELF_OR();
    self->stopProcessing();
}

void QX_CLAP_ABI pluginReset(const clap_plugin* plugin) {
    QX_SELF_OR();
    self->reset();
}

clap_process_status QX_CLAP_ABI pluginProcess(const clap_plugin* plugin, const clap_process* p) {
    QX_SELF_OR(CLAP_PROCESS_ERROR);
    return self->process(p);
}

const void* QX_CLAP_ABI pluginExtension(const clap_plugin* plugin, const char* id) {
    QX_SELF_OR(nullptr);
    return id != nullptr ? self->extension(id) : nullptr;
}

void QX_CLAP_ABI pluginOnMainThread(const clap_plugin* plugin) {
    QX_SELF_OR();
    self->onMainThread();
}

// --- params

uint32_t QX_CLAP_ABI paramsCount(const clap_plugin* plugin) {
    QX_SELF_OR(0);
    return ClapParams::count();
}

bool QX_CLAP_ABI paramsInfo(const clap_plugin* plugin, uint32_t index, clap_param_info* info) {
    QX_SELF_OR(false);
    return ClapParams::info(index, info);
}

bool QX_CLAP_ABI paramsValue(const clap_plugin* plugin, clap_id id, double* value) {
    QX_SELF_OR(false);
    return self->paramValue(id, value);
}

bool QX_CLAP_ABI paramsValueToText(const clap_plugin* plugin, clap_id id, double value, char* text,
                                   uint32_t capacity) {
    QX_SELF_OR(false);
    return ClapParams::toText(id, value, text, capacity);
}

bool QX_CLAP_ABI paramsTextToValue(const clap_plugin* plugin, clap_id id, const char* text,
                                   double* value) {
    QX_SELF_OR(false);
    return ClapParams::fromText(id, text, value);
}

void QX_CLAP_ABI paramsFlush(const clap_plugin* plugin, const clap_input_events* in,
                             const clap_output_events* out) {
    QX_SELF_OR();
    self->flush(in, out);
}

const clap_plugin_params kParams = {paramsCount,       paramsInfo,        paramsValue,
                                    paramsValueToText, paramsTextToValue, paramsFlush};

// --- audio-ports: one stereo main port each way, processed in place.

uint32_t QX_CLAP_ABI portsCount(const clap_plugin* plugin, bool) {
    QX_SELF_OR(0);
    return 1;
}

bool QX_CLAP_ABI portsGet(const clap_plugin* plugin, uint32_t index, bool isInput,
                          clap_audio_port_info* info) {
    QX_SELF_OR(false);
    if (index != 0 || info == nullptr) return false;
    std::memset(info, 0, sizeof *info);
    info->id = 0;
    std::strcpy(info->name, isInput ? "Input" : "Output");
    info->flags = CLAP_AUDIO_PORT_IS_MAIN;
    info->channel_count = 2;
    info->port_type = CLAP_PORT_STEREO;
    info->in_place_pair = 0;
    return true;
}

const clap_plugin_audio_ports kAudioPorts = {portsCount, portsGet};

// --- state

bool QX_CLAP_ABI stateSave(const clap_plugin* plugin, const clap_ostream* stream) {
    QX_SELF_OR(false);
    return self->saveState(stream);
}

bool QX_CLAP_ABI stateLoad(const clap_plugin* plugin, const clap_istream* stream) {
    QX_SELF_OR(false);
    return self->loadState(stream);
}

const clap_plugin_state kState = {stateSave, stateLoad};

// --- latency and tail: none.

uint32_t QX_CLAP_ABI noFrames(const clap_plugin*) {
    return 0;
}

const clap_plugin_latency kLatency = {noFrames};
const clap_plugin_tail kTail = {noFrames};

// --- preset-load

bool QX_CLAP_ABI presetFromLocation(const clap_plugin* plugin, uint32_t kind, const char* location,
                                    const char* key) {
    QX_SELF_OR(false);
    return self->loadPreset(kind, location, key);
}

const clap_plugin_preset_load kPresetLoad = {presetFromLocation};

// --- gui

bool QX_CLAP_ABI guiIsApiSupported(const clap_plugin* plugin, const char* api, bool floating) {
    QX_SELF_OR(false);
    return self->guiApiSupported(api, floating);
}

bool QX_CLAP_ABI guiPreferredApi(const clap_plugin* plugin, const char** api, bool* floating) {
    QX_SELF_OR(false);
    if (api == nullptr || floating == nullptr) return false;
#if defined(_WIN32)
    *api = CLAP_WINDOW_API_WIN32;
#else
    *api = CLAP_WINDOW_API_X11;
#endif
    *floating = false;
    return self->guiApiSupported(*api, false);
}

bool QX_CLAP_ABI guiCreate(const clap_plugin* plugin, const char* api, bool floating) {
    QX_SELF_OR(false);
    return self->guiCreate(api, floating);
}

void QX_CLAP_ABI guiDestroy(const clap_plugin* plugin) {
    QX_SELF_OR();
    self->guiDestroy();
}

bool QX_CLAP_ABI guiSetScale(const clap_plugin*, double) {
    return false;
}

bool QX_CLAP_ABI guiGetSize(const clap_plugin* plugin, uint32_t* width, uint32_t* height) {
    QX_SELF_OR(false);
    if (width == nullptr || height == nullptr) return false;
    *width = PanelEditor::kWidth;
    *height = PanelEditor::kHeight;
    return true;
}

bool QX_CLAP_ABI guiCanResize(const clap_plugin*) {
    return false;
}

bool QX_CLAP_ABI guiResizeHints(const clap_plugin*, clap_gui_resize_hints*) {
    return false;
}

// The one size there is, whatever was asked.
bool QX_CLAP_ABI guiAdjustSize(const clap_plugin* plugin, uint32_t* width, uint32_t* height) {
    return guiGetSize(plugin, width, height);
}

bool QX_CLAP_ABI guiSetSize(const clap_plugin* plugin, uint32_t width, uint32_t height) {
    QX_SELF_OR(false);
    return width == PanelEditor::kWidth && height == PanelEditor::kHeight;
}

bool QX_CLAP_ABI guiSetParent(const clap_plugin* plugin, const clap_window* window) {
    QX_SELF_OR(false);
    return self->guiSetParent(window);
}

bool QX_CLAP_ABI guiSetTransient(const clap_plugin*, const clap_window*) {
    return false;
}

void QX_CLAP_ABI guiSuggestTitle(const clap_plugin*, const char*) {}

// The panel is a child of the host's window, which the host shows and hides.
bool QX_CLAP_ABI guiShow(const clap_plugin* plugin) {
    QX_SELF_OR(false);
    return self->guiVisible();
}

bool QX_CLAP_ABI guiHide(const clap_plugin* plugin) {
    QX_SELF_OR(false);
    return self->guiVisible();
}

const clap_plugin_gui kGui = {guiIsApiSupported, guiPreferredApi, guiCreate,    guiDestroy,
                              guiSetScale,       guiGetSize,      guiCanResize, guiResizeHints,
                              guiAdjustSize,     guiSetSize,      guiSetParent, guiSetTransient,
                              guiSuggestTitle,   guiShow,         guiHide};

// --- timer-support, posix-fd-support

void QX_CLAP_ABI timerFired(const clap_plugin* plugin, clap_id timer) {
    QX_SELF_OR();
    self->onTimer(timer);
}

void QX_CLAP_ABI fdReady(const clap_plugin* plugin, int fd, uint32_t flags) {
    QX_SELF_OR();
    self->onFd(fd, flags);
}

const clap_plugin_timer_support kTimerSupport = {timerFired};
[[maybe_unused]] const clap_plugin_posix_fd_support kFdSupport = {fdReady};

// --- our tools' channel

intptr_t QX_CLAP_ABI privateRequest(const clap_plugin* plugin, int32_t index, intptr_t command,
                                    void* ptr) {
    QX_SELF_OR(0);
    return self->privateRequest(index, command, ptr);
}

const qx_clap_private kPrivate = {privateRequest};

struct Extension {
    const char* id;
    const void* table;
};

const Extension kExtensions[] = {
    {CLAP_EXT_PARAMS, &kParams},
    {CLAP_EXT_AUDIO_PORTS, &kAudioPorts},
    {CLAP_EXT_STATE, &kState},
    {CLAP_EXT_LATENCY, &kLatency},
    {CLAP_EXT_TAIL, &kTail},
    {CLAP_EXT_PRESET_LOAD, &kPresetLoad},
    {CLAP_EXT_PRESET_LOAD_COMPAT, &kPresetLoad},
    {CLAP_EXT_GUI, &kGui},
    {CLAP_EXT_TIMER_SUPPORT, &kTimerSupport},
#if !defined(_WIN32)
    {CLAP_EXT_POSIX_FD_SUPPORT, &kFdSupport},
#endif
    {QX_CLAP_EXT_PRIVATE, &kPrivate},
};

#undef QX_SELF_OR

} // namespace

const clap_plugin ClapPlugin::kEntries = {nullptr,
                                          nullptr,
                                          pluginInit,
                                          pluginDestroy,
                                          pluginActivate,
                                          pluginDeactivate,
                                          pluginStartProcessing,
                                          pluginStopProcessing,
                                          pluginReset,
                                          pluginProcess,
                                          pluginExtension,
                                          pluginOnMainThread};

const void* ClapPlugin::extension(const char* id) const {
    for (const Extension& e : kExtensions)
        if (std::strcmp(id, e.id) == 0) return e.table;
    return nullptr;
}

} // namespace qx
