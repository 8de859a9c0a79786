#!/usr/bin/env bash
# The static-analysis gate: clang-tidy over every source file of src/, compiled as the MinGW
# build compiles it (its compile_commands.json), with the checks of .clang-tidy. Any finding
# fails the run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
db="${TIDY_DB:-build/mingw}"
[ -f "$db/compile_commands.json" ] || { echo "tidy: no $db/compile_commands.json (run make cross)" >&2; exit 1; }
tidy="$(command -v clang-tidy-14 || command -v clang-tidy)"

# The cross g++ knows where its own headers are; clang, reading the same commands, is told
# (all but g++'s own intrinsics, which clang brings itself).
gcc_include() {
  echo | x86_64-w64-mingw32-g++-posix -xc++ -E -v - 2>&1 |
    sed -n '/#include <...> search starts here:/,/End of search list./p' | grep '^ ' |
    grep -v '/include$\|/include-fixed$' | sed 's/^ */--extra-arg=-isystem/'
  echo "--extra-arg=-isystem/usr/x86_64-w64-mingw32/include"
}
mapfile -t extra < <(gcc_include)
extra+=(--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-Wno-unknown-warning-option
        --extra-arg=-Wno-unused-command-line-argument --extra-arg=-Wno-ignored-attributes)

# Given files only (a quick look at what you changed), else all of src/.
if [ $# -gt 0 ]; then files=("$@"); else mapfile -t files < <(git ls-files 'src/*.cpp'); fi
log="$db/tidy.log"
: >"$log"
# Two at a time: the machine has two cores and the findings come back per file.
printf '%s\n' "${files[@]}" |
  xargs -P 2 -n 4 "$tidy" -p "$db" --quiet "${extra[@]}" >>"$log" 2>/dev/null || true
if grep -q 'error:\|warning:' "$log"; then
  grep -A3 'error:\|warning:' "$log" | head -200
  echo "tidy: $(grep -c 'error:\|warning:' "$log") findings (full list in $log)" >&2
  exit 1
fi
echo "tidy: ${#files[@]} files, no findings"
