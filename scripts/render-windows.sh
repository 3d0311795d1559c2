#!/usr/bin/env bash
# render-windows.sh OUT_DIR [BUILD_DIR]: draws the desktop program's windows (main window,
# splash, About, the usage page) as PNG files under a virtual display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: render-windows.sh OUT_DIR [BUILD_DIR]}
build=${2:-$root/build-test}
cmake --build "$build" --target voltaris-render-windows VoltarisEng >/dev/null
command -v xvfb-run >/dev/null || { echo "xvfb-run is needed (apt-get install xvfb xauth)" >&2; exit 1; }
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/voltaris-render-windows" "$out"
ls "$out"
