#!/usr/bin/env bash
# The sample and directions moulds' sheets laid out in a headless browser with their own fonts: no text on another,
# none crossed by a model edge or a dimension's line, none off the sheet. Exits 77 (skipped) only when no browser
# starts.
set -euo pipefail
quillon="$1" source="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$quillon" demo -o "$work/sample" > "$work/log" 2>&1 || { cat "$work/log"; exit 1; }
"$quillon" import "$source/examples/directions_mould.step" --attrs "$source/examples/directions_mould.attrs.json" \
  -o "$work/directions.prt" > "$work/log" 2>&1 || { cat "$work/log"; exit 1; }
"$quillon" run "$work/directions.prt" --set INT_1=1 --set INT_2=6 > "$work/log" 2>&1 || { cat "$work/log"; exit 1; }
"$quillon" export "$work/directions.prt" -o "$work/directions" --svg > "$work/log" 2>&1 || { cat "$work/log"; exit 1; }
python3 "$source/tests/support/sheet_lint.py" "$work/sample" "$work/directions" --require-clear
