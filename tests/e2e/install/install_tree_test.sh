#!/usr/bin/env bash
# `cmake --install` into a scratch prefix, component by component: every file lands
# where the desktop and the system look for it, and the desktop files validate.
# Usage: install_tree_test.sh <build folder>
set -euo pipefail
build=$1
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/setup)"; exit 77; }
done

work=$(mktemp -d /tmp/ostrel-install-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/ostrel" --component ostrel >/dev/null
cmake --install "$build" --prefix "$work/virtualcam" --component virtualcam >/dev/null

expected_ostrel="bin/ostrel
lib/ostrel/gstreamer-1.0/libgstostreltransfer.so
lib/udev/rules.d/70-ostrel-camera-button.rules
sbin/drvsetup
share/applications/org.ostrel.Ostrel.desktop
share/doc/ostrel/changelog.gz
share/doc/ostrel/copyright
share/icons/hicolor/128x128/apps/org.ostrel.Ostrel.png
share/icons/hicolor/16x16/apps/org.ostrel.Ostrel.png
share/icons/hicolor/22x22/apps/org.ostrel.Ostrel.png
share/icons/hicolor/24x24/apps/org.ostrel.Ostrel.png
share/icons/hicolor/256x256/apps/org.ostrel.Ostrel.png
share/icons/hicolor/32x32/apps/org.ostrel.Ostrel.png
share/icons/hicolor/48x48/apps/org.ostrel.Ostrel.png
share/icons/hicolor/64x64/apps/org.ostrel.Ostrel.png
share/icons/hicolor/scalable/apps/org.ostrel.Ostrel.svg
share/man/man1/ostrel.1.gz
share/man/man8/drvsetup.8.gz
share/metainfo/org.ostrel.Ostrel.metainfo.xml"
expected_virtualcam="lib/ostrel/gstreamer-1.0/libgstostrelvirtual.so
share/doc/ostrel-virtualcam/changelog.gz
share/doc/ostrel-virtualcam/copyright"
got=$(cd "$work/ostrel" && find . -type f -printf '%P\n' | LC_ALL=C sort)
[ "$got" = "$(LC_ALL=C sort <<<"$expected_ostrel")" ] ||
  fail "the program's tree differs:"$'\n'"$(diff <(LC_ALL=C sort <<<"$expected_ostrel") <(echo "$got"))"
got=$(cd "$work/virtualcam" && find . -type f -printf '%P\n' | LC_ALL=C sort)
[ "$got" = "$expected_virtualcam" ] || fail "the virtual camera's tree: $got"

p=$work/ostrel
[ -x "$p/bin/ostrel" ] && [ -x "$p/sbin/drvsetup" ] || fail "the programs are not executable"
desktop-file-validate "$p/share/applications/org.ostrel.Ostrel.desktop" || fail "desktop file"
appstreamcli validate --no-net "$p/share/metainfo/org.ostrel.Ostrel.metainfo.xml" || fail "metainfo"
grep -qx 'Exec=ostrel' "$p/share/applications/org.ostrel.Ostrel.desktop" || fail "Exec"
grep -qx 'Icon=org.ostrel.Ostrel' "$p/share/applications/org.ostrel.Ostrel.desktop" || fail "Icon"

# Each PNG is the size its folder says.
for png in "$p"/share/icons/hicolor/*x*/apps/org.ostrel.Ostrel.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  if command -v identify >/dev/null; then
    [ "$(identify -format '%wx%h' "$png")" = "$size" ] || fail "$png is not $size"
  fi
done

# The manual page of drvsetup documents its command line and every exit code.
man_text=$(zcat "$p/share/man/man8/drvsetup.8.gz")
for needle in '.B INSTALL' '.B REMOVE' '.SH EXIT STATUS'; do
  grep -qF -- "$needle" <<<"$man_text" || fail "drvsetup.8 lacks $needle"
done
for code in 0 1 2 3 4 5; do
  grep -qx ".B $code" <<<"$man_text" || fail "drvsetup.8 lacks exit code $code"
done
if command -v man >/dev/null; then
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$p/share/man/man8/drvsetup.8.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "drvsetup.8: $warnings"
fi

# The udev rule tags the event nodes of uvcvideo's input devices for the seat's user.
rule=$(grep -v '^#' "$p/lib/udev/rules.d/70-ostrel-camera-button.rules" | grep .)
for needle in 'SUBSYSTEM=="input"' 'KERNEL=="event*"' 'DRIVERS=="uvcvideo"' 'TAG+="uaccess"'; do
  grep -qF -- "$needle" <<<"$rule" || fail "the udev rule lacks $needle"
done
echo "PASS"
