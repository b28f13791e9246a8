#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run, on a fresh Debian bookworm machine.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config git clang-format clang libclang-rt-dev
  libocct-foundation-dev libocct-modeling-data-dev libocct-modeling-algorithms-dev
  libocct-ocaf-dev libocct-data-exchange-dev libocct-visualization-dev libtbb-dev
  libsqlite3-dev nlohmann-json3-dev libcpp-httplib-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcairo2-dev libpango1.0-dev libdxflib-dev zlib1g-dev libdeflate-dev libjemalloc-dev libxlsxwriter-dev python3-openpyxl fonts-wqy-microhei python3-ezdxf poppler-utils
  chromium python3-websocket
  # the designer's window draws the 3D model with three.js, read from this copy, never from the network
  libjs-three
  # the DXF render check: LibreCAD and ezdxf's matplotlib drawing, and the TrueType font the DXF text style names
  librecad python3-matplotlib fonts-arphic-gbsn00lp
  # the Debian package: its dependencies by dpkg-shlibdeps, which CPack finds the programs for with file
  dpkg-dev file
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
