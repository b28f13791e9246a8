#!/usr/bin/env bash
# Builds the release preset, writes the large benchmark mould and times the host on it.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target generate_sample host_bench
out=$(mktemp -d)
build/release/examples/generator/generate_sample --large "$out"
build/release/bench/host_bench "$out"/*.step $(ls "$out"/*.attrs.json 2>/dev/null | head -1)
rm -rf "$out"
