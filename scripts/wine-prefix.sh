#!/usr/bin/env bash
# Creates the project's Wine prefix once, with every process joining one desktop that has
# a taskbar and a notification area, and starts the wineserver with its output detached
# (otherwise Wine's services inherit CTest's pipes and CTest waits for ever).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"
if [ ! -f "$WINEPREFIX/.zelk-ready" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 </dev/null
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1 </dev/null
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1280x800 /f >/dev/null 2>&1 </dev/null
  wineserver -w
  touch "$WINEPREFIX/.zelk-ready"
fi
wineboot >/dev/null 2>&1 </dev/null || true
# A program that crashes must fail its test at once with a backtrace on standard error, never
# wait behind Wine's crash dialog until the test's time runs out.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null || true
# Exits non-zero when a server is already running, which is just as good.
wineserver -p >/dev/null 2>&1 </dev/null || true
