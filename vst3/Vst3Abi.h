#pragma once
// Our own declaration of the VST 3 binary interface, as far as this plug-in and its tests use
// it: interface ids, the method order of each interface, the records passed through them, the
// result codes and the string types. Written from the published interface description; nothing
// here is taken from a vendor header.
//
// How the interface is laid out in memory:
//   - Every interface is a C++ class with only pure virtual methods and no destructor, deriving
//     singly from FUnknown (or from another interface), so its vtable is the COM vtable: the
//     three FUnknown entries, then the methods in declaration order. An object implementing
//     several interfaces inherits each one; the this-pointer of each base is what
//     queryInterface hands out.
//   - On 32-bit Windows every method and the module's exports use __stdcall; elsewhere the
//     platform's default convention applies (x64 Windows has one convention).
//   - On Windows the result codes are COM HRESULTs and the 16-byte ids are stored as a COM GUID
//     (first word and the two halves of the second word little-endian); elsewhere the results
//     are small integers and the id bytes are the four words big-endian. The same four words
//     name an interface on every platform.
//   - Records use the platform's natural alignment; on Windows that is 8-byte packing, which
//     gives the same layout as natural alignment for these records (doubles and 64-bit words on
//     8-byte boundaries also on 32-bit Windows). Sizes are pinned below for x86_64 Linux,
//     x64 Windows and x86 Windows.
//   - Strings: `char16` is UTF-16 (String128 holds at most 127 units and a terminating 0);
//     class names, categories and ids are 8-bit strings.

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(_WIN32) && !defined(_WIN64)
#define QX_VST3_API __stdcall
#else
#define QX_VST3_API
#endif

namespace qx::vst3 {

// --- Basic types
using int8 = char;
using int16 = int16_t;
using int32 = int32_t;
using int64 = int64_t;
using uint32 = uint32_t;
using uint64 = uint64_t;
using TBool = uint8_t;
using char8 = char;
using char16 = char16_t;
using TChar = char16;
using String128 = TChar[128];
using FIDString = const char8*;
using CString = const char8*;
using tresult = int32;
using TUID = int8[16];

using ParamID = uint32;
using ParamValue = double;
using UnitID = int32;
using ProgramListID = int32;
using SpeakerArrangement = uint64;
using MediaType = int32;
using BusDirection = int32;
using BusType = int32;
using IoMode = int32;
using Sample32 = float;
using Sample64 = double;

// --- Result codes
#if defined(_WIN32)
constexpr tresult kNoInterface = static_cast<tresult>(0x80004002u);     // E_NOINTERFACE
constexpr tresult kResultOk = 0;                                        // S_OK
constexpr tresult kResultFalse = 1;                                     // S_FALSE
constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057u); // E_INVALIDARG
constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001u);  // E_NOTIMPL
constexpr tresult kInternalError = static_cast<tresult>(0x80004005u);   // E_FAIL
constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFu);  // E_UNEXPECTED
constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000Eu);     // E_OUTOFMEMORY
#else
constexpr tresult kNoInterface = -1;
constexpr tresult kResultOk = 0;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = 2;
constexpr tresult kNotImplemented = 3;
constexpr tresult kInternalError = 4;
constexpr tresult kNotInitialized = 5;
constexpr tresult kOutOfMemory = 6;
#endif
constexpr tresult kResultTrue = kResultOk;

// --- Interface and class ids
struct Uid {
    int8 bytes[16];

    bool equals(const int8* other) const {
        return other != nullptr && std::memcmp(bytes, other, sizeof bytes) == 0;
    }
};

constexpr int8 byteOf(uint32 word, int shift) {
    return static_cast<int8>((word >> shift) & 0xFF);
}

// The id written as four 32-bit words, in this platform's byte order.
constexpr Uid makeUid(uint32 l1, uint32 l2, uint32 l3, uint32 l4) {
#if defined(_WIN32)
    return Uid{{byteOf(l1, 0), byteOf(l1, 8), byteOf(l1, 16), byteOf(l1, 24), byteOf(l2, 16),
                byteOf(l2, 24), byteOf(l2, 0), byteOf(l2, 8), byteOf(l3, 24), byteOf(l3, 16),
                byteOf(l3, 8), byteOf(l3, 0), byteOf(l4, 24), byteOf(l4, 16), byteOf(l4, 8),
                byteOf(l4, 0)}};
#else
    return Uid{{byteOf(l1, 24), byteOf(l1, 16), byteOf(l1, 8), byteOf(l1, 0), byteOf(l2, 24),
                byteOf(l2, 16), byteOf(l2, 8), byteOf(l2, 0), byteOf(l3, 24), byteOf(l3, 16),
                byteOf(l3, 8), byteOf(l3, 0), byteOf(l4, 24), byteOf(l4, 16), byteOf(l4, 8),
                byteOf(l4, 0)}};
#endif
}

// --- FUnknown and the stream
class FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
    virtual tresult QX_VST3_API queryInterface(const TUID iid, void** obj) = 0;
    virtual uint32 QX_VST3_API addRef() = 0;
    virtual uint32 QX_VST3_API release() = 0;
};

enum IBSeekMode : int32 { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };

class IBStream : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);
    virtual tresult QX_VST3_API read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
    virtual tresult QX_VST3_API write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
    virtual tresult QX_VST3_API seek(int64 pos, int32 mode, int64* result) = 0;
    virtual tresult QX_VST3_API tell(int64* pos) = 0;
};

// --- The factory
struct PFactoryInfo {
    enum FactoryFlags : int32 {
        kNoFlags = 0,
        kClassesDiscardable = 1 << 0,
        kLicenseCheck = 1 << 1,
        kComponentNonDiscardable = 1 << 3,
        kUnicode = 1 << 4,
    };
    char8 vendor[64];
    char8 url[256];
    char8 email[128];
    int32 flags;
};

struct PClassInfo {
    static constexpr int32 kManyInstances = 0x7FFFFFFF;
    TUID cid;
    int32 cardinality;
    char8 category[32];
    char8 name[64];
};

struct PClassInfo2 {
    TUID cid;
    int32 cardinality;
    char8 category[32];
    char8 name[64];
    uint32 classFlags;
    char8 subCategories[128];
    char8 vendor[64];
    char8 version[64];
    char8 sdkVersion[64];
};

struct PClassInfoW {
    TUID cid;
    int32 cardinality;
    char8 category[32];
    char16 name[64];
    uint32 classFlags;
    char8 subCategories[128];
    char16 vendor[64];
    char16 version[64];
    char16 sdkVersion[64];
};

class IPluginFactory : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
    virtual tresult QX_VST3_API getFactoryInfo(PFactoryInfo* info) = 0;
    virtual int32 QX_VST3_API countClasses() = 0;
    virtual tresult QX_VST3_API getClassInfo(int32 index, PClassInfo* info) = 0;
    virtual tresult QX_VST3_API createInstance(FIDString cid, FIDString iid, void** obj) = 0;
};

class IPluginFactory2 : public IPluginFactory {
  public:
    static constexpr Uid iid = makeUid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
    virtual tresult QX_VST3_API getClassInfo2(int32 index, PClassInfo2* info) = 0;
};

class IPluginFactory3 : public IPluginFactory2 {
  public:
    static constexpr Uid iid = makeUid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
    virtual tresult QX_VST3_API getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
    virtual tresult QX_VST3_API setHostContext(FUnknown* context) = 0;
};

class IPluginBase : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
    virtual tresult QX_VST3_API initialize(FUnknown* context) = 0;
    virtual tresult QX_VST3_API terminate() = 0;
};

// --- The component and its buses
enum MediaTypes : int32 { kAudio = 0, kEvent = 1 };
enum BusDirections : int32 { kInput = 0, kOutput = 1 };
enum BusTypes : int32 { kMain = 0, kAux = 1 };

struct BusInfo {
    enum BusFlags : uint32 { kDefaultActive = 1 << 0 };
    MediaType mediaType;
    BusDirection direction;
    int32 channelCount;
    String128 name;
    BusType busType;
    uint32 flags;
};

struct RoutingInfo {
    MediaType mediaType;
    int32 busIndex;
    int32 channel;
};

class IComponent : public IPluginBase {
  public:
    static constexpr Uid iid = makeUid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
    virtual tresult QX_VST3_API getControllerClassId(TUID classId) = 0;
    virtual tresult QX_VST3_API setIoMode(IoMode mode) = 0;
    virtual int32 QX_VST3_API getBusCount(MediaType type, BusDirection dir) = 0;
    virtual tresult QX_VST3_API getBusInfo(MediaType type, BusDirection dir, int32 index,
                                           BusInfo& bus) = 0;
    virtual tresult QX_VST3_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
    virtual tresult QX_VST3_API activateBus(MediaType type, BusDirection dir, int32 index,
                                            TBool state) = 0;
    virtual tresult QX_VST3_API setActive(TBool state) = 0;
    virtual tresult QX_VST3_API setState(IBStream* state) = 0;
    virtual tresult QX_VST3_API getState(IBStream* state) = 0;
};

// Speaker bits of an arrangement.
constexpr SpeakerArrangement kSpeakerL = 1ull << 0;
constexpr SpeakerArrangement kSpeakerR = 1ull << 1;
constexpr SpeakerArrangement kSpeakerM = 1ull << 19;
constexpr SpeakerArrangement kEmpty = 0;
constexpr SpeakerArrangement kMono = kSpeakerM;
constexpr SpeakerArrangement kStereo = kSpeakerL | kSpeakerR;

// --- Processing
enum ProcessModes : int32 { kRealtime = 0, kPrefetch = 1, kOffline = 2 };
enum SymbolicSampleSizes : int32 { kSample32 = 0, kSample64 = 1 };
constexpr uint32 kNoTail = 0;

struct ProcessSetup {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 maxSamplesPerBlock;
    double sampleRate;
};

struct AudioBusBuffers {
    int32 numChannels;
    uint64 silenceFlags;
    union {
        Sample32** channelBuffers32;
        Sample64** channelBuffers64;
    };
};

class IParamValueQueue : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
    virtual ParamID QX_VST3_API getParameterId() = 0;
    virtual int32 QX_VST3_API getPointCount() = 0;
    virtual tresult QX_VST3_API getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0;
    virtual tresult QX_VST3_API addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;
};

class IParameterChanges : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
    virtual int32 QX_VST3_API getParameterCount() = 0;
    virtual IParamValueQueue* QX_VST3_API getParameterData(int32 index) = 0;
    virtual IParamValueQueue* QX_VST3_API addParameterData(const ParamID& id, int32& index) = 0;
};

struct Event; // note and data events: this plug-in takes none, so their layout is not needed

class IEventList : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x3A2C4214, 0x346349FE, 0xB2C4F397, 0xB9695A44);
    virtual int32 QX_VST3_API getEventCount() = 0;
    virtual tresult QX_VST3_API getEvent(int32 index, Event& e) = 0;
    virtual tresult QX_VST3_API addEvent(Event& e) = 0;
};

struct ProcessContext; // transport and tempo: not read by this plug-in

struct ProcessData {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 numSamples;
    int32 numInputs;
    int32 numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

class IAudioProcessor : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
    virtual tresult QX_VST3_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                   SpeakerArrangement* outputs, int32 numOuts) = 0;
    virtual tresult QX_VST3_API getBusArrangement(BusDirection dir, int32 index,
                                                  SpeakerArrangement& arr) = 0;
    virtual tresult QX_VST3_API canProcessSampleSize(int32 symbolicSampleSize) = 0;
    virtual uint32 QX_VST3_API getLatencySamples() = 0;
    virtual tresult QX_VST3_API setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult QX_VST3_API setProcessing(TBool state) = 0;
    virtual tresult QX_VST3_API process(ProcessData& data) = 0;
    virtual uint32 QX_VST3_API getTailSamples() = 0;
};

// What of the transport a processor reads from ProcessData::processContext (bit flags); a
// processor that needs none answers 0 and the host may leave the context out.
class IProcessContextRequirements : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0);
    virtual uint32 QX_VST3_API getProcessContextRequirements() = 0;
};

// --- The edit controller
struct ParameterInfo {
    enum ParameterFlags : int32 {
        kNoFlags = 0,
        kCanAutomate = 1 << 0,
        kIsReadOnly = 1 << 1,
        kIsWrapAround = 1 << 2,
        kIsList = 1 << 3,
        kIsHidden = 1 << 4,
        kIsProgramChange = 1 << 15,
        kIsBypass = 1 << 16,
    };
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    int32 stepCount;
    ParamValue defaultNormalizedValue;
    UnitID unitId;
    int32 flags;
};

enum RestartFlags : int32 {
    kReloadComponent = 1 << 0,
    kIoChanged = 1 << 1,
    kParamValuesChanged = 1 << 2,
    kLatencyChanged = 1 << 3,
    kParamTitlesChanged = 1 << 4,
};

class IComponentHandler : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);
    virtual tresult QX_VST3_API beginEdit(ParamID id) = 0;
    virtual tresult QX_VST3_API performEdit(ParamID id, ParamValue valueNormalized) = 0;
    virtual tresult QX_VST3_API endEdit(ParamID id) = 0;
    virtual tresult QX_VST3_API restartComponent(int32 flags) = 0;
};

class IPlugView;

class IEditController : public IPluginBase {
  public:
    static constexpr Uid iid = makeUid(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
    virtual tresult QX_VST3_API setComponentState(IBStream* state) = 0;
    virtual tresult QX_VST3_API setState(IBStream* state) = 0;
    virtual tresult QX_VST3_API getState(IBStream* state) = 0;
    virtual int32 QX_VST3_API getParameterCount() = 0;
    virtual tresult QX_VST3_API getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
    virtual tresult QX_VST3_API getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                                      String128 string) = 0;
    virtual tresult QX_VST3_API getParamValueByString(ParamID id, TChar* string,
                                                      ParamValue& valueNormalized) = 0;
    virtual ParamValue QX_VST3_API normalizedParamToPlain(ParamID id,
                                                          ParamValue valueNormalized) = 0;
    virtual ParamValue QX_VST3_API plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
    virtual ParamValue QX_VST3_API getParamNormalized(ParamID id) = 0;
    virtual tresult QX_VST3_API setParamNormalized(ParamID id, ParamValue value) = 0;
    virtual tresult QX_VST3_API setComponentHandler(IComponentHandler* handler) = 0;
    virtual IPlugView* QX_VST3_API createView(FIDString name) = 0;
};

enum KnobModes : int32 { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

class IEditController2 : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x7F4EFE59, 0xF3204967, 0xAC27A3AE, 0xAFB63038);
    virtual tresult QX_VST3_API setKnobMode(int32 mode) = 0;
    virtual tresult QX_VST3_API openHelp(TBool onlyCheck) = 0;
    virtual tresult QX_VST3_API openAboutBox(TBool onlyCheck) = 0;
};

// --- Units and program lists
constexpr UnitID kRootUnitId = 0;
constexpr UnitID kNoParentUnitId = -1;
constexpr ProgramListID kNoProgramListId = -1;

struct UnitInfo {
    UnitID id;
    UnitID parentUnitId;
    String128 name;
    ProgramListID programListId;
};

struct ProgramListInfo {
    ProgramListID id;
    String128 name;
    int32 programCount;
};

class IUnitInfo : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1);
    virtual int32 QX_VST3_API getUnitCount() = 0;
    virtual tresult QX_VST3_API getUnitInfo(int32 unitIndex, UnitInfo& info) = 0;
    virtual int32 QX_VST3_API getProgramListCount() = 0;
    virtual tresult QX_VST3_API getProgramListInfo(int32 listIndex, ProgramListInfo& info) = 0;
    virtual tresult QX_VST3_API getProgramName(ProgramListID listId, int32 programIndex,
                                               String128 name) = 0;
    virtual tresult QX_VST3_API getProgramInfo(ProgramListID listId, int32 programIndex,
                                               CString attributeId, String128 attributeValue) = 0;
    virtual tresult QX_VST3_API hasProgramPitchNames(ProgramListID listId, int32 programIndex) = 0;
    virtual tresult QX_VST3_API getProgramPitchName(ProgramListID listId, int32 programIndex,
                                                    int16 midiPitch, String128 name) = 0;
    virtual UnitID QX_VST3_API getSelectedUnit() = 0;
    virtual tresult QX_VST3_API selectUnit(UnitID id) = 0;
    virtual tresult QX_VST3_API getUnitByBus(MediaType type, BusDirection dir, int32 busIndex,
                                             int32 channel, UnitID& unitId) = 0;
    virtual tresult QX_VST3_API setUnitProgramData(int32 listOrUnitId, int32 programIndex,
                                                   IBStream* data) = 0;
};

// --- The editor view
constexpr FIDString kEditorViewType = "editor";
constexpr FIDString kPlatformTypeHWND = "HWND";
constexpr FIDString kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";

struct ViewRect {
    int32 left;
    int32 top;
    int32 right;
    int32 bottom;
};

class IPlugFrame;

class IPlugView : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);
    virtual tresult QX_VST3_API isPlatformTypeSupported(FIDString type) = 0;
    virtual tresult QX_VST3_API attached(void* parent, FIDString type) = 0;
    virtual tresult QX_VST3_API removed() = 0;
    virtual tresult QX_VST3_API onWheel(float distance) = 0;
    virtual tresult QX_VST3_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult QX_VST3_API onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult QX_VST3_API getSize(ViewRect* size) = 0;
    virtual tresult QX_VST3_API onSize(ViewRect* newSize) = 0;
    virtual tresult QX_VST3_API onFocus(TBool state) = 0;
    virtual tresult QX_VST3_API setFrame(IPlugFrame* frame) = 0;
    virtual tresult QX_VST3_API canResize() = 0;
    virtual tresult QX_VST3_API checkSizeConstraint(ViewRect* rect) = 0;
};

class IPlugFrame : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);
    virtual tresult QX_VST3_API resizeView(IPlugView* view, ViewRect* newSize) = 0;
};

// The host's event loop on Linux, reached through the frame: a view registers a timer and the
// file descriptors it wants watched, and is called back on the user-interface thread.
using FileDescriptor = int;
using TimerInterval = uint64;

class IEventHandler : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);
    virtual void QX_VST3_API onFDIsSet(FileDescriptor fd) = 0;
};

class ITimerHandler : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);
    virtual void QX_VST3_API onTimer() = 0;
};

class IRunLoop : public FUnknown {
  public:
    static constexpr Uid iid = makeUid(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);
    virtual tresult QX_VST3_API registerEventHandler(IEventHandler* handler, FileDescriptor fd) = 0;
    virtual tresult QX_VST3_API unregisterEventHandler(IEventHandler* handler) = 0;
    virtual tresult QX_VST3_API registerTimer(ITimerHandler* handler, TimerInterval ms) = 0;
    virtual tresult QX_VST3_API unregisterTimer(ITimerHandler* handler) = 0;
};

// --- Class categories
constexpr CString kVstAudioEffectClass = "Audio Module Class";
constexpr CString kVstComponentControllerClass = "Component Controller Class";

// --- The module's exports
using GetFactoryProc = IPluginFactory*(QX_VST3_API*)();
using ModuleEntryProc = bool (*)(void* sharedLibraryHandle); // Linux
using ModuleExitProc = bool (*)();                           // Linux
using InitDllProc = bool (*)();                              // Windows
using ExitDllProc = bool (*)();                              // Windows

// --- Layouts
static_assert(sizeof(TUID) == 16 && sizeof(char16) == 2 && sizeof(String128) == 256, "");
static_assert(sizeof(PFactoryInfo) == 452, "");
static_assert(sizeof(PClassInfo) == 116, "");
static_assert(offsetof(PClassInfo2, classFlags) == 116, "");
static_assert(offsetof(PClassInfo2, sdkVersion) == 376, "");
static_assert(sizeof(PClassInfo2) == 440, "");
static_assert(offsetof(PClassInfoW, name) == 52, "");
static_assert(offsetof(PClassInfoW, classFlags) == 180, "");
static_assert(offsetof(PClassInfoW, subCategories) == 184, "");
static_assert(offsetof(PClassInfoW, vendor) == 312, "");
static_assert(offsetof(PClassInfoW, sdkVersion) == 568, "");
static_assert(sizeof(PClassInfoW) == 696, "");
static_assert(offsetof(BusInfo, name) == 12 && offsetof(BusInfo, busType) == 268, "");
static_assert(sizeof(BusInfo) == 276, "");
static_assert(sizeof(RoutingInfo) == 12, "");
static_assert(offsetof(ParameterInfo, units) == 516 && offsetof(ParameterInfo, stepCount) == 772,
              "");
static_assert(offsetof(ParameterInfo, unitId) == 784 && sizeof(ParameterInfo) == 792, "");
static_assert(sizeof(UnitInfo) == 268 && offsetof(UnitInfo, programListId) == 264, "");
static_assert(sizeof(ProgramListInfo) == 264, "");
static_assert(sizeof(ViewRect) == 16, "");
#if defined(__x86_64__) || defined(_M_X64) || (defined(_WIN32) && !defined(_WIN64))
// x86_64 (Linux and Windows) and 32-bit Windows: 64-bit fields on 8-byte boundaries.
static_assert(offsetof(ProcessSetup, sampleRate) == 16 && sizeof(ProcessSetup) == 24, "");
static_assert(offsetof(ParameterInfo, defaultNormalizedValue) == 776, "");
static_assert(offsetof(AudioBusBuffers, silenceFlags) == 8, "");
static_assert(offsetof(AudioBusBuffers, channelBuffers32) == 16, "");
static_assert(sizeof(AudioBusBuffers) == 24, "");
#endif
#if INTPTR_MAX > INT32_MAX
static_assert(offsetof(ProcessData, inputs) == 24 && offsetof(ProcessData, processContext) == 72,
              "");
static_assert(sizeof(ProcessData) == 80, "");
#else
static_assert(offsetof(ProcessData, inputs) == 20 && offsetof(ProcessData, processContext) == 44,
              "");
static_assert(sizeof(ProcessData) == 48, "");
#endif
static_assert(makeUid(0x01020304, 0x05060708, 0, 0).bytes[0] ==
#if defined(_WIN32)
                  0x04,
#else
                  0x01,
#endif
              "id byte order");

} // namespace qx::vst3
