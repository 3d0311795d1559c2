#!/usr/bin/env bash
# Builds Voltaris and runs the command-line program with the given arguments
# (default: the configuration list). Example: ./run.sh list
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build" -DVOLTARIS_TESTS=OFF
[ $# -gt 0 ] || set -- list
exec "$root/build/bin/voltaris" "$@"
