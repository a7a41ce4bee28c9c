#!/usr/bin/env bash
# Ostrel end to end, a camera unplugged during a recording, and plugged in and out while
# previewing, as a user meets it: Start
# Capture through the menu under a virtual X server, the virtual camera's plug file
# removed a few seconds later. One message box says the recording failed (and no other
# follows), the menu reads Start Capture again, and the clip is complete: headers and
# index written, picture and sound read by ffprobe and GStreamer.
# Usage: ostrel_unplug_e2e.sh <ostrel> <plugin folder>...
set -euo pipefail

ostrel=$1
shift
source "$(dirname "$0")/../lib/ostrel_session.sh"
clip_work ostrel-unplug-e2e "$ostrel" "$@"  # OSTREL_E2E_KEEP=1 keeps the screenshots
export OSTREL_VIRTUAL_CAMERA_PLUG="$work/plug"
touch "$work/plug"
printf '[SectionMain]\nAviFileFolder=%s\nVideoFormat=0\nTimeLimitEnalbe=0\nTimeLimit=5\n' \
  "$work/clips" >"$work/ostrel.INI"
clip=$work/clips/Clip0000.AVI

run_session 200 <<'SESSION' || fail "the session failed"
clip=$work/clips/Clip0000.AVI
start_ostrel "$work/ostrel"
wait_for_main_window
menu alt+r a  # Record Audio on
menu alt+r s  # Start Capture
wait_for_frames_in "$clip" || true
sleep 3
rm -f "$work/plug"  # the camera is unplugged
message_box message
sleep 4  # time for a second message, if one came
xdotool search --onlyvisible --name Pelquin 2>/dev/null | wc -l >"$work/windows-after"
screenshot after
[ -f "$clip.unfinished" ] && touch "$work/still-marked"
# The menu's label: the Capture popup opened and shot.
menu alt+r
screenshot menu
xdotool key --clearmodifiers Escape
sleep 0.3
terminate_ostrel
SESSION

[ "$(cat "$work/message.windows")" = 2 ] ||
  fail "$(cat "$work/message.windows") windows while the message should be up"
[ "$(cat "$work/windows-after")" = 1 ] || fail "another message followed the first"
[ -f "$work/still-marked" ] && fail "the clip is still marked as unfinished"
exit_code_is_zero
grep -q "unplugged" "$work/ostrel.log" || fail "the error stream does not say what happened"

clip_facts "$clip"
echo "clip: header frames $header, frames read $video, sound packets $audio"
awk -v h="$header" 'BEGIN { exit !(h + 0 > 0) }' || fail "the header says no frames"
[ "$header" = "$video" ] || fail "the header says $header frames, ffmpeg reads $video"
awk -v a="$audio" 'BEGIN { exit !(a + 0 > 0) }' || fail "no sound"
clip_plays "$clip"
echo "PASS unplug while recording"

# Hotplug while previewing: started with the camera unplugged (the start's one message),
# plugged in (chosen and previewed), unplugged (one message), plugged in again (chosen
# again, and its picture moves seconds later).
rm -f "$work/plug" "$work"/shot*.png
printf '[SectionMain]\nAviFileFolder=%s\nVideoFormat=0\n' "$work/clips" >"$work/ostrel.INI"
run_session 200 <<'SESSION' || fail "the hotplug session failed"
start_ostrel "$work/ostrel"
for _ in $(seq 1 60); do
  win=$(xdotool search --name '^Pelquin $' 2>/dev/null | head -1)
  [ -n "$win" ] && break
  sleep 0.5
done
message_box no-camera
touch "$work/plug"
wait_for_picture
cp "$work/shot1.png" "$work/plugged1.png"
cp "$work/shot2.png" "$work/plugged2.png"
rm -f "$work/plug"
message_box unplugged
sleep 3
xdotool search --onlyvisible --name Pelquin 2>/dev/null | wc -l >"$work/after-unplug"
touch "$work/plug"
for _ in $(seq 1 40); do
  [ "$(grep -c "camera Ostrel Virtual Camera is used" "$work/ostrel.log")" -ge 2 ] && break
  sleep 0.25
done
# The picture must still move well after the preview came back, not only at first.
sleep 4
wait_for_picture
terminate_ostrel
SESSION
[ "$(cat "$work/no-camera.windows")" = 2 ] || fail "no message at a start without a camera"
[ "$(cat "$work/unplugged.windows")" = 2 ] || fail "no message when the camera went away"
[ "$(cat "$work/after-unplug")" = 1 ] || fail "another message followed the unplug's"
[ "$(grep -c "camera Ostrel Virtual Camera is used" "$work/ostrel.log")" = 2 ] ||
  fail "the camera plugged in again was not chosen again"
check_preview_window # the camera plugged in again
cp "$work/plugged1.png" "$work/shot1.png"
cp "$work/plugged2.png" "$work/shot2.png"
check_preview_window # the camera plugged in after the start
echo "PASS hotplug"
