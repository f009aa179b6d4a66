#pragma once
// The limiter as a VST 2 host sees it: eleven parameters, ten programs, their texts, the fixed
// answers about itself, and the audio entries. Values, programs, the engine and the meters are
// the format-neutral model's; this class translates the host's calls into the model's verbs and
// reports the panel's edits to the host as automation.
//
// Threads: the host writes parameters from any of its threads; the panel writes from the
// user-interface thread; the audio thread reads the values and coefficients. Every shared value is
// a single 32-bit atomic (relaxed): a writer on one thread and a reader on another see the old or
// the new value, never a torn one, and nothing locks.

#include "dsp/LimiterEngine.h"
#include "dsp/ParamIndex.h"
#include "model/LimiterModel.h"
#include "module/PanelBinding.h"
#include "plugin/ExtendedEffect.h"

#include <atomic>
#include <cstdint>

namespace qx {

class PanelEditor;

class LimiterEffect : public ExtendedEffect, private PinQuery, private ModelListener {
public:
    static constexpr int32_t kNumPrograms = LimiterModel::kNumPrograms;

    explicit LimiterEffect(HostCallback audioMaster);
    ~LimiterEffect() override;

    // Parameters and programs.
    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    // Reports the value the panel (or the program loader) already stored in params to the host,
    // without marking the panel for redraw.
    void setParameterFromEditor(int32_t index);
    void setProgram(int32_t program) override;
    int32_t getProgram() override;
    void setProgramName(char* text) override;
    void getProgramName(char* text) override;
    bool getProgramNameIndexed(int32_t category, int32_t index, char* text) override;
    bool copyProgram(int32_t destination) override;

    // Texts.
    void getParamLabel(int32_t index, char* text) override;
    void getParamDisplay(int32_t index, char* text) override;
    void getParamName(int32_t index, char* text) override;

    // Processing.
    void process(float** inputs, float** outputs, int32_t sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
    void setSampleRate(float rate) override;
    void setBlockSize(int32_t size) override;
    void setBlockSizeAndSampleRate(int32_t frames, float rate) override;
    void suspend() override;
    void resume() override;

    // Properties.
    float getVu() override;
    bool getInputProperties(int32_t index, VstPinProperties* properties) override;
    bool getOutputProperties(int32_t index, VstPinProperties* properties) override;
    bool hostCanDo(char* text) override;
    bool getEffectName(char* text) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    int32_t canDo(char* text) override;
    intptr_t vendorSpecific(int32_t index, intptr_t value, void* ptr, float opt) override;
    virtual bool sendEventsToHost(void* events);

    // For the panel and for tests.
    LimiterModel& limiterModel() { return model; }
    const ParamArray& values() const { return model.values(); }
    MeterShared& meters() { return model.engine().meters(); }
    LimiterEngine& dsp() { return model.engine(); }
    PanelEditor* panelEditor() const { return panel; }
    const LimiterProgram& program(int32_t i) const { return model.programs()[i]; }

    // Number of live effect objects in this module.
    static int32_t liveInstances();

protected:
    PanelEditor* panel = nullptr;

private:
    void initialisePrograms();
    bool inputConnected(int pin) override { return isInputPinConnected(pin); }
    bool outputConnected(int pin) override { return isOutputPinConnected(pin); }

    // The panel's edits, already stored in the model: reported to the host as automation. The
    // VST 2 interface has no gestures to report.
    void editBegun(int32_t) override {}
    void editValue(int32_t index, float) override { setParameterFromEditor(index); }
    void editEnded(int32_t) override {}

    LimiterModel model;
    PanelBinding binding{model};
    char paramNames[kNumParams][24] = {};
    float vuLevel = 0.0f;
};

} // namespace qx
