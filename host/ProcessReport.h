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
    void add(const ProcessResult& result) { results_.push_back(result); }
    const std::vector<ProcessResult>& results() const { return results_; }

    // The full summary of one file.
    static void printSummary(std::FILE* out, const ProcessResult& r);
    // One line per file, then the total.
    void printLines(std::FILE* out) const;
    // One file: its object; several: {"files": [...], "total": {...}}.
    std::string json() const;

private:
    std::vector<ProcessResult> results_;
};

} // namespace qxhost
