// Build-time tool: writes the bundle's Turtle files from the parameter and program tables, so the
// description can never drift from the code.
//
//   qx_lv2_turtle BUNDLE_DIR VERSION DSP_BINARY [UI_BINARY]
//
// VERSION is the project's MAJOR.MINOR[.PATCH]. LV2 reads odd or zero minor versions as
// development releases, so release MAJOR.MINOR.PATCH is described as minor 2 * (MAJOR * 100 +
// MINOR) and micro 2 * PATCH: 1.0 becomes 200.0, and later releases always compare higher.
#include "core/ParamTable.h"
#include "lv2/MeterProtocol.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using namespace qx;
using namespace qx::lv2;

constexpr const char* kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

constexpr const char* kPluginTtl = "Orv4417-QX.ttl";
constexpr const char* kPresetsTtl = "presets.ttl";
constexpr const char* kFractionUnit = "urn:qem:orv4417-qx#fraction";

// The shortest decimal that reads back as the same float, so a host that parses it as a double
// and narrows it gets the table's exact value (0.7 reads back as 0.699999988).
std::string number(float v) {
    char text[32];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(v));
        if (std::strtof(text, nullptr) == v) break;
    }
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

std::string quoted(const char* text) {
    std::string s = "\"";
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '"' || *c == '\\') s += '\\';
        s += *c;
    }
    return s + "\"";
}

std::string trimmed(const char* text) {
    std::string s = text;
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// "Force Channel" -> "force_channel".
std::string symbolOf(const char* name) {
    std::string s;
    for (char c : trimmed(name)) {
        if (c >= 'A' && c <= 'Z') s += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) s += c;
        else if (!s.empty() && s.back() != '_') s += '_';
    }
    return s;
}

std::string presetUri(int program) {
    return std::string(kPluginUri) + "#program-" + std::to_string(program);
}

void audioPort(std::ostream& o, uint32_t index, bool input, const char* symbol, const char* name) {
    o << "    [\n        a lv2:AudioPort , " << (input ? "lv2:InputPort" : "lv2:OutputPort")
      << " ;\n        lv2:index " << index << " ;\n        lv2:symbol " << quoted(symbol)
      << " ;\n        lv2:name " << quoted(name) << " ;\n    ]";
}

void paramPort(std::ostream& o, int i) {
    const ParamInfo& p = kParamTable[i];
    o << "    [\n        a lv2:ControlPort , lv2:InputPort ;\n"
      << "        lv2:index " << kPortFirstParam + i << " ;\n"
      << "        lv2:symbol " << quoted(symbolOf(p.name).c_str()) << " ;\n"
      << "        lv2:name " << quoted(trimmed(p.name).c_str()) << " ;\n"
      << "        lv2:default " << number(p.defaultValue) << " ;\n"
      << "        lv2:minimum 0.0 ;\n        lv2:maximum 1.0 ;\n";
    switch (p.kind) {
    case ParamKind::Percent:
        o << "        units:unit <" << kFractionUnit << "> ;\n";
        break;
    case ParamKind::Centred:
        o << "        rdfs:comment \"0.5 is unity gain; 0 and 1 are -100 % and +100 %\" ;\n";
        break;
    case ParamKind::TwoState:
    case ParamKind::ThreeState: {
        const int states = p.kind == ParamKind::TwoState ? 2 : 3;
        // Off/On switches are toggles; the others pick one of their words.
        const bool toggle = states == 2 && std::strcmp(p.states[0], "Off") == 0 &&
                            std::strcmp(p.states[1], "On") == 0;
        o << "        lv2:portProperty " << (toggle ? "lv2:toggled" : "lv2:enumeration") << " ;\n";
        for (int s = 0; s < states; ++s) {
            const float value = static_cast<float>(s) / static_cast<float>(states - 1);
            o << "        lv2:scalePoint [ rdfs:label " << quoted(p.states[s]) << " ; rdf:value "
              << number(value) << " ] ;\n";
        }
        break;
    }
    }
    o << "    ]";
}

void meterPort(std::ostream& o, uint32_t index, const char* symbol, const char* name,
               float minimum, float maximum, const char* extra) {
    o << "    [\n        a lv2:ControlPort , lv2:OutputPort ;\n"
      << "        lv2:index " << index << " ;\n        lv2:symbol " << quoted(symbol) << " ;\n"
      << "        lv2:name " << quoted(name) << " ;\n        lv2:default " << number(minimum)
      << " ;\n        lv2:minimum " << number(minimum) << " ;\n        lv2:maximum "
      << number(maximum) << " ;\n"
      << extra << "    ]";
}

void atomPort(std::ostream& o, uint32_t index, bool input, const char* symbol, const char* name) {
    o << "    [\n        a atom:AtomPort , " << (input ? "lv2:InputPort" : "lv2:OutputPort")
      << " ;\n        atom:bufferType atom:Sequence ;\n        atom:supports atom:Object ;\n"
      << "        lv2:index " << index << " ;\n        lv2:symbol " << quoted(symbol)
      << " ;\n        lv2:name " << quoted(name) << " ;\n"
      << "        lv2:portProperty lv2:connectionOptional ;\n"
      << "        rsz:minimumSize 1024 ;\n    ]";
}

std::string pluginTtl(int minor, int micro, const std::string& ui) {
    std::ostringstream o;
    o << kPrefixes;
    o << "<" << kFractionUnit << ">\n    a units:Unit ;\n    rdfs:label \"fraction of full travel\" ;\n"
      << "    units:symbol \"x100 %\" ;\n    units:render \"%.3f\" ;\n"
      << "    units:conversion [ units:to units:pc ; units:factor 100.0 ] .\n\n";
    o << "<" << kPluginUri << ">\n    a lv2:Plugin , lv2:LimiterPlugin , doap:Project ;\n"
      << "    doap:name \"Orv4417-QX\" ;\n"
      << "    doap:maintainer [ foaf:name \"Qem v1.0\" ] ;\n"
      << "    lv2:minorVersion " << minor << " ;\n    lv2:microVersion " << micro << " ;\n"
      << "    lv2:optionalFeature lv2:hardRTCapable , urid:map , opts:options ;\n"
      << "    opts:supportedOption bufsz:maxBlockLength , bufsz:nominalBlockLength ;\n";
    if (!ui.empty()) o << "    ui:ui <" << kUiUri << "> ;\n";
    o << "    lv2:port\n";
    audioPort(o, kPortInLeft, true, "in_left", "Left Input");
    o << " ,\n";
    audioPort(o, kPortInRight, true, "in_right", "Right Input");
    o << " ,\n";
    audioPort(o, kPortOutLeft, false, "out_left", "Left Output");
    o << " ,\n";
    audioPort(o, kPortOutRight, false, "out_right", "Right Output");
    for (int i = 0; i < kNumParams; ++i) {
        o << " ,\n";
        paramPort(o, i);
    }
    o << " ,\n";
    meterPort(o, kPortGainReduction, "gain_reduction", "Gain Reduction", 0.0f, kMaxReductionDb,
              "        units:unit units:db ;\n");
    o << " ,\n";
    meterPort(o, kPortOutputPeak, "output_peak", "Output Peak", kPeakFloorDb, kPeakCeilingDb,
              "        units:unit units:db ;\n");
    o << " ,\n";
    meterPort(o, kPortClip, "clip", "Clip", 0.0f, 1.0f, "        lv2:portProperty lv2:toggled ;\n");
    o << " ,\n";
    meterPort(o, kPortLatency, "latency", "Latency", 0.0f, 0.0f,
              "        lv2:designation lv2:latency ;\n"
              "        lv2:portProperty lv2:reportsLatency , lv2:integer ;\n"
              "        units:unit units:frame ;\n");
    o << " ,\n";
    atomPort(o, kPortControl, true, "control", "Control");
    o << " ,\n";
    atomPort(o, kPortNotify, false, "notify", "Notify");
    o << " .\n";

    if (!ui.empty()) {
        o << "\n<" << kUiUri << ">\n    a ui:X11UI ;\n"
          << "    ui:binary <" << ui << "> ;\n"
          << "    lv2:requiredFeature ui:parent , ui:idleInterface ;\n"
          << "    lv2:optionalFeature urid:map , ui:resize , ui:noUserResize ;\n"
          << "    lv2:extensionData ui:idleInterface ;\n"
          << "    ui:portNotification [\n        ui:plugin <" << kPluginUri << "> ;\n"
          << "        lv2:symbol \"notify\" ;\n        ui:notifyType atom:Object ;\n"
          << "        ui:protocol atom:eventTransfer ;\n    ] .\n";
    }
    return o.str();
}

std::string presetsTtl() {
    std::ostringstream o;
    o << kPrefixes;
    // Every program starts with the table's defaults, as in the VST 2 module.
    for (int p = 0; p < 10; ++p) {
        o << "<" << presetUri(p) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << kPluginUri
          << "> ;\n    rdfs:label " << quoted(trimmed(kProgramNameTable[p]).c_str()) << " ;\n"
          << "    lv2:port\n";
        for (int i = 0; i < kNumParams; ++i) {
            o << "        [ lv2:symbol " << quoted(symbolOf(kParamTable[i].name).c_str())
              << " ; pset:value " << number(kParamTable[i].defaultValue) << " ]"
              << (i + 1 < kNumParams ? " ,\n" : " .\n\n");
        }
    }
    return o.str();
}

std::string manifestTtl(const std::string& dsp, const std::string& ui) {
    std::ostringstream o;
    o << kPrefixes;
    o << "<" << kPluginUri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << dsp << "> ;\n"
      << "    rdfs:seeAlso <" << kPluginTtl << "> .\n\n";
    if (!ui.empty())
        o << "<" << kUiUri << ">\n    a ui:X11UI ;\n    ui:binary <" << ui << "> ;\n"
          << "    rdfs:seeAlso <" << kPluginTtl << "> .\n\n";
    for (int p = 0; p < 10; ++p)
        o << "<" << presetUri(p) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << kPluginUri
          << "> ;\n    rdfs:seeAlso <" << kPresetsTtl << "> .\n\n";
    return o.str();
}

bool write(const std::string& dir, const char* name, const std::string& text) {
    const std::string path = dir + "/" + name;
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << text;
    f.close();
    if (!f) std::fprintf(stderr, "qx_lv2_turtle: cannot write %s\n", path.c_str());
    return static_cast<bool>(f);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr, "usage: qx_lv2_turtle BUNDLE_DIR VERSION DSP_BINARY [UI_BINARY]\n");
        return 2;
    }
    int major = 0, minor = 0, patch = 0;
    if (std::sscanf(argv[2], "%d.%d.%d", &major, &minor, &patch) < 2 || major < 0 || minor < 0 ||
        minor > 99 || patch < 0) {
        std::fprintf(stderr, "qx_lv2_turtle: version %s is not MAJOR.MINOR[.PATCH]\n", argv[2]);
        return 2;
    }
    const std::string dir = argv[1], dsp = argv[3], ui = argc == 5 ? argv[4] : "";
    const bool ok = write(dir, "manifest.ttl", manifestTtl(dsp, ui)) &&
                    write(dir, kPluginTtl, pluginTtl(2 * (major * 100 + minor), 2 * patch, ui)) &&
                    write(dir, kPresetsTtl, presetsTtl());
    return ok ? 0 : 1;
}
