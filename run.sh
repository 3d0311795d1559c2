#!/usr/bin/env bash
# Builds Voltaris and runs the command-line program with the given arguments, e.g.
# ./run.sh list. Without arguments it runs the demonstration against the instrument simulator
# (scripts/demo.sh): no instrument needed.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build" -DVOLTARIS_TESTS=OFF
[ $# -gt 0 ] || exec "$root/scripts/demo.sh" "$root/build/bin"
exec "$root/build/bin/voltaris" "$@"
