#pragma once
// The limiter as the host sees it: eleven parameters, ten programs, their texts, the fixed answers
// about itself, and the audio entries, which hand each block to the engine.
//
// Threads: the host writes parameters from any of its threads; the panel writes from the
// user-interface thread; the audio thread reads the values and coefficients. Every shared value is
// a single 32-bit atomic (relaxed): a writer on one thread and a reader on another see the old or
// the new value, never a torn one, and nothing locks.

#include "core/LimiterProgram.h"
#include "dsp/LimiterEngine.h"
#include "dsp/ParamIndex.h"
#include "editor/PanelModel.h"
#include "plugin/ExtendedEffect.h"

#include <atomic>
#include <cstdint>

namespace qx {

class PanelEditor;

class LimiterEffect : public ExtendedEffect, private PinQuery, private PanelModel {
public:
    static constexpr int32_t kNumPrograms = 10;

    explicit LimiterEffect(HostCallback audioMaster);
    ~LimiterEffect() override;

    // Parameters and programs.
    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    // Reports the value the panel (or the program loader) already stored in params to the host,
    // without marking the panel for redraw.
    void setParameterFromEditor(int32_t index);
    void setProgram(int32_t program) override;
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
    void recalculate() override;

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
    ParamArray& values() { return params; }
    MeterShared& meters() { return engine.meters(); }
    LimiterEngine& dsp() { return engine; }
    PanelEditor* panelEditor() const { return panel; }
    const LimiterProgram& program(int32_t i) const { return programs[i]; }

    // Number of live effect objects in this module.
    static int32_t liveInstances();

protected:
    PanelEditor* panel = nullptr;

private:
    void initialisePrograms();
    void markPanel(int32_t index);
    LimiterProgram& currentRecord();
    bool inputConnected(int pin) override { return isInputPinConnected(pin); }
    bool outputConnected(int pin) override { return isOutputPinConnected(pin); }

    // The panel's view of the effect: the current values and the engine's meter fields.
    float readParameter(int32_t index) override;
    void storeParameter(int32_t index, float value) override;
    void writeParameter(int32_t index, float value) override;
    float takeMinGain() override;
    float takePeakOut() override;
    int32_t clipHold() override;
    void countDownClipHold(int32_t seen) override;
    int32_t singleChannel() override;
    void storeMeters(float minGain, float peakOut, int32_t clipHold,
                     int32_t singleChannel) override;

    ParamArray params{};
    LimiterEngine engine;
    LimiterProgram programs[kNumPrograms];
    char paramNames[kNumParams][24] = {};
    std::atomic<bool> fromEditor{false};
    float vuLevel = 0.0f;
};

} // namespace qx
