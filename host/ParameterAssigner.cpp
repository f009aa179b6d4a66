#include "host/ParameterAssigner.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace qxhost {

namespace {

bool isNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end != nullptr && *end == '\0';
}

} // namespace

std::string normalizedText(const std::string& text, bool fold) {
    const auto b = text.find_first_not_of(" \t");
    const auto e = text.find_last_not_of(" \t");
    std::string t = b == std::string::npos ? std::string() : text.substr(b, e - b + 1);
    if (fold)
        for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
}

ParameterAssigner::ParameterAssigner(PluginSession& session) : session_(session) {
    const int32_t numParams = session_.parameterCount();
    const int32_t count = numParams > 0 && numParams < 1000 ? numParams : 0;
    const float probes[3] = {0.0f, 0.5f, 1.0f};
    for (int32_t i = 0; i < count; ++i) {
        Parameter p;
        p.name = normalizedText(session_.parameterName(i), false);
        const float saved = session_.parameter(i);
        std::string shown[3];
        bool numeric = false;
        for (int k = 0; k < 3; ++k) {
            session_.setParameter(i, probes[k]);
            shown[k] = normalizedText(session_.parameterText(i), false);
            double v;
            numeric = numeric || isNumber(shown[k], v) || shown[k].empty();
        }
        session_.setParameter(i, saved);
        if (!numeric) {
            for (int k = 0; k < 3; ++k) {
                bool known = false;
                for (const Word& w : p.words) known = known || w.text == shown[k];
                if (known) continue;
                const float value = shown[k] == shown[0] ? 0.0f : shown[k] == shown[2] ? 1.0f : 0.5f;
                p.words.push_back({shown[k], value});
            }
        }
        parameters_.push_back(p);
    }
}

bool ParameterAssigner::assign(const std::string& assignment, std::string& error) {
    const auto eq = assignment.find('=');
    if (eq == std::string::npos) {
        error = "expected NAME=VALUE, got '" + assignment + "'";
        return false;
    }
    const std::string name = normalizedText(assignment.substr(0, eq), false);
    const std::string text = normalizedText(assignment.substr(eq + 1), false);
    int32_t index = -1;
    for (size_t i = 0; i < parameters_.size() && index < 0; ++i)
        if (normalizedText(parameters_[i].name, true) == normalizedText(name, true))
            index = static_cast<int32_t>(i);
    if (index < 0) {
        error = "unknown parameter '" + name + "'; the parameters are ";
        for (size_t i = 0; i < parameters_.size(); ++i)
            error += (i == 0 ? "" : ", ") + parameters_[i].name;
        return false;
    }
    const Parameter& p = parameters_[index];
    double v = 0.0;
    bool ok = isNumber(text, v) && std::isfinite(v) && v >= 0.0 && v <= 1.0;
    for (const Word& w : p.words) {
        if (!ok && normalizedText(w.text, true) == normalizedText(text, true)) {
            v = w.value;
            ok = true;
        }
    }
    if (!ok) {
        error = "'" + p.name + "' takes ";
        for (const Word& w : p.words) error += w.text + ", ";
        error += (p.words.empty() ? "" : "or ") + std::string("a number from 0 to 1, not '") + text + "'";
        return false;
    }
    session_.setParameter(index, static_cast<float>(v));
    return true;
}

std::vector<std::string> ParameterAssigner::shownValues() {
    std::vector<std::string> out;
    for (size_t i = 0; i < parameters_.size(); ++i) {
        const auto index = static_cast<int32_t>(i);
        const std::string display = normalizedText(session_.parameterText(index), false);
        const std::string label = normalizedText(session_.parameterLabel(index), false);
        out.push_back(parameters_[i].name + " " + display + (label.empty() ? "" : " " + label));
    }
    return out;
}

} // namespace qxhost
