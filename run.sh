#!/usr/bin/env bash
# Builds Voltaris and runs the command-line program with the given arguments, e.g.
# ./run.sh list. Without arguments it runs a demonstration against the instrument simulator,
# no instrument needed: the desktop program (VoltarisEng --demo) when a display is available,
# else the command-line demonstration (scripts/demo.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build" -DVOLTARIS_TESTS=OFF
if [ $# -eq 0 ]; then
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$root/build/bin/VoltarisEng" --demo
  fi
  exec "$root/scripts/demo.sh" "$root/build/bin"
fi
exec "$root/build/bin/voltaris" "$@"
