#pragma once
// Our own declaration of the part of the CLAP 1.2 binary interface this plug-in uses: the entry
// record, the plug-in factory, the plug-in and host records, processing and its events, and the
// extensions we offer or ask a host for. Written from the published layouts; no published header
// is included or copied. Names are spelled as the interface spells them, so a reader can look
// each one up.
//
// Every record is plain C: pointers, fixed-width integers, doubles and C bools. The
// static_asserts at the end pin the layouts for x86_64 (Linux and Windows) and 32-bit Windows x86,
// where doubles and 64-bit integers inside records are aligned to 8 bytes.

#include <cstddef>
#include <cstdint>

// Functions crossing the interface use the C calling convention (spelled out on 32-bit Windows,
// where a compiler option could change the default).
#if defined(_WIN32) && !defined(_WIN64)
#define QX_CLAP_ABI __cdecl
#else
#define QX_CLAP_ABI
#endif

extern "C" {

using clap_id = uint32_t;
constexpr clap_id CLAP_INVALID_ID = UINT32_MAX;

// Fixed text fields of the info records, terminator included.
constexpr uint32_t CLAP_NAME_SIZE = 256;
constexpr uint32_t CLAP_PATH_SIZE = 1024;

struct clap_version {
    uint32_t major;
    uint32_t minor;
    uint32_t revision;
};
// Records name their version field after its type, so the type goes by its other name there.
using clap_version_t = clap_version;

struct clap_plugin;
struct clap_host;

// ---------------------------------------------------------------- entry and plug-in factory

struct clap_plugin_entry {
    clap_version_t clap_version;
    bool(QX_CLAP_ABI* init)(const char* plugin_path);
    void(QX_CLAP_ABI* deinit)();
    const void*(QX_CLAP_ABI* get_factory)(const char* factory_id);
};

constexpr const char CLAP_PLUGIN_FACTORY_ID[] = "clap.plugin-factory";

struct clap_plugin_descriptor {
    clap_version_t clap_version;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    const char* version;
    const char* description;
    const char* const* features; // null-terminated list
};

struct clap_plugin_factory {
    uint32_t(QX_CLAP_ABI* get_plugin_count)(const clap_plugin_factory* factory);
    const clap_plugin_descriptor*(QX_CLAP_ABI* get_plugin_descriptor)(
        const clap_plugin_factory* factory, uint32_t index);
    const clap_plugin*(QX_CLAP_ABI* create_plugin)(const clap_plugin_factory* factory,
                                                   const clap_host* host, const char* plugin_id);
};

// ---------------------------------------------------------------- events

struct clap_event_header {
    uint32_t size; // of the whole event, header included
    uint32_t time; // frame offset in the block
    uint16_t space_id;
    uint16_t type;
    uint32_t flags;
};

constexpr uint16_t CLAP_CORE_EVENT_SPACE_ID = 0;

enum : uint32_t {
    CLAP_EVENT_IS_LIVE = 1u << 0,
    CLAP_EVENT_DONT_RECORD = 1u << 1,
};

enum : uint16_t {
    CLAP_EVENT_PARAM_VALUE = 5,
    CLAP_EVENT_PARAM_MOD = 6,
    CLAP_EVENT_PARAM_GESTURE_BEGIN = 7,
    CLAP_EVENT_PARAM_GESTURE_END = 8,
};

struct clap_event_param_value {
    clap_event_header header;
    clap_id param_id;
    void* cookie;
    int32_t note_id; // -1: any
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double value;
};

// Modulation offsets: this plug-in declares no modulatable parameter and skips them.
struct clap_event_param_mod {
    clap_event_header header;
    clap_id param_id;
    void* cookie;
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double amount;
};

struct clap_event_param_gesture {
    clap_event_header header;
    clap_id param_id;
};

struct clap_input_events {
    void* ctx;
    uint32_t(QX_CLAP_ABI* size)(const clap_input_events* list);
    const clap_event_header*(QX_CLAP_ABI* get)(const clap_input_events* list, uint32_t index);
};

struct clap_output_events {
    void* ctx;
    bool(QX_CLAP_ABI* try_push)(const clap_output_events* list, const clap_event_header* event);
};

// ---------------------------------------------------------------- processing

struct clap_audio_buffer {
    float** data32;
    double** data64;
    uint32_t channel_count;
    uint32_t latency;
    uint64_t constant_mask;
};

struct clap_event_transport; // passed through, never read

using clap_process_status = int32_t;
enum : int32_t {
    CLAP_PROCESS_ERROR = 0,
    CLAP_PROCESS_CONTINUE = 1,
    CLAP_PROCESS_CONTINUE_IF_NOT_QUIET = 2,
    CLAP_PROCESS_TAIL = 3,
    CLAP_PROCESS_SLEEP = 4,
};

struct clap_process {
    int64_t steady_time;
    uint32_t frames_count;
    const clap_event_transport* transport;
    const clap_audio_buffer* audio_inputs;
    clap_audio_buffer* audio_outputs;
    uint32_t audio_inputs_count;
    uint32_t audio_outputs_count;
    const clap_input_events* in_events;
    const clap_output_events* out_events;
};

// ---------------------------------------------------------------- plug-in and host records

struct clap_plugin {
    const clap_plugin_descriptor* desc;
    void* plugin_data;
    bool(QX_CLAP_ABI* init)(const clap_plugin* plugin);
    void(QX_CLAP_ABI* destroy)(const clap_plugin* plugin);
    bool(QX_CLAP_ABI* activate)(const clap_plugin* plugin, double sample_rate,
                                uint32_t min_frames_count, uint32_t max_frames_count);
    void(QX_CLAP_ABI* deactivate)(const clap_plugin* plugin);
    bool(QX_CLAP_ABI* start_processing)(const clap_plugin* plugin);
    void(QX_CLAP_ABI* stop_processing)(const clap_plugin* plugin);
    void(QX_CLAP_ABI* reset)(const clap_plugin* plugin);
    clap_process_status(QX_CLAP_ABI* process)(const clap_plugin* plugin,
                                              const clap_process* process);
    const void*(QX_CLAP_ABI* get_extension)(const clap_plugin* plugin, const char* id);
    void(QX_CLAP_ABI* on_main_thread)(const clap_plugin* plugin);
};

struct clap_host {
    clap_version_t clap_version;
    void* host_data;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    const void*(QX_CLAP_ABI* get_extension)(const clap_host* host, const char* extension_id);
    void(QX_CLAP_ABI* request_restart)(const clap_host* host);
    void(QX_CLAP_ABI* request_process)(const clap_host* host);
    void(QX_CLAP_ABI* request_callback)(const clap_host* host);
};

// ---------------------------------------------------------------- params

constexpr const char CLAP_EXT_PARAMS[] = "clap.params";

enum : uint32_t {
    CLAP_PARAM_IS_STEPPED = 1u << 0,
    CLAP_PARAM_IS_PERIODIC = 1u << 1,
    CLAP_PARAM_IS_HIDDEN = 1u << 2,
    CLAP_PARAM_IS_READONLY = 1u << 3,
    CLAP_PARAM_IS_BYPASS = 1u << 4,
    CLAP_PARAM_IS_AUTOMATABLE = 1u << 5,
    CLAP_PARAM_IS_MODULATABLE = 1u << 10,
    CLAP_PARAM_REQUIRES_PROCESS = 1u << 15,
    CLAP_PARAM_IS_ENUM = 1u << 16,
};

struct clap_param_info {
    clap_id id;
    uint32_t flags;
    void* cookie;
    char name[CLAP_NAME_SIZE];
    char module[CLAP_PATH_SIZE];
    double min_value;
    double max_value;
    double default_value;
};

struct clap_plugin_params {
    uint32_t(QX_CLAP_ABI* count)(const clap_plugin* plugin);
    bool(QX_CLAP_ABI* get_info)(const clap_plugin* plugin, uint32_t param_index,
                                clap_param_info* param_info);
    bool(QX_CLAP_ABI* get_value)(const clap_plugin* plugin, clap_id param_id, double* out_value);
    bool(QX_CLAP_ABI* value_to_text)(const clap_plugin* plugin, clap_id param_id, double value,
                                     char* out_buffer, uint32_t out_buffer_capacity);
    bool(QX_CLAP_ABI* text_to_value)(const clap_plugin* plugin, clap_id param_id,
                                     const char* param_value_text, double* out_value);
    void(QX_CLAP_ABI* flush)(const clap_plugin* plugin, const clap_input_events* in,
                             const clap_output_events* out);
};

enum : uint32_t {
    CLAP_PARAM_RESCAN_VALUES = 1u << 0,
    CLAP_PARAM_RESCAN_TEXT = 1u << 1,
    CLAP_PARAM_RESCAN_INFO = 1u << 2,
    CLAP_PARAM_RESCAN_ALL = 1u << 3,
};

struct clap_host_params {
    void(QX_CLAP_ABI* rescan)(const clap_host* host, uint32_t flags);
    void(QX_CLAP_ABI* clear)(const clap_host* host, clap_id param_id, uint32_t flags);
    void(QX_CLAP_ABI* request_flush)(const clap_host* host);
};

// ---------------------------------------------------------------- audio-ports

constexpr const char CLAP_EXT_AUDIO_PORTS[] = "clap.audio-ports";
constexpr const char CLAP_PORT_STEREO[] = "stereo";

enum : uint32_t {
    CLAP_AUDIO_PORT_IS_MAIN = 1u << 0,
    CLAP_AUDIO_PORT_SUPPORTS_64BITS = 1u << 1,
    CLAP_AUDIO_PORT_PREFERS_64BITS = 1u << 2,
    CLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE = 1u << 3,
};

struct clap_audio_port_info {
    clap_id id;
    char name[CLAP_NAME_SIZE];
    uint32_t flags;
    uint32_t channel_count;
    const char* port_type;
    clap_id in_place_pair;
};

struct clap_plugin_audio_ports {
    uint32_t(QX_CLAP_ABI* count)(const clap_plugin* plugin, bool is_input);
    bool(QX_CLAP_ABI* get)(const clap_plugin* plugin, uint32_t index, bool is_input,
                           clap_audio_port_info* info);
};

// ---------------------------------------------------------------- state

constexpr const char CLAP_EXT_STATE[] = "clap.state";

// A stream answers the bytes moved (possibly fewer than asked), 0 at its end, negative on error.
struct clap_istream {
    void* ctx;
    int64_t(QX_CLAP_ABI* read)(const clap_istream* stream, void* buffer, uint64_t size);
};

struct clap_ostream {
    void* ctx;
    int64_t(QX_CLAP_ABI* write)(const clap_ostream* stream, const void* buffer, uint64_t size);
};

struct clap_plugin_state {
    bool(QX_CLAP_ABI* save)(const clap_plugin* plugin, const clap_ostream* stream);
    bool(QX_CLAP_ABI* load)(const clap_plugin* plugin, const clap_istream* stream);
};

struct clap_host_state {
    void(QX_CLAP_ABI* mark_dirty)(const clap_host* host);
};

// ---------------------------------------------------------------- latency and tail

constexpr const char CLAP_EXT_LATENCY[] = "clap.latency";
constexpr const char CLAP_EXT_TAIL[] = "clap.tail";

struct clap_plugin_latency {
    uint32_t(QX_CLAP_ABI* get)(const clap_plugin* plugin);
};

struct clap_plugin_tail {
    uint32_t(QX_CLAP_ABI* get)(const clap_plugin* plugin);
};

// ---------------------------------------------------------------- gui

constexpr const char CLAP_EXT_GUI[] = "clap.gui";
constexpr const char CLAP_WINDOW_API_WIN32[] = "win32";
constexpr const char CLAP_WINDOW_API_X11[] = "x11";

struct clap_window {
    const char* api;
    union {
        void* cocoa;
        unsigned long x11; // an X window id (32 bits on Windows, where it is never used)
        void* win32;       // an HWND
        void* ptr;
    };
};

struct clap_gui_resize_hints {
    bool can_resize_horizontally;
    bool can_resize_vertically;
    bool preserve_aspect_ratio;
    uint32_t aspect_ratio_width;
    uint32_t aspect_ratio_height;
};

struct clap_plugin_gui {
    bool(QX_CLAP_ABI* is_api_supported)(const clap_plugin* plugin, const char* api,
                                        bool is_floating);
    bool(QX_CLAP_ABI* get_preferred_api)(const clap_plugin* plugin, const char** api,
                                         bool* is_floating);
    bool(QX_CLAP_ABI* create)(const clap_plugin* plugin, const char* api, bool is_floating);
    void(QX_CLAP_ABI* destroy)(const clap_plugin* plugin);
    bool(QX_CLAP_ABI* set_scale)(const clap_plugin* plugin, double scale);
    bool(QX_CLAP_ABI* get_size)(const clap_plugin* plugin, uint32_t* width, uint32_t* height);
    bool(QX_CLAP_ABI* can_resize)(const clap_plugin* plugin);
    bool(QX_CLAP_ABI* get_resize_hints)(const clap_plugin* plugin, clap_gui_resize_hints* hints);
    bool(QX_CLAP_ABI* adjust_size)(const clap_plugin* plugin, uint32_t* width, uint32_t* height);
    bool(QX_CLAP_ABI* set_size)(const clap_plugin* plugin, uint32_t width, uint32_t height);
    bool(QX_CLAP_ABI* set_parent)(const clap_plugin* plugin, const clap_window* window);
    bool(QX_CLAP_ABI* set_transient)(const clap_plugin* plugin, const clap_window* window);
    void(QX_CLAP_ABI* suggest_title)(const clap_plugin* plugin, const char* title);
    bool(QX_CLAP_ABI* show)(const clap_plugin* plugin);
    bool(QX_CLAP_ABI* hide)(const clap_plugin* plugin);
};

struct clap_host_gui {
    void(QX_CLAP_ABI* resize_hints_changed)(const clap_host* host);
    bool(QX_CLAP_ABI* request_resize)(const clap_host* host, uint32_t width, uint32_t height);
    bool(QX_CLAP_ABI* request_show)(const clap_host* host);
    bool(QX_CLAP_ABI* request_hide)(const clap_host* host);
    void(QX_CLAP_ABI* closed)(const clap_host* host, bool was_destroyed);
};

// ---------------------------------------------------------------- timer-support, posix-fd-support

constexpr const char CLAP_EXT_TIMER_SUPPORT[] = "clap.timer-support";
constexpr const char CLAP_EXT_POSIX_FD_SUPPORT[] = "clap.posix-fd-support";

struct clap_plugin_timer_support {
    void(QX_CLAP_ABI* on_timer)(const clap_plugin* plugin, clap_id timer_id);
};

struct clap_host_timer_support {
    bool(QX_CLAP_ABI* register_timer)(const clap_host* host, uint32_t period_ms, clap_id* timer_id);
    bool(QX_CLAP_ABI* unregister_timer)(const clap_host* host, clap_id timer_id);
};

enum : uint32_t {
    CLAP_POSIX_FD_READ = 1u << 0,
    CLAP_POSIX_FD_WRITE = 1u << 1,
    CLAP_POSIX_FD_ERROR = 1u << 2,
};

struct clap_plugin_posix_fd_support {
    void(QX_CLAP_ABI* on_fd)(const clap_plugin* plugin, int fd, uint32_t flags);
};

struct clap_host_posix_fd_support {
    bool(QX_CLAP_ABI* register_fd)(const clap_host* host, int fd, uint32_t flags);
    bool(QX_CLAP_ABI* modify_fd)(const clap_host* host, int fd, uint32_t flags);
    bool(QX_CLAP_ABI* unregister_fd)(const clap_host* host, int fd);
};

// ---------------------------------------------------------------- thread-check

constexpr const char CLAP_EXT_THREAD_CHECK[] = "clap.thread-check";

struct clap_host_thread_check {
    bool(QX_CLAP_ABI* is_main_thread)(const clap_host* host);
    bool(QX_CLAP_ABI* is_audio_thread)(const clap_host* host);
};

// ---------------------------------------------------------------- presets
// The ten programs are listed through a preset-discovery provider whose one location is the
// plug-in itself, and loaded through preset-load with the program number as the load key.

constexpr const char CLAP_EXT_PRESET_LOAD[] = "clap.preset-load/2";
constexpr const char CLAP_EXT_PRESET_LOAD_COMPAT[] = "clap.preset-load.draft/2";
constexpr const char CLAP_PRESET_DISCOVERY_FACTORY_ID[] = "clap.preset-discovery-factory/2";
constexpr const char CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT[] =
    "clap.preset-discovery-factory/draft-2";

enum : uint32_t {
    CLAP_PRESET_DISCOVERY_LOCATION_FILE = 0,
    CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN = 1, // the presets live inside the module
};

enum : uint32_t {
    CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT = 1u << 0,
    CLAP_PRESET_DISCOVERY_IS_USER_CONTENT = 1u << 1,
    CLAP_PRESET_DISCOVERY_IS_DEMO_CONTENT = 1u << 2,
    CLAP_PRESET_DISCOVERY_IS_FAVORITE = 1u << 3,
};

struct clap_plugin_preset_load {
    bool(QX_CLAP_ABI* from_location)(const clap_plugin* plugin, uint32_t location_kind,
                                     const char* location, const char* load_key);
};

struct clap_host_preset_load {
    void(QX_CLAP_ABI* on_error)(const clap_host* host, uint32_t location_kind, const char* location,
                                const char* load_key, int32_t os_error, const char* msg);
    void(QX_CLAP_ABI* loaded)(const clap_host* host, uint32_t location_kind, const char* location,
                              const char* load_key);
};

struct clap_universal_plugin_id {
    const char* abi; // "clap" for a CLAP id
    const char* id;
};

struct clap_preset_discovery_metadata_receiver {
    void* receiver_data;
    void(QX_CLAP_ABI* on_error)(const clap_preset_discovery_metadata_receiver* receiver,
                                int32_t os_error, const char* error_message);
    // False: stop sending.
    bool(QX_CLAP_ABI* begin_preset)(const clap_preset_discovery_metadata_receiver* receiver,
                                    const char* name, const char* load_key);
    void(QX_CLAP_ABI* add_plugin_id)(const clap_preset_discovery_metadata_receiver* receiver,
                                     const clap_universal_plugin_id* plugin_id);
    void(QX_CLAP_ABI* set_soundpack_id)(const clap_preset_discovery_metadata_receiver* receiver,
                                        const char* soundpack_id);
    void(QX_CLAP_ABI* set_flags)(const clap_preset_discovery_metadata_receiver* receiver,
                                 uint32_t flags);
    void(QX_CLAP_ABI* add_creator)(const clap_preset_discovery_metadata_receiver* receiver,
                                   const char* creator);
    void(QX_CLAP_ABI* set_description)(const clap_preset_discovery_metadata_receiver* receiver,
                                       const char* description);
    void(QX_CLAP_ABI* set_timestamps)(const clap_preset_discovery_metadata_receiver* receiver,
                                      uint64_t creation_time, uint64_t modification_time);
    void(QX_CLAP_ABI* add_feature)(const clap_preset_discovery_metadata_receiver* receiver,
                                   const char* feature);
    void(QX_CLAP_ABI* add_extra_info)(const clap_preset_discovery_metadata_receiver* receiver,
                                      const char* key, const char* value);
};

struct clap_preset_discovery_location {
    uint32_t flags;
    const char* name;
    uint32_t kind;
    const char* location; // null for CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN
};

struct clap_preset_discovery_filetype;  // we declare none
struct clap_preset_discovery_soundpack; // we declare none

struct clap_preset_discovery_provider_descriptor {
    clap_version_t clap_version;
    const char* id;
    const char* name;
    const char* vendor;
};

struct clap_preset_discovery_indexer {
    clap_version_t clap_version;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    void* indexer_data;
    bool(QX_CLAP_ABI* declare_filetype)(const clap_preset_discovery_indexer* indexer,
                                        const clap_preset_discovery_filetype* filetype);
    bool(QX_CLAP_ABI* declare_location)(const clap_preset_discovery_indexer* indexer,
                                        const clap_preset_discovery_location* location);
    bool(QX_CLAP_ABI* declare_soundpack)(const clap_preset_discovery_indexer* indexer,
                                         const clap_preset_discovery_soundpack* soundpack);
    const void*(QX_CLAP_ABI* get_extension)(const clap_preset_discovery_indexer* indexer,
                                            const char* extension_id);
};

struct clap_preset_discovery_provider {
    const clap_preset_discovery_provider_descriptor* desc;
    void* provider_data;
    bool(QX_CLAP_ABI* init)(const clap_preset_discovery_provider* provider);
    void(QX_CLAP_ABI* destroy)(const clap_preset_discovery_provider* provider);
    bool(QX_CLAP_ABI* get_metadata)(const clap_preset_discovery_provider* provider,
                                    uint32_t location_kind, const char* location,
                                    const clap_preset_discovery_metadata_receiver* receiver);
    const void*(QX_CLAP_ABI* get_extension)(const clap_preset_discovery_provider* provider,
                                            const char* extension_id);
};

struct clap_preset_discovery_factory {
    uint32_t(QX_CLAP_ABI* count)(const clap_preset_discovery_factory* factory);
    const clap_preset_discovery_provider_descriptor*(QX_CLAP_ABI* get_descriptor)(
        const clap_preset_discovery_factory* factory, uint32_t index);
    const clap_preset_discovery_provider*(QX_CLAP_ABI* create)(
        const clap_preset_discovery_factory* factory, const clap_preset_discovery_indexer* indexer,
        const char* provider_id);
};

} // extern "C"

// ---------------------------------------------------------------- layouts

#if defined(__x86_64__) || defined(_M_X64)
static_assert(sizeof(clap_version) == 12, "");
static_assert(sizeof(clap_plugin_entry) == 40 && offsetof(clap_plugin_entry, init) == 16, "");
static_assert(sizeof(clap_plugin_descriptor) == 88, "");
static_assert(offsetof(clap_plugin_descriptor, id) == 16, "");
static_assert(offsetof(clap_plugin_descriptor, version) == 64, "");
static_assert(offsetof(clap_plugin_descriptor, features) == 80, "");
static_assert(sizeof(clap_plugin_factory) == 24, "");
static_assert(sizeof(clap_plugin) == 96 && offsetof(clap_plugin, process) == 72, "");
static_assert(offsetof(clap_plugin, on_main_thread) == 88, "");
static_assert(sizeof(clap_host) == 88 && offsetof(clap_host, host_data) == 16, "");
static_assert(offsetof(clap_host, get_extension) == 56, "");
static_assert(offsetof(clap_host, request_callback) == 80, "");
static_assert(sizeof(clap_event_header) == 16 && offsetof(clap_event_header, type) == 10, "");
static_assert(sizeof(clap_event_param_value) == 56, "");
static_assert(offsetof(clap_event_param_value, cookie) == 24, "");
static_assert(offsetof(clap_event_param_value, note_id) == 32, "");
static_assert(offsetof(clap_event_param_value, key) == 40, "");
static_assert(offsetof(clap_event_param_value, value) == 48, "");
static_assert(sizeof(clap_event_param_mod) == 56, "");
static_assert(sizeof(clap_event_param_gesture) == 20, "");
static_assert(sizeof(clap_input_events) == 24 && sizeof(clap_output_events) == 16, "");
static_assert(sizeof(clap_audio_buffer) == 32, "");
static_assert(offsetof(clap_audio_buffer, constant_mask) == 24, "");
static_assert(sizeof(clap_process) == 64 && offsetof(clap_process, transport) == 16, "");
static_assert(offsetof(clap_process, audio_inputs_count) == 40, "");
static_assert(offsetof(clap_process, out_events) == 56, "");
static_assert(sizeof(clap_param_info) == 1320 && offsetof(clap_param_info, name) == 16, "");
static_assert(offsetof(clap_param_info, module) == 272, "");
static_assert(offsetof(clap_param_info, min_value) == 1296, "");
static_assert(offsetof(clap_param_info, default_value) == 1312, "");
static_assert(sizeof(clap_plugin_params) == 48 && sizeof(clap_host_params) == 24, "");
static_assert(sizeof(clap_audio_port_info) == 288, "");
static_assert(offsetof(clap_audio_port_info, flags) == 260, "");
static_assert(offsetof(clap_audio_port_info, port_type) == 272, "");
static_assert(offsetof(clap_audio_port_info, in_place_pair) == 280, "");
static_assert(sizeof(clap_istream) == 16 && sizeof(clap_ostream) == 16, "");
static_assert(sizeof(clap_window) == 16 && offsetof(clap_window, x11) == 8, "");
static_assert(sizeof(clap_gui_resize_hints) == 12, "");
static_assert(offsetof(clap_gui_resize_hints, aspect_ratio_width) == 4, "");
static_assert(sizeof(clap_plugin_gui) == 120 && sizeof(clap_host_gui) == 40, "");
static_assert(sizeof(clap_host_timer_support) == 16, "");
static_assert(sizeof(clap_host_posix_fd_support) == 24, "");
static_assert(sizeof(clap_host_thread_check) == 16, "");
static_assert(sizeof(clap_host_preset_load) == 16, "");
static_assert(sizeof(clap_preset_discovery_metadata_receiver) == 88, "");
static_assert(sizeof(clap_preset_discovery_location) == 32, "");
static_assert(offsetof(clap_preset_discovery_location, kind) == 16, "");
static_assert(sizeof(clap_preset_discovery_provider_descriptor) == 40, "");
static_assert(sizeof(clap_preset_discovery_indexer) == 88, "");
static_assert(offsetof(clap_preset_discovery_indexer, declare_location) == 64, "");
static_assert(sizeof(clap_preset_discovery_provider) == 48, "");
static_assert(sizeof(clap_preset_discovery_factory) == 24, "");
#elif defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(clap_plugin_entry) == 24 && offsetof(clap_plugin_entry, init) == 12, "");
static_assert(sizeof(clap_plugin_descriptor) == 48, "");
static_assert(offsetof(clap_plugin_descriptor, id) == 12, "");
static_assert(offsetof(clap_plugin_descriptor, features) == 44, "");
static_assert(sizeof(clap_plugin_factory) == 12, "");
static_assert(sizeof(clap_plugin) == 48 && offsetof(clap_plugin, process) == 36, "");
static_assert(sizeof(clap_host) == 48 && offsetof(clap_host, host_data) == 12, "");
static_assert(offsetof(clap_host, get_extension) == 32, "");
static_assert(sizeof(clap_event_header) == 16, "");
static_assert(sizeof(clap_event_param_value) == 48, "");
static_assert(offsetof(clap_event_param_value, cookie) == 20, "");
static_assert(offsetof(clap_event_param_value, note_id) == 24, "");
static_assert(offsetof(clap_event_param_value, key) == 32, "");
static_assert(offsetof(clap_event_param_value, value) == 40, "");
static_assert(sizeof(clap_event_param_mod) == 48, "");
static_assert(sizeof(clap_event_param_gesture) == 20, "");
static_assert(sizeof(clap_input_events) == 12 && sizeof(clap_output_events) == 8, "");
static_assert(sizeof(clap_audio_buffer) == 24, "");
static_assert(offsetof(clap_audio_buffer, constant_mask) == 16, "");
static_assert(sizeof(clap_process) == 40 && offsetof(clap_process, transport) == 12, "");
static_assert(offsetof(clap_process, out_events) == 36, "");
static_assert(sizeof(clap_param_info) == 1320 && offsetof(clap_param_info, name) == 12, "");
static_assert(offsetof(clap_param_info, module) == 268, "");
static_assert(offsetof(clap_param_info, min_value) == 1296, "");
static_assert(sizeof(clap_plugin_params) == 24 && sizeof(clap_host_params) == 12, "");
static_assert(sizeof(clap_audio_port_info) == 276, "");
static_assert(offsetof(clap_audio_port_info, port_type) == 268, "");
static_assert(offsetof(clap_audio_port_info, in_place_pair) == 272, "");
static_assert(sizeof(clap_istream) == 8 && sizeof(clap_ostream) == 8, "");
static_assert(sizeof(clap_window) == 8 && offsetof(clap_window, win32) == 4, "");
static_assert(sizeof(clap_gui_resize_hints) == 12, "");
static_assert(sizeof(clap_plugin_gui) == 60 && sizeof(clap_host_gui) == 20, "");
static_assert(sizeof(clap_preset_discovery_metadata_receiver) == 44, "");
static_assert(sizeof(clap_preset_discovery_location) == 16, "");
static_assert(sizeof(clap_preset_discovery_provider_descriptor) == 24, "");
static_assert(sizeof(clap_preset_discovery_indexer) == 48, "");
static_assert(sizeof(clap_preset_discovery_provider) == 24, "");
#endif
