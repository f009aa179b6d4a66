#pragma once
// What `qxhost process` tells the user: a summary per file (peaks, loudness and true peak of
// input and output, the change in loudness, gain reduction, clipped samples, speed), one line per
// file and a total when several files were done, and the same figures as one JSON object.

#include "host/FileProcessor.h"

#include <cstdio>
#include <string>
#include <vector>

namespace qxhost {

class ProcessReport {
public:
    struct Failure {
        std::string inPath, error;
    };

    void add(const ProcessResult& result) { results_.push_back(result); }
    void addFailure(const std::string& inPath, const std::string& error) { failures_.push_back({inPath, error}); }
    const std::vector<ProcessResult>& results() const { return results_; }
    const std::vector<Failure>& failures() const { return failures_; }

    // The full summary of one file.
    static void printSummary(std::FILE* out, const ProcessResult& r);
    // The line of one file among several.
    static void printLine(std::FILE* out, const ProcessResult& r);
    // After the lines: the total of the files done, and each failure with its reason.
    void printTotal(std::FILE* out) const;
    // One line of warning when the output went above full scale: by how much, how many samples,
    // whether they were clipped, and what to change. Nothing otherwise.
    static void warnOvers(std::FILE* out, const ProcessResult& r);
    // One file: its object; several: {"files": [...], "failed": [...], "total": {...}}.
    std::string json() const;

private:
    std::vector<ProcessResult> results_;
    std::vector<Failure> failures_;
};

} // namespace qxhost
