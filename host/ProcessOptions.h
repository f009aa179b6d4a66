#pragma once
// The options of `qxhost process`, shared with `qxhost panel --input` (which processes a file
// the same way before drawing).

#include <string>
#include <vector>

namespace qxhost {

struct ProcessOptions {
    std::vector<std::string> params; // NAME=VALUE, in order
    int program = -1;
    int block = 512;
    bool accumulate = false;
    bool replace = false; // given explicitly
    bool asFloat = false;
    bool dither = false;
    std::string plot;
    int plotWidth = 0, plotHeight = 0; // 0: the plot's default
    std::string json;                  // "-" for stdout
    std::string outDir;

    enum class Take { Taken, NotMine, Bad };
    // Consumes argv[i] (and the value after it) when it is one of these options; `i` is left at
    // the last argument consumed. Bad sets a one-line `error`.
    Take take(int argc, char** argv, int& i, std::string& error);
    // Refuses options that contradict each other; one-line `error`.
    bool consistent(std::string& error) const;
};

} // namespace qxhost
