#pragma once
// One loaded plug-in instance as qxhost's commands use it, whatever the module's format. Each
// format has one implementation (HostSession for VST 2, ClapSession for CLAP, Vst3Session for
// VST 3); the commands and
// the file processor see only this interface, so a file renders through every format the same
// way and the outputs can be compared bit for bit.
//
// Values are those of the VST 2 interface in every format: 0..1, the two-state switches 0 and 1,
// Force Channel 0, 0.5 and 1. A format whose switches count steps converts both ways.
//
// Threads: one thread calls everything (qxhost runs its audio on the thread that set it up).

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace qxhost {

class PluginSession {
  public:
    virtual ~PluginSession() = default;

    // The session for the module at `path`, picked by its name: "*.clap" is a CLAP module,
    // "*.vst3" a VST 3 bundle (or its Windows binary), anything else a VST 2 module. Nothing is
    // loaded yet.
    static std::unique_ptr<PluginSession> forModule(const std::string& path);

    // Loads the module and creates one instance; false with error() set.
    virtual bool open(const std::string& path) = 0;
    virtual const std::string& error() const = 0;

    // What a host learns before any audio runs, in the format's own terms, one fact a line and
    // no addresses, so two builds' answers can be compared as text (`qxhost info`).
    virtual void printInfo(std::FILE* out) = 0;

    // --- Parameters, by index
    virtual int32_t parameterCount() = 0;
    // Without padding blanks.
    virtual std::string parameterName(int32_t index) = 0;
    // The text the plug-in shows for the current value, and its unit.
    virtual std::string parameterText(int32_t index) = 0;
    virtual std::string parameterLabel(int32_t index) = 0;
    virtual float parameter(int32_t index) = 0;
    virtual void setParameter(int32_t index, float value) = 0;
    // False for a program the plug-in does not have.
    virtual bool selectProgram(int32_t program) = 0;

    // --- Audio: set up and switch on, blocks of at most `maxFrames`, switch off.
    virtual void startProcessing(double sampleRate, int32_t maxFrames) = 0;
    // Two channels each way; `accumulate` adds into the outputs instead of replacing them.
    virtual void process(float* const* inputs, float* const* outputs, int32_t frames,
                         bool accumulate) = 0;
    virtual void stopProcessing() = 0;

    // --- Our own tools' channel into the plug-in (core/PrivateRequests.h): `index` selects the
    // request (QX_METER_INDEX, QX_HEADLESS_INDEX), `command` and `ptr` are that request's. The
    // plug-in's answer; 0 when it refuses or the module has no such channel.
    virtual intptr_t privateRequest(int32_t index, intptr_t command, void* ptr) = 0;
};

} // namespace qxhost
