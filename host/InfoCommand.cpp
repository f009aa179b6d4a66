// `qxhost info PLUGIN`: everything a host learns about the plug-in before any audio runs.
// The output holds no addresses, so runs of the Linux and Windows builds can be compared.
#include "host/Commands.h"
#include "host/HostSession.h"

#include <cstdio>
#include <cstring>
#include <string>

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace qxhost {

namespace {

std::string fourCCText(int32_t v) {
    std::string s(4, ' ');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (24 - 8 * i)) & 0xff);
    return s;
}

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
    HostSession s;
    if (!s.load(argv[0])) {
        std::string error = s.error();
#if !defined(_WIN32)
        const std::string advice = windowsModuleAdvice(argv[0]);
        if (!advice.empty()) error = advice;
#endif
        std::fprintf(stderr, "qxhost info: %s\n", error.c_str());
        return 1;
    }
    AEffect* e = s.create();
    if (e == nullptr) {
        std::fprintf(stderr, "qxhost info: %s\n", s.error().c_str());
        return 1;
    }
    const auto construction = s.takeAutomation();

    std::printf("magic          %s (0x%08x)\n", fourCCText(e->magic).c_str(),
                static_cast<unsigned>(e->magic));
    std::printf("uniqueID       %s (0x%08x)\n", fourCCText(e->uniqueID).c_str(),
                static_cast<unsigned>(e->uniqueID));
    std::printf("version        %d\n", e->version);
    std::printf("programs       %d\n", e->numPrograms);
    std::printf("parameters     %d\n", e->numParams);
    std::printf("inputs         %d\n", e->numInputs);
    std::printf("outputs        %d\n", e->numOutputs);
    std::printf("flags          0x%x\n", static_cast<unsigned>(e->flags));
    std::printf("initialDelay   %d\n", e->initialDelay);
    std::printf("ioRatio        %g\n", static_cast<double>(e->ioRatio));
    std::printf("object         %s\n", e->object != nullptr && e->object != e ? "set" : "WRONG");
    std::printf("effect name    \"%s\"\n", s.text(qx::effGetEffectName).c_str());
    std::printf("product        \"%s\"\n", s.text(qx::effGetProductString).c_str());
    std::printf("vendor         \"%s\"\n", s.text(qx::effGetVendorString).c_str());
    std::printf("vendor version %d\n", static_cast<int>(s.dispatch(qx::effGetVendorVersion)));
    std::printf("category       %d\n", static_cast<int>(s.dispatch(qx::effGetPlugCategory)));
    std::printf("tail size      %d\n", static_cast<int>(s.dispatch(qx::effGetTailSize)));
    std::printf("identify       %s\n", fourCCText(static_cast<int32_t>(s.dispatch(qx::effIdentify))).c_str());
    for (const char* cap : {"plugAsChannelInsert", "plugAsSend", "receiveVstEvents"}) {
        char buffer[64];
        std::strcpy(buffer, cap);
        std::printf("canDo %-20s %d\n", cap,
                    static_cast<int>(s.dispatch(qx::effCanDo, 0, 0, buffer)));
    }
    for (int pin = 0; pin < 2; ++pin) {
        VstPinProperties in{}, out{};
        s.dispatch(qx::effGetInputProperties, pin, 0, &in);
        s.dispatch(qx::effGetOutputProperties, pin, 0, &out);
        std::printf("pin %d          in \"%s\" flags %d, out \"%s\" flags %d\n", pin, in.label,
                    in.flags, out.label, out.flags);
    }
    ERect* rect = nullptr;
    if (s.dispatch(qx::effEditGetRect, 0, 0, &rect) != 0 && rect != nullptr)
        std::printf("editor         %d x %d\n", rect->right - rect->left, rect->bottom - rect->top);
    std::printf("automation during construction: %zu calls\n", construction.size());

    std::printf("\nparameters (name | text | label):\n");
    for (int32_t i = 0; i < e->numParams; ++i) {
        std::printf("%2d  \"%s\" | \"%s\" | \"%s\"\n", i, s.text(qx::effGetParamName, i).c_str(),
                    s.text(qx::effGetParamDisplay, i).c_str(),
                    s.text(qx::effGetParamLabel, i).c_str());
    }
    std::printf("\nprograms:\n");
    for (int32_t p = 0; p < e->numPrograms; ++p) {
        char name[64] = {};
        s.dispatch(qx::effGetProgramNameIndexed, p, 0, name);
        std::printf("%2d  \"%s\"\n", p, name);
    }
    s.destroy();
    return 0;
}

} // namespace qxhost
