#pragma once
// The limiter as one VST 3 object that is both the audio processor and the edit controller
// (IComponent, IAudioProcessor, IEditController, IUnitInfo), over one LimiterModel.
//
// One object rather than a processor and a controller joined by messages: the panel shows the
// engine's meters, which a separate controller could only see through a message stream, and
// every host we test with (and the SDK's validator) takes a component that answers the
// controller interface itself. getControllerClassId answers kNotImplemented, which is how
// hosts recognise this kind of plug-in.
//
// Threads, as VST 3 hosts call:
//   - initialize, terminate, buses, arrangements, setupProcessing, setActive, state, the
//     controller's calls and createView: the host's user-interface (main) thread.
//   - process, and setProcessing: the audio thread. process allocates nothing, locks nothing
//     and calls nothing of the host's but the parameter lists it was given.
//   - normalizedParamToPlain / plainParamToNormalized: any thread (pure functions).
// Nothing here calls back into the host from inside a call that sets a value or a state (one
// host deadlocks when restartComponent arrives there). When a program change moves the other
// parameters, the next process call reports their new values to the host in its output
// parameter changes instead.
//
// Files: Vst3Effect.cpp (object, component, processor), Vst3EffectController.cpp (parameters,
// texts, state seen by the controller, the panel and its edits), Vst3EffectUnits.cpp (program
// list).

#include "dsp/LimiterEngine.h"
#include "editor/PanelEditor.h"
#include "model/LimiterModel.h"
#include "model/ModelListener.h"
#include "module/PanelBinding.h"
#include "vst3/ChangeCollector.h"
#include "vst3/Vst3Abi.h"
#include "vst3/Vst3Private.h"

#include <atomic>

namespace qx::vst3 {

// The class id, stable across versions: hosts store it in their projects.
constexpr Uid kEffectClassId = makeUid(0x25ED0C19, 0x912D4EE9, 0xBE100A2D, 0x457F1F94);
constexpr ProgramListID kProgramListId = 1;

class Vst3View;

class Vst3Effect final : public IComponent,
                         public IAudioProcessor,
                         public IProcessContextRequirements,
                         public IEditController,
                         public IUnitInfo,
                         public IPrivateRequests,
                         private ModelListener,
                         private PinQuery {
  public:
    // A new object with one reference; null when out of memory.
    static Vst3Effect* create();

    // --- FUnknown
    tresult QX_VST3_API queryInterface(const TUID iid, void** obj) override;
    uint32 QX_VST3_API addRef() override;
    uint32 QX_VST3_API release() override;

    // --- IPluginBase (shared by the component and the controller)
    tresult QX_VST3_API initialize(FUnknown* context) override;
    tresult QX_VST3_API terminate() override;

    // --- IComponent
    tresult QX_VST3_API getControllerClassId(TUID classId) override;
    tresult QX_VST3_API setIoMode(IoMode mode) override;
    int32 QX_VST3_API getBusCount(MediaType type, BusDirection dir) override;
    tresult QX_VST3_API getBusInfo(MediaType type, BusDirection dir, int32 index,
                                   BusInfo& bus) override;
    tresult QX_VST3_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) override;
    tresult QX_VST3_API activateBus(MediaType type, BusDirection dir, int32 index,
                                    TBool state) override;
    tresult QX_VST3_API setActive(TBool state) override;
    // The component state is the model's state record (model/StateBlob.h); a record the model
    // refuses leaves everything as it was and answers kResultFalse.
    tresult QX_VST3_API setState(IBStream* state) override;
    tresult QX_VST3_API getState(IBStream* state) override;

    // --- IAudioProcessor
    // Input: stereo or mono; output: stereo. Anything else is refused and changes nothing.
    tresult QX_VST3_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                           SpeakerArrangement* outputs, int32 numOuts) override;
    tresult QX_VST3_API getBusArrangement(BusDirection dir, int32 index,
                                          SpeakerArrangement& arr) override;
    tresult QX_VST3_API canProcessSampleSize(int32 symbolicSampleSize) override;
    uint32 QX_VST3_API getLatencySamples() override { return 0; }
    tresult QX_VST3_API setupProcessing(ProcessSetup& setup) override;
    tresult QX_VST3_API setProcessing(TBool state) override;
    tresult QX_VST3_API process(ProcessData& data) override;
    uint32 QX_VST3_API getTailSamples() override { return kNoTail; }

    // --- IProcessContextRequirements: the limiter reads no transport, tempo or time.
    uint32 QX_VST3_API getProcessContextRequirements() override { return 0; }

    // --- IEditController
    // The controller keeps no state of its own: setComponentState loads the same record as
    // setState, and the controller's getState/setState are the component's (one method serves
    // both interfaces), so a host that stores controller state stores the record once more.
    tresult QX_VST3_API setComponentState(IBStream* state) override;
    int32 QX_VST3_API getParameterCount() override;
    tresult QX_VST3_API getParameterInfo(int32 paramIndex, ParameterInfo& info) override;
    tresult QX_VST3_API getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                              String128 string) override;
    tresult QX_VST3_API getParamValueByString(ParamID id, TChar* string,
                                              ParamValue& valueNormalized) override;
    ParamValue QX_VST3_API normalizedParamToPlain(ParamID id, ParamValue valueNormalized) override;
    ParamValue QX_VST3_API plainParamToNormalized(ParamID id, ParamValue plainValue) override;
    ParamValue QX_VST3_API getParamNormalized(ParamID id) override;
    tresult QX_VST3_API setParamNormalized(ParamID id, ParamValue value) override;
    tresult QX_VST3_API setComponentHandler(IComponentHandler* handler) override;
    IPlugView* QX_VST3_API createView(FIDString name) override;

    // --- IUnitInfo: one root unit holding the one program list.
    int32 QX_VST3_API getUnitCount() override { return 1; }
    tresult QX_VST3_API getUnitInfo(int32 unitIndex, UnitInfo& info) override;
    int32 QX_VST3_API getProgramListCount() override { return 1; }
    tresult QX_VST3_API getProgramListInfo(int32 listIndex, ProgramListInfo& info) override;
    tresult QX_VST3_API getProgramName(ProgramListID listId, int32 programIndex,
                                       String128 name) override;
    tresult QX_VST3_API getProgramInfo(ProgramListID listId, int32 programIndex,
                                       CString attributeId, String128 attributeValue) override;
    tresult QX_VST3_API hasProgramPitchNames(ProgramListID listId, int32 programIndex) override;
    tresult QX_VST3_API getProgramPitchName(ProgramListID listId, int32 programIndex,
                                            int16 midiPitch, String128 name) override;
    UnitID QX_VST3_API getSelectedUnit() override { return kRootUnitId; }
    tresult QX_VST3_API selectUnit(UnitID id) override;
    tresult QX_VST3_API getUnitByBus(MediaType type, BusDirection dir, int32 busIndex,
                                     int32 channel, UnitID& unitId) override;
    tresult QX_VST3_API setUnitProgramData(int32 listOrUnitId, int32 programIndex,
                                           IBStream* data) override;

    // --- IPrivateRequests (vst3/Vst3Private.h)
    intptr_t QX_VST3_API request(int32 index, intptr_t command, void* ptr) override;

    // The instance's one panel, shown by its view or on the private channel's memory-only layer.
    PanelEditor& panel() { return panel_; }
    // The view tells its owner when it opens and closes, so only one exists at a time.
    void viewClosed(const Vst3View* view);

  private:
    Vst3Effect();
    ~Vst3Effect();

    // The panel's edits, passed to the host's component handler (user-interface thread).
    void editBegun(int32_t index) override;
    void editValue(int32_t index, float value) override;
    void editEnded(int32_t index) override;

    // The engine's pin query: what the bus arrangement and activation connect.
    bool inputConnected(int pin) override;
    bool outputConnected(int pin) override;

    // Makes `program` current unless it is already; marks every parameter for the host.
    void changeProgram(int32 program);
    // Runs the block in pieces cut at the program changes of the collected list.
    void runBlock(const ProcessData& data, ParamChange* changes, int32 count);
    // Reports the parameters a program change moved (audio thread, end of process).
    void reportMovedParameters(IParameterChanges* out);
    tresult loadRecord(IBStream* state);

    std::atomic<uint32> refCount_{1};
    LimiterModel model_;
    PanelBinding binding_{model_};
    PanelEditor panel_{&binding_};
    ChangeCollector collector_;
    IComponentHandler* handler_ = nullptr;
    Vst3View* view_ = nullptr;

    // Bus set-up: written on the user-interface thread while not processing, read by process.
    std::atomic<int32> inputChannels_{2};
    std::atomic<int32> inputActive_{1};
    std::atomic<int32> outputActive_{1};
    // Bit i: parameter i (and bit kProgramParamId) to report to the host; set by program
    // changes on any thread, taken by process.
    std::atomic<uint32> moved_{0};
};

} // namespace qx::vst3
