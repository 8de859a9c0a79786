#!/usr/bin/env bash
# The exerciser's hot-key and object probes, proven on stand-ins: a key held by another
# process, and a program leaking one brush or one window per action (exercise_checks.py).
source "$(dirname "$0")/lib.sh"
quiet wineserver -p || true
quiet wineboot || true
mkdir -p "$WORK"
python3 "$(dirname "$0")/exercise_checks.py" "$HELPER" || fail "a probe does not see what it claims"
log "PASS"
