#!/usr/bin/env bash
# Starts a private Xvfb on a free display (once) and records it in build/xvfb.display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
mkdir -p "$root/build"
file="$root/build/xvfb.display"
if [ -f "$file" ] && [ -f "$root/build/xvfb.pid" ] && kill -0 "$(cat "$root/build/xvfb.pid")" 2>/dev/null; then
  exit 0
fi
for n in $(seq 91 140); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
  pid=$!
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo ":$n" >"$file"
    echo "$pid" >"$root/build/xvfb.pid"
    exit 0
  fi
done
echo "no free X display found" >&2
exit 1
