#!/usr/bin/env bash
# demo.sh BIN_DIR: with no instrument at hand, starts voltaris-sim with a network of three
# instruments on a pseudo-terminal, creates a sample configuration, transmits it to every
# instrument, reads one back and shows one live cycle. Uses a throw-away data folder.
# ./run.sh without arguments builds the programs and runs this.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:?usage: demo.sh BIN_DIR}

work=$(mktemp -d)
export VOLTARIS_HOME=$work VOLTARIS_SETTINGS=$work/Voltaris.ini
sim_pid=
cleanup() {
    if [[ -n $sim_pid ]]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

model=KM6.1.x.R2.KX
"$bin/voltaris-sim" --pty --instrument "$model@1:38400" --instrument "$model@2:38400" \
    --instrument "$model@3:38400" >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do [[ -s $work/sim.out ]] && break; sleep 0.1; done
pty=$(head -n1 "$work/sim.out")
[[ -n $pty ]] || { echo "voltaris-sim did not start:" >&2; cat "$work/sim.err" >&2; exit 1; }
echo "== simulated network of three $model on $pty"

link=(--port "$pty" --interface network --fast)
echo "== voltaris create --json resources/demo-configuration.json"
id=$("$bin/voltaris" create --json "$root/resources/demo-configuration.json")
echo "new configuration: $id"
echo "== voltaris transmit $id --all 3 --verify"
"$bin/voltaris" transmit "$id" "${link[@]}" --all 3 --verify
echo "== voltaris read --address 2 --archive"
copy=$("$bin/voltaris" read "${link[@]}" --address 2 --archive)
echo "read back and archived as configuration $copy"
"$bin/voltaris" list
echo "== voltaris live --address 1 --count 1"
"$bin/voltaris" live "${link[@]}" --address 1 --count 1
