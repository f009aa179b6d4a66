#pragma once
// Sets parameters by the names and words the plug-in itself shows, as a user reads them on a
// host's generic panel: "Input=0.5", "Limit=Soft", "Low Punch=On", "force channel=left". Names
// and words match in any case, blanks trimmed. A switch's words are learnt from the plug-in by
// showing the parameter at 0, 0.5 and 1, the value then restored; a word
// stands for 0 or 1 where it shows there, else for 0.5.

#include "host/PluginSession.h"

#include <string>
#include <vector>

namespace qxhost {

class ParameterAssigner {
public:
    // Probes the session's plug-in now; its instance must exist.
    explicit ParameterAssigner(PluginSession& session);

    // Applies "NAME=VALUE" (VALUE a number from 0 to 1 or one of the switch's words) as a host
    // write. False with a one-line reason in `error` (an unknown name lists the
    // known ones, an unknown word the switch's words).
    bool assign(const std::string& assignment, std::string& error);

    // "Name text label" of every parameter as the plug-in shows it now, blanks trimmed.
    std::vector<std::string> shownValues();

    struct Word {
        std::string text;
        float value;
    };
    struct Parameter {
        std::string name;
        std::vector<Word> words; // empty for a continuous parameter
    };
    const std::vector<Parameter>& parameters() const { return parameters_; }

private:
    PluginSession& session_;
    std::vector<Parameter> parameters_;
};

// Blanks trimmed; lower case when `fold`.
std::string normalizedText(const std::string& text, bool fold);

} // namespace qxhost
