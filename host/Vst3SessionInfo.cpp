// `qxhost info` for a VST 3 bundle: the factory and its class, what the instance answers, its
// buses, parameters and program list. No addresses; class ids as the four words hosts write,
// the same on every platform. Lines that differ by system by design start with "view".
#include "host/Vst3Session.h"

#include <cinttypes>

namespace qxhost {

using namespace qx::vst3;

namespace {

// A class id as its four words (the bytes are in the platform's order, see Vst3Abi.h).
std::string uidText(const int8* b) {
    auto u = [b](int i) { return uint32_t(uint8_t(b[i])); };
#if defined(_WIN32)
    const uint32_t w[4] = {u(0) | u(1) << 8 | u(2) << 16 | u(3) << 24,
                           u(6) | u(7) << 8 | u(4) << 16 | u(5) << 24,
                           u(8) << 24 | u(9) << 16 | u(10) << 8 | u(11),
                           u(12) << 24 | u(13) << 16 | u(14) << 8 | u(15)};
#else
    uint32_t w[4];
    for (int i = 0; i < 4; ++i)
        w[i] = u(4 * i) << 24 | u(4 * i + 1) << 16 | u(4 * i + 2) << 8 | u(4 * i + 3);
#endif
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%08X-%08X-%08X", w[0], w[1], w[2], w[3]);
    return text;
}

const char* yesNo(bool b) {
    return b ? "yes" : "no";
}

template <typename I> bool answers(FUnknown* object) {
    void* obj = nullptr;
    if (object->queryInterface(I::iid.bytes, &obj) != kResultOk || obj == nullptr) return false;
    static_cast<FUnknown*>(obj)->release();
    return true;
}

void printBuses(std::FILE* out, IComponent* c, MediaType type, const char* kind) {
    for (BusDirection dir : {kInput, kOutput}) {
        const int32 count = c->getBusCount(type, dir);
        std::fprintf(out, "%s buses %s: %d\n", kind, dir == kInput ? "in" : "out", count);
        for (int32 i = 0; i < count; ++i) {
            BusInfo bus{};
            if (c->getBusInfo(type, dir, i, bus) != kResultOk) continue;
            std::fprintf(out, "  bus %d \"%s\": %d channels, %s%s\n", i, vst3Text(bus.name).c_str(),
                         bus.channelCount, bus.busType == kMain ? "main" : "aux",
                         (bus.flags & BusInfo::kDefaultActive) != 0 ? ", active by default" : "");
        }
    }
}

} // namespace

void Vst3Session::printInfo(std::FILE* out) {
    IPluginFactory* f = module_.factory();
    PFactoryInfo fi{};
    f->getFactoryInfo(&fi);
    std::fprintf(out,
                 "format: VST 3\nfactory vendor: %s\nfactory url: %s\nfactory email: %s\n"
                 "factory flags: 0x%x\nclasses: %d\n",
                 fi.vendor, fi.url, fi.email, unsigned(fi.flags), f->countClasses());
    IPluginFactory2* f2 = nullptr;
    f->queryInterface(IPluginFactory2::iid.bytes, reinterpret_cast<void**>(&f2));
    for (int32 i = 0; i < f->countClasses(); ++i) {
        PClassInfo2 c{};
        if (f2 == nullptr || f2->getClassInfo2(i, &c) != kResultOk) continue;
        std::fprintf(out,
                     "class %d: \"%s\", category \"%s\", sub-categories \"%s\", vendor \"%s\", "
                     "version %s, %s, id %s\n",
                     i, c.name, c.category, c.subCategories, c.vendor, c.version, c.sdkVersion,
                     uidText(c.cid).c_str());
    }
    if (f2 != nullptr) f2->release();

    IComponent* c = instance_->component;
    TUID controllerId{};
    std::fprintf(out,
                 "answers: IAudioProcessor %s, IEditController %s, IUnitInfo %s, "
                 "IProcessContextRequirements %s\nseparate controller: %s\n",
                 yesNo(answers<IAudioProcessor>(c)), yesNo(answers<IEditController>(c)),
                 yesNo(answers<IUnitInfo>(c)), yesNo(answers<IProcessContextRequirements>(c)),
                 yesNo(c->getControllerClassId(controllerId) == kResultOk));
    printBuses(out, c, kAudio, "audio");
    printBuses(out, c, kEvent, "event");
    IAudioProcessor* p = instance_->processor;
    std::fprintf(out, "32-bit samples: %s\n64-bit samples: %s\nlatency: %u\ntail: %u\n",
                 yesNo(p->canProcessSampleSize(kSample32) == kResultTrue),
                 yesNo(p->canProcessSampleSize(kSample64) == kResultTrue),
                 unsigned(p->getLatencySamples()), unsigned(p->getTailSamples()));

    IEditController* e = instance_->controller;
    std::fprintf(out, "parameters: %d\n", e->getParameterCount());
    for (int32 i = 0; i < e->getParameterCount(); ++i) {
        ParameterInfo pi{};
        if (e->getParameterInfo(i, pi) != kResultOk) continue;
        String128 text{};
        e->getParamStringByValue(pi.id, pi.defaultNormalizedValue, text);
        std::fprintf(out,
                     "  param %u \"%s\" units \"%s\" steps %d default %.9g (\"%s\") unit %d "
                     "flags 0x%x\n",
                     unsigned(pi.id), vst3Text(pi.title).c_str(), vst3Text(pi.units).c_str(),
                     pi.stepCount, pi.defaultNormalizedValue, vst3Text(text).c_str(), pi.unitId,
                     unsigned(pi.flags));
    }

    IUnitInfo* u = instance_->units;
    const int32 lists = u != nullptr ? u->getProgramListCount() : 0;
    std::fprintf(out, "units: %d\nprogram lists: %d\n", u != nullptr ? u->getUnitCount() : 0,
                 lists);
    for (int32 l = 0; l < lists; ++l) {
        ProgramListInfo li{};
        if (u->getProgramListInfo(l, li) != kResultOk) continue;
        std::fprintf(out, "  list %d \"%s\": %d programs\n", li.id, vst3Text(li.name).c_str(),
                     li.programCount);
        for (int32 k = 0; k < li.programCount; ++k) {
            String128 name{};
            u->getProgramName(li.id, k, name);
            std::fprintf(out, "    %d \"%s\"\n", k, vst3Text(name).c_str());
        }
    }

    IPlugView* view = e->createView(kEditorViewType);
    ViewRect r{};
    if (view != nullptr) view->getSize(&r);
    std::fprintf(
        out, "view: %s, %d x %d\nview X11EmbedWindowID: %s\nview HWND: %s\n",
        yesNo(view != nullptr), r.right - r.left, r.bottom - r.top,
        yesNo(view != nullptr &&
              view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) == kResultTrue),
        yesNo(view != nullptr && view->isPlatformTypeSupported(kPlatformTypeHWND) == kResultTrue));
    if (view != nullptr) view->release();
}

} // namespace qxhost
