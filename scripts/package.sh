#!/usr/bin/env bash
# Builds the Debian package from the release preset, installs it (with the
# libraries it depends on) and prints the package's path on the last line.
# Uses sudo when not run as root.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
source scripts/stages.sh
drop_other_generator_build release
cmake --preset release >/dev/null
# Only what the package holds: the tests and benchmarks are not needed.
cmake --build --preset release -j "$(nproc)" --target tq_packaged_programs

out=build/release/package
rm -rf "$out"
if ! cpack --config build/release/CPackConfig.cmake -B "$out" >"$out.log" 2>&1; then
    cat "$out.log" >&2
    echo "cpack failed" >&2
    exit 1
fi
shopt -s nullglob
debs=("$out"/*.deb)
shopt -u nullglob
if [ ${#debs[@]} -ne 1 ]; then
    cat "$out.log" >&2
    echo "cpack made ${#debs[@]} packages in $out, expected one" >&2
    exit 1
fi
deb=$(realpath "${debs[0]}")

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
# dpkg leaves the package unconfigured when a library it needs is missing;
# apt then installs the library and finishes the job.
$SUDO dpkg -i "$deb" || true
$SUDO apt-get -f install -y -q
name=$(dpkg-deb -f "$deb" Package)
if ! dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed"; then
    echo "$name is not installed after dpkg -i and apt-get -f install" >&2
    exit 1
fi
echo "$deb"
