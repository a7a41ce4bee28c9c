#!/usr/bin/env bash
# Capture > Snap Shot under a virtual X server: the picture of the moving pattern is
# written as Still0007.BMP, the right way up and in the right colours as ImageMagick
# reads it; after File > Reset the next one skips the user's own Still0000.BMP and
# leaves it alone; the counter saved on exit is past both.
# Usage: ostrel_snapshot_e2e.sh <ostrel> <plugin folder>...
set -euo pipefail

source "$(dirname "$0")/../lib/ostrel_session.sh"
need_tools xvfb-run import convert identify xdotool

scratch_folder ostrel-snapshot-e2e
ostrel_in_work C.UTF-8 "$@"
mkdir -p "$work/shots"
printf 'the user'"'"'s own picture' >"$work/shots/Still0000.BMP"
printf '[SectionMain]\r\nSnapFolder=%s\r\nSnapFileIndex=7\r\n' "$work/shots" >"$work/ostrel.INI"

run_session 250 <<'SESSION'
start_ostrel "$work/ostrel"
wait_for_main_window
menu alt+r; xdotool key p; sleep 1.5                     # Capture > Snap Shot
screenshot screen
menu alt+f; xdotool key r; sleep 0.5                     # File > Reset
menu alt+r; xdotool key p; sleep 1.5                     # Capture > Snap Shot
exit_by_menu
SESSION

report_more() { echo "--- files"; ls -la "$work/shots" || true; }
near() {  # near <r,g,b> <r,g,b>: every channel within 12
  local IFS=, r g b r2 g2 b2
  read -r r g b <<<"$1"
  read -r r2 g2 b2 <<<"$2"
  (( r - r2 < 12 && r2 - r < 12 && g - g2 < 12 && g2 - g < 12 && b - b2 < 12 && b2 - b < 12 ))
}

exit_code_is_zero
still="$work/shots/Still0007.BMP"
[ -f "$still" ] || fail "Snap Shot wrote no Still0007.BMP"
[ "$(stat -c %s "$still")" = 921654 ] || fail "Still0007.BMP is $(stat -c %s "$still") bytes"
[[ "$(identify -format '%m %wx%h' "$still")" == BMP*" 640x480" ]] || fail "identify: $(identify "$still")"
convert "$still" "$work/still.png"
# The frame counter's black box is at the top left; the bars run grey, yellow, cyan, green,
# magenta, red, blue, black from the left.
top=$(pixel "$work/still.png" 8 8)
bottom=$(pixel "$work/still.png" 8 471)
near "$top" "0,0,0" || fail "no counter at the top left ($top): the picture is upside down"
near "$bottom" "191,191,191" || fail "the bottom left is $bottom, not the grey bar"
col=40
for bar in 191,191,191 191,191,0 0,191,191 0,191,0 191,0,191 191,0,0 0,0,191 16,16,16; do
  seen=no
  for row in 160 360 470; do near "$(pixel "$work/still.png" $col $row)" "$bar" && seen=yes; done
  [ $seen = yes ] || fail "the bar at x $col is not $bar"
  col=$((col + 80))
done
[ "$(cat "$work/shots/Still0000.BMP")" = "the user's own picture" ] || fail "Still0000.BMP was replaced"
[ -f "$work/shots/Still0001.BMP" ] || fail "after the reset the snapshot is not Still0001.BMP"
[ "$(ls -A "$work/shots" | wc -l)" = 3 ] || fail "unexpected files: $(ls -A "$work/shots")"
grep -q '^SnapFileIndex=2' "$work/ostrel.INI" || fail "saved counter: $(grep SnapFileIndex "$work/ostrel.INI")"
echo "PASS: Still0007.BMP and Still0001.BMP written, Still0000.BMP kept, counter 2"
