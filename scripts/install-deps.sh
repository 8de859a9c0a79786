#!/usr/bin/env bash
# Installs what building and testing needs on Debian bookworm, and nothing that is
# already there, so a second run costs a few milliseconds.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for pkg in g++ cmake ninja-build make googletest libbenchmark-dev clang-format clang-tidy \
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 \
  wine wine64 xvfb xdotool imagemagick x11-utils tesseract-ocr python3 \
  nsis zip unzip; do
  have_pkg "$pkg" || need+=("$pkg")
done
# make fuzz (tools/fuzz) also needs clang and its libFuzzer runtime.
if [ "${1:-}" = fuzz ]; then
  for pkg in clang libclang-rt-dev; do
    have_pkg "$pkg" || need+=("$pkg")
  done
fi
# make bench also plots (gnuplot, without X).
if [ "${1:-}" = bench ]; then
  have_pkg gnuplot-nox || need+=(gnuplot-nox)
fi
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing: ${need[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}" </dev/null
