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

#include <cerrno>
#include <cstdio>
#include <cstring>
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

// Creates `dir` and any missing parents, as mkdir -p does.
bool makeDirectories(const std::string& dir, std::string& error) {
    for (size_t end = dir.find_first_of("/\\", 1);; end = dir.find_first_of("/\\", end + 1)) {
        const std::string part = dir.substr(0, end);
        if (part.back() == ':') continue; // a drive
        struct stat st;
        if (::stat(part.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) {
                error = "--out-dir " + dir + ": " + part + " is not a directory";
                return false;
            }
        } else {
#if defined(_WIN32)
            const int rc = _mkdir(part.c_str());
#else
            const int rc = ::mkdir(part.c_str(), 0777);
#endif
            if (rc != 0 && errno != EEXIST) {
                error = "--out-dir " + dir + ": cannot create " + part + ": " + std::strerror(errno);
                return false;
            }
        }
        if (end == std::string::npos) return true;
    }
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
    if (!o.outDir.empty() && !makeDirectories(o.outDir, error)) return fail(error, 1);
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

// One input to one output (and the plot). Answers 0, or the exit code with a one-line `error`;
// `fatal` when the rest of a batch would fail the same way (the plug-in, the arguments).
int processOne(const Job& job, size_t index, ProcessResult& r, std::string& error, bool& fatal) {
    const ProcessOptions& o = job.options;
    const std::string& inPath = job.inputs[index];
    const std::string& outPath = job.outputs[index];
    r.inPath = inPath;
    r.outPath = outPath;
    r.dither = o.dither;
    fatal = false;
    auto failed = [&](const std::string& message, int code) {
        error = message;
        return code;
    };

    AudioReader reader;
    if (!reader.open(inPath)) return failed(inPath + ": " + reader.error(), 1);
    const AudioFormat& format = reader.format();
    if (format.channels < 1 || format.channels > 2)
        return failed(inPath + ": only mono and stereo files are supported", 1);
    if (!AudioWriter::formatFor(outPath, format, o.asFloat, r.output, error))
        return failed(outPath + ": " + error, 2);
    if (o.dither && r.output.bits == 0)
        return failed("--dither applies to integer output; " + outPath + " gets " + r.output.description, 2);

    const auto host = PluginSession::forModule(job.plugin);
    std::string changed;
    bool badArgument = false;
    if (!FileProcessor::setUp(*host, job.plugin, o, changed, error, badArgument)) {
        fatal = true;
        return failed(error, badArgument ? 2 : 1);
    }

    OutputFile out;
    if (!out.begin(outPath, job.inputs)) return failed(out.error(), 1);
    AudioWriter writer;
    if (!writer.open(out.tempPath(), r.output, o.dither))
        return failed(out.mentioningPath(outPath + ": " + writer.error()), 1);

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
    if (!processor.run(reader, &writer, r, error)) return failed(out.mentioningPath(outPath + ": " + error), 1);
    // The plot is drawn before the audio takes its place, so a failing plot leaves nothing behind.
    OutputFile picture;
    if (!o.plot.empty()) {
        if (!picture.begin(o.plot, job.inputs)) return failed(picture.error(), 1);
        if (!plot.write(picture.tempPath(), extensionOf(o.plot), error))
            return failed(picture.mentioningPath(error), 1);
    }
    if (!out.commit()) return failed(out.error(), 1);
    if (!o.plot.empty()) {
        if (!picture.commit()) return failed(picture.error(), 1);
        r.plotPath = o.plot;
    }
    if (r.truncated)
        std::fprintf(stderr, "qxhost process: warning: %s ends before its header says; %lld frames read\n",
                     inPath.c_str(), static_cast<long long>(r.frames));
    return 0;
}

} // namespace

int runProcessCommand(int argc, char** argv) {
    Job job;
    if (const int code = parseJob(argc, argv, job)) return code;
    OutputFile::installSignalCleanup();
    // With the JSON on stdout the summary goes to stderr, so a script reads clean JSON.
    std::FILE* text = job.options.json == "-" ? stderr : stdout;
    const bool batch = !job.options.outDir.empty();

    // Several files: each reported as it finishes; a file that fails is named and the rest go on.
    ProcessReport report;
    for (size_t i = 0; i < job.inputs.size(); ++i) {
        ProcessResult r;
        std::string error;
        bool fatal = false;
        if (const int code = processOne(job, i, r, error, fatal)) {
            if (!batch || fatal) return fail(error, code);
            std::fprintf(stderr, "qxhost process: %s\n", error.c_str());
            report.addFailure(job.inputs[i], error);
            continue;
        }
        if (batch)
            ProcessReport::printLine(text, r);
        else
            ProcessReport::printSummary(text, r);
        std::fflush(text);
        ProcessReport::warnOvers(stderr, r);
        report.add(r);
    }
    if (batch) report.printTotal(text);
    if (job.options.json == "-") {
        std::fputs(report.json().c_str(), stdout);
    } else if (!job.options.json.empty()) {
        std::string error;
        if (!writeText(job.options.json, report.json(), job.inputs, error)) return fail(error, 1);
    }
    return report.failures().empty() ? 0 : 1;
}

} // namespace qxhost
