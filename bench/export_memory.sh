#!/usr/bin/env bash
# The export's peak memory against its sheet count: the large generated mould run for electrode layers 1 to 12 (about
# 50 sheets) and 1 to 50 (200 sheets), each exported from a fresh copy of the part (projections computed, as a first
# export) and again (projections found in the part). Prints sheets, wall seconds and peak resident megabytes of each
# export, and the large export's peak over the small one's: memory bounded by the mould stays near 1.
# usage: bench/export_memory.sh [BUILD_DIR] [LAST_LAYER...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
shift || true
lasts=("$@")
[ ${#lasts[@]} -gt 0 ] || lasts=(12 50)
if [ ! -x "$build/quillon" ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release -j2 --target quillon quillon_command generate_sample
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$build/examples/generator/generate_sample" --large "$out" >/dev/null
"$build/quillon" import "$out/large_mould.step" --attrs "$out/large_mould.attrs.json" -o "$out/large.prt" >/dev/null

measure() {  # LABEL COMMAND...: wall seconds and peak resident kilobytes
  local label=$1
  shift
  /usr/bin/time -f "%e %M" -o "$out/time.txt" "$@" >"$out/$label.out" 2>&1 || {
    cat "$out/$label.out"
    exit 1
  }
  cat "$out/time.txt"
}
first_kb=""
printf '%-8s %7s %12s %10s %12s %10s\n' layers sheets "first s" "first MB" "second s" "second MB"
for last in "${lasts[@]}"; do
  part="$out/mould$last.prt"
  cp "$out/large.prt" "$part"
  "$build/quillon" run "$part" --set INT_0=240 --set INT_1=1 --set "INT_2=$last" --set TOGGLE_10=0 >/dev/null
  read -r first_s kb < <(measure first "$build/quillon" export "$part" -o "$out/sheets$last")
  read -r second_s second_kb < <(measure second "$build/quillon" export "$part" -o "$out/sheets$last")
  sheets=$(grep -o 'for [0-9]* sheets' "$out/first.out" | grep -o '[0-9]*')
  awk -v l="1-$last" -v n="$sheets" -v s="$first_s" -v kb="$kb" -v s2="$second_s" -v kb2="$second_kb" \
    'BEGIN { printf "%-8s %7d %12.1f %10.0f %12.1f %10.0f\n", l, n, s, kb / 1024, s2, kb2 / 1024 }'
  [ -n "$first_kb" ] || first_kb=$kb
  rm -rf "$out/sheets$last"
done
awk -v a="$first_kb" -v b="$kb" 'BEGIN { printf "peak of the last over the first: %.2f\n", b / a }'
