// `qxhost info` for a VST 2 module: the record's fields, the dispatcher's answers, and the
// parameters and programs as the effect names them.
#include "host/HostSession.h"

#include <cstring>

namespace qxhost {

namespace {

std::string fourCCText(int32_t v) {
    std::string s(4, ' ');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>((v >> (24 - 8 * i)) & 0xff);
    return s;
}

} // namespace

void HostSession::printInfo(std::FILE* out) {
    AEffect* e = effect_;
    if (e == nullptr) return;
    // Nothing has happened since construction but what construction did.
    const auto construction = takeAutomation();

    std::fprintf(out, "magic          %s (0x%08x)\n", fourCCText(e->magic).c_str(),
                 static_cast<unsigned>(e->magic));
    std::fprintf(out, "uniqueID       %s (0x%08x)\n", fourCCText(e->uniqueID).c_str(),
                 static_cast<unsigned>(e->uniqueID));
    std::fprintf(out, "version        %d\n", e->version);
    std::fprintf(out, "programs       %d\n", e->numPrograms);
    std::fprintf(out, "parameters     %d\n", e->numParams);
    std::fprintf(out, "inputs         %d\n", e->numInputs);
    std::fprintf(out, "outputs        %d\n", e->numOutputs);
    std::fprintf(out, "flags          0x%x\n", static_cast<unsigned>(e->flags));
    std::fprintf(out, "initialDelay   %d\n", e->initialDelay);
    std::fprintf(out, "ioRatio        %g\n", static_cast<double>(e->ioRatio));
    std::fprintf(out, "object         %s\n",
                 e->object != nullptr && e->object != e ? "set" : "WRONG");
    std::fprintf(out, "effect name    \"%s\"\n", text(qx::effGetEffectName).c_str());
    std::fprintf(out, "product        \"%s\"\n", text(qx::effGetProductString).c_str());
    std::fprintf(out, "vendor         \"%s\"\n", text(qx::effGetVendorString).c_str());
    std::fprintf(out, "vendor version %d\n", static_cast<int>(dispatch(qx::effGetVendorVersion)));
    std::fprintf(out, "category       %d\n", static_cast<int>(dispatch(qx::effGetPlugCategory)));
    std::fprintf(out, "tail size      %d\n", static_cast<int>(dispatch(qx::effGetTailSize)));
    std::fprintf(out, "identify       %s\n",
                 fourCCText(static_cast<int32_t>(dispatch(qx::effIdentify))).c_str());
    for (const char* cap : {"plugAsChannelInsert", "plugAsSend", "receiveVstEvents"}) {
        char buffer[64];
        std::strcpy(buffer, cap);
        std::fprintf(out, "canDo %-20s %d\n", cap,
                     static_cast<int>(dispatch(qx::effCanDo, 0, 0, buffer)));
    }
    for (int pin = 0; pin < 2; ++pin) {
        VstPinProperties in{}, pinOut{};
        dispatch(qx::effGetInputProperties, pin, 0, &in);
        dispatch(qx::effGetOutputProperties, pin, 0, &pinOut);
        std::fprintf(out, "pin %d          in \"%s\" flags %d, out \"%s\" flags %d\n", pin,
                     in.label, in.flags, pinOut.label, pinOut.flags);
    }
    ERect* rect = nullptr;
    if (dispatch(qx::effEditGetRect, 0, 0, &rect) != 0 && rect != nullptr)
        std::fprintf(out, "editor         %d x %d\n", rect->right - rect->left,
                     rect->bottom - rect->top);
    std::fprintf(out, "automation during construction: %zu calls\n", construction.size());

    std::fprintf(out, "\nparameters (name | text | label):\n");
    for (int32_t i = 0; i < e->numParams; ++i) {
        std::fprintf(out, "%2d  \"%s\" | \"%s\" | \"%s\"\n", i,
                     text(qx::effGetParamName, i).c_str(), text(qx::effGetParamDisplay, i).c_str(),
                     text(qx::effGetParamLabel, i).c_str());
    }
    std::fprintf(out, "\nprograms:\n");
    for (int32_t p = 0; p < e->numPrograms; ++p) {
        char name[64] = {};
        dispatch(qx::effGetProgramNameIndexed, p, 0, name);
        std::fprintf(out, "%2d  \"%s\"\n", p, name);
    }
}

} // namespace qxhost
