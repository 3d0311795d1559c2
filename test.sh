#!/usr/bin/env bash
# Builds and runs every test: the normal build, then the address/undefined sanitizer build,
# then each fuzz target for a bounded time (clang-14). ./test.sh --quick runs only the normal
# build.
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
  # The corpora were replayed by both builds above; now new inputs, about 20 s per target.
  "$root/scripts/deps.sh" fuzz
  cmake -S "$root" -B "$root/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-14 -DVOLTARIS_FUZZ=ON >/dev/null
  cmake --build "$root/build-fuzz" --target fuzz --parallel "$(nproc)"
  (cd "$root/build-fuzz" && ctest -L fuzz --output-on-failure)
fi
echo "All tests passed."
