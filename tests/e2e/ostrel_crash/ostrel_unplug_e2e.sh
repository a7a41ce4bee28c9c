#!/usr/bin/env bash
# Ostrel end to end, a camera unplugged during a recording, as a user meets it: Start
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
# The message box: a second window with the program's title.
for _ in $(seq 1 120); do
  sleep 0.5
  [ "$(xdotool search --onlyvisible --name Pelquin 2>/dev/null | wc -l)" -ge 2 ] && break
done
sleep 1
screenshot message
xdotool search --onlyvisible --name Pelquin 2>/dev/null | wc -l >"$work/windows-with-message"
box=$(xdotool search --onlyvisible --name Pelquin 2>/dev/null | grep -vx "$win" | head -1)
[ -n "$box" ] && { xdotool windowfocus --sync "$box" 2>/dev/null; xdotool key --clearmodifiers Return; }
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

[ "$(cat "$work/windows-with-message")" = 2 ] ||
  fail "$(cat "$work/windows-with-message") windows while the message should be up"
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
echo "PASS"
