#!/usr/bin/env bash
# Makes sure the Debian packages that a build ("build"), the whole test suite ("test") or the
# fuzzers ("fuzz") need are installed. As root it installs what is missing; otherwise it prints
# the one command that would, and fails.
set -euo pipefail

build_packages=(cmake make g++ pkg-config qt6-base-dev libgl-dev libgtest-dev fonts-dejavu-core)
test_packages=("${build_packages[@]}" xvfb openbox xdotool xclip x11-utils wmctrl dbus at-spi2-core
  imagemagick python3 python3-gi gir1.2-atspi-2.0 netcat-openbsd dpkg-dev file desktop-file-utils
  appstream man-db)
fuzz_packages=("${build_packages[@]}" clang-14 libclang-rt-14-dev)

case "${1:-build}" in
  build) wanted=("${build_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  fuzz) wanted=("${fuzz_packages[@]}") ;;
  *) echo "usage: $0 [build|test|fuzz]" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing packages. Install them with:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
