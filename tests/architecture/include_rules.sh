#!/usr/bin/env bash
# Each folder may include only from the layers below it:
#   dsp/    -> dsp/
#   core/   -> core/ dsp/
#   editor/ -> editor/ core/ resources/ (the panel sees the effect only through editor/PanelModel.h)
#   lv2/    -> anything but the VST 2 layers (plugin/, effect/)
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
check dsp 'dsp/'
check core 'core/|dsp/'
check editor 'editor/|core/|resources/'
[ -d lv2 ] && check lv2 'lv2/|core/|dsp/|editor/'
exit $status
