#pragma once
// Second half of the host interface: dispatcher opcodes 25 to 58 with their defaults, the extended
// flag setters, and one wrapper per host-callback opcode the effect may send. Adds no state.
//
// Every wrapper answers a neutral value without a host callback and sends nothing.

#include "plugin/EffectBase.h"

namespace qx {

class ExtendedEffect : public EffectBase {
public:
    ExtendedEffect(HostCallback audioMaster, int32_t numPrograms, int32_t numParams);
    ~ExtendedEffect() override;

    intptr_t dispatcher(int32_t opCode, int32_t index, intptr_t value, void* ptr,
                        float opt) override;

    // Capability vocabulary of the two capability questions (host asks us, we ask the host).
    static const char* const hostCapabilityNames[13];
    static const char* const plugCapabilityNames[23];

    virtual void requestEvents(int32_t filter);
    virtual intptr_t getHostTime(int32_t filter);
    virtual intptr_t getTempoAt(int32_t position);
    virtual int32_t processEvents(void* events);
    virtual intptr_t getHostNumAutomatable();
    virtual intptr_t getHostParamQuantization();
    virtual bool canBeAutomated(int32_t index);
    virtual bool stringToParameter(int32_t index, char* text);
    virtual float getChannelParam(int32_t channel, int32_t index);
    virtual int32_t getNumProgramCategories();
    virtual bool getProgramNameIndexed(int32_t category, int32_t index, char* text);
    virtual bool copyProgram(int32_t destination);
    virtual bool notifyIoChanged();
    virtual bool requestIdle();
    virtual bool requestWindowSize(int32_t width, int32_t height);
    virtual float querySampleRate();
    virtual int32_t queryBlockSize();
    virtual intptr_t getHostInputLatency();
    virtual intptr_t getHostOutputLatency();
    virtual intptr_t getPreviousPlug(int32_t pin);
    virtual intptr_t getNextPlug(int32_t pin);
    virtual void connectInput(int32_t index, bool connected);
    virtual void connectOutput(int32_t index, bool connected);
    virtual bool getInputProperties(int32_t index, VstPinProperties* properties);
    virtual bool getOutputProperties(int32_t index, VstPinProperties* properties);
    virtual int32_t getPlugCategory();
    virtual intptr_t getHostReplaceOrAccumulate();
    virtual intptr_t getHostProcessLevel();
    virtual intptr_t getHostAutomationState();
    virtual void setExtIsAsync(bool state);
    virtual void setExtHasBuffer(bool state);
    virtual int32_t getCurrentPosition();
    virtual float* getDestinationBuffer();
    virtual bool hostOfflineRead(void* task, int32_t option, bool readSource);
    virtual bool hostOfflineWrite(void* task, int32_t option);
    virtual bool hostOfflineStart(void* files, int32_t numFiles, int32_t numNewFiles);
    virtual bool hostOfflineCurrentPass();
    virtual bool hostOfflineCurrentMetaPass();
    virtual bool offlineNotify(void* files, int32_t count, bool start);
    virtual bool offlinePrepare(void* tasks, int32_t count);
    virtual bool offlineRun(void* tasks, int32_t count);
    virtual int32_t offlineNumPasses();
    virtual int32_t offlineNumMetaPasses();
    virtual void setHostOutputSampleRate(float rate);
    virtual bool getHostSpeakerArrangement(void* input, void* output);
    virtual bool getHostVendorString(char* text);
    virtual bool getHostProductString(char* text);
    virtual intptr_t getHostVendorVersion();
    virtual intptr_t hostVendorSpecific(int32_t a, intptr_t b, void* p, float f);
    virtual bool hostCanDo(char* text);
    virtual void setIsSynth(bool state);
    virtual void setNoSoundInStop(bool state);
    virtual intptr_t getHostLanguage();
    virtual intptr_t hostOpenWindow(void* description);
    virtual bool hostCloseWindow(void* description);
    virtual intptr_t getHostDirectory();
    virtual bool requestDisplayUpdate();
    virtual bool processVarIo(void* varIo);
    virtual bool setSpeakerArrangement(void* input, void* output);
    virtual void setBlockSizeAndSampleRate(int32_t frames, float rate);
    virtual bool setBypass(bool on);
    virtual bool getEffectName(char* text);
    virtual bool getErrorText(char* text);
    virtual bool getVendorString(char* text);
    virtual bool getProductString(char* text);
    virtual int32_t getVendorVersion();
    virtual intptr_t vendorSpecific(int32_t index, intptr_t value, void* ptr, float opt);
    virtual int32_t canDo(char* text);
    virtual void* getIcon();
    virtual bool setViewPosition(int32_t x, int32_t y);
    virtual int32_t getTailSize();
    virtual int32_t effectIdle();
    virtual bool getParameterProperties(int32_t index, void* properties);
    virtual bool keysRequired();
    virtual int32_t getVstVersion();

private:
    bool askHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                 float opt = 0.0f);
};

} // namespace qx
