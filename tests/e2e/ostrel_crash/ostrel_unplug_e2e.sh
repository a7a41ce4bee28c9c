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
need_tools xdotool import convert ffprobe gst-launch-1.0

scratch_folder ostrel-unplug-e2e  # OSTREL_E2E_KEEP=1 keeps the screenshots
cp "$ostrel" "$work/ostrel"
mkdir "$work/clips"
plugin_folders "$@"
export OSTREL_VIRTUAL_CAMERA_PLUG="$work/plug"
touch "$work/plug"
printf '[SectionMain]\nAviFileFolder=%s\nVideoFormat=0\nTimeLimitEnalbe=0\nTimeLimit=5\n' \
  "$work/clips" >"$work/ostrel.INI"
clip=$work/clips/Clip0000.AVI

cat >"$work/session.sh" <<'SESSION'
#!/usr/bin/env bash
set -u
work=$1
clip=$work/clips/Clip0000.AVI
"$work/ostrel" >"$work/ostrel.log" 2>&1 &
pid=$!
for _ in $(seq 1 240); do
  sleep 0.5
  wid=$(xdotool search --name Pelquin 2>/dev/null | head -1)
  [ -n "$wid" ] || continue
  import -window root "$work/up.png" 2>/dev/null || continue
  [ "$(convert "$work/up.png" -trim -format "%w" info:)" -ge 640 ] && break
done
sleep 1
menu() {
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  xdotool key --clearmodifiers "$1"
  sleep 0.4
  xdotool key --clearmodifiers "$2"
  sleep 0.4
}
menu alt+r a  # Record Audio on
menu alt+r s  # Start Capture
for _ in $(seq 1 400); do
  [ "$(stat -c %s "$clip" 2>/dev/null || echo 0)" -gt 100000 ] && break
  sleep 0.05
done
sleep 3
rm -f "$work/plug"  # the camera is unplugged
# The message box: a second window with the program's title.
for _ in $(seq 1 120); do
  sleep 0.5
  [ "$(xdotool search --onlyvisible --name Pelquin 2>/dev/null | wc -l)" -ge 2 ] && break
done
sleep 1
import -window root "$work/message.png"
xdotool search --onlyvisible --name Pelquin 2>/dev/null | wc -l >"$work/windows-with-message"
box=$(xdotool search --onlyvisible --name Pelquin 2>/dev/null | grep -vx "$wid" | head -1)
[ -n "$box" ] && { xdotool windowfocus --sync "$box" 2>/dev/null; xdotool key --clearmodifiers Return; }
sleep 4  # time for a second message, if one came
xdotool search --onlyvisible --name Pelquin 2>/dev/null | wc -l >"$work/windows-after"
import -window root "$work/after.png"
[ -f "$clip.unfinished" ] && touch "$work/still-marked"
# The menu's label: the Capture popup opened and shot.
xdotool key --clearmodifiers alt+r
sleep 0.6
import -window root "$work/menu.png"
xdotool key --clearmodifiers Escape
sleep 0.3
kill -TERM "$pid"
wait "$pid"
echo $? >"$work/exit"
SESSION
chmod +x "$work/session.sh"

fail() {
  echo "FAIL: $*"
  cat "$work/ostrel.log"
  exit 1
}

timeout 200 "$(dirname "$0")/../lib/xvfb_run.sh" "$work/session.sh" "$work" ||
  fail "the session failed"
[ "$(cat "$work/windows-with-message")" = 2 ] ||
  fail "$(cat "$work/windows-with-message") windows while the message should be up"
[ "$(cat "$work/windows-after")" = 1 ] || fail "another message followed the first"
[ -f "$work/still-marked" ] && fail "the clip is still marked as unfinished"
[ "$(cat "$work/exit")" = 0 ] || fail "ostrel exited with $(cat "$work/exit")"
grep -q "unplugged" "$work/ostrel.log" || fail "the error stream does not say what happened"

header=$(ffprobe -v error -select_streams v:0 -show_entries stream=nb_frames -of csv=p=0 "$clip")
video=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames \
  -of csv=p=0 "$clip")
audio=$(ffprobe -v error -count_packets -select_streams a:0 -show_entries stream=nb_read_packets \
  -of csv=p=0 "$clip")
echo "clip: header frames $header, frames read $video, sound packets $audio"
awk -v h="$header" 'BEGIN { exit !(h + 0 > 0) }' || fail "the header says no frames"
[ "$header" = "$video" ] || fail "the header says $header frames, ffmpeg reads $video"
awk -v a="$audio" 'BEGIN { exit !(a + 0 > 0) }' || fail "no sound"
gst=$(gst-launch-1.0 -q uridecodebin uri="file://$clip" name=d d. ! queue ! videoconvert ! \
  fakesink d. ! queue ! audioconvert ! fakesink 2>&1) || fail "GStreamer cannot play it: $gst"
echo "PASS"
