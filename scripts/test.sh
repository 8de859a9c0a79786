#!/usr/bin/env bash
# Runs every test layer through one CTest run: the native core tests (sanitized), the
# Windows tests under Wine and the end-to-end tests in a Wine taskbar desktop on Xvfb.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

started_xvfb=0
if [ ! -f build/xvfb.display ] || ! kill -0 "$(cat build/xvfb.pid 2>/dev/null)" 2>/dev/null; then
  bash scripts/xvfb-start.sh
  started_xvfb=1
fi
# The tests use the private display, never the developer's own.
export DISPLAY="$(cat build/xvfb.display)"
bash scripts/wine-prefix.sh
source scripts/wine-env.sh

cleanup() {
  wineserver -k >/dev/null 2>&1 </dev/null || true
  [ $started_xvfb -eq 1 ] && bash scripts/xvfb-stop.sh
  return 0
}
trap cleanup EXIT

# No retries: a test that fails once has found something. The run is kept in build/last-test.log.
ctest --test-dir build/mingw --output-on-failure --timeout 600 2>&1 | tee build/last-test.log
