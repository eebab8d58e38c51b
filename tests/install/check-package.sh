#!/usr/bin/env bash
# check-package.sh BUILD-DIR SCRATCH-DIR VERSION METAINFO-FILE-NAME
#
# Builds the Debian package from BUILD-DIR as `make package` does, unpacks it
# with dpkg -x into a scratch root (no root rights needed, nothing touches
# the system) and checks it as a user would meet it: the control fields,
# the exact file list, and that both installed programs start.
set -euo pipefail
build=$1 scratch=$2 version=$3 metainfo=$4

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
for tool in dpkg-deb dpkg-shlibdeps file readelf appstreamcli; do
  command -v "$tool" >/dev/null || fail "$tool is missing (make deps installs it)"
done

rm -rf "$scratch"
mkdir -p "$scratch"
"${CPACK:-cpack}" --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack failed"; }
debs=("$scratch"/out/fizzgrid_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || fail "expected one fizzgrid_*.deb, found ${debs[*]}"
deb=${debs[0]}
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = fizzgrid ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version-1" ] || fail "Version: $(field Version), expected $version-1"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
# The Qt libraries come from dpkg-shlibdeps, the window-system plugins by hand.
depends=$(field Depends | tr ',|' '\n\n' | awk '{ print $1 }')
for dependency in libqt6widgets6 libqt6multimedia6 libqt6network6 qt6-qpa-plugins; do
  grep -qx "$dependency" <<<"$depends" || fail "Depends lacks $dependency: $(field Depends)"
done

expected=(
  ./usr/bin/fizzgrid
  ./usr/bin/fizzgrid-engine
  ./usr/share/applications/fizzgrid.desktop
)
for size in 16 22 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/fizzgrid.png")
done
expected+=("./usr/share/metainfo/$metainfo")
files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
diff -u <(printf '%s\n' "${expected[@]}" | sort) <(echo "$files") || fail "file list differs (- expected, + packaged)"

root=$scratch/root
dpkg -x "$deb" "$root"
for program in fizzgrid fizzgrid-engine; do
  binary=$root/usr/bin/$program
  file -b "$binary" | grep -q ', stripped' || fail "$program is not stripped"
  ! readelf -d "$binary" | grep -q -E 'RPATH|RUNPATH' || fail "$program carries a library search path"
done
[ "$("$root/usr/bin/fizzgrid-engine" --version)" = "fizzgrid-engine $version" ] ||
  fail "fizzgrid-engine --version"
[ "$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/fizzgrid" --version)" = "fizzgrid $version" ] ||
  fail "fizzgrid --version"
# The metainfo validates in the installed tree, its launchable found there.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
echo "package OK"
