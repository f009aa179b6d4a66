#include "host/ProcessReport.h"

#include "host/LoudnessMeter.h"

#include <cmath>

namespace qxhost {

namespace {

double decibels(double v) { return v > 0.0 ? 20.0 * std::log10(v) : -INFINITY; }

std::string number(double v, const char* format = "%.2f") {
    v += 0.0; // no "-0.00"
    if (!std::isfinite(v)) return v < 0 ? "-inf" : "inf";
    char buf[48];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

std::string jsonNumber(double v, const char* format = "%.3f") { return std::isfinite(v) ? number(v, format) : "null"; }

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

double speed(const ProcessResult& r) {
    const double duration = r.input.sampleRate > 0 ? static_cast<double>(r.frames) / r.input.sampleRate : 0.0;
    return r.pluginSeconds > 0.0 ? duration / r.pluginSeconds : 0.0;
}

std::string loudnessJson(const Loudness& l) {
    if (!l.available) return "null";
    return "{\"integrated_lufs\": " + jsonNumber(l.integrated) + ", \"loudness_range_lu\": " +
           jsonNumber(l.range) + ", \"true_peak_dbtp\": " + jsonNumber(l.truePeak) +
           ", \"sample_peak_dbfs\": " + jsonNumber(l.samplePeak) + "}";
}

std::string fileJson(const ProcessResult& r, const std::string& indent) {
    const std::string i = indent + "  ";
    std::string s = "{\n";
    s += i + "\"input_file\": " + jsonString(r.inPath) + ",\n";
    s += i + "\"output_file\": " + (r.outPath.empty() ? "null" : jsonString(r.outPath)) + ",\n";
    s += i + "\"plot_file\": " + (r.plotPath.empty() ? "null" : jsonString(r.plotPath)) + ",\n";
    s += i + "\"frames\": " + std::to_string(r.frames) + ",\n";
    s += i + "\"truncated\": " + (r.truncated ? "true" : "false") + ",\n";
    s += i + "\"sample_rate\": " + std::to_string(r.input.sampleRate) + ",\n";
    s += i + "\"channels\": " + std::to_string(r.input.channels) + ",\n";
    s += i + "\"input_format\": " + jsonString(r.input.description) + ",\n";
    s += i + "\"output_format\": " + (r.outPath.empty() ? "null" : jsonString(r.output.description)) + ",\n";
    s += i + "\"input_peak_dbfs\": " + jsonNumber(decibels(r.inPeak)) + ",\n";
    s += i + "\"output_peak_dbfs\": " + jsonNumber(decibels(r.outPeak)) + ",\n";
    s += i + "\"loudness_available\": " + (r.inLoudness.available ? "true" : "false") + ",\n";
    s += i + "\"input_loudness\": " + loudnessJson(r.inLoudness) + ",\n";
    s += i + "\"output_loudness\": " + loudnessJson(r.outLoudness) + ",\n";
    const bool change = r.inLoudness.available && std::isfinite(r.inLoudness.integrated) &&
                        std::isfinite(r.outLoudness.integrated);
    s += i + "\"loudness_change_lu\": " +
         (change ? jsonNumber(r.outLoudness.integrated - r.inLoudness.integrated) : "null") + ",\n";
    s += i + "\"gain_reduction_db\": " + jsonNumber(-decibels(r.minGain)) + ",\n";
    s += i + "\"clipped_samples\": " + std::to_string(r.clipped) + ",\n";
    s += i + "\"dither\": " + (r.dither ? "\"tpdf\"" : "null") + ",\n";
    s += i + "\"speed_x_realtime\": " + jsonNumber(speed(r), "%.1f") + "\n";
    return s + indent + "}";
}

void loudnessLine(std::FILE* out, const char* name, double in, double outValue, const char* unit,
                  bool withChange) {
    std::fprintf(out, "%-17s %8s %-4s  %8s %-4s", name, number(in, "%.1f").c_str(), unit,
                 number(outValue, "%.1f").c_str(), unit);
    if (withChange && std::isfinite(in) && std::isfinite(outValue))
        std::fprintf(out, "  %+6.1f LU", outValue - in);
    std::fputc('\n', out);
}

} // namespace

void ProcessReport::printSummary(std::FILE* out, const ProcessResult& r) {
    std::fprintf(out, "%s: %lld frames, %d Hz, %d channel%s, %s\n", r.inPath.c_str(),
                 static_cast<long long>(r.frames), r.input.sampleRate, r.input.channels,
                 r.input.channels == 1 ? "" : "s", r.input.description.c_str());
    std::fprintf(out, "%-17s %13s  %13s  %9s\n", "", "input", "output", "change");
    if (r.inLoudness.available) {
        loudnessLine(out, "integrated", r.inLoudness.integrated, r.outLoudness.integrated, "LUFS", true);
        loudnessLine(out, "loudness range", r.inLoudness.range, r.outLoudness.range, "LU", false);
        loudnessLine(out, "true peak", r.inLoudness.truePeak, r.outLoudness.truePeak, "dBTP", false);
    } else {
        std::fprintf(out, "%-17s not available in this build\n", "loudness");
        std::fprintf(out, "%-17s not available in this build\n", "true peak");
    }
    loudnessLine(out, "sample peak", decibels(r.inPeak), decibels(r.outPeak), "dBFS", false);
    std::fprintf(out, "%-17s %8s dB at most\n", "gain reduction", number(-decibels(r.minGain)).c_str());
    std::fprintf(out, "%-17s %lld\n", "clipped samples", static_cast<long long>(r.clipped));
    if (r.dither) std::fprintf(out, "%-17s TPDF, one LSB of %d bit\n", "dither", r.output.bits);
    if (speed(r) > 0.0) std::fprintf(out, "%-17s %.0fx real time\n", "speed", speed(r));
    if (!r.outPath.empty())
        std::fprintf(out, "%-17s %s (%s)%s%s\n", "written", r.outPath.c_str(), r.output.description.c_str(),
                     r.plotPath.empty() ? "" : ", ", r.plotPath.c_str());
}

void ProcessReport::printLine(std::FILE* out, const ProcessResult& r) {
    std::fprintf(out, "%s -> %s: ", r.inPath.c_str(), r.outPath.c_str());
    if (r.inLoudness.available)
        std::fprintf(out, "%s -> %s LUFS, true peak %s dBTP, ", number(r.inLoudness.integrated, "%.1f").c_str(),
                     number(r.outLoudness.integrated, "%.1f").c_str(), number(r.outLoudness.truePeak, "%.1f").c_str());
    std::fprintf(out, "peak %s dBFS, reduction %s dB, %lld clipped\n", number(decibels(r.outPeak), "%.1f").c_str(),
                 number(-decibels(r.minGain), "%.1f").c_str(), static_cast<long long>(r.clipped));
    std::fflush(out);
}

void ProcessReport::printTotal(std::FILE* out) const {
    int64_t frames = 0, clipped = 0;
    double audio = 0.0, plugin = 0.0;
    for (const auto& r : results_) {
        frames += r.frames;
        clipped += r.clipped;
        audio += r.input.sampleRate > 0 ? static_cast<double>(r.frames) / r.input.sampleRate : 0.0;
        plugin += r.pluginSeconds;
    }
    std::fprintf(out, "total: %zu file%s, %lld frames (%.1f s), %lld clipped", results_.size(),
                 results_.size() == 1 ? "" : "s", static_cast<long long>(frames), audio,
                 static_cast<long long>(clipped));
    if (plugin > 0.0) std::fprintf(out, ", %.0fx real time", audio / plugin);
    std::fputc('\n', out);
    if (failures_.empty()) return;
    std::fprintf(out, "failed: %zu of %zu file%s\n", failures_.size(), failures_.size() + results_.size(),
                 failures_.size() + results_.size() == 1 ? "" : "s");
    for (const auto& f : failures_) std::fprintf(out, "  %s: %s\n", f.inPath.c_str(), f.error.c_str());
}

void ProcessReport::warnOvers(std::FILE* out, const ProcessResult& r) {
    if (r.outPeak <= 1.0 && r.clipped == 0) return;
    std::fprintf(out,
                 "qxhost process: warning: %s peaks at %s dBFS with %lld samples above full scale (%s); "
                 "lower Input or Output, raise Pressure, set Limit to Hard, or put a true-peak limiter after it\n",
                 r.outPath.c_str(), number(decibels(r.outPeak), "%+.1f").c_str(), static_cast<long long>(r.clipped),
                 r.output.bits > 0 ? "clipped in the integer file" : "kept in the float file");
}

std::string ProcessReport::json() const {
    if (results_.size() == 1 && failures_.empty()) return fileJson(results_[0], "") + "\n";
    int64_t frames = 0, clipped = 0;
    std::string s = "{\n  \"files\": [\n";
    for (size_t i = 0; i < results_.size(); ++i) {
        s += "    " + fileJson(results_[i], "    ") + (i + 1 < results_.size() ? ",\n" : "\n");
        frames += results_[i].frames;
        clipped += results_[i].clipped;
    }
    s += "  ],\n  \"failed\": [";
    for (size_t i = 0; i < failures_.size(); ++i)
        s += std::string(i == 0 ? "\n" : ",\n") + "    {\"input_file\": " + jsonString(failures_[i].inPath) +
             ", \"error\": " + jsonString(failures_[i].error) + "}" + (i + 1 == failures_.size() ? "\n  " : "");
    s += "],\n  \"total\": {\"files\": " + std::to_string(results_.size()) +
         ", \"frames\": " + std::to_string(frames) + ", \"clipped_samples\": " + std::to_string(clipped) + "}\n}\n";
    return s;
}

} // namespace qxhost
