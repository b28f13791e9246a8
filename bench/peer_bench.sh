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

# The machine may be shared: wall and processor seconds are both shown, and the load when the run started.
timed() {  # COMMAND...: "WALL USER" seconds into $out/time.txt; the command's output goes to $out/last.out
  /usr/bin/time -f "%e %U" -o "$out/time.txt" "$@" >"$out/last.out" 2>&1 || {
    cat "$out/last.out" >&2
    exit 1
  }
}
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
timed "$build/quillon" import "$step" --attrs "$out/large_mould.attrs.json" -o "$out/large.prt"
read -r import_s import_u <"$out/time.txt"
timed "$build/quillon" run "$out/large.prt" --set INT_0=240 --set INT_1=1 --set "INT_2=$last" --set TOGGLE_10=0
read -r run_s run_u <"$out/time.txt"
timed "$build/quillon" export "$out/large.prt" -o "$out/first"
read -r first_s first_u <"$out/time.txt"
sheets=$(grep -c '^sheet ' "$out/last.out")
grep '^projections' "$out/last.out"
timed "$build/quillon" export "$out/large.prt" -o "$out/second"
read -r second_s second_u <"$out/time.txt"
grep '^projections' "$out/last.out"
echo "quillon (wall/processor s): import $import_s/$import_u, run $run_s/$run_u, export of $sheets sheets" \
  "$first_s/$first_u, second export $second_s/$second_u"

cat >"$out/peer.py" <<EOF
import time, FreeCAD, Part, TechDraw
shape = Part.read("$step")
solids = shape.Solids
core_solid = max(solids, key=lambda s: len(s.Faces))
electrodes = [s for s in solids if not s.isSame(core_solid)][:$pages]
report = open("$out/peer.txt", "w")
report.write("core faces %d\n" % len(core_solid.Faces))
doc = FreeCAD.newDocument("peer")
core = doc.addObject("Part::Feature", "Core")
core.Shape = core_solid
for n, solid in enumerate(electrodes, 1):
    start, cpu = time.time(), time.process_time()
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
    report.write("page %d %.2f %.2f\n" % (n, time.time() - start, time.process_time() - cpu))
    report.flush()
EOF
freecadcmd "$out/peer.py" >"$out/peer.log" 2>&1 || true
cat "$out/peer.txt"
awk -v first="$first_s" -v second="$second_s" -v first_u="$first_u" -v second_u="$second_u" -v n="$sheets" '
  /^page/ {
    printf "page %d: peer %.2f s (processor %.2f s); quillon per sheet %.3f s (%.3f s), second export %.3f s (%.3f s)\n",
      $2, $3, $4, first / n, first_u / n, second / n, second_u / n
    printf "page %d: %.0fx faster, %.0fx in processor time; second export %.0fx, %.0fx\n",
      $2, $3 / (first / n), $4 / (first_u / n), $3 / (second / n), $4 / (second_u / n)
  }' "$out/peer.txt"
