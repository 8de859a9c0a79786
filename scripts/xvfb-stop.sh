#!/usr/bin/env bash
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ -f "$root/build/xvfb.pid" ]; then
  kill "$(cat "$root/build/xvfb.pid")" 2>/dev/null || true
  rm -f "$root/build/xvfb.pid" "$root/build/xvfb.display"
fi
