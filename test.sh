#!/usr/bin/env bash
# Builds and runs every test: the normal build, then the address/undefined sanitizer build.
# ./test.sh --quick runs only the normal build.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/deps.sh"

run_suite() {
  local dir=$1; shift
  "$root/scripts/build.sh" "$dir" "$@"
  (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" \
     --timeout 600)
}

run_suite "$root/build-test"
if [ "${1:-}" != "--quick" ]; then
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_suite "$root/build-asan" -DVOLTARIS_SANITIZE=ON
fi
echo "All tests passed."
