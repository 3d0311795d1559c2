#!/usr/bin/env bash
# render-icons.sh OUT_DIR [BUILD_DIR]: renders every icon and logo of the program to PNG at
# the sizes it is shown at, plus contact sheets, into OUT_DIR. Builds the small renderer in
# BUILD_DIR (default: build) first; the pictures come from the compiled-in resources, so
# what lands in OUT_DIR is what the program shows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: render-icons.sh OUT_DIR [BUILD_DIR]}
build=${2:-$root/build}
if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target voltaris-render-icons >/dev/null
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$build/bin/voltaris-render-icons" "$out"
echo "rendered into $out"
