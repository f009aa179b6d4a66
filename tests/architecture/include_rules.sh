#!/usr/bin/env bash
# Each folder may include only from the layers below it:
#   dsp/    -> dsp/
#   core/   -> core/ dsp/
#   model/  -> model/ core/ dsp/ (no plug-in format, no panel)
#   editor/ -> editor/ core/ resources/ (the panel sees the effect only through editor/PanelModel.h)
#   module/ -> module/ model/ editor/ core/ dsp/ (what every plug-in module shares)
#   a format's folder -> the layers below, never another format's folder; plugin/ and effect/
#   are one format (the VST 2 class chain runs through both)
set -euo pipefail
cd "$1"
status=0
check() { # folder, allowed prefixes as an extended regular expression
  local bad
  bad=$(grep -rnE '^\s*#\s*include\s+"' "$1" --include='*.h' --include='*.cpp' --include='*.inc' |
        grep -vE "#\s*include\s+\"($2)" || true)
  if [ -n "$bad" ]; then
    echo "$1 includes from a layer above it:"
    echo "$bad"
    status=1
  fi
}
below='model/|core/|dsp/|editor/|module/|resources/'
check dsp 'dsp/'
check core 'core/|dsp/'
check model 'model/|core/|dsp/'
check editor 'editor/|core/|resources/'
check module 'module/|model/|editor/|core/|dsp/'
# The class chain: EditableLimiter derives from LimiterEffect, which derives from ExtendedEffect
# and asks the entry layer whether the panel may be allocated. No other include crosses.
check plugin "plugin/|effect/LimiterEffect\.h|$below"
check effect "effect/|plugin/ExtendedEffect\.h|plugin/PluginEntry\.h|$below"
for format in lv2 vst3 clap; do
  [ -d "$format" ] && check "$format" "$format/|$below"
done
exit $status
