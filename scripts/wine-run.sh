#!/usr/bin/env bash
# Runs a Windows program in the project's Wine prefix; the emulator of the cross build.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/wine-env.sh"
exec wine "$@"
