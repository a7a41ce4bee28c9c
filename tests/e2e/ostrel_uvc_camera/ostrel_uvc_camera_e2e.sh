#!/usr/bin/env bash
# Ostrel end to end on a V4L2 camera, the emulated UVC camera (run inside
# tests/support/uvc_camera.sh --preload-later; only the transfer plugin, so the camera is
# the only device): the window opens in the camera's current mode, 640x480, showing its
# colour bars; Snap Shot and the camera's own button write stills; Start Capture asks for
# 60 fps, is told once that the camera refuses and records at 30; the camera unplugged
# during the recording gives one message and a finished clip; plugged in again, its preview
# comes back and moves; SIGTERM then ends Ostrel.
# Usage: ostrel_uvc_camera_e2e.sh <ostrel> <transfer plugin folder>
set -euo pipefail

ostrel=$1
shift
source "$(dirname "$0")/../lib/ostrel_session.sh"
[ -n "${UVCEMU_DIR:-}" ] || { echo "SKIP: not inside tests/support/uvc_camera.sh"; exit 77; }
clip_work ostrel-uvc-camera-e2e "$ostrel" "$@"  # OSTREL_E2E_KEEP=1 keeps the screenshots
mkdir "$work/shots"
printf '[SectionMain]\r\nAviFileFolder=%s\r\nSnapFolder=%s\r\nVideoFormat=0\r\nTimeLimitEnalbe=0\r\n' \
  "$work/clips" "$work/shots" >"$work/ostrel.INI"
clip=$work/clips/Clip0000.AVI

run_session 240 <<'SESSION' || fail "the session failed"
clip=$work/clips/Clip0000.AVI
start_ostrel "$work/ostrel"
wait_for_main_window
wait_for_picture
menu alt+r; xdotool key p; sleep 1.5  # Capture > Snap Shot
uvc_camera_press; sleep 1.5           # the camera's own button
menu alt+r s                          # Start Capture, at the 60 fps every start asks for
message_box rate
wait_for_frames_in "$clip" || true
sleep 3
uvc_camera_unplug
message_box unplug
sleep 4  # time for a second message, if one came
xdotool search --onlyvisible --name Pelquin 2>/dev/null | wc -l >"$work/windows-after"
if uvc_camera_announced; then
  uvc_camera_plug  # the preview comes back by itself
  wait_for_picture replug
  sleep 3
  screenshot replug3
fi
terminate_ostrel
SESSION

# bars <png> <top> <tolerance>: the 75% colour bars across the middle row of a 640x480 picture
# whose first row is <top>.
bars() {
  local bar got expected=(191,191,191 191,191,0 0,191,191 0,191,0 191,0,191 191,0,0 0,0,191 0,0,0)
  for bar in 0 1 2 3 4 5 6 7; do
    got=$(pixel "$1" $(((2 * bar + 1) * 40)) $(($2 + 240)))
    awk -v g="$got" -v e="${expected[$bar]}" -v t="$3" 'BEGIN { split(g, a, ","); split(e, b, ",");
      for (i = 1; i <= 3; i++) if (a[i] - b[i] > t || b[i] - a[i] > t) exit 1 }' ||
      fail "$1: bar $bar is $got, not ${expected[$bar]}"
  done
}
# The window (at the top left, on a black screen) is as wide as the camera's current mode; its
# picture starts below the menu bar, and its frame-number strip changes between the shots.
read -r width top < <(convert "$work/shot1.png" -trim -format '%w %Y\n' info:)
[ "$width" = 640 ] || fail "the window is $width pixels wide, not 640"
grey=$(pixel "$work/shot1.png" 40 300)
picture_top=$(for y in $(seq 16 80); do  # the first grey row follows the 16-row strip
  [ "$(pixel "$work/shot1.png" 40 "$y")" = "$grey" ] && { echo $((y - 16)); break; }
done)
[ -n "$picture_top" ] || fail "no picture below the menu bar"
bars "$work/shot1.png" "$picture_top" 12
changed=$(compare -metric AE "$work/shot1.png" "$work/shot2.png" null: 2>&1 || true)
awk -v c="$changed" 'BEGIN { exit !(c + 0 > 100) }' || fail "the picture does not move ($changed)"
[ "$(identify -format '%m %wx%h' "$work/shots/Still0000.BMP" 2>/dev/null)" = "BMP3 640x480" ] ||
  fail "Snap Shot: $(identify "$work/shots/Still0000.BMP" 2>&1)"
bars "$work/shots/Still0000.BMP" 0 6
[ -f "$work/shots/0001.BMP" ] || fail "the camera's button wrote no 0001.BMP"
bars "$work/shots/0001.BMP" 0 6

[ "$(cat "$work/rate.windows")" = 2 ] || fail "no message when the camera refused 60 fps"
[ "$(cat "$work/unplug.windows")" = 2 ] || fail "no message when the camera was unplugged"
[ "$(cat "$work/windows-after")" = 1 ] || fail "another message followed the unplug's"
exit_code_is_zero
if uvc_camera_announced; then
  grep -q "camera .* was unplugged" "$work/ostrel.log" || fail "the unplug was not seen"
  for later in replug2 replug3; do
    changed=$(compare -metric AE "$work/replug1.png" "$work/$later.png" null: 2>&1 || true)
    awk -v c="$changed" 'BEGIN { exit !(c + 0 > 100) }' ||
      fail "the preview after the camera was plugged in again does not move ($later: $changed)"
  done
  bars "$work/replug3.png" "$picture_top" 12
else
  echo "SKIP part: no network namespace, so the camera's plugging is not announced to GStreamer"
fi

clip_facts "$clip"
rate=$(ffprobe -v error -select_streams v:0 -show_entries stream=r_frame_rate -of csv=p=0 "$clip")
echo "clip: header frames $header, frames read $video, rate $rate"
awk -v h="$header" 'BEGIN { exit !(h + 0 > 30) }' || fail "the header says $header frames"
[ "$header" = "$video" ] || fail "the header says $header frames, ffmpeg reads $video"
[ "$rate" = 30/1 ] || fail "the clip runs at $rate, not the camera's 30 fps"
errors=$(ffmpeg -v error -i "$clip" -f null - 2>&1)
[ -z "$errors" ] || fail "ffmpeg: $errors"
echo "PASS"
