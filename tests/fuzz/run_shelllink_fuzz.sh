#!/usr/bin/env bash
# Fuzzes the shell link reader with libFuzzer (clang), seeded with the
# shortcut fixtures, for the given number of seconds (default 10).
#   tests/fuzz/run_shelllink_fuzz.sh [seconds] [work folder]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
seconds=${1:-10}
work=${2:-$(mktemp -d)}
command -v clang++ >/dev/null || { echo "clang++ is missing: apt-get install clang"; exit 77; }
mkdir -p "$work/corpus"
cp "$root"/tests/data/shortcuts/*.lnk "$work/corpus/"
clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/components" $(pkg-config --cflags Qt6Core) \
  "$here/fuzz_shelllink.cpp" "$root/components/ShellLink.cpp" $(pkg-config --libs Qt6Core) \
  -o "$work/fuzz_shelllink"
cd "$work"
./fuzz_shelllink -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 corpus 2>&1 | tail -20
