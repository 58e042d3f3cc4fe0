#!/usr/bin/env bash
# Builds the Debian package: a Release build in build-package/, then CPack. Prints the path of
# the .deb it made.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-package"
jobs=${JOBS:-$(nproc)}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
# Only what the package holds: the program and the compressed manual page.
cmake --build "$build" -j"$jobs" --target harkenwire harkenwire_manual_page
rm -rf "$build/package"
(cd "$build" && cpack --config CPackConfig.cmake -B "$build/package" >/dev/null)

debs=("$build"/package/harkenwire_*.deb)
[[ -f "${debs[0]}" ]] || { echo "cpack made no package" >&2; exit 1; }
echo "${debs[0]}"
