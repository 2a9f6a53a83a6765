#!/usr/bin/env bash
# Builds the Debian package divevod_<version>_amd64.deb into <build-dir>/package (default build/).
# Installs what is missing, builds, then runs CPack. Usage: scripts/package.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$build"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$build/package"
deb=$(ls "$build"/package/divevod_*.deb)
echo
echo "package: $deb"
echo "install: sudo apt install $deb   (the tool is then /opt/divevod/bin/DiveVod and in the desktop's menu)"
