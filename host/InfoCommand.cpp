// `qxhost info PLUGIN`: everything a host learns about the plug-in before any audio runs.
// The output holds no addresses, so runs of the Linux and Windows builds can be compared.
#include "host/Commands.h"
#include "host/PluginSession.h"

#include <cstdio>
#include <cstring>
#include <string>

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace qxhost {

namespace {

#if !defined(_WIN32)
// What a Linux host can say about a Windows module it cannot load: what it is, and the command
// that runs the Windows build of qxhost (beside this one's build tree when there is one) on it
// under wine. Empty when `path` is no Windows module.
std::string windowsModuleAdvice(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return "";
    unsigned char h[64] = {}, pe[6] = {};
    bool mz = std::fread(h, 1, sizeof h, f) == sizeof h && h[0] == 'M' && h[1] == 'Z';
    const long peAt = h[60] | (h[61] << 8) | (h[62] << 16) | (long(h[63]) << 24);
    const bool havePe = mz && std::fseek(f, peAt, SEEK_SET) == 0 && std::fread(pe, 1, 6, f) == 6 &&
                        std::memcmp(pe, "PE\0\0", 4) == 0;
    std::fclose(f);
    if (!mz) return "";
    const unsigned machine = havePe ? unsigned(pe[4] | (pe[5] << 8)) : 0;
    const char* width = machine == 0x14c ? "x86, 32-bit" : machine == 0x8664 ? "x64" : "not x86";
    const std::string tree = machine == 0x14c ? "win-i686" : "win-x86_64";
    // This host sits at BUILD/linux/host/qxhost; ./scripts/build.sh puts the Windows ones at
    // BUILD/win-*/host/qxhost.exe.
    std::string host = "build/" + tree + "/host/qxhost.exe";
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        std::string build(self, size_t(n));
        for (int up = 0; up < 3 && build.find('/') != std::string::npos; ++up) build.erase(build.rfind('/'));
        const std::string beside = build + "/" + tree + "/host/qxhost.exe";
        if (::access(beside.c_str(), R_OK) == 0) host = beside;
    }
    std::string advice = path + " is a Windows module (" + width + "), which this Linux host cannot load";
    if (machine != 0x14c && machine != 0x8664) return advice;
    return advice + "; run the Windows qxhost on it under wine" +
           (machine == 0x14c ? " (32-bit wine, wine32:i386)" : "") + ":\n  wine " + host + " info " + path;
}
#endif

} // namespace

int runInfoCommand(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr, "qxhost info: expected exactly one PLUGIN argument\n");
        return 2;
    }
    const auto s = PluginSession::forModule(argv[0]);
    if (!s->open(argv[0])) {
        std::string error = s->error();
#if !defined(_WIN32)
        const std::string advice = windowsModuleAdvice(argv[0]);
        if (!advice.empty()) error = advice;
#endif
        std::fprintf(stderr, "qxhost info: %s\n", error.c_str());
        return 1;
    }
    s->printInfo(stdout);
    return 0;
}

} // namespace qxhost
