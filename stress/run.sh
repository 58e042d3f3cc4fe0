#!/usr/bin/env bash
# What `make stress` runs: builds the stress driver in build-stress, runs every scenario
# against the program (offscreen, each in a fresh process with a settings folder of its own
# that names port 0, so the system picks a free port), then the fault harness. Prints each
# scenario's figures and fails when any scenario fails.
#
# STRESS_SHORT=1 runs the short sizes (for CI); counts can be set one by one (STRESS_SEQUENTIAL,
# STRESS_CONNECTIONS, STRESS_BURSTS, STRESS_HOSTILE, STRESS_IDLE, STRESS_BULK_MB,
# STRESS_KILLS), and STRESS_DEADLINE_S bounds each scenario's time (900 s). `run.sh --one
# SCENARIO [DRIVER]` runs one scenario alone (ctest does).
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${STRESS_BUILD:-$root/build-stress}"
export QT_QPA_PLATFORM=offscreen
scratch="$(mktemp -d "${TMPDIR:-/tmp}/harkenwire-stress.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT

# Runs one scenario of driver $2 in a settings folder of its own; the descriptor scenario
# under a low limit of open files, which the driver's own clients share with the program.
run_scenario() {
    local name="$1" driver="$2"
    local limit=$((${STRESS_DEADLINE_S:-900} + 120))
    local home="$scratch/$name"
    mkdir -p "$home/Harkenwire"
    printf '0\r\n' >"$home/Harkenwire/Harkenwire.txt"
    if [[ "$name" == descriptors ]]; then
        (ulimit -n 256 && XDG_CONFIG_HOME="$home" timeout "$limit" "$driver" "$name")
    else
        XDG_CONFIG_HOME="$home" timeout "$limit" "$driver" "$name"
    fi
}

if [[ "${1:-}" == --one ]]; then
    run_scenario "$2" "${3:-$build/stress/harkenwire_stress}"
    exit
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
cmake --build "$build" --target harkenwire_stress -j"${JOBS:-2}" >/dev/null || exit 1
driver="$build/stress/harkenwire_stress"

failed=()
for name in connections sequential bursts hostile idle flood descriptors; do
    echo "== stress $name"
    run_scenario "$name" "$driver" 2>"$scratch/$name.err" || failed+=("$name")
    grep -v 'XDG_RUNTIME_DIR' "$scratch/$name.err" | head -20 >&2 || true
done
echo "== stress faults"
python3 "$root/stress/exit_faults.py" --driver "$driver" || failed+=(faults)

if ((${#failed[@]})); then
    echo "stress: FAILED: ${failed[*]}"
    exit 1
fi
echo "stress: all scenarios passed"
