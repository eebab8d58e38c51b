#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# check-package.sh BUILD-DIR SCRATCH-DIR VERSION METAINFO-FILE-NAME
#
# Builds the Debian package from BUILD-DIR as `make package` does, unpacks it
# with dpkg -x into a scratch root (no root rights needed, nothing touches
# the system) and checks it as a user and a packager would meet it: the
# control fields, the exact file list, that both installed programs start and
# answer --version and --help as their manual pages say, the changelog, and
# lintian's verdict.
set -euo pipefail
build=$1 scratch=$2 version=$3 metainfo=$4

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
for tool in dpkg-deb dpkg-shlibdeps dpkg-parsechangelog file readelf appstreamcli \
  desktop-file-validate lintian; do
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

programs=(fizzgrid fizzgrid-engine)
expected=(
  ./usr/share/applications/fizzgrid.desktop
  ./usr/share/doc/fizzgrid/changelog.Debian.gz
  ./usr/share/doc/fizzgrid/copyright
  ./usr/share/lintian/overrides/fizzgrid
)
for program in "${programs[@]}"; do
  expected+=("./usr/games/$program" "./usr/share/man/man6/$program.6.gz")
done
for size in 16 22 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/fizzgrid.png")
done
expected+=("./usr/share/metainfo/$metainfo")
files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort)
diff -u <(printf '%s\n' "${expected[@]}" | sort) <(echo "$files") || fail "file list differs (- expected, + packaged)"

root=$scratch/root
dpkg -x "$deb" "$root"
for program in "${programs[@]}"; do
  binary=$root/usr/games/$program
  file -b "$binary" | grep -q ', stripped' || fail "$program is not stripped"
  ! readelf -d "$binary" | grep -q -E 'RPATH|RUNPATH' || fail "$program carries a library search path"
done
# Neither answer may need a window system: the game is given one that does
# not exist.
[ "$("$root/usr/games/fizzgrid-engine" --version)" = "fizzgrid-engine $version" ] ||
  fail "fizzgrid-engine --version"
[ "$(QT_QPA_PLATFORM=no-such-platform "$root/usr/games/fizzgrid" --version)" = "fizzgrid $version" ] ||
  fail "fizzgrid --version"

# The long options of a program's --help and of its manual page are the
# same, and every short option and Qt option the help names is in the page.
options() { grep -oE -- '(^|[][ ,|"])--?[a-z][a-z-]*' | sed 's/^[][ ,|"]*//' | sort -u; }
for program in "${programs[@]}"; do
  help=$(QT_QPA_PLATFORM=no-such-platform "$root/usr/games/$program" --help) ||
    fail "$program --help failed"
  grep -qi "^usage: $program" <<<"$help" || fail "$program --help printed: $help"
  page=$(zcat "$root/usr/share/man/man6/$program.6.gz" | sed 's/\\-/-/g') ||
    fail "manual page of $program unreadable"
  grep -q "^\.TH $(tr a-z A-Z <<<"$program") 6 " <<<"$page" || fail "$program.6 is not a section 6 page"
  diff -u <(options <<<"$help" | grep -- '^--') <(options <<<"$page" | grep -- '^--') ||
    fail "long options differ (- $program --help, + $program.6)"
  for option in $(options <<<"$help"); do
    grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$page" || fail "$program.6 lacks $option"
  done
done

# The changelog's newest entry is this package's version.
changelog=$scratch/changelog
zcat "$root/usr/share/doc/fizzgrid/changelog.Debian.gz" >"$changelog"
[ "$(dpkg-parsechangelog -l "$changelog" -S Version)" = "$version-1" ] ||
  fail "the changelog's newest entry is $(dpkg-parsechangelog -l "$changelog" -S Version), not $version-1"

# The menu entry validates without a word (a warning fails too) and starts a
# program of the package; the metainfo validates in the installed tree, its
# launchable found there.
desktop=$root/usr/share/applications/fizzgrid.desktop
verdict=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$verdict" ] ||
  fail "desktop-file-validate: $verdict"
for key in Exec TryExec; do
  started=$(sed -n "s/^$key=\([^ ]*\).*/\1/p" "$desktop")
  [ -n "$started" ] && [ -x "$root$started" ] || fail "$key=$started is not a program of the package"
done
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"

# Every tag lintian reports is shown; an error or a warning fails. The
# package's overrides (packaging/lintian-overrides) say why each tag they
# silence cannot apply.
lintian --fail-on error,warning --display-info "$deb" || fail "lintian"
echo "package OK"
