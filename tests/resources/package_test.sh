#!/usr/bin/env bash
# The Debian package made as the README says, by plain `cpack` in a build folder of default
# settings (install prefix and all), works from its own files: unpacked into a scratch folder,
# its command answers --version and passes the launcher's checks there.
# Usage: package_test.sh <build folder>
set -euo pipefail
build="$(realpath "$1")"
here="$(dirname "$(realpath "$0")")"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
(cd "$build" && cpack -G DEB -B "$scratch/package" >/dev/null)
dpkg-deb -x "$scratch"/package/ombrelay_*.deb "$scratch/root"
version="$(env -i PATH="$PATH" HOME="$scratch" "$scratch/root/usr/bin/ombrelay" --version)"
[[ "$version" =~ ^Ombrelay\ [0-9.]+$ ]] || { echo "FAIL: --version said '$version'" >&2; exit 1; }
"$here/launcher_test.sh" "$scratch/root/usr/bin/ombrelay" "$scratch/root/usr/share/ombrelay"
echo "package: $(basename "$scratch"/package/ombrelay_*.deb) works unpacked"
