#!/usr/bin/env bash
# Fuzzes the shell link reader with libFuzzer (clang, AddressSanitizer,
# UndefinedBehaviorSanitizer) for the given number of seconds (default 60),
# seeded with the shortcut fixtures. Builds fuzz_shelllink in build-fuzz/ (or
# $LYNKOR_FUZZ_BUILD) first; with LYNKOR_BUILD_LOCK set, the build waits for
# that lock file (flock), so it never runs beside another build.
#   tests/fuzz/run_shelllink_fuzz.sh [seconds] [work folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
work=${2:-$(mktemp -d)}
build=${LYNKOR_FUZZ_BUILD:-$root/build-fuzz}
command -v clang++ >/dev/null || { echo "clang++ is missing: apt-get install clang" >&2; exit 77; }

locked=()
[ -z "${LYNKOR_BUILD_LOCK:-}" ] || locked=(flock "$LYNKOR_BUILD_LOCK")
if [ ! -f "$build/CMakeCache.txt" ]; then
  "${locked[@]}" env CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLYNKOR_BUILD_FUZZ=ON -DLYNKOR_BUILD_BENCH=OFF >/dev/null
fi
"${locked[@]}" cmake --build "$build" -j2 --target fuzz_shelllink >/dev/null

# New inputs go to the work folder, never among the fixtures.
mkdir -p "$work/corpus"
cd "$work"
"$build/bin/fuzz_shelllink" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  corpus "$root/tests/data/shortcuts"
