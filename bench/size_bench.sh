#!/usr/bin/env bash
# The whole job on the benchmark moulds of generate_sample, one size after another (large: 200 electrodes on layers 1
# to 50; huge: 800 on layers 1 to 200): import, run, first export and second export (the projections kept in the
# part), each with its wall and processor time and peak memory, and the outputs' sizes by format. Writes the figures
# as markdown to FIGURES (bench/size_figures.md by default) and prints them. Not run by CI: the huge mould takes
# minutes and some gigabytes of disk.
# usage: bench/size_bench.sh [BUILD_DIR] [FIGURES] [MOULD...]     (moulds: large, huge; both by default)
# QUILLON_BENCH_MOULDS=DIR keeps the generated moulds in DIR for the next run (the huge one takes minutes to make).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
figures=${2:-bench/size_figures.md}
shift $(($# < 2 ? $# : 2))
moulds=("$@")
[ ${#moulds[@]} -gt 0 ] || moulds=(large huge)
if [ ! -x "$build/quillon" ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release -j2 --target quillon quillon_command generate_sample
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# COMMAND...: runs it under /usr/bin/time -v and prints "WALL USER SYSTEM PEAK_MB LOAD", the load average (one
# minute) as the step began; the machine may be shared, so processor time is given beside wall time.
measure() {
  local load
  load=$(cut -d' ' -f1 /proc/loadavg)
  /usr/bin/time -v -o "$out/time.txt" "$@" >"$out/last.out" 2>&1 || {
    tail -20 "$out/last.out" >&2
    exit 1
  }
  awk -v load="$load" -F': ' '
    /Elapsed \(wall clock\)/ { n = split($2, t, ":"); wall = n == 3 ? t[1] * 3600 + t[2] * 60 + t[3] : t[1] * 60 + t[2] }
    /User time/ { user = $2 }
    /System time/ { sys = $2 }
    /Maximum resident set size/ { peak = $2 / 1024 }
    END { printf "%.1f %.1f %.1f %.0f %s\n", wall, user, sys, peak, load }' "$out/time.txt"
}

# DIR: megabytes written per format, and the sheet count (SVG files)
sizes() {
  local dir=$1
  for ext in pdf svg dxf json csv html; do
    find "$dir" -name "*.$ext" -printf '%s\n' | awk -v ext="$ext" '{ s += $1 } END { printf "%s %.1f\n", ext, s / 1e6 }'
  done
  echo "sheets $(find "$dir" -name '*.svg' | wc -l)"
  echo "total $(du -sb "$dir" | awk '{ printf "%.1f", $1 / 1e6 }')"
}

row() {  # STEP FIGURES
  read -r wall user sys peak load <<<"$2"
  printf '| %s | %s s | %s s | %s s | %s MB | %s |\n' "$1" "$wall" "$user" "$sys" "$peak" "$load"
}

report=$out/report.md
{
  echo "## $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(free -g | awk '/Mem:/ { print $2 }') GB, build $(basename "$build")"
  echo
  echo "The machine is shared with other work; the load average (one minute) as each step began is beside its figures."
  echo "Processor time is user and system time of the step and its children (the import's translating child)."
  echo
} >"$report"

for mould in "${moulds[@]}"; do
  case $mould in
    large) last=50 ;;
    huge) last=200 ;;
    *)
      echo "unknown mould $mould (large or huge)" >&2
      exit 2
      ;;
  esac
  dir=$out/$mould
  source_dir=${QUILLON_BENCH_MOULDS:-$out}/$mould-source
  if [ ! -s "$source_dir/generate.out" ]; then
    mkdir -p "$source_dir"
    "$build/examples/generator/generate_sample" "--$mould" "$source_dir" >"$source_dir/generate.out.part"
    mv "$source_dir/generate.out.part" "$source_dir/generate.out"
  fi
  mkdir -p "$dir"
  cp "$source_dir/generate.out" "$out/generate.out"
  step=$source_dir/${mould}_mould.step
  part=$dir/$mould.prt
  step_mb=$(du -bL "$step" | awk '{ printf "%.1f", $1 / 1e6 }')
  core=$(grep -o 'core with [0-9]* faces' "$out/generate.out")
  import=$(measure "$build/quillon" import "$step" --attrs "$source_dir/${mould}_mould.attrs.json" -o "$part")
  run=$(measure "$build/quillon" run "$part" --set INT_0=240 --set INT_1=1 --set "INT_2=$last" --set TOGGLE_10=0)
  made=$(grep -o 'made [0-9]* sheets' "$out/last.out" || true)
  first=$(measure "$build/quillon" export "$part" -o "$dir/first")
  first_sizes=$(sizes "$dir/first")
  rm -rf "$dir/first" # the huge mould's outputs take gigabytes
  second=$(measure "$build/quillon" export "$part" -o "$dir/second")
  second_sizes=$(sizes "$dir/second")
  rm -rf "$dir/second"
  read -r import_wall _ <<<"$import"
  read -r run_wall _ <<<"$run"
  read -r first_wall _ <<<"$first"
  {
    echo "### $mould mould: $step_mb MB of STEP, $core, electrode layers 1 to $last, $made"
    echo
    echo "| Step | Wall | User | System | Peak memory | Load |"
    echo "|---|---|---|---|---|---|"
    row import "$import"
    row run "$run"
    row "first export" "$first"
    row "second export" "$second"
    echo
    awk -v a="$import_wall" -v b="$run_wall" -v c="$first_wall" \
      'BEGIN { printf "Import, run and first export: %.1f s wall.\n\n", a + b + c }'
    echo "| Outputs (MB) | PDF | SVG | DXF | JSON | CSV | HTML | all | sheets |"
    echo "|---|---|---|---|---|---|---|---|---|"
    for label in first second; do
      sizes_text=$first_sizes
      [ $label = second ] && sizes_text=$second_sizes
      awk -v label="$label export" '{ v[$1] = $2 } END {
        printf "| %s | %s | %s | %s | %s | %s | %s | %s | %s |\n", label, v["pdf"], v["svg"], v["dxf"], v["json"],
          v["csv"], v["html"], v["total"], v["sheets"] }' <<<"$sizes_text"
    done
    echo
  } >>"$report"
  rm -rf "$dir"
done
cat "$report"
cat "$report" >>"$figures"
