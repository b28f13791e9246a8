#!/usr/bin/env bash
# The whole drawing run on a large mould: about 50 electrode bodies (layers 1 to LAST, 12 by default) on a core of
# some 2,000 faces. Prints the time per sheet of the command and of the export, and the peak memory of each.
# usage: bench/run_bench.sh [BUILD_DIR] [LAST_LAYER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
last=${2:-12}
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
  read -r seconds kilobytes <"$out/time.txt"
  echo "$seconds $kilobytes"
}
read -r run_s run_kb < <(measure run "$build/quillon" run "$out/large.prt" --set INT_0=240 --set INT_1=1 \
  --set "INT_2=$last" --set TOGGLE_10=0)
read -r export_s export_kb < <(measure export "$build/quillon" export "$out/large.prt" -o "$out/sheets")
sheets=$("$build/quillon" dump "$out/large.prt" | grep -c '"type": 62' || true)
faces=$("$build/quillon" dump "$out/large.prt" | grep -A3 '"layer": 240' | grep -o '"faces": [0-9]*' | head -1)
echo "sheets: $sheets (electrode layers 1 to $last), core $faces"
awk -v s="$run_s" -v n="$sheets" -v kb="$run_kb" \
  'BEGIN { printf "command: %.2f s in all, %.3f s per sheet, peak %.0f MB\n", s, s / n, kb / 1024 }'
awk -v s="$export_s" -v n="$sheets" -v kb="$export_kb" \
  'BEGIN { printf "export (PDF, SVG, DXF, JSON): %.2f s in all, %.3f s per sheet, peak %.0f MB\n", s, s / n, kb / 1024 }'
