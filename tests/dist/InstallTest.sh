#!/usr/bin/env bash
# The installed game as a player and a packager meet it: installed into a fresh prefix, its desktop
# entry, AppStream file, icons and manual page pass their validators; the launcher, started from an
# unrelated folder, runs the game in the player's own folder and saves there only; the Debian
# package holds the same files with the right control fields, and its launcher, unpacked elsewhere,
# finds the settings saved by the first one.
#
#   InstallTest.sh BUILD_DIR SOURCE_DIR VERSION SANITIZED
#
# Needs DISPLAY for the launcher steps (skipped with status 77 without one). Every outside program
# runs with a time limit and standard input closed.
set -uo pipefail
build=$1
source=$2
version=$3
sanitized=$4
app=io.github.drommel.Drommel
exec </dev/null

tmp=$(mktemp -d "${TMPDIR:-/tmp}/drommel-install-XXXXXX")
game=
# Installing rewrites the build folder's install manifest, which a developer's own install (and its
# uninstall) relies on: keep it.
manifest=$build/install_manifest.txt
[ -f "$manifest" ] && cp -p "$manifest" "$tmp/manifest"
cleanup() {
  [ -n "$game" ] && kill -9 "$game" 2>/dev/null
  if [ -f "$tmp/manifest" ]; then cp -p "$tmp/manifest" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$tmp"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
# Stops at once: what follows needs this step.
die() {
  echo "FAILED: $*"
  exit 1
}

# ---- Install into a fresh prefix
prefix=$tmp/prefix
timeout 120 cmake --install "$build" --prefix "$prefix" --strip >"$tmp/install.log" 2>&1 ||
  die "cmake --install: $(cat "$tmp/install.log")"
for file in bin/drommel libexec/drommel/drommel share/drommel/data/world001.png \
  share/drommel/data/sfx/002.wav share/applications/$app.desktop \
  share/metainfo/$app.metainfo.xml share/man/man6/drommel.6.gz share/doc/drommel/copyright; do
  [ -e "$prefix/$file" ] || fail "not installed: $file"
done
[ -e "$prefix/share/drommel/data/.generated" ] && fail "the build's stamp file was installed"
# Relocatable: no installed file names the build or the source folder. Sanitizer builds keep source
# file names in the program for their reports, so the program is left out there.
skip=()
[ "$sanitized" = ON ] && skip=(--exclude=drommel --exclude-dir=libexec)
named=$(grep -rlF -e "$build" -e "$source" "${skip[@]}" "$prefix")
[ -z "$named" ] && [ -n "$(ls "$prefix")" ] || fail "installed files name the build: $named"

# ---- Validators
out=$(timeout 30 desktop-file-validate "$prefix/share/applications/$app.desktop" 2>&1) &&
  [ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(timeout 30 appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" 2>&1)
status=$?
if [ "$status" -ne 0 ] || grep -qE '^(E|W):' <<<"$out"; then fail "appstreamcli: $out"; fi
grep -qF "<release version=\"$version\"" "$prefix/share/metainfo/$app.metainfo.xml" ||
  fail "the metainfo release is not $version"
for size in 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x$size/apps/$app.png
  got=$(timeout 30 identify -format '%m %w %h' "$icon" 2>&1)
  [ "$got" = "PNG $size $size" ] || fail "icon $size: $got"
done
manual=$prefix/share/man/man6/drommel.6.gz
warnings=$(MANWIDTH=80 timeout 30 man --warnings -l "$manual" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man page warnings: $warnings"
page=$(MANWIDTH=80 timeout 30 man -l "$manual" 2>/dev/null)
for part in "EXIT STATUS" "CONTROLS" ".kestrostate" "Drommel $version"; do
  grep -qF "$part" <<<"$page" || fail "the man page lacks '$part'"
done

# ---- The Debian package
timeout 300 cpack -G DEB -B "$tmp/deb" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1 ||
  die "cpack: $(cat "$tmp/cpack.log")"
deb=$tmp/deb/drommel_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || die "no $(basename "$deb"): $(ls "$tmp/deb")"
field() { timeout 30 dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = drommel ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
depends=$(field Depends)
for library in libc6 libglfw3 libopenal1 libstb0 libstdc++6; do
  grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done
[ "$(field Installed-Size)" -gt 0 ] 2>/dev/null || fail "Installed-Size: $(field Installed-Size)"
contents=$(timeout 30 dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/drommel ./usr/libexec/drommel/drommel ./usr/share/drommel/data/logo.png \
  ./usr/share/applications/$app.desktop ./usr/share/metainfo/$app.metainfo.xml \
  ./usr/share/icons/hicolor/256x256/apps/$app.png ./usr/share/man/man6/drommel.6.gz \
  ./usr/share/doc/drommel/copyright; do
  grep -qxF "$file" <<<"$contents" || fail "the package lacks $file"
done
# The icon cache, the desktop database and the manual index are refreshed by the triggers of the
# packages that own them, so this package carries no maintainer scripts.
timeout 30 dpkg-deb -e "$deb" "$tmp/control" || fail "dpkg-deb -e"
scripts=$(ls "$tmp/control" | grep -vxE 'control|md5sums')
[ -z "$scripts" ] || fail "maintainer scripts in the package: $scripts"
root=$tmp/root
timeout 60 dpkg-deb -x "$deb" "$root" || die "dpkg-deb -x"

# ---- The launcher under a display, as a player with a fresh home starting it from elsewhere
if [ -z "${DISPLAY:-}" ]; then
  echo "no DISPLAY: the launcher was not started"
  [ "$failures" -eq 0 ] && exit 77
  exit 1
fi
home=$tmp/home
xdg=$tmp/xdg
elsewhere=$tmp/elsewhere
mkdir -p "$home" "$elsewhere"
export HOME=$home XDG_DATA_HOME=$xdg ALSOFT_DRIVERS=null

# Starts a launcher in the unrelated folder; its window id is in $window afterwards.
start() {
  (cd "$elsewhere" && exec "$1" >"$2" 2>&1) &
  game=$!
  window=$(timeout 30 xdotool search --sync --all --pid "$game" --name '^Drommel$' 2>/dev/null |
    head -1)
  [ -n "$window" ] || die "no game window from $1: $(cat "$2")"
}
# F4 ends the game at once; a key pressed while the window is still being set up may be missed.
finish() {
  timeout 10 xdotool windowfocus --sync "$window"
  for _ in 1 2 3 4 5; do
    timeout 10 xdotool key F4
    for _ in $(seq 20); do
      kill -0 "$game" 2>/dev/null || break 2
      sleep 0.1
    done
  done
  kill -0 "$game" 2>/dev/null && die "F4 did not end the game"
  wait "$game"
  local status=$?
  game=
  [ "$status" -eq 0 ] || fail "the game ended with status $status"
}

start "$prefix/bin/drommel" "$tmp/run1.log"
wm_class=$(timeout 10 xprop -id "$window" WM_CLASS)
[ "$wm_class" = 'WM_CLASS(STRING) = "drommel", "Drommel"' ] ||
  fail "the window's class does not match the desktop entry: $wm_class"
grep -qx 'StartupWMClass=Drommel' "$prefix/share/applications/$app.desktop" ||
  fail "the desktop entry names another window class"
# Focus moving away suspends the game, and suspending saves.
timeout 10 xdotool windowfocus --sync "$(xwininfo -root | awk '/Window id:/ {print $4}')"
state=$xdg/drommel/.kestrostate
for _ in $(seq 100); do
  [ -s "$state" ] && break
  sleep 0.1
done
[ -s "$state" ] || fail "nothing was saved in $state"
finish
[ "$(readlink "$xdg/drommel/data")" = "$(cd "$prefix/share/drommel/data" && pwd -P)" ] ||
  fail "data points to $(readlink "$xdg/drommel/data")"
saved=$(find "$tmp" -name '.kestrostate*' ! -name '.kestrostate.lock')
[ "$saved" = "$state" ] || fail "state files: $saved"
left=$(ls -A "$elsewhere")
[ -z "$left" ] || fail "files left where the game was started: $left"

# The packaged launcher, unpacked elsewhere as after an upgrade or a move: the link follows it and
# the saved settings are found.
start "$root/usr/bin/drommel" "$tmp/run2.log"
for _ in $(seq 100); do
  grep -q "Settings Loaded" "$tmp/run2.log" && break
  sleep 0.1
done
grep -q "Settings Loaded" "$tmp/run2.log" || fail "the second start did not load the settings"
finish
[ "$(readlink "$xdg/drommel/data")" = "$(cd "$root/usr/share/drommel/data" && pwd -P)" ] ||
  fail "after the move data points to $(readlink "$xdg/drommel/data")"

[ "$failures" -eq 0 ] || exit 1
echo "install, package and launcher: all checks passed"
