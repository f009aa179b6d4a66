#pragma once
// The audio loop of `qxhost process` and `qxhost panel --input`: an opened file through the
// session's plug-in in host-sized blocks at the file's own rate, as a sequencer would run it,
// with what the report needs measured on the way (peaks, loudness, gain reduction, time spent
// in the plug-in).

#include "host/AudioFile.h"
#include "host/PluginSession.h"
#include "host/LoudnessMeter.h"
#include "host/ProcessOptions.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qxhost {

class LevelPlot;

struct ProcessResult {
    std::string inPath, outPath, plotPath;
    AudioFormat input, output;
    int64_t frames = 0;
    bool truncated = false; // the file held fewer frames than its header said
    Loudness inLoudness, outLoudness;
    double inPeak = 0.0, outPeak = 0.0; // linear sample peaks
    double minGain = 1.0;               // smallest gain the plug-in applied
    int64_t clipped = 0;                // output samples outside -1..+1
    double pluginSeconds = 0.0;         // wall-clock time inside process calls
    bool dither = false;
};

class FileProcessor {
public:
    FileProcessor(PluginSession& session, const ProcessOptions& options);

    // Called after every block with the frames done so far (the panel ticks its window here).
    std::function<void(int64_t)> afterBlock;
    // Read and reset the meters after every block to report gain reduction. Off where the panel
    // reads them itself.
    bool readMeters = true;
    // Fed every block when set.
    LevelPlot* plot = nullptr;

    // Loads `plugin` into `session`, creates the instance, selects the program and applies the
    // parameters of `options`. `changed` gets the parameters that now differ from the program,
    // as the plug-in shows them ("Input 50.0 %, Limit Hard"). False with a one-line `error`;
    // `badArgument` tells a user's mistake from a failing plug-in.
    static bool setUp(PluginSession& session, const std::string& plugin, const ProcessOptions& options,
                      std::string& changed, std::string& error, bool& badArgument);

    // Runs `reader` through the plug-in into `writer` (may be null: nothing written) and fills
    // the measured figures of `result`. False with a one-line `error`.
    bool run(AudioReader& reader, AudioWriter* writer, ProcessResult& result, std::string& error);

private:
    PluginSession& session_;
    const ProcessOptions& options_;
};

} // namespace qxhost
