#!/usr/bin/env bash
# What `make bench` runs: builds the program and its benchmarks in release mode in build-bench,
# runs every stage in turn, each in a process of its own and within a time limit (about four
# minutes in all), then prints one table and writes it as JSON to build-bench/bench.json.
# Everything talks over loopback only and stops by itself.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-bench
log="$build/bench-build.log"
mkdir -p "$build"
echo "Building in $build (release); the log is $log"
if ! { cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release &&
  cmake --build "$build" -j2 --target harkenwire harkenwire_bench harkenwire_probe \
    harkenwire_empty; } >"$log" 2>&1; then
  cat "$log"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
results="$build/bench-results.txt"
: >"$results"

# The program runs offscreen, with a settings folder of its own whose file asks for a free
# port, so that nothing clashes with a copy already listening on 8088.
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME/Harkenwire" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '0\r\n320\r\n200\r\n480\r\n640\r\n0\r\n' >"$XDG_CONFIG_HOME/Harkenwire/Harkenwire.txt"

# Appends the machine's load averages under a name, since a shared machine moves the figures.
load() {
  read -r one five fifteen _ </proc/loadavg
  printf 'load_%s_1m %s\nload_%s_5m %s\nload_%s_15m %s\n' "$1" "$one" "$1" "$five" "$1" \
    "$fifteen" >>"$results"
}

# stage NAME SECONDS ARGUMENTS...: one stage, ended by `timeout` if it overruns.
stage() {
  local name=$1 limit=$2
  shift 2
  echo "== $name"
  load "before_${name//-/_}"
  timeout --kill-after=5 "$limit" "$build/bench/harkenwire_bench" "$1" "$results" "${@:2}" ||
    echo "   stage $name failed (status $?)"
}

echo "cores $(nproc)" >>"$results"
load start
stage throughput-1 120 throughput 1
stage throughput-8 120 throughput 8
stage throughput-64 120 throughput 64
stage display-limit 120 display-limit
stage network-limit 120 network-limit
stage latency 60 latency
stage responsiveness 60 responsiveness
stage memory 100 memory 60
stage program 150 program "$build"
load end

"$build/bench/harkenwire_bench" report "$results" "$build/bench.json"
