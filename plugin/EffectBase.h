#pragma once
// Root of the effect class chain. Owns the record the host holds, keeps the basic effect state,
// answers dispatcher opcodes 0 to 24 by calling its virtual operations, and supplies the
// defaults every effect class inherits: do nothing, answer 0, false, null or an empty text.
//
// Threads: the dispatcher arrives on the host's user-interface thread as a rule, process and
// processReplacing on its audio thread, setParameter on either. Nothing here locks.

#include "plugin/AEffect.h"

#include <atomic>
#include <cstdint>

namespace qx {

class EditorBase;

class EffectBase {
public:
    EffectBase(HostCallback audioMaster, int32_t numPrograms, int32_t numParams);
    virtual ~EffectBase();
    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;

    AEffect* record() { return &effectRecord; }
    // The object behind a record the host hands back; null when the record is not one of ours.
    static EffectBase* fromRecord(AEffect* e);

    // Attaches the editor (or detaches with null) and keeps effFlagsHasEditor in step.
    void setEditor(EditorBase* e);
    EditorBase* getEditor() const { return editor; }
    HostCallback getAudioMaster() const { return audioMaster; }

    virtual void setParameter(int32_t index, float value);
    virtual float getParameter(int32_t index);
    virtual void automateParameter(int32_t index, float value);
    virtual void process(float** inputs, float** outputs, int32_t sampleFrames) = 0;
    virtual void processReplacing(float** inputs, float** outputs, int32_t sampleFrames);
    virtual intptr_t dispatcher(int32_t opCode, int32_t index, intptr_t value, void* ptr,
                                float opt);
    virtual void open();
    virtual void close();
    virtual int32_t getProgram();
    virtual void setProgram(int32_t program);
    virtual void setProgramName(char* text);
    virtual void getProgramName(char* text);
    virtual void getParamLabel(int32_t index, char* text);
    virtual void getParamDisplay(int32_t index, char* text);
    virtual void getParamName(int32_t index, char* text);
    virtual float getVu();
    virtual int32_t getChunk(void** data, bool isPreset);
    virtual int32_t setChunk(void* data, int32_t byteSize, bool isPreset);
    virtual void setSampleRate(float rate);
    virtual void setBlockSize(int32_t size);
    virtual void suspend();
    virtual void resume();
    virtual void setUniqueId(int32_t id);
    virtual void setNumInputs(int32_t count);
    virtual void setNumOutputs(int32_t count);
    virtual void setHasVu(bool state);
    virtual void setHasClip(bool state);
    virtual void setCanMono(bool state);
    virtual void setCanReplacing(bool state);
    virtual void setProgramChunks(bool state);
    virtual void setRealQualities(int32_t count);
    virtual void setOffQualities(int32_t count);
    virtual void setInitialDelay(int32_t frames);
    virtual float getSampleRate();
    virtual int32_t getBlockSize();
    virtual int32_t getHostVersion();
    virtual int32_t getHostCurrentId();
    virtual void hostIdle();
    virtual bool isInputPinConnected(int32_t input);
    virtual bool isOutputPinConnected(int32_t output);

    // Value-to-text formatters for the host's parameter display. Each writes at most 8
    // characters and a terminating zero; digits are truncated, never rounded.
    virtual void formatDecibels(float value, char* text);
    virtual void formatHertz(float samples, char* text);
    virtual void formatMilliseconds(float samples, char* text);
    virtual void formatFloat(float value, char* text, int8_t reserve);
    virtual void formatInteger(int32_t value, char* text);

protected:
    void setFlag(int32_t mask, bool state);
    // Calls the host, or answers `fallback` without one.
    intptr_t callHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f, intptr_t fallback = 0);

    AEffect effectRecord;
    float sampleRate = 44100.0f;
    EditorBase* editor = nullptr;
    HostCallback audioMaster;
    int32_t numPrograms;
    int32_t numParams;
    // Set by program changes on the host's thread, read by parameter writes on any thread.
    std::atomic<int32_t> currentProgram{0};
    int32_t blockSize = 1024;
};

} // namespace qx
