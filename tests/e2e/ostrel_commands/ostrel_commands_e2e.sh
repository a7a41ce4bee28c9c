#!/usr/bin/env bash
# Ostrel's menu commands under a virtual X server, opened with Alt and the items'
# letters: the preview switched off leaves the video area black and on again moves it; Record
# Audio, WMV and a still size are saved on exit; the capture-pin sheet opens over a
# stopped graph and its cancel brings the preview back; a widened window keeps the
# picture's shape with black bars beside it; File > Exit closes the program cleanly.
# Usage: ostrel_commands_e2e.sh <ostrel> <plugin folder>...
set -euo pipefail

source "$(dirname "$0")/../lib/ostrel_session.sh"
need_tools xvfb-run import convert compare xdotool

scratch_folder ostrel-commands-e2e
ostrel_in_work C.UTF-8 "$@"

run_session 250 <<'SESSION'
start_ostrel "$work/ostrel"
wait_for_main_window
shot() { sleep "${2:-1}"; screenshot "$1"; }
xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p' >"$work/first_size"
menu alt+o; xdotool key p; shot off1 1; shot off2 1      # Option > Preview: off
menu alt+o; xdotool key p; shot on1 1; shot on2 1        # and on
menu alt+r; xdotool key a                                # Capture > Record Audio
menu alt+r; xdotool key Down; sleep 0.3; xdotool key Right; sleep 0.4; xdotool key Down Return
menu alt+r; xdotool key Down Down Down; sleep 0.3; xdotool key Right; sleep 0.4
xdotool key Down Down Return                             # the third still size
menu alt+o; xdotool key i; shot pin_sheet 1.5            # Option > Video Capture Pin
xdotool key Escape; shot after_pin1 2; shot after_pin2 1
xdotool windowsize "$win" 900 520; shot wide 2
exit_by_menu
SESSION

changed() {  # pixels that differ between two screenshots' video areas
  convert "$work/$1.png" -crop 600x400+20+40 +repage "$work/crop_a.png"
  convert "$work/$2.png" -crop 600x400+20+40 +repage "$work/crop_b.png"
  compare -metric AE "$work/crop_a.png" "$work/crop_b.png" null: 2>&1 || true
}

exit_code_is_zero
echo "first size: $(cat "$work/first_size")"
[ "$(cut -dx -f1 "$work/first_size")" = 640 ] || fail "the first preview is not 640 wide"
off=$(changed off1 off2)
on=$(changed on1 on2)
echo "pixels changed with the preview off: $off, on: $on"
[ "${off%% *}" -lt 50 ] || fail "the picture moves with the preview switched off"
[ "$(pixel "$work/off1.png" 300 200)" = "0,0,0" ] || fail "the preview switched off left its last frame"
[ "${on%% *}" -gt 100 ] || fail "the picture does not move once the preview is on again"
# The pin sheet's graph is torn down: the video area is black around the sheet.
[ "$(pixel "$work/pin_sheet.png" 500 300)" = "0,0,0" ] || fail "the graph runs while the format sheet is open"
after=$(changed after_pin1 after_pin2)
[ "${after%% *}" -gt 100 ] || fail "cancelling the format sheet did not bring the preview back"
# 900 wide, a 4:3 picture in the middle: black bars at both sides, picture in the middle.
[ "$(pixel "$work/wide.png" 20 250)" = "0,0,0" ] || fail "no bar left of the picture"
[ "$(pixel "$work/wide.png" 880 250)" = "0,0,0" ] || fail "no bar right of the picture"
[ "$(pixel "$work/wide.png" 450 250)" != "0,0,0" ] || fail "no picture in the middle"
ini="$work/ostrel.INI"
grep -q '^Capture Audio=1' "$ini" || fail "Record Audio was not saved"
grep -q '^VideoFormat=1' "$ini" || fail "WMV was not saved"
grep -q '^HighResolutionSize=2' "$ini" || fail "the still size was not saved"
echo "PASS"
