#!/usr/bin/env bash
# Accepts the outputs of the reference tests after review: every actual output left beside its expected one by a
# failing run replaces it, and the diff goes.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
accepted=0
for actual in "$here"/reference/*/actual.* "$here"/reference_sheets/*/actual.*; do
  [ -e "$actual" ] || continue
  dir="$(dirname "$actual")"
  name="$(basename "$actual")"
  mv "$actual" "$dir/expected.${name#actual.}"
  rm -f "$dir/diff" "$dir/diff.${name#actual.}"
  echo "accepted $(basename "$dir")/expected.${name#actual.}"
  accepted=$((accepted + 1))
done
echo "$accepted output(s) accepted"
