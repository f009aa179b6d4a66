#include "host/ProcessOptions.h"

#include <cstdlib>

namespace qxhost {

namespace {

bool parseInt(const char* text, int lo, int hi, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

ProcessOptions::Take ProcessOptions::take(int argc, char** argv, int& i, std::string& error) {
    const std::string a = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    auto bad = [&](const std::string& message) {
        error = message;
        return Take::Bad;
    };
    if (a == "--param") {
        const char* v = value();
        if (v == nullptr) return bad("--param needs NAME=VALUE");
        params.emplace_back(v);
    } else if (a == "--program") {
        const char* v = value();
        if (v == nullptr || !parseInt(v, 0, 9, program)) return bad("--program needs a number from 0 to 9");
    } else if (a == "--block") {
        const char* v = value();
        if (v == nullptr || !parseInt(v, 1, 1 << 20, block))
            return bad("--block needs a number of frames from 1 to 1048576");
    } else if (a == "--replace") {
        replace = true;
    } else if (a == "--accumulate") {
        accumulate = true;
    } else if (a == "--float") {
        asFloat = true;
    } else if (a == "--dither") {
        const char* v = value();
        if (v == nullptr || std::string(v) != "tpdf") return bad("--dither takes tpdf");
        dither = true;
    } else if (a == "--plot") {
        const char* v = value();
        if (v == nullptr) return bad("--plot needs a file name (.png or .svg)");
        plot = v;
    } else if (a == "--plot-size") {
        const char* v = value();
        const std::string s = v != nullptr ? v : "";
        const auto x = s.find_first_of("xX");
        if (x == std::string::npos || !parseInt(s.substr(0, x).c_str(), 300, 10000, plotWidth) ||
            !parseInt(s.substr(x + 1).c_str(), 200, 5000, plotHeight))
            return bad("--plot-size needs WIDTHxHEIGHT, from 300x200 to 10000x5000");
    } else if (a == "--json") {
        const char* v = value();
        if (v == nullptr) return bad("--json needs a file name or -");
        json = v;
    } else if (a == "--out-dir") {
        const char* v = value();
        if (v == nullptr) return bad("--out-dir needs a directory");
        outDir = v;
    } else {
        return Take::NotMine;
    }
    return Take::Taken;
}

bool ProcessOptions::consistent(std::string& error) const {
    if (replace && accumulate) {
        error = "--replace and --accumulate exclude each other";
        return false;
    }
    if (dither && asFloat) {
        error = "--dither applies to integer output, not to --float";
        return false;
    }
    if (plotWidth != 0 && plot.empty()) {
        error = "--plot-size needs --plot";
        return false;
    }
    return true;
}

} // namespace qxhost
