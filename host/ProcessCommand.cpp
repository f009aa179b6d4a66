// `qxhost process PLUGIN IN OUT ...` and `qxhost process PLUGIN IN... --out-dir DIR ...`: runs
// audio files through the plug-in binary in host-sized blocks at each file's own sample rate,
// writes the results and reports what the limiter did.
#include "host/AudioFile.h"
#include "host/Commands.h"
#include "host/FileProcessor.h"
#include "host/LevelPlot.h"
#include "host/OutputFile.h"
#include "host/ProcessOptions.h"
#include "host/ProcessReport.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

#if defined(_WIN32)
#include <direct.h>
#endif

namespace qxhost {

namespace {

int fail(const std::string& message, int code = 2) {
    std::fprintf(stderr, "qxhost process: %s\n", message.c_str());
    return code;
}

struct Job {
    std::string plugin;
    std::vector<std::string> inputs, outputs;
    ProcessOptions options;
};

std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool makeDirectory(const std::string& dir, std::string& error) {
    struct stat st;
    if (::stat(dir.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return true;
        error = dir + " is not a directory";
        return false;
    }
#if defined(_WIN32)
    const int rc = _mkdir(dir.c_str());
#else
    const int rc = ::mkdir(dir.c_str(), 0777);
#endif
    if (rc != 0) error = "cannot create the directory " + dir;
    return rc == 0;
}

// The options, the files and every rule about them that can be checked before any audio runs.
// Answers 0, or the exit code after printing why.
int parseJob(int argc, char** argv, Job& job) {
    std::vector<std::string> positional;
    ProcessOptions& o = job.options;
    for (int i = 0; i < argc; ++i) {
        std::string error;
        switch (o.take(argc, argv, i, error)) {
        case ProcessOptions::Take::Taken:
            continue;
        case ProcessOptions::Take::Bad:
            return fail(error);
        case ProcessOptions::Take::NotMine:
            break;
        }
        const std::string a = argv[i];
        if (a.size() > 1 && a[0] == '-') return fail("unknown option " + a);
        positional.push_back(a);
    }
    std::string error;
    if (!o.consistent(error)) return fail(error);
    if (o.outDir.empty()) {
        if (positional.size() != 3) return fail("expected PLUGIN IN OUT (or PLUGIN IN... --out-dir DIR)");
        job.inputs = {positional[1]};
        job.outputs = {positional[2]};
    } else {
        if (positional.size() < 2) return fail("expected PLUGIN IN... --out-dir DIR");
        job.inputs.assign(positional.begin() + 1, positional.end());
        for (const auto& in : job.inputs) job.outputs.push_back(o.outDir + "/" + baseName(in));
        if (!o.plot.empty() && job.inputs.size() > 1) return fail("--plot draws one file; give one input");
    }
    job.plugin = positional[0];

    if (!o.plot.empty()) {
        if (!LevelPlot::available()) return fail("--plot: plots are not available in this build");
        if (!checkExtension(o.plot, LevelPlot::extensions(), error)) return fail("--plot: " + error);
    }
    if (!o.json.empty() && o.json != "-" && !checkExtension(o.json, {"json"}, error))
        return fail("--json: " + error);
    // Every file written is named once and is none of the inputs.
    std::vector<std::string> written = job.outputs;
    if (!o.plot.empty()) written.push_back(o.plot);
    if (!o.json.empty() && o.json != "-") written.push_back(o.json);
    for (size_t i = 0; i < written.size(); ++i)
        for (size_t k = i + 1; k < written.size(); ++k)
            if (written[i] == written[k]) return fail(written[i] + " would be written twice");
    if (!o.outDir.empty() && !makeDirectory(o.outDir, error)) return fail(error, 1);
    for (const auto& path : written)
        if (!OutputFile::checkDestination(path, job.inputs, error)) return fail(error, 1);
    return 0;
}

// Writes `text` to `path` through a temporary file.
bool writeText(const std::string& path, const std::string& text, const std::vector<std::string>& inputs,
               std::string& error) {
    OutputFile file;
    if (!file.begin(path, inputs)) {
        error = file.error();
        return false;
    }
    std::FILE* f = std::fopen(file.tempPath().c_str(), "wb");
    bool ok = f != nullptr && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (f != nullptr) ok = std::fclose(f) == 0 && ok;
    if (!ok || !file.commit()) {
        error = ok ? file.error() : "cannot write " + path;
        return false;
    }
    return true;
}

// One input to one output (and the plot). Answers 0 or the exit code after printing why.
int processOne(const Job& job, size_t index, ProcessResult& r) {
    const ProcessOptions& o = job.options;
    const std::string& inPath = job.inputs[index];
    const std::string& outPath = job.outputs[index];
    r.inPath = inPath;
    r.outPath = outPath;
    r.dither = o.dither;

    AudioReader reader;
    if (!reader.open(inPath)) return fail(inPath + ": " + reader.error(), 1);
    const AudioFormat& format = reader.format();
    if (format.channels < 1 || format.channels > 2)
        return fail(inPath + ": only mono and stereo files are supported", 1);
    std::string error;
    if (!AudioWriter::formatFor(outPath, format, o.asFloat, r.output, error)) return fail(outPath + ": " + error);
    if (o.dither && r.output.bits == 0)
        return fail("--dither applies to integer output; " + outPath + " gets " + r.output.description);

    const auto host = PluginSession::forModule(job.plugin);
    std::string changed;
    bool badArgument = false;
    if (!FileProcessor::setUp(*host, job.plugin, o, changed, error, badArgument))
        return fail(error, badArgument ? 2 : 1);

    OutputFile out;
    if (!out.begin(outPath, job.inputs)) return fail(out.error(), 1);
    AudioWriter writer;
    if (!writer.open(out.tempPath(), r.output, o.dither)) return fail(outPath + ": " + writer.error(), 1);

    LevelPlot plot(format.sampleRate, format.channels);
    FileProcessor processor(*host, o);
    if (!o.plot.empty()) {
        if (o.plotWidth > 0) plot.setSize(o.plotWidth, o.plotHeight);
        char rate[32];
        std::snprintf(rate, sizeof rate, "%d Hz", format.sampleRate);
        plot.setTitle(baseName(inPath) + "  \xc2\xb7  " + rate + "  \xc2\xb7  " +
                      (changed.empty() ? std::string("as the program sets it") : changed));
        processor.plot = &plot;
    }
    if (!processor.run(reader, &writer, r, error)) return fail(outPath + ": " + error, 1);
    if (!out.commit()) return fail(out.error(), 1);
    if (r.truncated)
        std::fprintf(stderr, "qxhost process: warning: %s ends before its header says; %lld frames read\n",
                     inPath.c_str(), static_cast<long long>(r.frames));

    if (!o.plot.empty()) {
        OutputFile picture;
        if (!picture.begin(o.plot, job.inputs)) return fail(picture.error(), 1);
        if (!plot.write(picture.tempPath(), extensionOf(o.plot), error) || !picture.commit())
            return fail(error.empty() ? picture.error() : error, 1);
        r.plotPath = o.plot;
    }
    return 0;
}

} // namespace

int runProcessCommand(int argc, char** argv) {
    Job job;
    if (const int code = parseJob(argc, argv, job)) return code;
    OutputFile::installSignalCleanup();

    ProcessReport report;
    for (size_t i = 0; i < job.inputs.size(); ++i) {
        ProcessResult r;
        if (const int code = processOne(job, i, r)) return code;
        report.add(r);
    }
    // With the JSON on stdout the summary goes to stderr, so a script reads clean JSON.
    std::FILE* text = job.options.json == "-" ? stderr : stdout;
    if (job.options.outDir.empty())
        ProcessReport::printSummary(text, report.results().front());
    else
        report.printLines(text);
    if (job.options.json == "-") {
        std::fputs(report.json().c_str(), stdout);
    } else if (!job.options.json.empty()) {
        std::string error;
        if (!writeText(job.options.json, report.json(), job.inputs, error)) return fail(error, 1);
    }
    return 0;
}

} // namespace qxhost
