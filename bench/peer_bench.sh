#!/usr/bin/env bash
# quillon against a peer drafting program on the same STEP file: the large mould's core with one electrode a page,
# top, front and iso views with hidden lines. quillon draws every electrode's sheet (PDF, SVG, DXF, JSON); the peer,
# whose pages cost far more, draws the first PEER_PAGES electrodes' pages. Prints each peer page's time against
# quillon's time per sheet, first export and second export (projections kept in the part), and the ratio.
# The peer is FreeCAD's TechDraw run headless (Debian package freecad, `freecadcmd`): a yardstick only, never used by
# the product. usage: bench/peer_bench.sh [BUILD_DIR] [LAST_LAYER] [PEER_PAGES]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
last=${2:-50}
pages=${3:-3}
command -v freecadcmd >/dev/null || {
  echo "freecadcmd not found (apt-get install freecad)" >&2
  exit 1
}
if [ ! -x "$build/quillon" ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release -j2 --target quillon quillon_command generate_sample
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$build/examples/generator/generate_sample" --large "$out" >/dev/null
step="$out/large_mould.step"

seconds() {  # COMMAND...: wall seconds; the command's output goes to $out/last.out
  local start end
  start=$(date +%s.%N)
  "$@" >"$out/last.out" 2>&1 || {
    cat "$out/last.out" >&2
    exit 1
  }
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }'
}
import_s=$(seconds "$build/quillon" import "$step" --attrs "$out/large_mould.attrs.json" -o "$out/large.prt")
run_s=$(seconds "$build/quillon" run "$out/large.prt" --set INT_0=240 --set INT_1=1 --set "INT_2=$last" \
  --set TOGGLE_10=0)
first_s=$(seconds "$build/quillon" export "$out/large.prt" -o "$out/first")
sheets=$(grep -c '^sheet ' "$out/last.out")
grep '^projections' "$out/last.out"
second_s=$(seconds "$build/quillon" export "$out/large.prt" -o "$out/second")
grep '^projections' "$out/last.out"
echo "quillon: import $import_s s, run $run_s s, export of $sheets sheets $first_s s, second export $second_s s"

cat >"$out/peer.py" <<EOF
import time, FreeCAD, Part, TechDraw
shape = Part.read("$step")
solids = shape.Solids
core_solid = max(solids, key=lambda s: len(s.Faces))
electrodes = [s for s in solids if not s.isSame(core_solid)][:$pages]
print("core faces", len(core_solid.Faces))
doc = FreeCAD.newDocument("peer")
core = doc.addObject("Part::Feature", "Core")
core.Shape = core_solid
for n, solid in enumerate(electrodes, 1):
    start = time.time()
    electrode = doc.addObject("Part::Feature", "E%d" % n)
    electrode.Shape = solid
    page = doc.addObject("TechDraw::DrawPage", "Page%d" % n)
    template = doc.addObject("TechDraw::DrawSVGTemplate", "Template%d" % n)
    template.Template = FreeCAD.getResourceDir() + "Mod/TechDraw/Templates/A4_LandscapeTD.svg"
    page.Template = template
    for name, direction in (("Top", (0, 0, 1)), ("Front", (0, -1, 0)), ("Iso", (1, -1, 1))):
        view = doc.addObject("TechDraw::DrawViewPart", "%s%d" % (name, n))
        page.addView(view)
        view.Source = [core, electrode]
        view.Direction = FreeCAD.Vector(*direction)
        view.HardHidden = True
        view.Scale = 0.3
    doc.recompute()
    TechDraw.writeDXFPage(page, "$out/peer_%d.dxf" % n)
    print("page %d %.2f" % (n, time.time() - start), flush=True)
EOF
freecadcmd "$out/peer.py" 2>/dev/null | tr -d '\r' | grep -E '^(page|core faces)' | tee "$out/peer.txt"
awk -v first="$first_s" -v second="$second_s" -v n="$sheets" '
  /^page/ {
    q1 = first / n; q2 = second / n
    printf "page %d: peer %.2f s, quillon %.3f s (second export %.3f s): %.0fx (%.0fx)\n", $2, $3, q1, q2, $3 / q1, $3 / q2
  }' "$out/peer.txt"
