#!/usr/bin/env bash
# Ostrel end to end, recording as a user does: the Capture menu driven with xdotool
# under a virtual X server, the virtual camera and microphone on GStreamer's plugin
# path. Four clips, each ended another way, must be whole files that ffprobe and
# GStreamer read with picture and sound:
#   Clip0000.AVI  Start Capture, 10 s, Stop Capture (then the program is terminated)
#   Clip0001.AVI  a time limit of 5 s ends it at 5 s by itself; the preview comes back
#   Clip0002.AVI  SIGINT while recording, with the About box open
#   Clip0003.WMV  File > Exit while recording
# Usage: ostrel_recording_e2e.sh <ostrel> <plugin folder>...
set -euo pipefail

ostrel=$1
shift
source "$(dirname "$0")/../lib/ostrel_session.sh"
clip_work ostrel-rec-e2e "$ostrel" "$@"  # OSTREL_E2E_KEEP=1 keeps the screenshots

# Settings beside the executable: the clip folder, AVI, the time limit (off or 5 s).
settings() {
  printf '[SectionMain]\nAviFileFolder=%s\nVideoFormat=%s\nTimeLimitEnalbe=%s\nTimeLimit=5\n' \
    "$work/clips" "$1" "$2" >"$work/ostrel.INI"
  # The clip number the last run saved carries on.
  [ -f "$work/index" ] && printf 'AviFileIndex=%s\n' "$(cat "$work/index")" >>"$work/ostrel.INI"
  true
}
remember_index() {
  sed -n 's/^AviFileIndex=//p' "$work/ostrel.INI" | tr -d '\r' >"$work/index"
}

report_more() { for f in "$work"/ostrel-*.log; do echo "--- $f"; cat "$f"; done; }

run() {  # <how> <format> <time limit on>
  settings "$2" "$3"
  # Inside the X server; $2 says how the recording ends.
  run_session 120 "$1" <<'SESSION'
how=$2
"$work/ostrel" >"$work/ostrel-$how.log" 2>&1 &
pid=$!
wait_for_main_window
menu alt+r a  # Record Audio on
menu alt+r s  # Start Capture
case $how in
  stop)
    sleep 5
    screenshot recording
    sleep 5
    menu alt+r s  # Stop Capture
    sleep 2
    screenshot stopped
    kill -TERM "$pid" ;;
  limit)
    sleep 9  # the limit of 5 s ends it by itself
    screenshot after-limit
    kill -HUP "$pid" ;;
  signal)
    sleep 3
    menu alt+h a  # the About box is dismissed by the signal
    sleep 1
    kill -INT "$pid" ;;
  exit)
    sleep 4
    menu alt+f x ;;
esac
wait "$pid"
echo $? >"$work/exit-$how"
SESSION
  [ -f "$work/exit-$1" ] || fail "$1: the session did not finish"
  [ "$(cat "$work/exit-$1")" = 0 ] || fail "$1: ostrel exited with $(cat "$work/exit-$1")"
  remember_index
}

# A whole clip: its header's frame count and duration written (the writer finished it),
# picture and sound decoded by ffmpeg and by GStreamer, lasting about as long as asked.
check_clip() {  # <file> <least seconds> <most seconds>
  local file=$work/clips/$1
  [ -f "$file" ] || fail "$1 was not written"
  local duration
  clip_facts "$file"
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$file")
  echo "$1: header frames $header, duration $duration s, frames read $video, sound packets $audio"
  case $1 in *.AVI) awk -v h="$header" 'BEGIN { exit !(h + 0 > 0) }' ||
    fail "$1: the AVI header says no frames (the file was not finished)" ;; esac
  awk -v d="$duration" -v lo="$2" -v hi="$3" 'BEGIN { exit !(d + 0 >= lo && d + 0 <= hi) }' ||
    fail "$1: lasts $duration s, not $2 to $3 s"
  awk -v v="$video" 'BEGIN { exit !(v + 0 > 0) }' || fail "$1: ffmpeg reads no frames"
  awk -v a="$audio" 'BEGIN { exit !(a + 0 > 0) }' || fail "$1: no sound"
  clip_plays "$file"
}

run stop 0 0
check_clip Clip0000.AVI 8 13
run limit 0 1
check_clip Clip0001.AVI 4.85 5.15  # the limit, to within 0.15 s
run signal 0 0
check_clip Clip0002.AVI 2 7
run exit 1 0
check_clip Clip0003.WMV 2 7

# The status bar while recording differs from the one after the stop.
crop() { convert "$1" -trim +repage -gravity south -crop 640x22+0+0 +repage "$2"; }
crop "$work/recording.png" "$work/status-recording.png"
crop "$work/stopped.png" "$work/status-stopped.png"
changed=$(compare -metric AE "$work/status-recording.png" "$work/status-stopped.png" null: 2>&1 || true)
awk -v c="$changed" 'BEGIN { exit !(c + 0 > 50) }' || fail "the status bar did not change at the stop"
[ "$(convert "$work/after-limit.png" -trim -format '%w' info:)" -ge 600 ] ||
  fail "no window after the time limit"
echo "PASS"
